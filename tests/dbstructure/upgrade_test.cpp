// The upgrade of an older client database to the current structure, and the
// building of a new client's databases by the same driver.
#include "core/files/programdirs.h"
#include "core/startup.h"
#include "dbstructure/tableschemas.h"
#include "dbstructure/upgrade.h"
#include "upgradefixture.h"

#include <QDate>
#include <QFileInfo>

using namespace upgradetest;
using dbstructure::TableSchemas;

namespace {

const QString kObjekte = QStringLiteral("Objekte.DB");

class UpgradeTest : public UpgradeFixture {
protected:
    // An older database: objects with old and renamed fields, appointments
    // keyed by an auto-increment field whose first key was deleted, payment
    // kinds of the user's own, a changed weekday table, postal codes, print
    // forms and one archived invoice head.
    void createOldDatabase() {
        auto db = openDb(dataDir);
        createOldTable(
            *db, {kObjekte,
                  {{"O_ID", FieldType::Integer},
                   {"O_Nr", FieldType::Integer},
                   {"O_Name1", FieldType::String, 40},
                   {"O_MuellBio1", FieldType::Integer}, // renamed to O_RgZahlbed1
                   {"O_MuellBio2", FieldType::Integer}, // dropped: O_RgZahlbed2 is there
                   {"O_RgZahlbed2", FieldType::Integer},
                   {"O_DatumRg1", FieldType::Date},        // renamed to O_DatumLetzteRech2
                   {"O_Aktiv", FieldType::Boolean},        // null stays null despite the fill-in
                   {"O_Veraltet", FieldType::String, 10}}, // no longer defined
                  {{1, 100, "Haus am See", 7, 8, 9, QDate(2001, 2, 3), QVariant(), "x"},
                   {2, 101, QVariant(), QVariant(), 1, QVariant(), QVariant(), true, QVariant()}}});
        table::TableDef termObj;
        createOldTable(*db, {QStringLiteral("TermObj.DB"),
                             {{"T_ID", FieldType::AutoInc},
                              {"T_Objekt", FieldType::Integer},
                              {"T_ObjektName", FieldType::String, 40}},
                             {{QVariant(), 100, "erster"},
                              {QVariant(), 100, "zweiter"},
                              {QVariant(), 101, "dritter"}}});
        {
            table::Table t(db, QStringLiteral("TermObj.DB"));
            t.open();
            ASSERT_TRUE(t.findKey({1}));
            t.deleteRecord();
        }
        createOldTable(*db, {QStringLiteral("ZahlArt.db"),
                             {{"ZA_ID", FieldType::Integer}, {"ZA_Text", FieldType::String, 30}},
                             {{1, "Bar"}, {12, "Verrechnung"}}});
        createOldTable(*db, {QStringLiteral("Wochtag.db"),
                             {{"WT_ID", FieldType::Integer},
                              {"WT_NR", FieldType::Smallint},
                              {"WT_Name", FieldType::String, 10}},
                             {{1, 1, "Mo"}}});
        createOldTable(*db, {QStringLiteral("PLZ.DB"),
                             {{"P_ID", FieldType::Integer},
                              {"PLZ", FieldType::String, 10},
                              {"ORT", FieldType::String, 40}},
                             {{1, "50667", "Köln"}, {2, "80331", "München"}}});
        createOldTable(*db, {QStringLiteral("QrFrmDef.DB"),
                             {{"QF_ID", FieldType::Integer},
                              {"Q_FormType", FieldType::Integer},
                              {"Q_SelectGroup", FieldType::Integer},
                              {"Q_Protect", FieldType::Boolean},
                              {"Q_Filename", FieldType::String, 20},
                              {"Q_Comment", FieldType::String, 60}},
                             {{10000, 10000, 0, true, "", "alte Rechnung"},      // old system form
                              {10001, 10000, 3, false, "ORM10001.QFD", "Meine"}, // the user's own
                              {22150, 0, 5, QVariant(), "ORM22150.QFD", "Journal kurz"},
                              {11000, 11000, 0, false, "X.QFD", "belegt"}}}); // id of a system form
        auto archive = openDb(archiveDir);
        createOldTable(*archive, {QStringLiteral("Rechkopf.DB"),
                                  {{"R_ID", FieldType::Integer}, {"R_Nr", FieldType::String, 20}},
                                  {{4, "R-2001-4"}}});
    }

    bool upgrade() {
        return dbstructure::UpdateDatabaseStructure(dataDir, dataTemp + u'/', archiveDir,
                                                    ablgTemp + u'/');
    }
};

TEST_F(UpgradeTest, OldDatabaseReachesTheCurrentStructureWithEveryRow) {
    createOldDatabase();
    ASSERT_TRUE(upgrade());
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_FALSE(logText().contains(QStringLiteral("DBMM")));

    auto db = openDb(dataTemp);
    const TableSchemas& schemas = TableSchemas::builtIn();
    for (const auto& step : schemas.creationOrder(dbstructure::Database::Client)) {
        ASSERT_TRUE(db->exists(step.table)) << step.table.toStdString();
        EXPECT_EQ(db->tableDef(step.table).fields.size(), schemas.get(step.table).def.fields.size())
            << step.table.toStdString();
    }

    const auto objekte = readRows(*db, kObjekte);
    ASSERT_EQ(objekte.size(), 2);
    EXPECT_EQ(objekte[0]["O_Nr"], 100);
    EXPECT_EQ(objekte[0]["O_Name1"], "Haus am See");
    EXPECT_EQ(objekte[0]["O_RgZahlbed1"], 7);                       // from O_MuellBio1
    EXPECT_EQ(objekte[0]["O_RgZahlbed2"], 9);                       // by name, not from O_MuellBio2
    EXPECT_EQ(objekte[0]["O_DatumLetzteRech2"], QDate(2001, 2, 3)); // from O_DatumRg1
    EXPECT_FALSE(objekte[0]["O_Aktiv"].isValid());                  // old null beats the fill-in
    EXPECT_EQ(objekte[0]["O_Zahlintervall"], 1);                    // fill-in of a new field
    EXPECT_EQ(objekte[0]["O_RgZahlbed3"], 0);                       // fill-in of a new field
    EXPECT_FALSE(objekte[1]["O_Name1"].isValid());
    EXPECT_FALSE(objekte[1]["O_RgZahlbed1"].isValid()); // the renamed field's null is copied
    EXPECT_EQ(objekte[1]["O_Aktiv"], true);
    EXPECT_FALSE(objekte[1].contains("O_Veraltet"));

    const auto termine = readRows(*db, QStringLiteral("TermObj.DB"));
    ASSERT_EQ(termine.size(), 2);
    EXPECT_EQ(termine[0]["T_ID"], 2); // old keys survive
    EXPECT_EQ(termine[0]["T_ObjName"], "zweiter");
    EXPECT_EQ(termine[1]["T_ID"], 3);
    EXPECT_EQ(termine[1]["T_ObjName"], "dritter");

    // Copied rows instead of defaults; defaults instead of old rows.
    const auto zahlart = readRows(*db, QStringLiteral("Zahlart.DB"));
    ASSERT_EQ(zahlart.size(), 2);
    EXPECT_EQ(zahlart[1]["ZA_Text"], "Verrechnung");
    const auto wochtag = readRows(*db, QStringLiteral("Wochtag.db"));
    EXPECT_EQ(wochtag.size(), schemas.get(QStringLiteral("Wochtag.db")).defaultRows.size());
    EXPECT_EQ(wochtag[0]["WT_Name"], "Montag");

    // A table without definition comes along unchanged.
    const auto plz = readRows(*db, QStringLiteral("PLZ.DB"));
    ASSERT_EQ(plz.size(), 2);
    EXPECT_EQ(plz[1]["ORT"], "München");

    // System forms of the current version, plus the user's own that do not
    // collide with them.
    QHash<int, QVariantMap> forms;
    for (const auto& row : readRows(*db, QStringLiteral("QrFrmDef.DB")))
        forms.insert(row["QF_ID"].toInt(), row);
    EXPECT_EQ(forms.size(), schemas.get(QStringLiteral("QrFrmDef.DB")).defaultRows.size() + 2);
    EXPECT_EQ(forms[10000]["Q_Comment"], "Rechnungsformular");
    EXPECT_EQ(forms[11000]["Q_Comment"], "Angebots-Anschreiben");
    EXPECT_EQ(forms[10001]["Q_Comment"], "Meine");
    EXPECT_EQ(forms[10001]["Q_SelectGroup"], 0);
    EXPECT_EQ(forms[22150]["Q_FormType"], 22100);
    EXPECT_EQ(forms[22150]["Q_Filename"], "ORM22150.QFD");
    EXPECT_EQ(forms[22150]["Q_Protect"], false);

    auto archive = openDb(ablgTemp);
    EXPECT_EQ(archive->tableNames().size(), 17);
    const auto rechkopf = readRows(*archive, QStringLiteral("Rechkopf.DB"));
    ASSERT_EQ(rechkopf.size(), 1);
    EXPECT_EQ(rechkopf[0]["R_Nr"], "R-2001-4");

    // The save copies are gone, the next start removes the work directories,
    // and the source was only read.
    EXPECT_FALSE(QFileInfo::exists(dataTemp + QStringLiteral("_Sav")));
    EXPECT_FALSE(QFileInfo::exists(ablgTemp + QStringLiteral("_Sav")));
    EXPECT_TRUE(QFileInfo::exists(WindowsDir + QStringLiteral("DELDEPP.DSF")));
    EXPECT_EQ(openDb(dataDir)->tableDef(kObjekte).fields.size(), 9);
}

TEST_F(UpgradeTest, EmptySourceGivesNewClientWithDefaultsAndTemplateForms) {
    {
        auto templ = openDb(GetMandantDataDir(0));
        createOldTable(*templ, {QStringLiteral("QrFrmDef.DB"),
                                {{"QF_ID", FieldType::Integer},
                                 {"Q_FormType", FieldType::Integer},
                                 {"Q_SelectGroup", FieldType::Integer},
                                 {"Q_Protect", FieldType::Boolean},
                                 {"Q_Filename", FieldType::String, 20},
                                 {"Q_Comment", FieldType::String, 60}},
                                {{55501, 55500, 0, false, "ORM55501.QFD", "Vorlage"}}});
    }
    QDir(dataDir).removeRecursively(); // a client that has no directory yet
    ASSERT_TRUE(upgrade());

    auto db = openDb(dataTemp);
    const TableSchemas& schemas = TableSchemas::builtIn();
    for (const auto& step : schemas.creationOrder(dbstructure::Database::Client)) {
        const int rows = int(readRows(*db, step.table).size());
        const auto& schema = schemas.get(step.table);
        int expected = 0;
        if (step.rows != dbstructure::RowsRule::Copy &&
            step.rows != dbstructure::RowsRule::CopyWithFillIn)
            expected = int(schema.defaultRows.size());
        if (step.rows == dbstructure::RowsRule::DefaultsThenUserForms)
            ++expected; // the template's own form
        EXPECT_EQ(rows, expected) << step.table.toStdString();
    }
    EXPECT_FALSE(db->exists(QStringLiteral("PLZ.DB")));
}

// Tables that an earlier, failed run left in any of the work directories
// must not reach the result, whatever the version.
TEST_F(UpgradeTest, LeftoversOfAnEarlierRunNeverReachTheResult) {
    createOldDatabase();
    DbVersion = 240; // without force a table already in the work directory would be kept
    const QStringList workDirs = {dataTemp, dataTemp + QStringLiteral("_Sav"), ablgTemp,
                                  ablgTemp + QStringLiteral("_Sav")};
    for (const QString& dir : workDirs) {
        auto stale = openDb(dir);
        createOldTable(*stale, {QStringLiteral("Zahlart.DB"),
                                {{"ZA_ID", FieldType::Integer}, {"ZA_Text", FieldType::String, 30}},
                                {{99, "Altlast"}}});
        createOldTable(*stale,
                       {QStringLiteral("Altlast.DB"), {{"X_ID", FieldType::Integer}}, {{1}}});
    }
    ASSERT_TRUE(upgrade());

    auto db = openDb(dataTemp);
    EXPECT_FALSE(db->exists(QStringLiteral("Altlast.DB")));
    const auto zahlart = readRows(*db, QStringLiteral("Zahlart.DB"));
    ASSERT_EQ(zahlart.size(), 2);
    EXPECT_EQ(zahlart[0]["ZA_Text"], "Bar");
    auto archive = openDb(ablgTemp);
    EXPECT_FALSE(archive->exists(QStringLiteral("Altlast.DB")));
    EXPECT_FALSE(archive->exists(QStringLiteral("Zahlart.DB")));
}

TEST(FieldRenameMapTest, SameNameWinsOverTheRenameAndOnlyPresentOldNamesCount) {
    const struct {
        const char* dest;
        QStringList source;
        const char* expected;
    } cases[] = {
        {"O_RgZahlbed1", {"O_ID", "O_MuellBio1"}, "O_MuellBio1"},
        {"o_rgzahlbed1", {"O_ID", "O_MUELLBIO1"}, "O_MUELLBIO1"},
        {"O_RgZahlbed1", {"O_MuellBio1", "O_RgZahlbed1"}, "O_RgZahlbed1"},
        {"O_RgZahlbed1", {"O_ID"}, ""},
        {"T_ObjName", {"T_ObjektName"}, "T_ObjektName"},
        {"O_Name1", {"O_NAME1"}, "O_NAME1"},
        {"O_Name2", {"O_Name1"}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dbstructure::FindRenamedSourceField(QString::fromUtf8(c.dest), c.source),
                  QString::fromUtf8(c.expected))
            << c.dest;
}

} // namespace

namespace {

TEST(AddInvoiceListsFormTest, AddsTheFormOnceAndOnlyWhenMissing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto db = openDb(dir.path());
    createOldTable(*db, {QStringLiteral("QrFrmDef.DB"),
                         {{"QF_ID", FieldType::Integer},
                          {"Q_FormType", FieldType::Integer},
                          {"Q_SelectGroup", FieldType::Integer},
                          {"Q_Protect", FieldType::Boolean},
                          {"Q_Filename", FieldType::String, 20},
                          {"Q_Comment", FieldType::String, 60}},
                         {{10000, 10000, 0, true, "", "Rechnungsformular"}}});

    EXPECT_EQ(dbstructure::AddInvoiceListsForm(*db), 1);
    EXPECT_EQ(dbstructure::AddInvoiceListsForm(*db), 0);
    EXPECT_EQ(dbstructure::AddedPrintFormsText(1), QStringLiteral("1 Druckformular eingebunden."));
    EXPECT_EQ(dbstructure::AddedPrintFormsText(3), QStringLiteral("3 Druckformulare eingebunden."));
    EXPECT_TRUE(dbstructure::AddedPrintFormsText(0).startsWith(
        QStringLiteral("0 Druckformulare eingebunden")));

    const auto rows = readRows(*db, QStringLiteral("QrFrmDef.DB"));
    ASSERT_EQ(rows.size(), 2);
    const QVariantMap& added = rows[1];
    EXPECT_EQ(added["QF_ID"], 81000);
    EXPECT_EQ(added["Q_FormType"], 81000);
    EXPECT_EQ(added["Q_SelectGroup"], 0);
    EXPECT_EQ(added["Q_Protect"], true);
    EXPECT_EQ(added["Q_Comment"], "Faktura-Listen");
}

} // namespace

namespace {

// Keys: an old auto-increment key is copied as a number; a new
// auto-increment field is left to the engine.
TEST(CopyTableDataTest, AutoIncrementKeysOnEitherSide) {
    const struct {
        const char* name;
        FieldType sourceKey;
        FieldType destKey;
        QList<int> expectedKeys;
    } cases[] = {
        {"old auto-increment", FieldType::AutoInc, FieldType::Integer, {2, 3}},
        {"new auto-increment", FieldType::Integer, FieldType::AutoInc, {1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        auto source = openDb(dir.filePath(QStringLiteral("alt")));
        auto dest = openDb(dir.filePath(QStringLiteral("neu")));
        createOldTable(*source, {QStringLiteral("Probe.DB"),
                                 {{"P_ID", c.sourceKey}, {"P_Text", FieldType::String, 10}},
                                 {{2, "eins"}, {3, "zwei"}, {4, "drei"}}});
        {
            table::Table t(source, QStringLiteral("Probe.DB"));
            t.open();
            t.first();
            t.deleteRecord(); // the auto-increment numbering starts at 1
        }
        createOldTable(*dest, {QStringLiteral("PROBE.db"),
                               {{"P_ID", c.destKey}, {"P_Text", FieldType::String, 10}},
                               {}});
        QList<dbstructure::CopyProblem> problems;

        EXPECT_EQ(dbstructure::CopyTableData(*source, *dest, QStringLiteral("Probe.DB"), nullptr,
                                             problems),
                  2);

        EXPECT_TRUE(problems.isEmpty());
        const auto rows = readRows(*dest, QStringLiteral("Probe.DB"));
        ASSERT_EQ(rows.size(), 2);
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(rows[i]["P_ID"], c.expectedKeys[i]);
        EXPECT_EQ(rows[1]["P_Text"], "drei");
        EXPECT_EQ(dbstructure::CopyTableData(*source, *dest, QStringLiteral("Fehlt.DB"), nullptr,
                                             problems),
                  0);
        EXPECT_TRUE(problems.isEmpty());
    }
}

} // namespace
