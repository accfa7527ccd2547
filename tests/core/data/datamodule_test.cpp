#include "clientdbfixture.h"
#include "core/connectedsessions.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "dbstructure/tableschemas.h"
#include "platform/table/database.h"
#include "platform/table/session.h"
#include "platform/table/table.h"

#include <QDir>
#include <QFile>

namespace {

using datatest::ClientDbFixture;
using Kind = MessagePresenter::Kind;

class DataModule : public ClientDbFixture {
protected:
    void addCustomers(int count) {
        auto db = table::aliases::database(QStringLiteral("LumoDB"));
        table::Transaction tx(*db);
        auto t = open(QStringLiteral("Kunden.DB"));
        for (int i = 1; i <= count; ++i) {
            t->append();
            t->field(QStringLiteral("K_ID")).setValue(i);
            t->field(QStringLiteral("K_Nr")).setValue(1000 + i);
            t->post();
        }
        tx.commit();
    }
    void addObject(int id, int nr, int kunde, bool aktiv, QVariant useKundenAdresse = {}) {
        addRow(QStringLiteral("Objekte.DB"),
               {{QStringLiteral("O_ID"), id},
                {QStringLiteral("O_Nr"), nr},
                {QStringLiteral("O_Kunde"), kunde},
                {QStringLiteral("O_Aktiv"), aktiv},
                {QStringLiteral("O_UseKundenAdresseKb"), useKundenAdresse}});
    }
};

TEST_F(DataModule, OpensTheBaseTablesOfANewClient) {
    addCustomers(2);
    addObject(1, 10, 1001, true);
    addObject(2, 11, 1001, false);
    addObject(3, 12, 1002, true);
    TDataModule1 dm;
    dm.DataModuleCreate();
    EXPECT_TRUE(presenter.boxes.isEmpty()) << presenter.boxes.value(0).text.toStdString();
    EXPECT_EQ(table::aliases::directory(QStringLiteral("LumoDB")), DataDir);
    EXPECT_EQ(table::aliases::directory(QStringLiteral("AblageDB")), AblageDir);

    const char* base[] = {"TabFDUser",     "TabApNames",  "TabWochentage", "TabBerUnerl",
                          "TabBerMod",     "TabBanken",   "TabZahlbed",    "TabVE",
                          "TabMwst",       "TabKostart",  "TabZahlart",    "TabZahlinterv",
                          "TabAusfInterv", "TabFirmen",   "TabTaetig",     "TabArtikel",
                          "TabKunden",     "TabObjekt",   "TabLieferant",  "TabPersonal",
                          "TabNotdienst",  "TabKundObj",  "TabLUTaetig",   "TabArtLU",
                          "TabLUKunden",   "TabLUObjekt", "TabLUTour",     "TabLUAdress"};
    for (const char* name : base)
        EXPECT_TRUE(dm.table(QString::fromLatin1(name)).isOpen()) << name;
    EXPECT_FALSE(dm.TabRechKopf().isOpen());
    EXPECT_EQ(dm.TabKunden().indexName(), QStringLiteral("K_INr"));
    EXPECT_EQ(dm.TabArtikel().filter(), QStringLiteral("A_ObjID=0"));
    EXPECT_EQ(dm.ArtikelObjId(), 0);
    // Only active objects; the customer's objects follow the customer.
    EXPECT_EQ(dm.TabObjekt().recordCount(), 2);
    dm.TabKunden().first();
    EXPECT_EQ(dm.TabKundObj().recordCount(), 2);
    dm.TabKunden().next();
    EXPECT_EQ(dm.TabKundObj().recordCount(), 1);

    EXPECT_TRUE(dm.IsTimerWorkEnabled());
    EXPECT_FALSE(dm.IsInitNewRecord() || dm.IsImportRunning() || dm.IsRecalcSuspended() ||
                 dm.IsBvObjInsertAllowed() || dm.IsBestObjInsertAllowed());
    EXPECT_EQ(&DataModule1(), &dm);

    // This workstation joined the shared network directory's session list.
    ASSERT_NE(dm.session(), nullptr);
    EXPECT_EQ(GetBdeUserCount(), 1);
    EXPECT_EQ(ListLoggedInUsers().size(), 1);
}

TEST_F(DataModule, HoldsOneObjectPerTableReachableByNameOrFile) {
    TDataModule1 dm;
    dm.DataModuleCreate();
    EXPECT_EQ(&dm.table(QStringLiteral("TabKunden")), &dm.TabKunden());
    EXPECT_EQ(&dm.table(QStringLiteral("kunden.db")), &dm.TabKunden());
    EXPECT_EQ(&dm.table(QStringLiteral("Objekte")),
              &dm.TabObjekt()); // the first object named for a file
    EXPECT_THROW(dm.table(QStringLiteral("TabNichtDa")), DbError);
    QSet<QString> files;
    for (table::Table* t : dm.tables())
        files.insert(dbstructure::TableLookupKey(t->tableName()));
    for (const auto& step :
         dbstructure::TableSchemas::builtIn().creationOrder(dbstructure::Database::Client)) {
        EXPECT_TRUE(files.contains(dbstructure::TableLookupKey(step.table)))
            << step.table.toStdString();
        EXPECT_NO_THROW(dm.table(step.table).open()) << step.table.toStdString();
    }
}

TEST_F(DataModule, ClientWithoutCompanyTableNeverOpensTheTemplateData) {
    ASSERT_TRUE(
        QFile::rename(table::Database::fileIn(DataDir), table::Database::fileIn(TemplateDataDir)));
    TDataModule1 dm;
    EXPECT_THROW(dm.DataModuleCreate(), ProgramEndRequested);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Die Datenbank des Mandanten fehlt im Verzeichnis\r") +
                          DataDir});
    EXPECT_FALSE(dm.hasTables());
    // The tables of a closed module are out of reach, not freed memory.
    EXPECT_THROW(dm.TabFirmen(), DbError);
}

TEST_F(DataModule, ReportsAMissingBaseTableAndGoesOn) {
    table::aliases::database(QStringLiteral("LumoDB"))->dropTable(QStringLiteral("Banken.DB"));
    TDataModule1 dm;
    dm.DataModuleCreate();
    const QStringList errors = presenter.texts(Kind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Öffnen: Banken.DB : Fehler!\rMessage: ")))
        << errors[0].toStdString();
    EXPECT_TRUE(logText().contains(QStringLiteral("Banken.DB: ERROR OPEN")));
    EXPECT_FALSE(dm.TabBanken().isOpen());
    EXPECT_TRUE(dm.TabZahlbed().isOpen());
    EXPECT_TRUE(dm.TabLUAdress().isOpen());
}

TEST_F(DataModule, AliasThatCannotBeSetUpEndsTheProgram) {
    QFile blocker(path(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString badDir = path(QStringLiteral("blocker/Data0001/"));
    TDataModule1 dm;
    EXPECT_THROW(dm.SetupLumoAlias(badDir), ProgramEndRequested);
    ASSERT_EQ(presenter.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(presenter.texts(Kind::Error)[0].startsWith(
        QStringLiteral("Datenbank-Alias (Daten)LumoDB\rin Pfad:") + badDir +
        QStringLiteral("\rkann nicht erstellt werden!\rMessage: ")))
        << presenter.texts(Kind::Error)[0].toStdString();

    presenter.boxes.clear();
    EXPECT_THROW(dm.SetupAblageAlias(badDir), ProgramEndRequested);
    EXPECT_TRUE(presenter.texts(Kind::Error)
                    .value(0)
                    .startsWith(QStringLiteral("Datenbank-Alias (Ablage)AblageDB\r")));
}

TEST_F(DataModule, ReadOnlySwitchKeepsTheRecord) {
    addCustomers(60);
    TDataModule1 dm;
    dm.DataModuleCreate();
    table::Table& kunden = dm.TabKunden();
    kunden.setRecNo(57);
    dm.SetTableReadOnly(kunden, true);
    EXPECT_TRUE(kunden.isReadOnly());
    EXPECT_EQ(kunden.recNo(), 57);
    EXPECT_THROW(kunden.edit(), DbError);
    dm.SetTableReadOnly(kunden, false);
    EXPECT_EQ(kunden.recNo(), 57);
    EXPECT_EQ(kunden.field(QStringLiteral("K_Nr")).asInteger(), 1057);

    table::Table& closed = dm.TabRechKopf();
    dm.SetTableReadOnly(closed, true);
    EXPECT_FALSE(closed.isReadOnly());
    EXPECT_FALSE(closed.isOpen());
}

TEST_F(DataModule, FindsDocumentsInTheSourcesDatabase) {
    addRow(QStringLiteral("Angkopf.DB"),
           {{QStringLiteral("R_ID"), 4}, {QStringLiteral("R_Nr"), QStringLiteral("A-1")}});
    addRow(QStringLiteral("Angkopf.DB"),
           {{QStringLiteral("R_ID"), 9}, {QStringLiteral("R_Nr"), QStringLiteral("A-2")}},
           QStringLiteral("AblageDB"));
    TDataModule1 dm;
    dm.DataModuleCreate();
    int id = -1;
    EXPECT_TRUE(dm.FindDocIdByNr(TDocSource::Angebot, QStringLiteral("A-1"), id));
    EXPECT_EQ(id, 4);
    EXPECT_FALSE(dm.FindDocIdByNr(TDocSource::Angebot, QStringLiteral("A-2"), id));
    EXPECT_TRUE(dm.FindDocIdByNr(ArchiveSource(TDocSource::Angebot), QStringLiteral("A-2"), id));
    EXPECT_EQ(id, 9);
    EXPECT_FALSE(dm.FindDocIdByNr(TDocSource(16), QStringLiteral("A-1"), id));
}

TEST_F(DataModule, ObjectUsesCustomerAddress) {
    addObject(1, 10, 0, true, true);
    addObject(2, 11, 0, true);
    TDataModule1 dm;
    dm.DataModuleCreate();
    EXPECT_TRUE(dm.GetObjektUseKundenAdresseKb(10));
    EXPECT_EQ(dm.TabObjekt().field(QStringLiteral("O_Nr")).asInteger(), 10);
    EXPECT_FALSE(dm.GetObjektUseKundenAdresseKb(11)); // null
    EXPECT_FALSE(dm.GetObjektUseKundenAdresseKb(99));
}

TEST_F(DataModule, DeleteAllRecordsLeavesAClosedTableClosed) {
    addRow(QStringLiteral("Angkopf.DB"), {{QStringLiteral("R_ID"), 1}});
    addRow(QStringLiteral("Angkopf.DB"), {{QStringLiteral("R_ID"), 2}});
    TDataModule1 dm;
    dm.DataModuleCreate();
    dm.DeleteAllRecords(dm.TabAngKopf());
    EXPECT_FALSE(dm.TabAngKopf().isOpen());
    EXPECT_TRUE(open(QStringLiteral("Angkopf.DB"))->isEmpty());
    addCustomers(3);
    dm.TabKunden().refresh();
    dm.DeleteAllRecords(dm.TabKunden());
    EXPECT_TRUE(dm.TabKunden().isOpen());
    EXPECT_TRUE(dm.TabKunden().isEmpty());
}

TEST_F(DataModule, DeleteAllRecordsPassesOverARecordHeldElsewhere) {
    addCustomers(4);
    TDataModule1 dm;
    dm.DataModuleCreate();
    auto theirs = std::make_shared<table::Session>(NetDir, QStringLiteral("andere"));
    auto otherDb = table::Database::open(DataDir);
    otherDb->setSession(theirs);
    table::Table held(otherDb, QStringLiteral("Kunden.DB"));
    held.open();
    ASSERT_TRUE(held.locate({QStringLiteral("K_ID")}, {3}));
    held.edit();
    dm.DeleteAllRecords(dm.TabKunden());
    EXPECT_EQ(presenter.texts(Kind::Error).size(), 1);
    EXPECT_EQ(dm.TabKunden().recordCount(), 1);
    EXPECT_EQ(dm.TabKunden().field(QStringLiteral("K_ID")).asInteger(), 3);
    held.cancel();
}

TEST_F(DataModule, TableSetupsRunOnEveryNewSetOfTables) {
    TDataModule1 dm;
    dm.DataModuleCreate();
    int runs = 0;
    dm.AddTableSetup([&](TDataModule1& m) {
        ++runs;
        m.TabKunden().beforePost += [](table::Table&) { throw Abort{}; };
    });
    EXPECT_EQ(runs, 1);
    dm.CloseDatabases();
    EXPECT_FALSE(dm.IsTimerWorkEnabled());
    dm.SetupLumoAlias(DataDir);
    dm.OpenBaseTables();
    dm.EnableTimerWork();
    EXPECT_EQ(runs, 2);
    dm.TabKunden().append();
    dm.TabKunden().field(QStringLiteral("K_ID")).setValue(1);
    EXPECT_THROW(dm.TabKunden().post(), Abort);
}

} // namespace
