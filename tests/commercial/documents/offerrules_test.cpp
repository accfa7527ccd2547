#include "commercial/documentrulesfixture.h"
#include "commercial/documents/offerrules.h"

using table::Table;

namespace {

// An offer with markup 20 %, 12 instalments, and the calculation intervals
// 93 (52.18 uses a year) and 94 (12).
class OfferRules : public doctest::DocumentRules {
protected:
    void SetUp() override {
        DocumentRules::SetUp();
        addRow(QStringLiteral("CalcIV.db"),
               {{QStringLiteral("CI_ID"), 93}, {QStringLiteral("CI_ApJ"), 52.18}});
        addRow(QStringLiteral("CalcIV.db"),
               {{QStringLiteral("CI_ID"), 94}, {QStringLiteral("CI_ApJ"), 12.0}});
        newHead(head(), lines());
        head().edit();
        head().field(QStringLiteral("R_CalcAufschlag")).setValue(20);
        head().field(QStringLiteral("R_CalcRaten")).setValue(12);
        head().post();
    }
    Table& head() { return dm->TabAngKopf(); }
    Table& lines() { return dm->TabAngSatz(); }
    void addCalculatedLine(double einsaetze, double basis) {
        lines().append();
        lines().field(QStringLiteral("S_Einsaetze")).setValue(einsaetze);
        lines().field(QStringLiteral("S_BasisVkpreis")).setValue(basis);
        lines().post();
    }
};

TEST_F(OfferRules, NewHeadStartsWithoutMarkupAndOneInstalment) {
    Table& h = head();
    h.append();
    EXPECT_DOUBLE_EQ(num(h, "R_CalcAufschlag"), 0.0);
    EXPECT_DOUBLE_EQ(num(h, "R_CalcRaten"), 1.0);
    h.cancel();
}

TEST_F(OfferRules, BasePriceGivesTheUnitPriceAndATypedPriceGivesTheBasePrice) {
    lines().append();
    EXPECT_EQ(lines().field(QStringLiteral("S_Intervall")).asInteger(), 7);
    EXPECT_DOUBLE_EQ(num(lines(), "S_Einsaetze"), 1.0);
    lines().field(QStringLiteral("S_Einsaetze")).setValue(52);
    lines().field(QStringLiteral("S_BasisVkpreis")).setValue(10);
    EXPECT_NEAR(num(lines(), "S_EPreis"), 52.0, 1e-9);
    EXPECT_DOUBLE_EQ(num(lines(), "S_Netto"), 52.0);
    lines().field(QStringLiteral("S_EPreis")).setValue(104);
    EXPECT_NEAR(num(lines(), "S_BasisVkpreis"), 20.0, 1e-9);
    EXPECT_DOUBLE_EQ(num(lines(), "S_EPreis"), 104.0);
    lines().post();
    EXPECT_DOUBLE_EQ(num(head(), "R_Netto"), 104.0);
}

TEST_F(OfferRules, PricesAreNotRecomputedForTextLinesOrWhileSuspended) {
    lines().append();
    lines().field(QStringLiteral("S_Einsaetze")).setValue(52);
    lines().field(QStringLiteral("S_PosArt")).setValue(3);
    EXPECT_EQ(lines().field(QStringLiteral("S_Intervall")).asInteger(), 0);
    lines().edit();
    lines().field(QStringLiteral("S_BasisVkpreis")).setValue(10);
    EXPECT_DOUBLE_EQ(num(lines(), "S_EPreis"), 0.0);
    lines().cancel();
    addCalculatedLine(52, 0);
    dm->SetRecalcSuspended(true);
    lines().edit();
    lines().field(QStringLiteral("S_BasisVkpreis")).setValue(10);
    EXPECT_DOUBLE_EQ(num(lines(), "S_EPreis"), 0.0);
    dm->SetRecalcSuspended(false);
    lines().cancel();
}

TEST_F(OfferRules, MarkupChangeRecomputesEveryLineAndTheSums) {
    addCalculatedLine(52, 10);
    addCalculatedLine(12, 5);
    ASSERT_DOUBLE_EQ(num(head(), "R_Netto"), 52.0 + 6.0);
    lines().first();
    const int current = lines().field(QStringLiteral("S_ID")).asInteger();
    head().edit();
    head().field(QStringLiteral("R_CalcAufschlag")).setValue(50);
    // 150 % of the base price, per use, spread over 12 instalments.
    EXPECT_DOUBLE_EQ(num(head(), "R_Netto"), 65.0 + 7.5);
    EXPECT_EQ(lines().field(QStringLiteral("S_ID")).asInteger(), current);
    head().field(QStringLiteral("R_CalcRaten")).setValue(6);
    EXPECT_DOUBLE_EQ(num(head(), "R_Netto"), 130.0 + 15.0);
    head().post();
    auto stored = open(QStringLiteral("AngSatz.DB"));
    for (stored->first(); !stored->eof(); stored->next())
        EXPECT_GT(stored->field(QStringLiteral("S_EPreis")).asFloat(), 0.0);
}

TEST_F(OfferRules, IntervalGivesTheUsesPerYear) {
    lines().append();
    lines().field(QStringLiteral("S_Intervall")).setValue(93);
    EXPECT_DOUBLE_EQ(num(lines(), "S_Einsaetze"), 52.0);
    lines().field(QStringLiteral("S_Intervall")).setValue(94);
    EXPECT_DOUBLE_EQ(num(lines(), "S_Einsaetze"), 12.0);
    lines().field(QStringLiteral("S_Intervall")).setValue(999);
    EXPECT_DOUBLE_EQ(num(lines(), "S_Einsaetze"), 0.0);
    lines().cancel();
}

TEST_F(OfferRules, CalculationFormGetsTheFocusWhenOpen) {
    QStringList calc, editor;
    DocumentFormHooksRegistry().FocusCalcColumn = [&calc](const QString& f) { calc << f; };
    DocumentFormHooksRegistry().FocusAngEditColumn = [&editor](const QString& f) { editor << f; };
    lines().append();
    EXPECT_FALSE(lines().field(QStringLiteral("S_Calculated")).asBoolean());
    lines().cancel();
    DocumentFormHooksRegistry().CalcFormOpen = [] { return true; };
    lines().append();
    EXPECT_TRUE(lines().field(QStringLiteral("S_Calculated")).asBoolean());
    lines().cancel();
    EXPECT_EQ(editor, QStringList({"TabAngSatzS_Menge"}));
    EXPECT_EQ(calc, QStringList({"TabAngSatzS_Menge"}));
}

TEST_F(OfferRules, CalculatedTimesShowAsHoursAndMinutes) {
    head().edit();
    table::Field& time = head().field(QStringLiteral("R_CalczeitInt"));
    time.setValue(89.6);
    EXPECT_TRUE(time.text().endsWith(QStringLiteral(" 1:30 Std ")));
    time.clear();
    EXPECT_TRUE(time.text().isEmpty());
    head().cancel();
}

TEST(OfferPrices, UnitAndBasePriceAreInverse) {
    EXPECT_DOUBLE_EQ(OfferUnitPrice(10, 20, 12, 52), 52.0);
    EXPECT_DOUBLE_EQ(OfferBasePrice(104, 20, 12, 52), 20.0);
    // Zero instalments and uses count as one.
    EXPECT_DOUBLE_EQ(OfferUnitPrice(10, 0, 0, 0), 10.0);
    EXPECT_DOUBLE_EQ(OfferBasePrice(10, -100, 1, 1), 0.0);
}

} // namespace
