#include "core/data/reportsource.h"
#include "listfixture.h"
#include "platform/table/table.h"
#include "printing/controlreportprints.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QDate kReportDate(2026, 3, 31);
const QString kFilter = u"B_ObjektNr=20 AND B_DruckTermin=31.03.2026"_s;

// Object 20 of customer 100 with one report of two lines: activity 1 done
// three times, activity 2 skipped.
class ControlReportPrints : public liststest::ListFixture {
protected:
    void SetUp() override {
        ListFixture::SetUp();
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1},
                                {u"K_Nr"_s, 100},
                                {u"K_Match"_s, u"MUELLER"_s},
                                {u"K_Name1"_s, u"Müller Verwaltung"_s},
                                {u"K_Strasse"_s, u"Lindenallee 5"_s},
                                {u"K_Plz"_s, u"10117"_s},
                                {u"K_Ort"_s, u"Berlin"_s}});
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 20},
                                 {u"O_Nr"_s, 20},
                                 {u"O_Match"_s, u"Bürohaus Nord"_s},
                                 {u"O_Name1"_s, u"Bürohaus Nord GbR"_s},
                                 {u"O_Strasse"_s, u"Hauptstr. 1"_s},
                                 {u"O_Kunde"_s, 100},
                                 {u"O_Aktiv"_s, true}});
        addRow(u"BerText.db"_s,
               {{u"ID"_s, 1}, {u"E_Head"_s, u"Vorspann"_s}, {u"E_Foot"_s, u"Nachspann"_s}});
        addHeadAndLines(u"LumoDB"_s);
        createModule();
    }
    void addHeadAndLines(const QString& alias) {
        auto db = table::aliases::database(alias);
        auto add = [&](const QString& file, const QList<std::pair<QString, QVariant>>& values) {
            table::Table t(db, file);
            t.open();
            t.append();
            for (const auto& [name, value] : values)
                t.field(name).setValue(value);
            t.post();
        };
        add(u"BerKopf.db"_s,
            {{u"B_ID"_s, 1}, {u"B_ObjektNr"_s, 20}, {u"B_DruckDatum"_s, kReportDate}});
        add(u"BerSatz.db"_s, {{u"B_SID"_s, 1},
                              {u"B_ObjektNr"_s, 20},
                              {u"B_DruckTermin"_s, kReportDate},
                              {u"B_TaetigNr"_s, 1},
                              {u"B_State"_s, 4},
                              {u"B_WieOft"_s, 3},
                              {u"B_TourDatum"_s, QDate(2026, 3, 9)},
                              {u"B_KontrollText"_s, u"Treppe gewischt"_s}});
        add(u"BerSatz.db"_s, {{u"B_SID"_s, 2},
                              {u"B_ObjektNr"_s, 20},
                              {u"B_DruckTermin"_s, kReportDate},
                              {u"B_TaetigNr"_s, 2},
                              {u"B_State"_s, 2},
                              {u"B_WieOft"_s, 1},
                              {u"B_TourDatum"_s, QDate(2026, 3, 16)},
                              {u"B_KontrollText"_s, u"Fenster geputzt"_s}});
    }
};

TEST_F(ControlReportPrints, TheThreeVariantsShareTheTitleAndDifferInTheirColumns) {
    struct Variant {
        int type;
        const char* className;
        QStringList columns;
    };
    const Variant variants[] = {
        {26000, "TQRKbericht01", {u"Tät.-Nr."_s, u"Bezeichnung derTätigkeit"_s}},
        {27000, "TQRKbericht2", {u"Anzahl"_s, u"Tät.-Nr."_s, u"Bezeichnung derTätigkeit"_s}},
        {28000, "TQRKbericht03", {u"Tät.-Nr."_s, u"Bezeichnung derTätigkeit"_s, u"Ausf.-Datum"_s}},
    };
    for (const Variant& v : variants) {
        PrintKbericht(v.type, 20, 1, kFilter, kReportDate, true, {});
        EXPECT_EQ(classes.last(), QString::fromLatin1(v.className));
        const QStringList all = allTexts();
        for (const QString& text :
             {u"Kontrollbericht"_s, u"Bürohaus Nord"_s, u"Bürohaus Nord GbR"_s, u"100"_s,
              u"Vorspann"_s, u"Nachspann"_s, u"Treppe gewischt"_s, u"Fenster geputzt"_s})
            EXPECT_TRUE(all.contains(text)) << v.className << " " << text.toStdString();
        EXPECT_EQ(
            printed({u"Anzahl"_s, u"Tät.-Nr."_s, u"Bezeichnung derTätigkeit"_s, u"Ausf.-Datum"_s}),
            v.columns)
            << v.className;
    }
    EXPECT_TRUE(allTexts().contains(u"16.03.2026"_s)) << "the complete variant prints the dates";
}

TEST_F(ControlReportPrints, TheStateFilterLeavesOutSkippedActivities) {
    PrintKberichtSumm(20, 1, kFilter + u" AND B_State>=4"_s, kReportDate, true, {});
    EXPECT_TRUE(allTexts().contains(u"Treppe gewischt"_s));
    EXPECT_FALSE(allTexts().contains(u"Fenster geputzt"_s));
}

TEST_F(ControlReportPrints, AnObjectSendingToItsCustomerPrintsTheCustomersAddress) {
    auto db = table::aliases::database(u"LumoDB"_s);
    db->execSql(u"UPDATE \"Objekte\" SET \"O_UseKundenAdresseKb\" = 1"_s);
    PrintKberichtSumm(20, 1, kFilter, kReportDate, true, {});
    const QStringList all = allTexts();
    EXPECT_TRUE(all.contains(u"Müller Verwaltung"_s));
    EXPECT_TRUE(all.contains(u"Lindenallee 5"_s));
    EXPECT_FALSE(all.contains(u"Bürohaus Nord GbR"_s));
    EXPECT_TRUE(all.contains(u"Bürohaus Nord"_s)) << "the search name stays the object's";
}

TEST_F(ControlReportPrints, CopiesApplyToOnePrintOnlyAndNoHeadPrintsNothing) {
    QList<int> copies;
    ReportOutput previous;
    previous = SetReportOutput([&](report::Report& rep, bool preview, QWidget* parent) {
        copies.append(rep.printSettings().copies);
        previous(rep, preview, parent);
    });
    PrintKberichtGezaehlt(20, 3, kFilter, kReportDate, false, {});
    PrintKberichtKomplett(20, 1, kFilter, kReportDate, false, {});
    EXPECT_EQ(copies, (QList<int>{3, 1}));
    const int before = outputs;
    PrintKberichtSumm(20, 1, kFilter, kReportDate.addDays(1), false, {});
    EXPECT_EQ(outputs, before);
    SetReportOutput(previous);
}

TEST_F(ControlReportPrints, WhileTheArchiveIsOpenHeadsAndLinesComeFromIt) {
    auto archive = table::aliases::database(u"AblageDB"_s);
    for (const char* file : {"BerKopf.db", "BerSatz.db"}) {
        const QString name = QString::fromLatin1(file);
        if (archive->exists(name))
            archive->dropTable(name);
        archive->createTable(table::aliases::database(u"LumoDB"_s)->tableDef(name));
    }
    {
        const ReportDatabaseScope scope(u"AblageDB"_s);
        const int before = outputs;
        PrintKberichtSumm(20, 1, kFilter, kReportDate, true, {});
        EXPECT_EQ(outputs, before) << "the archive holds no such report yet";
        addHeadAndLines(u"AblageDB"_s);
        archive->execSql(u"UPDATE \"BerSatz\" SET \"B_KontrollText\" = 'Archiviert'"_s);
        PrintKberichtSumm(20, 1, kFilter, kReportDate, true, {});
        EXPECT_TRUE(allTexts().contains(u"Archiviert"_s));
    }
    EXPECT_EQ(ReportDatabaseName, u"LumoDB"_s);
}

} // namespace
