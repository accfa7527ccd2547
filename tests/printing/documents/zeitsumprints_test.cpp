#include "documentprintfixture.h"
#include "platform/table/database.h"
#include "printing/zeitsumprints.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using docprint::Printed;

// Objects 10 "HAUS A" and 11 "HAUS B", employee 7 "BERG", time type 2
// named "Überst."; the views' work table is a temporary table of the
// connection, filled by the test.
class ZeitSumPrints : public docprint::DocumentPrintFixture {
protected:
    void SetUp() override {
        DocumentPrintFixture::SetUp();
        auto& db = *table::aliases::database(u"LumoDB"_s);
        table::TableDef def = db.tableDef(u"ZeitsumO.DB"_s);
        def.name = work;
        db.createTemporaryTable(def);
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 10}, {u"O_Nr"_s, 10}, {u"O_Match"_s, u"HAUS A"_s}});
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 11}, {u"O_Nr"_s, 11}, {u"O_Match"_s, u"HAUS B"_s}});
        addRow(u"Personal.DB"_s, {{u"P_ID"_s, 7}, {u"P_Nr"_s, 7}, {u"P_Match"_s, u"BERG"_s}});
        auto types = open(u"Zeitart.DB"_s);
        ASSERT_TRUE(types->locate({u"ZA_Type"_s}, {2}));
        types->edit();
        types->field(u"ZA_Kurztext"_s).setValue(u"Überst."_s);
        types->post();
    }
    void TearDown() override {
        table::aliases::database(u"LumoDB"_s)->dropTable(work);
        DocumentPrintFixture::TearDown();
    }
    void sumRow(int nr, double normalHours, double normalCosts, double ueb1Hours = 0) {
        addRow(work, {{u"ZS_ID"_s, ++m_id},
                      {u"ZS_ObjektNo"_s, nr},
                      {u"ZS_Monat"_s, 3},
                      {u"ZS_Jahr"_s, 2026},
                      {u"ZS_StdNormal"_s, normalHours},
                      {u"ZS_EkNormal"_s, normalCosts},
                      {u"ZS_StdUeb1"_s, ueb1Hours},
                      {u"ZS_StdGesamt"_s, normalHours + ueb1Hours},
                      {u"ZS_EkGesamt"_s, normalCosts}});
    }
    void record(const QString& alias, int persNr, int objNr, const QDate& day, double hours,
                int art = 1) {
        addRow(u"Zeiterf.DB"_s,
               {{u"Z_ID"_s, ++m_id},
                {u"Z_Datum"_s, day},
                {u"Z_PersNr"_s, persNr},
                {u"Z_ObjNr"_s, objNr},
                {u"Z_Art"_s, art},
                {u"Z_Stunden"_s, hours},
                {u"Z_EkPreis"_s, 12.0},
                {u"Z_Text"_s, u"Treppe"_s}},
               alias);
    }

    const QString work = u"TmpZeitsumTest"_s;
    int m_id = 0;
};

TEST_F(ZeitSumPrints, TheMonthListPrintsRowsWithACommaAndSumsWithAPointPaddedToTen) {
    sumRow(10, 10.25, 123.0);
    sumRow(11, 4.5, 54.0, 1.0);
    PrintZeitSumObjMonat(work, u"Monat 3/2026"_s, false, {});
    ASSERT_EQ(outputs, 1);
    EXPECT_EQ(printed.of(u"ZS_StdNormal"_s), (QStringList{u"10,25 Std"_s, u"4,50 Std"_s}));
    EXPECT_EQ(printed.of(u"K_Bezeichnung"_s), (QStringList{u"HAUS A"_s, u"HAUS B"_s}));
    EXPECT_EQ(printed.of(u"L_SummeNormal"_s), QStringList{u"     14.75 Std"_s});
    EXPECT_EQ(printed.of(u"L_SummeGesamt"_s), QStringList{u"     15.75 Std"_s});
    EXPECT_EQ(printed.of(u"L_SummeNormalW"_s), QStringList{money(177.0)});
    EXPECT_EQ(printed.of(u"L_Titel2"_s), QStringList{u"Monat 3/2026"_s});
    EXPECT_EQ(printed.of(u"L_Titel"_s), QStringList{u"Objekt-Zeiten"_s});
    // The time types' short texts caption the columns; the designed ones stay for the rest.
    EXPECT_EQ(printed.of(u"L_Ueb1"_s), QStringList{u"Überst."_s});
    EXPECT_EQ(printed.of(u"L_Gesamt"_s), QStringList{u"Gesamt"_s});

    PrintZeitSumPersMonat(work, u"Monat 3/2026"_s, false, {});
    EXPECT_EQ(printed.of(u"L_Titel"_s), QStringList{u"Personal-Zeiten"_s});
    EXPECT_EQ(printed.of(u"L_Nr"_s), QStringList{u"PersNr."_s});
}

TEST_F(ZeitSumPrints, APrintFromThePreviewSumsOnceAndColumnsSwitchedOffKeepTheTotals) {
    sumRow(10, 10.25, 123.0);
    sumRow(11, 4.5, 54.0);
    // The preview's own print runs the report a second time.
    QStringList sums;
    SetReportOutput([&](report::Report& rep, bool, QWidget*) {
        for (int pass = 0; pass < 2; ++pass) {
            const auto spy = docprint::spyOn(rep);
            report::paginate(rep);
            sums << spy->of(u"L_SummeNormal"_s);
        }
    });
    const QString layout =
        writeLayoutOf(60001, u"TQRZeitSumOM"_s,
                      enable({u"ZS_StdNormal"_s, u"ZS_EkNormal"_s, u"ZS_StdGesamt"_s}, false));
    PrintZeitSumObjMonat(work, u"Monat 3/2026"_s, true, layout);
    EXPECT_EQ(sums, (QStringList{u"     14.75 Std"_s, u"     14.75 Std"_s}));
}

TEST_F(ZeitSumPrints, AnEmptyMonthListPrintsHeadersAndZeroSums) {
    PrintZeitSumObjMonat(work, u"Monat 3/2026"_s, false, {});
    ASSERT_EQ(outputs, 1);
    EXPECT_EQ(printed.of(u"L_Summen"_s), QStringList{u"Gesamtsummen"_s});
    EXPECT_EQ(printed.of(u"L_SummeGesamt"_s), QStringList{u"      0.00 Std"_s});
    EXPECT_EQ(printed.of(u"L_SummeGesamtW"_s), QStringList{money(0)});
    EXPECT_TRUE(printed.of(u"ZS_StdNormal"_s).isEmpty());
}

TEST_F(ZeitSumPrints, TheDetailListPrintsTheFilteredRecordsWithTheViewsSums) {
    sumRow(10, 3.5, 42.0);
    record(u"LumoDB"_s, 7, 10, QDate(2026, 3, 2), 1.5);
    record(u"LumoDB"_s, 7, 10, QDate(2026, 3, 3), 2.0, 2);
    record(u"LumoDB"_s, 7, 11, QDate(2026, 3, 3), 9.0);
    record(u"LumoDB"_s, 7, 10, QDate(2026, 4, 1), 9.0);
    const QString filter = u"Z_ObjNr=10 AND Z_Datum>=01.03.2026 AND Z_Datum<=31.03.2026"_s;
    PrintZeitSumObjDetail(work, u"Monat 3/2026"_s, filter, u"10"_s, u"HAUS A"_s, false, false, {});
    ASSERT_EQ(outputs, 1);
    EXPECT_EQ(printed.of(u"Z_Stunden"_s), (QStringList{u"1,50 Std"_s, u"2,00 Std"_s}));
    EXPECT_EQ(printed.of(u"K_Mitarbeiter"_s), (QStringList{u"BERG"_s, u"BERG"_s}));
    EXPECT_EQ(printed.of(u"K_Stundenart"_s), (QStringList{u"Normal"_s, u"Überst."_s}));
    EXPECT_EQ(printed.of(u"ZS_StdNormal"_s), QStringList{u"3,50 Std"_s});
    EXPECT_EQ(printed.of(u"ZS_EkNormal"_s), QStringList{money(42.0)});
    EXPECT_EQ(printed.of(u"L_Monat"_s), QStringList{u"Monat 3/2026"_s});
    EXPECT_EQ(printed.of(u"L_Ende"_s), QStringList{u"Ende der Liste"_s});
    EXPECT_EQ(printed.of(u"L_Titel"_s), QStringList{u"Objekt-Arbeitszeiten"_s});

    // Switched on by a layout, the optional labels carry number and name.
    const QString layout = writeLayoutOf(61001, u"TQRZeitSumOD"_s,
                                         enable({u"L_ObjNr"_s, u"L_ObjBez"_s, u"L_Titel2"_s}));
    PrintZeitSumObjDetail(work, u"Monat 3/2026"_s, filter, u"10"_s, u"HAUS A"_s, false, false,
                          layout);
    EXPECT_EQ(printed.of(u"L_ObjNr"_s), QStringList{u"10"_s});
    EXPECT_EQ(printed.of(u"L_ObjBez"_s), QStringList{u"HAUS A"_s});
}

TEST_F(ZeitSumPrints, AnArchivedMonthReadsArchivedRecordsWithTheCurrentSumsRow) {
    sumRow(7, 4.0, 48.0);
    record(u"AblageDB"_s, 7, 10, QDate(2026, 3, 2), 4.0);
    record(u"LumoDB"_s, 7, 11, QDate(2026, 3, 5), 8.0);
    const QString filter = u"Z_PersNr=7 AND Z_Datum>=01.03.2026 AND Z_Datum<=31.03.2026"_s;
    PrintZeitSumPersDetail(work, u"Monat 3/2026"_s, filter, u"7"_s, u"BERG"_s, true, false, {});
    ASSERT_EQ(outputs, 1);
    EXPECT_EQ(printed.of(u"Z_Stunden"_s), QStringList{u"4,00 Std"_s});
    EXPECT_EQ(printed.of(u"K_Objektbez"_s), QStringList{u"HAUS A"_s});
    EXPECT_EQ(printed.of(u"ZS_StdNormal"_s), QStringList{u"4,00 Std"_s});
    EXPECT_EQ(printed.of(u"L_Titel"_s), QStringList{u"PersonalArbeitszeiten"_s});

    PrintZeitSumPersDetail(work, u"Monat 3/2026"_s, filter, u"7"_s, u"BERG"_s, false, false, {});
    EXPECT_EQ(printed.of(u"Z_Stunden"_s), QStringList{u"8,00 Std"_s});
}

TEST_F(ZeitSumPrints, AnEmptyPeriodPrintsHeadersAndTheEndOfTheList) {
    const QString filter = u"Z_ObjNr=10 AND Z_Datum>=01.03.2026 AND Z_Datum<=31.03.2026"_s;
    PrintZeitSumObjDetail(work, u"Monat 3/2026"_s, filter, u"10"_s, u"HAUS A"_s, false, false, {});
    ASSERT_EQ(outputs, 1);
    EXPECT_EQ(printed.of(u"L_Stunden"_s), QStringList{u"Stunden"_s});
    EXPECT_EQ(printed.of(u"L_Ende"_s), QStringList{u"Ende der Liste"_s});
    EXPECT_TRUE(printed.of(u"Z_Stunden"_s).isEmpty());
}

} // namespace
