// The outgoing-invoice list (37000) over the booking journal and the print
// of the invoice plan (74000).
#include "core/values/money.h"
#include "documentprintfixture.h"
#include "printing/ralisteprint.h"
#include "printing/rechplanprint.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class JournalList : public docprint::DocumentPrintFixture {
protected:
    void SetUp() override {
        DocumentPrintFixture::SetUp();
        RaListRangeFrom = u"01.03.2024"_s;
        RaListRangeTo = u"31.03.2024"_s;
        RaListPrintTime = u"02.04.2024 - 09:15 Uhr"_s;
    }
    // A journal row: net, VAT 19 % on code 1, gross.
    void addRow(int id, const QString& nr, int satzart, double netto, bool marked = true,
                QList<std::pair<QString, QVariant>> values = {}) {
        const double mwst = RoundCents(netto * 0.19);
        values +=
            {{u"R_Satzart"_s, satzart},     {u"R_Selected"_s, marked},     {u"R_Netto"_s, netto},
             {u"R_Netto1"_s, netto},        {u"R_Mwst"_s, mwst},           {u"R_Mwst1"_s, mwst},
             {u"R_Brutto"_s, netto + mwst}, {u"R_Brutto1"_s, netto + mwst}};
        addHead(u"RAListe.DB"_s, id, nr, values);
    }
    static QString money(double amount) { return FormatMoney(1, amount); }
};

TEST_F(JournalList, ACreditNoteReducesTheTotalsButPrintsItsOwnAmountUnsigned) {
    addRow(1, u"RE-00001"_s, 0, 100.0);
    addRow(2, u"GS-00001"_s, 2, 30.0);
    addRow(3, u"RE-00002"_s, 0, 500.0, false); // outside the period: unmarked
    PrintRAListe(u"Rechnungsausgangsliste"_s, u"R_INr"_s, QString(), true, QString());
    ASSERT_EQ(outputs, 1);
    EXPECT_TRUE(printed.preview);
    EXPECT_EQ(printed.of(u"R_RgNr"_s), (QStringList{u"GS-00001"_s, u"RE-00001"_s}));
    EXPECT_EQ(printed.of(u"R_Netto"_s).value(0), money(30.0)) << "the row is unsigned";
    EXPECT_EQ(printed.of(u"L_SummeNetto"_s), QStringList{money(70.0)});
    EXPECT_EQ(printed.of(u"L_SummeMwst"_s), QStringList{money(13.3)});
    EXPECT_EQ(printed.of(u"L_SummeBrutto"_s), QStringList{money(83.3)});
    EXPECT_EQ(printed.of(u"L_Titel2"_s), QStringList{u"Rechnungsausgangsliste"_s});
    EXPECT_EQ(printed.of(u"U_Datum"_s), QStringList{u"02.04.2024 - 09:15 Uhr"_s});
    EXPECT_EQ(printed.of(u"L_DatumVon"_s), QStringList{u"01.03.2024"_s});
    EXPECT_EQ(printed.of(u"L_DatumBis"_s), QStringList{u"31.03.2024"_s});
    EXPECT_TRUE(printed.has(u"Kundenname"_s));
}

TEST_F(JournalList, TheBucketTotalsAreSignedToo) {
    addRow(1, u"RE-00001"_s, 0, 100.0);
    addRow(2, u"ER-00001"_s, 3, 40.0);
    const QString layout =
        writeLayoutOf(37001, u"TQR_OpProto"_s, enable({u"L_SummeNetto1"_s, u"L_SummeBrutto1"_s}));
    PrintRAListe(QString(), u"R_INr"_s, QString(), false, layout);
    EXPECT_EQ(printed.of(u"L_SummeNetto1"_s), QStringList{money(60.0)});
    EXPECT_EQ(printed.of(u"L_SummeBrutto1"_s), QStringList{money(71.4)});
    EXPECT_EQ(printed.of(u"L_Titel2"_s), QStringList{u"Übernahme Rechnungsdaten in OP-Liste"_s})
        << "no title keeps the designed caption";
}

TEST_F(JournalList, TheIndexOfTheCallingListOrTheNumberIndex) {
    addRow(1, u"A-3"_s, 0, 10.0, true, {{u"R_KundenNr"_s, 300}, {u"R_ObjektNr"_s, 1}});
    addRow(2, u"A-1"_s, 0, 10.0, true, {{u"R_KundenNr"_s, 100}, {u"R_ObjektNr"_s, 9}});
    addRow(3, u"A-2"_s, 0, 10.0, true, {{u"R_KundenNr"_s, 100}, {u"R_ObjektNr"_s, 2}});
    const struct {
        QString index;
        QStringList order;
    } cases[] = {
        {u"R_IKundenNr"_s, {u"A-2"_s, u"A-1"_s, u"A-3"_s}}, // customer and object
        {u"R_IObjektNr"_s, {u"A-3"_s, u"A-2"_s, u"A-1"_s}},
        {u"R_IGibtEsNicht"_s, {u"A-1"_s, u"A-2"_s, u"A-3"_s}},
        {QString(), {u"A-1"_s, u"A-2"_s, u"A-3"_s}},
    };
    for (const auto& c : cases) {
        PrintRAListe(QString(), c.index, QString(), false, QString());
        EXPECT_EQ(printed.of(u"R_RgNr"_s), c.order) << c.index.toStdString();
    }
}

TEST_F(JournalList, TheExtraFilterJoinsTheMarksAlsoWithAlternatives) {
    addRow(1, u"RE-00001"_s, 0, 100.0);
    addRow(2, u"GS-00001"_s, 2, 30.0);
    addRow(3, u"ER-00001"_s, 1, 20.0);
    addRow(4, u"ER-00002"_s, 3, 25.0);
    addRow(5, u"ER-00003"_s, 3, 99.0, false);
    PrintRAListe(QString(), u"R_INr"_s, u"R_Satzart=0"_s, false, QString());
    EXPECT_EQ(printed.of(u"R_RgNr"_s), QStringList{u"RE-00001"_s});
    PrintRAListe(QString(), u"R_INr"_s, u"(R_Satzart=1) OR (R_SatzArt=3)"_s, false, QString());
    EXPECT_EQ(printed.of(u"R_RgNr"_s), (QStringList{u"ER-00001"_s, u"ER-00002"_s}));
    EXPECT_EQ(printed.of(u"L_SummeNetto"_s), QStringList{money(-45.0)});
}

TEST_F(JournalList, NothingMarkedPrintsHeadersAndZeroTotals) {
    addRow(1, u"RE-00001"_s, 0, 100.0, false);
    PrintRAListe(QString(), u"R_INr"_s, QString(), false, QString());
    ASSERT_EQ(outputs, 1);
    EXPECT_TRUE(printed.of(u"R_RgNr"_s).isEmpty());
    EXPECT_TRUE(printed.has(u"Rg-Datum"_s));
    EXPECT_EQ(printed.of(u"L_SummeNetto"_s), QStringList{money(0)});
    EXPECT_EQ(printed.of(u"L_SummeBrutto"_s), QStringList{money(0)});
}

TEST_F(JournalList, ACallWhileTheListIsOpenDoesNothing) {
    addRow(1, u"RE-00001"_s, 0, 100.0);
    int nested = -1;
    afterOutput = [&](report::Report&) {
        const int before = outputs;
        PrintRAListe(QString(), u"R_INr"_s, QString(), false, QString());
        nested = outputs - before;
    };
    PrintRAListe(QString(), u"R_INr"_s, QString(), true, QString());
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(outputs, 1);
}

TEST(JournalListTime, ThePrintTimeReadsDateDashTimeUhr) {
    const QString text = RaListPrintTimeNow();
    EXPECT_EQ(text.size(), QStringLiteral("dd.mm.yyyy - hh:nn Uhr").size()) << text.toStdString();
    EXPECT_EQ(text.mid(10, 3), u" - "_s);
    EXPECT_TRUE(text.endsWith(u" Uhr"_s));
}

class PlanPrint : public docprint::DocumentPrintFixture {
protected:
    void addPlanRow(int id, int objekt, const QString& match, double summe) {
        auto t = open(u"Rechplan.db"_s);
        t->append();
        t->field(u"RP_ID"_s).setValue(id);
        t->field(u"RP_LfdNr"_s).setValue(id);
        t->field(u"RP_ObjektNr"_s).setValue(objekt);
        t->field(u"RP_ObjMatch"_s).setValue(match);
        t->field(u"RP_RgDatum"_s).setValue(QDate(2024, 3, 31));
        t->field(u"RP_SummeGesamt"_s).setValue(summe);
        t->post();
    }
};

TEST_F(PlanPrint, TheRowsOfThePlanInTheirOrderTheTotalLastAndTheTitle) {
    addPlanRow(1, 500, u"Lindenhof"_s, 100.0);
    addPlanRow(2, 600, u"Am See"_s, 50.0);
    addPlanRow(3, 0, u"Gesamt"_s, 150.0);
    PrintRechplan(true, u"vom 01.03.2024 bis 31.03.2024"_s, QString());
    ASSERT_EQ(outputs, 1);
    EXPECT_TRUE(printed.preview);
    EXPECT_EQ(printed.of(u"RP_Objektbez"_s),
              (QStringList{u"Lindenhof"_s, u"Am See"_s, u"Gesamt"_s}));
    EXPECT_EQ(printed.of(u"RP_RgDatum"_s).value(0), u"31.03.2024"_s);
    EXPECT_EQ(printed.of(u"Lb_Titel2"_s), QStringList{u"vom 01.03.2024 bis 31.03.2024"_s});
    EXPECT_TRUE(printed.has(u"Ende der Liste"_s));
}

TEST_F(PlanPrint, AnEmptyPlanPrintsTitleHeaderAndEndOfList) {
    PrintRechplan(false, u"vom 11.12.2026 bis 11.12.2026"_s, QString());
    ASSERT_EQ(outputs, 1);
    EXPECT_FALSE(printed.preview);
    EXPECT_TRUE(printed.of(u"RP_ObjNr"_s).isEmpty());
    EXPECT_TRUE(printed.has(u"Objektbezeichnung"_s));
    EXPECT_TRUE(printed.has(u"Rechnungsplan für die Zeit "_s) ||
                printed.has(u"Rechnungsplan für die Zeit"_s));
    EXPECT_TRUE(printed.has(u"Ende der Liste"_s));
}

TEST_F(PlanPrint, ACallDuringAPreviewDoesNothing) {
    int nested = -1;
    afterOutput = [&](report::Report&) {
        const int before = outputs;
        PrintRechplan(false, QString(), QString());
        nested = outputs - before;
    };
    PrintRechplan(true, QString(), QString());
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(outputs, 1);
}

} // namespace
