// Index repair and packing of a client database: exactly the defined indexes,
// the whole database for this workstation alone, and the open tables of the
// data module closed and reopened around the work.
#include "core/framefixture.h"
#include "dbstructure/databasebuilder.h"
#include "dbstructure/reorganisation.h"
#include "dbstructure/tableschemas.h"
#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/session.h"
#include "platform/table/table.h"
#include "platform/table/tableerror.h"
#include "platform/table/values.h"

#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using dbstructure::DbReorganisation;
using dbstructure::TableSchemas;

namespace {

std::shared_ptr<table::Database> openDb(const QString& dir) {
    table::Database::Options options;
    options.syncToDisk = false;
    return table::Database::open(dir, options);
}

class ReorganisationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        db = openDb(dir.filePath(QStringLiteral("data")));
        dbstructure::CreateDatabaseTables(*db, dbstructure::Database::Client);
        previousPresenter = SetMessagePresenter(&presenter);
    }
    void TearDown() override { SetMessagePresenter(previousPresenter); }

    // The indexes the engine really holds for a table.
    QSet<QString> engineIndexes(const QString& name) {
        auto s = db->connection().prepare(QStringLiteral(
            "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ? COLLATE NOCASE "
            "AND sql IS NOT NULL"));
        s->bind(1, table::physicalName(db->tableDef(name).name));
        QSet<QString> names;
        while (s->step())
            names.insert(s->value(0).toString().toLower());
        return names;
    }
    QSet<QString> definedIndexes(const QString& name) {
        QSet<QString> names;
        const auto& def = TableSchemas::builtIn().get(name).def;
        for (const auto& idx : def.indexes)
            names.insert((table::physicalName(def.name) + u'_' + idx.name).toLower());
        return names;
    }
    // A table whose indexes went astray: one defined index lost, a foreign one added.
    void damageIndexes(const QString& name) {
        const auto& def = TableSchemas::builtIn().get(name).def;
        QList<table::IndexDef> damaged = def.indexes.mid(1);
        damaged.append({QStringLiteral("I_Fremd"), {def.fields.first().name}, true, false, false});
        db->rebuildIndexes(name, damaged);
        ASSERT_NE(engineIndexes(name), definedIndexes(name));
    }

    QTemporaryDir dir;
    std::shared_ptr<table::Database> db;
    frametest::RecordingPresenter presenter;
    MessagePresenter* previousPresenter = nullptr;
    QStringList statusLines;
    DbReorganisation reorganisation() {
        return DbReorganisation(db, [this](const QString& s) { statusLines.append(s); });
    }
};

TEST_F(ReorganisationTest, RepairLeavesExactlyTheDefinedIndexesOfEveryMenuTable) {
    auto reorg = reorganisation();
    for (const auto& entry : dbstructure::IndexRepairEntries()) {
        SCOPED_TRACE(entry.caption.toStdString());
        for (const QString& name : entry.tables)
            damageIndexes(name);
        statusLines.clear();
        reorg.RepairIndexes(entry.tables);
        for (const QString& name : entry.tables) {
            EXPECT_EQ(engineIndexes(name), definedIndexes(name)) << name.toStdString();
            QStringList stored, defined;
            for (const auto& idx : db->tableDef(name).indexes)
                stored << idx.name;
            for (const auto& idx : TableSchemas::builtIn().get(name).def.indexes)
                defined << idx.name;
            EXPECT_EQ(stored, defined) << name.toStdString();
            EXPECT_TRUE(
                statusLines.contains(QStringLiteral("Datenbank %1 reindiziert!").arg(name)));
        }
    }
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(ReorganisationTest, RepairedIndexesStillEnforceUniqueness) {
    auto reorg = reorganisation();
    const auto& def = TableSchemas::builtIn().get(QStringLiteral("Rechkopf.DB")).def;
    const auto unique = std::find_if(def.indexes.cbegin(), def.indexes.cend(),
                                     [](const auto& i) { return i.unique; });
    ASSERT_NE(unique, def.indexes.cend());
    db->rebuildIndexes(QStringLiteral("Rechkopf.DB"), {});
    ASSERT_TRUE(reorg.RebuildTableIndexes(QStringLiteral("Rechkopf.DB")));

    table::Table t(db, QStringLiteral("Rechkopf.DB"));
    t.open();
    for (int id : {1, 2}) {
        t.append();
        t[def.fields.first().name] = id;
        t[unique->fields.first()] = QStringLiteral("R-1");
        if (id == 1)
            t.post();
    }
    EXPECT_THROW(t.post(), table::TableError);
}

TEST_F(ReorganisationTest, AnEntryEndsAtTheFirstTableThatFails) {
    auto reorg = reorganisation();
    const QStringList tables = {QStringLiteral("TglTour.DB"), QStringLiteral("TglObj.DB"),
                                QStringLiteral("TglTaet.DB"), QStringLiteral("TglFterm.DB")};
    damageIndexes(tables[0]);
    damageIndexes(tables[2]);
    const QSet<QString> damagedThird = engineIndexes(tables[2]);
    db->dropTable(tables[1]);

    EXPECT_THROW(reorg.RepairIndexes(tables), DbError);

    EXPECT_EQ(engineIndexes(tables[0]), definedIndexes(tables[0]));
    EXPECT_EQ(engineIndexes(tables[2]), damagedThird);
    EXPECT_EQ(statusLines.last(), QStringLiteral("Datenbank TglObj.DB nicht reindiziert!"));
}

// Both tools need the whole database: while another workstation is connected
// nothing is changed; alone they work.
TEST_F(ReorganisationTest, RefusedWhileAnotherSessionIsConnectedAndWorkWhenAlone) {
    const QString registry = dir.filePath(QStringLiteral("netdir"));
    QDir().mkpath(registry);
    auto own = std::make_shared<table::Session>(registry, QStringLiteral("Chef"));
    db->setSession(own);
    auto other = std::make_unique<table::Session>(registry, QStringLiteral("Kollege"));
    auto reorg = reorganisation();
    const QString name = QStringLiteral("Kunden.DB");

    const struct {
        const char* tool;
        std::function<void()> run;
        QString refusal;
    } tools[] = {
        {"repair", [&] { reorg.RebuildTableIndexes(name); },
         QStringLiteral("Die Tabelle Kunden.DB wird von einem anderen Benutzer verwendet.")},
        {"pack", [&] { reorg.PackParadoxTable(name); },
         QStringLiteral("Sie benötigen zum Verdichten\rexklusiven Zugriff auf die Tabelle")},
    };
    damageIndexes(name);
    const QSet<QString> damaged = engineIndexes(name);
    for (const auto& tool : tools) {
        SCOPED_TRACE(tool.tool);
        try {
            tool.run();
            ADD_FAILURE() << "not refused";
        } catch (const table::TableError& e) {
            EXPECT_EQ(e.kind(), table::TableError::TableInUse);
            EXPECT_EQ(e.message(), tool.refusal);
        }
        EXPECT_EQ(engineIndexes(name), damaged);
    }
    EXPECT_EQ(statusLines.last(), QStringLiteral("Datenbank Kunden.DB nicht reindiziert!"));

    other.reset();
    for (const auto& tool : tools) {
        SCOPED_TRACE(tool.tool);
        EXPECT_NO_THROW(tool.run());
    }
    EXPECT_EQ(engineIndexes(name), definedIndexes(name));
    EXPECT_EQ(statusLines.last(), QStringLiteral("Datenbank Kunden.DB wurde verdichtet!"));
    db->setSession(nullptr);
}

TEST_F(ReorganisationTest, PackingGivesBackTheSpaceOfDeletedRowsAndKeepsTheOthers) {
    auto reorg = reorganisation();
    reorg.PackParadoxTable(QStringLiteral("Zahlart.DB"));
    const qint64 baseline = QFileInfo(db->fileName()).size();
    {
        table::Transaction tx(*db);
        table::Table t(db, QStringLiteral("Zahlart.DB"));
        t.open();
        for (int id = 100; id < 4100; ++id) {
            t.append();
            t[QStringLiteral("ZA_ID")] = id;
            t[QStringLiteral("ZA_Text")] = QStringLiteral("Zahlungsart %1 Text").arg(id);
            t.post();
        }
        tx.commit();
    }
    db->execSql(QStringLiteral("DELETE FROM \"Zahlart\" WHERE \"ZA_ID\" >= 100"));
    const qint64 before = QFileInfo(db->fileName()).size();
    ASSERT_GT(before - baseline, 100000);

    // Only the file's name counts, not the directory it was chosen in.
    reorg.PackDbFile(QStringLiteral("/anderswo/ZAHLART.DB"));

    EXPECT_LT(QFileInfo(db->fileName()).size() - baseline, (before - baseline) / 4);
    table::Table t(db, QStringLiteral("Zahlart.DB"));
    t.open();
    EXPECT_EQ(t.recordCount(),
              TableSchemas::builtIn().get(QStringLiteral("Zahlart.DB")).defaultRows.size());
    EXPECT_THROW(reorg.PackDbFile(QStringLiteral("/anderswo/Unbekannt.DB")), DbError);
}

TEST_F(ReorganisationTest, TableNamesOfferEveryTableOfTheDatabase) {
    const QStringList names = reorganisation().TableNames();
    EXPECT_EQ(names.size(),
              TableSchemas::builtIn().creationOrder(dbstructure::Database::Client).size());
    EXPECT_TRUE(names.contains(QStringLiteral("Kunden.DB")));
    EXPECT_TRUE(
        std::is_sorted(names.cbegin(), names.cend(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        }));
}

class FakeDataModule : public dbstructure::ReorgDataModule {
public:
    std::shared_ptr<table::Database> mainDatabase() override { return db; }
    QList<table::Table*> dataSets() override { return tables; }
    bool isTimerWorkEnabled() const override { return timerWork; }
    void setTimerWorkEnabled(bool enabled) override { timerWork = enabled; }

    std::shared_ptr<table::Database> db;
    QList<table::Table*> tables;
    bool timerWork = true;
};

// After the form the same table objects are open as before, in the same
// order, and no others; one that cannot be reopened does not stop the rest.
TEST_F(ReorganisationTest, OpenTablesAndTimerWorkComeBackAsTheyWere) {
    auto archive = openDb(dir.filePath(QStringLiteral("ablage")));
    dbstructure::CreateDatabaseTables(*archive, dbstructure::Database::Archive);
    table::Table kunden(db, QStringLiteral("Kunden.DB")), objekte(db, QStringLiteral("Objekte.DB")),
        zahlart(db, QStringLiteral("Zahlart.DB")), closed(db, QStringLiteral("Touren.DB")),
        archived(archive, QStringLiteral("Rechkopf.DB"));
    QStringList opened;
    for (table::Table* t : {&kunden, &objekte, &zahlart, &closed, &archived})
        t->afterOpen += [&opened](table::Table& t) { opened.append(t.tableName()); };
    for (table::Table* t : {&objekte, &kunden, &zahlart, &archived})
        t->open();

    for (const bool timerWork : {true, false}) {
        SCOPED_TRACE(timerWork);
        FakeDataModule module;
        module.db = db;
        module.tables = {&objekte, &kunden, &zahlart, &closed, &archived};
        module.timerWork = timerWork;
        opened.clear();
        {
            dbstructure::ReorgScope scope(&module);
            EXPECT_FALSE(module.timerWork);
            EXPECT_FALSE(kunden.isOpen() || objekte.isOpen() || zahlart.isOpen());
            EXPECT_TRUE(archived.isOpen());
            if (timerWork)
                db->dropTable(QStringLiteral("Zahlart.DB"));
        }
        EXPECT_EQ(module.timerWork, timerWork);
        if (timerWork) {
            EXPECT_EQ(opened,
                      (QStringList{QStringLiteral("Objekte.DB"), QStringLiteral("Kunden.DB")}));
        }
        EXPECT_TRUE(kunden.isOpen() && objekte.isOpen());
        EXPECT_FALSE(zahlart.isOpen());
        EXPECT_FALSE(closed.isOpen());
    }
}

} // namespace
