#include "commercial/billing/rgvconversion.h"
#include "commercial/billing/rgvplandate.h"
#include "commercial/documents/linerules.h"
#include "commercial/fakturafixture.h"
#include "core/settings/settingsfiles.h"

#include <gtest/gtest.h>

namespace {

using fakturatest::s;
using fakturatest::Values;

QDate d(int day, int month, int year) {
    return QDate(year, month, day);
}

TEST(ConvertedRgvPlanDate, FollowsTheBillingDatesOfTheInterval) {
    const QDate today = d(10, 2, 2024);
    const std::vector<QDate> quarterly = {d(1, 1, 2002), d(1, 4, 2002), d(1, 7, 2002),
                                          d(1, 10, 2002)};
    struct Case {
        const char* name;
        int intervall;
        std::vector<QDate> dates;
        QDate next, last, start;
        QDate expected;
    };
    const QDate none;
    const Case cases[] = {
        {"interval 0", 0, quarterly, d(15, 3, 2024), none, none, none},
        {"next invoice date latest", 4, quarterly, d(15, 3, 2024), d(1, 1, 2024), d(1, 1, 2020),
         d(1, 4, 2024)},
        {"last invoice date latest", 4, quarterly, d(15, 3, 2024), d(2, 7, 2024), none,
         d(1, 10, 2024)},
        {"contract start latest", 4, quarterly, none, none, d(5, 11, 2024), d(1, 1, 2025)},
        {"a date on the start does not count", 4, quarterly, d(1, 4, 2024), none, none,
         d(1, 7, 2024)},
        {"all dates empty: today", 4, quarterly, none, none, none, d(1, 4, 2024)},
        {"before 2000: today", 4, quarterly, d(20, 12, 1999), none, none, d(1, 4, 2024)},
        {"29 February in a common year",
         1,
         {d(29, 2, 2004)},
         d(1, 1, 2023),
         none,
         none,
         d(28, 2, 2023)},
        {"29 February in a leap year", 1, {d(29, 2, 2004)}, none, none, none, d(29, 2, 2024)},
        {"31st in a short month",
         1,
         {d(31, 1, 2002), d(31, 3, 2002)},
         d(1, 3, 2024),
         none,
         none,
         d(31, 3, 2024)},
        {"the following year", 3, {d(1, 1, 2002)}, d(1, 6, 2024), none, none, d(1, 1, 2025)},
        {"stored order does not matter",
         4,
         {d(1, 10, 2002), d(1, 7, 2002), d(1, 4, 2002)},
         d(15, 3, 2024),
         none,
         none,
         d(1, 4, 2024)},
        {"just before the limit", 3, {d(1, 1, 2002)}, d(20, 12, 2025), none, none, d(1, 1, 2026)},
        {"beyond the limit", 3, {d(1, 3, 2002)}, d(20, 12, 2025), none, none, none},
        {"start beyond the limit", 4, quarterly, d(1, 1, 2027), none, none, none},
        {"no billing dates", 4, {}, d(15, 3, 2024), none, none, none},
        {"a null billing date reads as 30 December",
         4,
         {none},
         d(15, 3, 2024),
         none,
         none,
         d(30, 12, 2024)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QDate result =
            ConvertedRgvPlanDate(c.intervall, c.dates, c.next, c.last, c.start, today);
        EXPECT_EQ(result, c.expected) << result.toString(u"dd.MM.yyyy").toStdString();
    }
}

// Object 5 (billing definition 1 in use by its sum); object 10 with
// definition 1 in use by its lines, 2 by O_FormZusatzpos, 3 by its sum;
// object 20 with definition 2 of 101 lines and definition 1 not in use;
// object 30 with nothing in use. A template entered by hand exists.
class RgvConversion : public fakturatest::Faktura {
protected:
    void SetUp() override {
        Faktura::SetUp();
        addRow(s("ORgHDef.DB"), {{s("RH_ID"), 4},
                                 {s("RH_KopfText"), s("Kopf vier")},
                                 {s("RH_FussText"), s("Fuß vier")}});
        // Would match a head/foot number taken modulo the small-integer range.
        addRow(s("ORgHDef.DB"), {{s("RH_ID"), 4464}, {s("RH_KopfText"), s("falsch")}});
        addObject(9, 5, 0, {{s("O_SummeForm1"), 0.01}, {s("O_FormZusatzpos"), 0}});
        setObject(10, {{s("O_FormZusatzpos"), 2},
                       {s("O_Rechnungsstellung"), true},
                       {s("O_Vertragsbeginn"), d(1, 1, 2001)},
                       {s("O_KopienRG"), 2},
                       {s("O_DatumNextRechnung"), d(15, 3, QDate::currentDate().year())},
                       {s("O_Zahlintervall"), 4},
                       {s("O_PrintFormNo"), 10001},
                       {s("O_FibuKonto21"), 8400},
                       {s("O_Buchtext1"), s("Hausmeisterdienst")},
                       {s("O_KopfNo1"), 4},
                       {s("O_KopfNo2"), 70000},
                       {s("O_RgZahlbed2"), 0},
                       {s("O_SummeForm3"), 50.0},
                       {s("O_RgZahlbed3"), 77},
                       {s("O_Zahlintervall3"), 0}});
        setObject(20, {{s("O_FormZusatzpos"), 0}, {s("O_SummeForm1"), 0.001}});
        setObject(30, {{s("O_SummeForm2"), -5.0}});
        // Lines of object 10, definition 1, stored out of their T_Pos order.
        addRow(s("ORgDef.db"), {{s("T_ID"), 7},
                                {s("T_ObjektNr"), 10},
                                {s("T_Nr"), 1},
                                {s("T_Pos"), 1},
                                {s("T_PosTyp"), 0},
                                {s("T_SrcID"), 55},
                                {s("T_SrcNr"), s("A-1")},
                                {s("T_TxtNr"), 2},
                                {s("T_Netto"), 100.0},
                                {s("T_Brutto"), 119.0},
                                {s("T_Menge"), 2.0},
                                {s("T_Epreis"), 50.0},
                                {s("T_Mwst"), 19.0},
                                {s("T_MwstKz"), 1},
                                {s("T_MwstBetrag"), 19.0},
                                {s("T_ErloesKonto"), 8401},
                                {s("T_Kurz"), s("Reinigung")},
                                {s("T_Text"), s("Treppenhausreinigung wöchentlich")},
                                {s("T_MengBez"), s("Monat")}});
        addRow(s("ORgDef.db"),
               {{s("T_ID"), 3}, {s("T_ObjektNr"), 10}, {s("T_Nr"), 1}, {s("T_Pos"), 2}});
        addRow(s("ORgDef.db"), {{s("T_ID"), 9},
                                {s("T_ObjektNr"), 10},
                                {s("T_Nr"), 1},
                                {s("T_Netto"), 10.0},
                                {s("T_MwstKz"), 2}});
        {
            auto lines = open(s("ORgDef.db"));
            table::Transaction tx(*lines->database());
            for (int k = 1; k <= 101; ++k) {
                lines->append();
                lines->field(s("T_ID")).setValue(100 + k);
                lines->field(s("T_ObjektNr")).setValue(20);
                lines->field(s("T_Nr")).setValue(2);
                lines->field(s("T_Kurz")).setValue(s("Zeile %1 ").arg(k).leftJustified(60, u'x'));
                lines->post();
            }
            tx.commit();
        }
        addRow(s("Rgvkopf.db"), {{s("R_ID"), 50}, {s("R_Nr"), s("RV10_01")}});
        addRow(s("Rgvsatz.db"), {{s("S_ID"), 70}, {s("S_Ref"), 50}, {s("S_PosNr"), 1000000}});
        addRow(s("Rgvsatz.db"), {{s("S_ID"), 71}, {s("S_Ref"), 50}, {s("S_PosNr"), 2000000}});
        m_conversion = std::make_unique<TRgvConversion>();
        conversion().addLine = [this](const QString& line) { memo << line; };
        conversion().processEvents = [this] { ++processed; };
    }

    void setObject(int nr, const Values& values) {
        auto t = open(s("Objekte.DB"));
        ASSERT_TRUE(t->locate({s("O_Nr")}, {nr}));
        t->edit();
        for (const auto& [field, value] : values)
            t->field(field).setValue(value);
        t->post();
    }

    // The templates in key order: their R_Nr.
    QStringList templates() {
        auto t = open(s("Rgvkopf.db"));
        QStringList nrs;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            nrs << t->field(s("R_Nr")).asString();
        return nrs;
    }
    std::unique_ptr<table::Table> head(const QString& nr) {
        auto t = open(s("Rgvkopf.db"));
        EXPECT_TRUE(t->locate({s("R_Nr")}, {nr})) << nr.toStdString();
        return t;
    }
    // The lines of a template in position order.
    std::unique_ptr<table::Table> lines(const QString& nr) {
        const int id = head(nr)->field(s("R_ID")).asInteger();
        auto t = open(s("Rgvsatz.db"));
        t->setIndexName(s("S_IRef"));
        t->setRange({id}, {id});
        t->first();
        return t;
    }
    int lineCount() { return open(s("Rgvsatz.db"))->recordCount(); }

    void TearDown() override {
        m_conversion.reset();
        Faktura::TearDown();
    }
    TRgvConversion& conversion() { return *m_conversion; }

    std::unique_ptr<TRgvConversion> m_conversion;
    QStringList memo;
    int processed = 0;
};

TEST_F(RgvConversion, MakesOneTemplatePerDefinitionInUse) {
    conversion().Run(1);
    EXPECT_EQ(templates(),
              QStringList({s("RV5_01"), s("RV10_01"), s("RV10_02"), s("RV10_03"), s("RV20_01")}));
    const QString rule(53, u'-');
    EXPECT_EQ(memo,
              QStringList({s("Konvertiere Rechnungsvorlagen"), s("Daten in ") + DataDir, rule,
                           s("Objekt:        5 Rg-Formular 1"), s("Objekt:       10 Rg-Formular 1"),
                           s("Objekt:       10 Rg-Formular 2"), s("Objekt:       10 Rg-Formular 3"),
                           s("Objekt:       20 Rg-Formular 2"),
                           s("Konvertierung der Dauerrechnungen beendet"), rule}));
    EXPECT_EQ(processed, 5);
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Info),
              QStringList{s("Konvertierung der Dauerrechnungen beendet")});
    EXPECT_TRUE(IsRgvConverted(1));
    EXPECT_FALSE(conversion().TabRgvKopf().isOpen());
    EXPECT_FALSE(conversion().TabRgvSatz().isOpen());
    // The hand-made template went with its lines.
    EXPECT_EQ(lineCount(), 3 + 101);
}

TEST_F(RgvConversion, HeadFieldByField) {
    conversion().Run(1);
    const int year = QDate::currentDate().year();
    const QDate zero(1899, 12, 30);
    const QVariant null;
    const QString kTerm3 = s("Zahlbar innerhalb von 14 Tagen, 2% Abzug");
    const QString kTerm5 = s("Zahlbar innerhalb von 30 Tagen, 3% Abzug");
    struct Expected {
        const char* field;
        QVariant rv10_01, rv10_02, rv10_03;
    };
    const Expected expected[] = {
        {"R_RgState", 7, 7, 7},
        {"R_Anr", s("00000010"), s("00000010"), s("00000010")},
        {"R_Ausgesetzt", true, true, true},
        {"R_Betreuer", QString(), QString(), QString()},
        {"R_AdrZweck1", QString(), QString(), QString()},
        {"R_AnrID2", 0, 0, 0},
        {"R_Anzpos", 0, 0, 0},
        {"R_Intervall", 4, 1, 0},
        {"R_IVname", s("Quartalsrechnung rückwirkend"), s("rückwirkend monatlich"), QString()},
        // Interval 4 bills on 28.03. and every third month after; interval 1
        // (for a null number) on every 26th, here after the contract start.
        {"R_PlanDatum", d(28, 3, year), d(26, 1, 2001), null},
        {"R_DatumErstell", zero, zero, zero},
        {"R_DatumDruck", d(15, 3, year), zero, zero},
        {"R_FibuKonto2", 8400, 0, 0},
        {"R_Buchtext", s("Hausmeisterdienst"), QString(), QString()},
        {"R_Drucke", 2, 2, 2},
        {"R_PrintFormNo", 10001, 0, 0},
        {"R_ObjektNr", 10, 10, 10},
        {"R_Selected", false, false, false},
        {"R_LeerRechnungErlaubt", false, false, false},
        {"R_AutoLS", false, true, false},
        {"R_KFID", 4, 0, 0},
        {"R_KopfText", s("Kopf vier"), QString(), QString()},
        {"R_FussText", s("Fuß vier"), QString(), QString()},
        {"R_Memo", s("Lange Bezeichnung 10"), s("Lange Bezeichnung 10"), s("Lange Bezeichnung 10")},
        {"R_OMatch", s("OBJ10"), s("OBJ10"), s("OBJ10")},
        {"R_OName1", s("Meier GmbH Buchhaltung"), s("Meier GmbH Buchhaltung"),
         s("Meier GmbH Buchhaltung")},
        {"R_OStrasse", s("Postfach 12"), s("Postfach 12"), s("Postfach 12")},
        {"R_KundenNr", 100, 100, 100},
        {"R_KMatch", s("MEIER"), s("MEIER"), s("MEIER")},
        {"R_Kname3", s("z. Hd. Frau Meier"), s("z. Hd. Frau Meier"), s("z. Hd. Frau Meier")},
        {"R_ZahlBedID", 3, 5, 5},
        {"R_ZahlBed", kTerm3, kTerm5, kTerm5},
        {"R_ZahlBedTage", 14, 30, 30},
        {"R_ZahlBedSkonto", 2.0, 3.0, 3.0},
        {"R_FKontoNr", 100, 100, 100},
        {"R_FaelligDatum", null, null, null},
        {"R_Netto", 110.0, 0.0, 0.0},
        {"R_Netto1", 100.0, 0.0, 0.0},
        {"R_Netto2", 10.0, 0.0, 0.0},
        {"R_Mwst1", 19.0, 0.0, 0.0},
        {"R_Mwst2", 0.7, 0.0, 0.0},
        {"R_Mwst", 19.7, 0.0, 0.0},
        {"R_Brutto", 129.7, 0.0, 0.0},
    };
    auto h1 = head(s("RV10_01"));
    auto h2 = head(s("RV10_02"));
    auto h3 = head(s("RV10_03"));
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.field);
        const QString f = QString::fromLatin1(e.field);
        EXPECT_EQ(h1->field(f).value(), e.rv10_01);
        EXPECT_EQ(h2->field(f).value(), e.rv10_02);
        EXPECT_EQ(h3->field(f).value(), e.rv10_03);
    }
    // An object without customer: no customer block, no term, no account.
    auto h5 = head(s("RV5_01"));
    EXPECT_EQ(h5->field(s("R_KundenNr")).value(), QVariant(0));
    EXPECT_EQ(h5->field(s("R_ZahlBedID")).value(), QVariant(0));
    EXPECT_EQ(h5->field(s("R_FKontoNr")).value(), QVariant(0));
    EXPECT_EQ(h5->field(s("R_OName1")).value(), QVariant(QString()));
}

TEST_F(RgvConversion, PositionsWithNullsAndDefaults) {
    conversion().Run(1);
    auto t = lines(s("RV10_01"));
    ASSERT_EQ(t->recordCount(), 3);
    struct Expected {
        const char* field;
        QVariant first, second, third; // T_ID 3, 7, 9
    };
    const double rate = CurrentDefaultVatRate();
    const Expected expected[] = {
        {"S_PosNr", 1000000, 2000000, 3000000},
        {"S_Posart", 0, 0, 0},
        {"S_Origin", 0, 0, 0},
        {"S_RefID", 0, 0, 0},
        {"S_ProvisID", 0, 0, 0},
        {"S_Quelle", 6, 6, 6},
        {"S_QuellNr", s("Dauerrechnung"), s("Dauerrechnung"), s("Dauerrechnung")},
        {"S_PosTyp", 4, 0, 4},
        {"S_MatID", 0, 55, 0},
        {"S_SrcNr", QString(), s("A-1"), QString()},
        {"S_Rechmode", 0, 2, 0},
        {"S_Netto", 0.0, 100.0, 10.0},
        {"S_Brutto", 0.0, 119.0, 0.0},
        {"S_Menge", 0.0, 2.0, 0.0},
        {"S_EPreis", 0.0, 50.0, 0.0},
        {"S_Mwst", rate, 19.0, rate},
        {"S_MwstKz", 1, 1, 2},
        {"S_MwstBetrag", 0.0, 19.0, 0.0},
        {"S_ErloesKonto", 0, 8401, 0},
        {"S_Kurztext", QString(), s("Reinigung"), QString()},
        {"S_Text", QString(), s("Treppenhausreinigung wöchentlich"), QString()},
        {"S_MengBez", QString(), s("Monat"), QString()},
    };
    QList<QVariantList> rows;
    for (; !t->eof(); t->next()) {
        QVariantList row;
        for (const Expected& e : expected)
            row << t->field(QString::fromLatin1(e.field)).value();
        rows << row;
    }
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].field);
        EXPECT_EQ(rows[0][qsizetype(i)], expected[i].first);
        EXPECT_EQ(rows[1][qsizetype(i)], expected[i].second);
        EXPECT_EQ(rows[2][qsizetype(i)], expected[i].third);
    }
    EXPECT_EQ(lines(s("RV10_02"))->recordCount(), 0);
}

TEST_F(RgvConversion, LinesBeyond99FollowTheLastOne) {
    conversion().Run(1);
    auto t = lines(s("RV20_01"));
    ASSERT_EQ(t->recordCount(), 101);
    QList<int> numbers;
    QStringList texts;
    for (; !t->eof(); t->next()) {
        numbers << t->field(s("S_PosNr")).asInteger();
        texts << t->field(s("S_Kurztext")).asString();
    }
    // Unique and in the order of the definition's lines.
    EXPECT_EQ(numbers[0], 1000000);
    EXPECT_EQ(numbers[98], 99000000);
    EXPECT_EQ(numbers[99], 99010000);
    EXPECT_EQ(numbers[100], 99020000);
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    EXPECT_EQ(QSet<int>(numbers.begin(), numbers.end()).size(), 101);
    EXPECT_TRUE(texts[100].startsWith(s("Zeile 101 ")));
    // The template's short text holds 40 of the definition's 60 characters.
    EXPECT_EQ(texts[0].size(), 40);
}

TEST_F(RgvConversion, ASecondRunRebuildsEveryTemplate) {
    conversion().Run(1);
    const QStringList first = templates();
    addRow(s("Rgvkopf.db"), {{s("R_ID"), 90}, {s("R_Nr"), s("RV30_01")}});
    addRow(s("Rgvsatz.db"), {{s("S_ID"), 900}, {s("S_Ref"), 90}});
    memo.clear();
    conversion().Run(1);
    EXPECT_EQ(templates(), first);
    EXPECT_EQ(lineCount(), 3 + 101);
    EXPECT_EQ(memo.size(), 10);
}

TEST_F(RgvConversion, AFailureLeavesTheTemplatesAsTheyWere) {
    // The second definition of object 10 cannot be written.
    conversion().TabRgvKopf().beforePost += [](table::Table& t) {
        if (t.field(s("R_ObjektNr")).asInteger() == 10 && t.field(s("R_AutoLS")).asBoolean())
            throw DbError(s("Die Tabelle ist gesperrt."));
    };
    try {
        conversion().Run(1);
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), s("Objekt 10, Rg-Formular 2 konnte nicht konvertiert werden:\r"
                                 "Die Tabelle ist gesperrt.\r"
                                 "Die Rechnungsvorlagen bleiben, wie sie vor der Konvertierung "
                                 "waren."));
    }
    EXPECT_EQ(templates(), QStringList{s("RV10_01")});
    EXPECT_EQ(lineCount(), 2);
    EXPECT_FALSE(IsRgvConverted(1));
    EXPECT_TRUE(presenter.texts(MessagePresenter::Kind::Info).isEmpty());
    EXPECT_FALSE(conversion().TabRgvKopf().isOpen());
    EXPECT_EQ(memo.last(), s("Objekt:       10 Rg-Formular 2"));

    // Nothing of the failed run stays in the way of the next.
    conversion().TabRgvKopf().beforePost.clear();
    conversion().Run(1);
    EXPECT_EQ(templates().size(), 5);
}

TEST_F(RgvConversion, ALockedTemplateStopsTheRunBeforeAnythingChanges) {
    datatest::HeldElsewhere held(s("Rgvkopf.db"), s("R_ID"), 50);
    try {
        conversion().Run(1);
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(
            s("Die vorhandenen Rechnungsvorlagen konnten nicht gelöscht werden:\r")))
            << e.message().toStdString();
    }
    held.row->cancel();
    EXPECT_EQ(templates(), QStringList{s("RV10_01")});
    EXPECT_EQ(lineCount(), 2);
    EXPECT_FALSE(IsRgvConverted(1));
}

} // namespace
