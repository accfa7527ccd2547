#include "commercial/documentrulesfixture.h"
#include "commercial/documents/offercalc.h"
#include "commercial/documents/offerrules.h"

#include <cmath>

using table::Table;
using namespace Qt::StringLiterals;

namespace {

// One offer whose lines the sheet prices; the intervals are the shipped
// rows of CalcIV.db (1 "jede Woche" 52, 3 "jede 3. Woche" 17.33, 7 "einmal
// pro Jahr" 1), and the service 4 costs 12.50 a unit of 30 minutes.
class OfferCalc : public doctest::DocumentRules {
protected:
    void SetUp() override {
        DocumentRules::SetUp();
        addRow(u"Taetig.DB"_s, {{u"T_ID"_s, 4},
                                {u"T_Nr"_s, 40},
                                {u"T_Match"_s, u"Glasreinigung"_s},
                                {u"T_BasisEinheit"_s, u"m²"_s},
                                {u"T_TextTour"_s, u"Glasflächen innen und außen"_s},
                                {u"T_BasisPreis"_s, 12.5},
                                {u"T_BasisMinuten"_s, 30.0}});
        id = newHead(head(), lines());
    }
    Table& head() { return dm->TabAngKopf(); }
    Table& lines() { return dm->TabAngSatz(); }
    void setHead(double aufschlag, int raten) {
        head().edit();
        head().field(u"R_CalcAufschlag"_s).setValue(aufschlag);
        head().field(u"R_CalcRaten"_s).setValue(raten);
        head().post();
    }
    // A line of quantity 2 at the base sale price and interval.
    void addPriced(double basis, int interval) {
        lines().append();
        lines().field(u"S_Menge"_s).setValue(2);
        lines().field(u"S_Intervall"_s).setValue(interval);
        lines().field(u"S_BasisVkpreis"_s).setValue(basis);
        lines().field(u"S_BasisPreis"_s).setValue(basis / 2);
        lines().post();
    }
    int id = 0;
};

TEST_F(OfferCalc, UnitPricesFollowMarkupUsesAndInstalments) {
    const struct {
        const char* name;
        double aufschlag;
        int raten;
        int interval;
        double basis;
        double einsaetze;
        double ePreis;
    } cases[] = {
        {"no markup, once a year, one instalment", 0, 1, 7, 10, 1, 10},
        {"weekly with 20 % over 12 instalments", 20, 12, 1, 10, 52, 10 * 1.2 * 52 / 12},
        {"every third week counts 17", 0, 1, 3, 10, 17, 170},
        {"an unknown interval counts once", 0, 1, 99, 10, 0, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setHead(c.aufschlag, c.raten);
        addPriced(c.basis, c.interval);
        EXPECT_DOUBLE_EQ(num(lines(), "S_Einsaetze"), c.einsaetze);
        EXPECT_NEAR(num(lines(), "S_EPreis"), c.ePreis, 1e-9);
        EXPECT_NEAR(num(lines(), "S_GesamtPreis"), c.ePreis * 2 * c.raten, 0.005);
    }
}

TEST_F(OfferCalc, RaisingTheInstalmentsKeepsTheYearAndSplitsIt) {
    addPriced(10, 1);
    addPriced(3, 3);
    const double year = num(head(), "R_CalcBetragEinsatz");
    const double minutesBefore = num(head(), "R_CalczeitEinsatz");
    ASSERT_NEAR(year, 2 * 10 * 52 + 2 * 3 * 17, 0.005);
    lines().first();
    const double firstPrice = num(lines(), "S_EPreis");
    head().edit();
    head().field(u"R_CalcRaten"_s).setValue(12);
    head().post();
    lines().first();
    EXPECT_NEAR(num(lines(), "S_EPreis"), firstPrice / 12, 1e-9);
    EXPECT_NEAR(num(head(), "R_CalcBetragEinsatz"), year, 0.005);
    EXPECT_NEAR(num(head(), "R_CalcBetragInt"), year / 12, 0.005);
    EXPECT_DOUBLE_EQ(num(head(), "R_CalczeitEinsatz"), minutesBefore);
    const TOfferCosts costs = OfferCosts(id);
    EXPECT_NEAR(costs.year, 2 * 5 * 52 + 2 * 1.5 * 17, 0.005);
    EXPECT_NEAR(costs.instalment, costs.year / 12, 0.005);
}

TEST_F(OfferCalc, ATypedUnitPriceSetsTheBasePrice) {
    setHead(20, 12);
    addPriced(10, 1);
    lines().edit();
    lines().field(u"S_EPreis"_s).setValue(100.0);
    lines().post();
    EXPECT_NEAR(num(lines(), "S_BasisVkpreis"), 100.0 * 12 / (1.2 * 52), 1e-9);
}

// Older data may hold a unit price without a base price: the sheet derives
// the price from the base, so it becomes 0.
TEST_F(OfferCalc, ALineWithoutBasePriceLosesItsUnitPriceOnRecalculation) {
    addPriced(0, 7);
    dm->SetRecalcSuspended(true);
    lines().edit();
    lines().field(u"S_EPreis"_s).setValue(44.0);
    lines().post();
    dm->SetRecalcSuspended(false);
    RecalcAngebotPreise(*dm);
    EXPECT_DOUBLE_EQ(num(lines(), "S_EPreis"), 0.0);
    EXPECT_DOUBLE_EQ(num(head(), "R_Netto"), 0.0);
}

TEST_F(OfferCalc, AnArticleBringsCostAndSalePriceAndLeavesTheVatCode) {
    auto articles = open(u"Artikel.DB"_s);
    articles->locate({u"A_ID"_s}, {7});
    articles->edit();
    articles->field(u"A_Preis1"_s).setValue(3.5);
    articles->post();
    lines().append();
    lines().field(u"S_Text"_s).setValue(u"bleibt"_s);
    lines().field(u"S_MwstKz"_s).setValue(2);
    ASSERT_TRUE(FillCalcLineFromArtikel(lines(), 7));
    lines().post();
    EXPECT_EQ(lines().field(u"S_Origin"_s).asInteger(), 3);
    EXPECT_EQ(lines().field(u"S_PosTyp"_s).asInteger(), 0);
    EXPECT_EQ(lines().field(u"S_SrcNr"_s).asString(), u"A7"_s);
    EXPECT_EQ(lines().field(u"S_Text"_s).asString(), u"Reiniger 5 l"_s);
    EXPECT_DOUBLE_EQ(num(lines(), "S_BasisPreis"), 2.0);
    EXPECT_DOUBLE_EQ(num(lines(), "S_BasisVkpreis"), 3.5);
    EXPECT_DOUBLE_EQ(num(lines(), "S_EPreis"), 3.5);
    EXPECT_EQ(lines().field(u"S_MwstKz"_s).asInteger(), 2);
    EXPECT_EQ(CalcArtikelStartId(lines()), 7);
    EXPECT_EQ(CalcTaetigStartId(lines()), 0);
    EXPECT_FALSE(FillCalcLineFromArtikel(lines(), 8));
    EXPECT_FALSE(lines().isEditing());
}

TEST_F(OfferCalc, AServiceBringsItsTextsPricesAndMinutes) {
    setHead(10, 1);
    lines().append();
    lines().field(u"S_MwstKz"_s).setValue(0);
    lines().field(u"S_Menge"_s).setValue(4);
    ASSERT_TRUE(FillCalcLineFromTaetigkeit(lines(), 4));
    lines().post();
    EXPECT_EQ(lines().field(u"S_Origin"_s).asInteger(), 8);
    EXPECT_EQ(lines().field(u"S_PosTyp"_s).asInteger(), 1);
    EXPECT_EQ(lines().field(u"S_SrcNr"_s).asString(), u"40"_s);
    EXPECT_EQ(lines().field(u"S_MengBez"_s).asString(), u"m²"_s);
    EXPECT_EQ(lines().field(u"S_Kurztext"_s).asString(), u"Glasreinigung"_s);
    EXPECT_DOUBLE_EQ(num(lines(), "S_BasisMinuten"), 30.0);
    EXPECT_NEAR(num(lines(), "S_EPreis"), 12.5 * 1.1, 1e-9);
    EXPECT_NEAR(num(lines(), "S_Gesamtzeit"), 120.0, 1e-9);
    EXPECT_EQ(lines().field(u"S_MwstKz"_s).asInteger(), 0);
    EXPECT_EQ(CalcTaetigStartId(lines()), 4);
    EXPECT_FALSE(FillCalcLineFromTaetigkeit(lines(), 5));
}

TEST(OfferCalcPrints, AChosenFormPrintsByItsGroup) {
    const std::pair<int, int> cases[] = {{39000, 39000}, {39007, 39000}, {39500, 39500},
                                         {39512, 39500}, {39100, 0},     {12000, 0},
                                         {0, 0}};
    for (const auto& [form, group] : cases)
        EXPECT_EQ(CalcPrintGroup(form), group) << form;
    EXPECT_EQ(CalcNumberText(42), u"00000042"_s);
}

} // namespace
