#include "documentprintfixture.h"
#include "printing/kostsumprints.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

// March 2026: cost type 0 (none) and 501 "Fahrtkosten"; object 10 "HAUS A"
// and the main store.
class KostSumPrints : public docprint::DocumentPrintFixture {
protected:
    void SetUp() override {
        DocumentPrintFixture::SetUp();
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 10}, {u"O_Nr"_s, 10}, {u"O_Match"_s, u"HAUS A"_s}});
        addRow(u"Kostart.DB"_s,
               {{u"A_ID"_s, 501}, {u"A_Nr"_s, 501}, {u"A_Text"_s, u"Fahrtkosten"_s}});
        // Heads: per cost type (object -1) and per object (cost type -1).
        head(501, -1, 0, 1000.0, 250.0, 900.0);
        head(0, -1, 0, 20.0, 0, 0);
        head(-1, 10, 10, 1000.0, 250.0, 900.0);
        head(-1, 0, 0, 20.0, 0, 0);
        // Details per cost type and object.
        line(501, 10, 10, 1000.0, 250.0, 900.0);
        line(0, 0, 0, 20.0, 0, 0);
    }
    void head(int kostart, int objektId, int objektNr, double z, double b, double e) {
        row(u"KostSumH.db"_s, kostart, objektId, objektNr, z, b, e);
    }
    void line(int kostart, int objektId, int objektNr, double z, double b, double e) {
        row(u"KostSumD.db"_s, kostart, objektId, objektNr, z, b, e);
    }
    void row(const QString& table, int kostart, int objektId, int objektNr, double z, double b,
             double e) {
        addRow(table, {{u"K_ID"_s, ++m_id},
                       {u"K_Periode"_s, 2},
                       {u"K_Jahr"_s, 2026},
                       {u"K_Monat"_s, 3},
                       {u"K_Kostart"_s, kostart},
                       {u"K_ObjektID"_s, objektId},
                       {u"K_ObjektNr"_s, objektNr},
                       {u"K_Zugang"_s, z},
                       {u"K_Bestand"_s, b},
                       {u"K_Erloes"_s, e}});
    }
    int m_id = 0;
    const QString byType = u"K_Jahr=2026 AND K_Monat=3 AND K_Kostart>=0"_s;
    const QString byObject = u"K_Jahr=2026 AND K_Monat=3 AND K_ObjektID>=0"_s;
};

TEST_F(KostSumPrints, CostTypeGroupsComputeDiffAndSaldoAndNameTheirMainStoreLine) {
    const QString layout =
        writeLayoutOf(58001, u"TQRKostSumK1"_s, enable({u"D_ObjektName"_s, u"L_Zeitbereich"_s}));
    PrintKostSumKostart(byType, u"11.12.2026"_s, u"Monat 3/2026"_s, false, layout);
    ASSERT_EQ(outputs, 1);
    EXPECT_EQ(printed.of(u"L_Titel"_s), QStringList{u"Kostenarten-Übersicht"_s});
    EXPECT_EQ(printed.of(u"U_Date"_s), QStringList{u"11.12.2026"_s});
    EXPECT_EQ(printed.of(u"L_Zeitbereich"_s), QStringList{u"Monat 3/2026"_s});
    // I_JMK order: cost type 0 first.
    EXPECT_EQ(printed.of(u"H_KostartName"_s),
              (QStringList{u"ohne Kostenzuordnung"_s, u"Fahrtkosten"_s}));
    EXPECT_EQ(printed.of(u"H_Diff"_s), (QStringList{money(20.0), money(750.0)}));
    EXPECT_EQ(printed.of(u"H_Saldo"_s), (QStringList{money(-20.0), money(150.0)}));
    EXPECT_EQ(printed.of(u"H_Zugang"_s), (QStringList{money(20.0), money(1000.0)}));
    EXPECT_EQ(printed.of(u"D_K_ObjektNr"_s), (QStringList{u"0"_s, u"10"_s}));
    EXPECT_EQ(printed.of(u"D_ObjektName"_s), (QStringList{u"Hauptlager"_s, u"HAUS A"_s}));
    EXPECT_EQ(printed.of(u"L_Ende"_s), QStringList{u"Ende der Liste"_s});
    // The optional columns stay off in the shipped layout.
    PrintKostSumKostart(byType, u"11.12.2026"_s, u"Monat 3/2026"_s, false, {});
    EXPECT_TRUE(printed.of(u"D_ObjektName"_s).isEmpty());
    EXPECT_TRUE(printed.of(u"L_Zeitbereich"_s).isEmpty());
    EXPECT_EQ(printed.of(u"H_Diff"_s), (QStringList{money(20.0), money(750.0)}));
}

TEST_F(KostSumPrints, ObjectGroupsNameTheMainStoreAndTheirCostTypeLines) {
    const QString layout = writeLayoutOf(59001, u"TQRKostSumO1"_s, enable({u"H_ObjektName"_s}));
    PrintKostSumObjekt(byObject, u"11.12.2026"_s, u"Monat 3/2026"_s, true, layout);
    ASSERT_EQ(outputs, 1);
    EXPECT_EQ(printed.of(u"L_Titel"_s), QStringList{u"Objekt-Kosten"_s});
    EXPECT_EQ(printed.of(u"H_K_ObjektNr"_s), (QStringList{u"0"_s, u"10"_s}));
    EXPECT_EQ(printed.of(u"H_ObjektName"_s), (QStringList{u"Hauptlager"_s, u"HAUS A"_s}));
    EXPECT_EQ(printed.of(u"D_KostartName"_s),
              (QStringList{u"ohne Kostenzuordnung"_s, u"Fahrtkosten"_s}));
    EXPECT_EQ(printed.of(u"H_Saldo"_s), (QStringList{money(-20.0), money(150.0)}));
}

TEST_F(KostSumPrints, AnEmptyPeriodPrintsTheTitleAndTheEndOfTheList) {
    PrintKostSumObjekt(u"K_Jahr=2025 AND K_Monat=1 AND K_ObjektID>=0"_s, u"11.12.2026"_s,
                       u"Monat 1/2025"_s, false, {});
    ASSERT_EQ(outputs, 1);
    EXPECT_EQ(printed.of(u"L_Titel"_s), QStringList{u"Objekt-Kosten"_s});
    EXPECT_EQ(printed.of(u"L_Ende"_s), QStringList{u"Ende der Liste"_s});
    EXPECT_TRUE(printed.of(u"H_Zugang"_s).isEmpty());
    EXPECT_EQ(printed.pageCount, 1);
}

} // namespace
