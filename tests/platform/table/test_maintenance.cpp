#include "platform/table/copyrows.h"
#include "tablefixture.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using table::FieldType;
using table::Table;
using table::TableError;

TEST_F(TableTest, CopyRowsByFieldNameWithRenamesFillInsAndFailedFields) {
    {
        Table t(db, "Kunden");
        t.open();
        addCustomer(t, 3, "Cäsar", "Köln");
        addCustomer(t, 1, "Anton", "Bonn");
        addCustomer(t, 2, "Berta", "Aachen");
        t.first();
        t.edit();
        t["Anzahl"] = 300;
        t.post();
    }
    // The newer version: Name renamed, Ort in capitals, Anzahl shrunk to a
    // one-character text, and a new field filled in.
    auto target = table::Database::open(dir.filePath("neu"), scratch());
    table::TableDef v2;
    v2.name = "KUNDEN.DB";
    v2.fields = {{"NR", FieldType::Integer, 0},
                 {"KU_Name", FieldType::String, 30},
                 {"ORT", FieldType::String, 20},
                 {"Anzahl", FieldType::String, 1},
                 {"Kennung", FieldType::String, 10}};
    target->createTable(v2);

    table::CopyOptions options;
    options.renames.insert("name", "KU_Name");
    options.fillIn = [](const QString& field, const table::SourceRow& source,
                        const QVariant& found) -> QVariant {
        if (field == "Kennung")
            return QStringLiteral("K-%1").arg(source.value("nr").toInt());
        return found;
    };
    QStringList errors;
    options.onError = [&](const QString& field, const QVariant& key, const QString&) {
        errors.append(QStringLiteral("%1@%2").arg(field, key.toString()));
    };
    QList<int> progress;
    options.progress = [&](int n) { progress.append(n); };

    const auto result = table::copyRows(*db, "Kunden", *target, "kunden", options);
    EXPECT_EQ(result.rows, 3);
    EXPECT_EQ(result.failedFields, 1);
    EXPECT_EQ(errors, QStringList{"Anzahl@1"});
    EXPECT_EQ(progress, (QList<int>{1, 2, 3}));

    Table t(target, "Kunden");
    t.open();
    QStringList rows;
    for (t.first(); !t.eof(); t.next())
        rows.append(QStringList{t["NR"].asString(), t["KU_Name"].asString(), t["ORT"].asString(),
                                t["Anzahl"].asString(), t["Kennung"].asString()}
                        .join('|'));
    EXPECT_EQ(rows, (QStringList{"1|Anton|Bonn||K-1", "2|Berta|Aachen||K-2", "3|Cäsar|Köln||K-3"}));
}

TEST_F(TableTest, CreateEmptyDropAndExists) {
    EXPECT_THROW(db->createTable(customerDef()), TableError);
    Table t(db, "Kunden");
    t.open();
    addCustomer(t, 1, "Anton");
    db->emptyTable("KUNDEN.DB");
    EXPECT_EQ(t.recordCount(), 0);
    db->dropTable("kunden");
    EXPECT_FALSE(t.isOpen());
    EXPECT_FALSE(db->exists("Kunden"));
    EXPECT_THROW(db->dropTable("Kunden"), TableError);
    EXPECT_FALSE(db->tableNames().contains("Kunden"));
    db->createTable(customerDef());
    EXPECT_EQ(db->tableNames(), QStringList{"Kunden"});
}

TEST_F(TableTest, ColumnsPackAndRebuildIndexes) {
    const auto cols = db->columns("Kunden.DB");
    ASSERT_EQ(cols.size(), 7);
    EXPECT_EQ(cols[3].name, "Seit");
    EXPECT_EQ(cols[3].sqlType, "TEXT");
    EXPECT_EQ(cols[3].type, FieldType::Date);
    EXPECT_EQ(cols[6].type, FieldType::Smallint);

    Table t(db, "Kunden");
    t.open();
    for (int i = 1; i <= 20; ++i)
        addCustomer(t, i, QStringLiteral("K%1").arg(i, 2, 10, QLatin1Char('0')));
    for (t.first(); !t.eof();)
        t["Nr"].asInteger() % 2 ? t.deleteRecord() : t.next();
    t.close();
    db->packTable("Kunden");
    db->rebuildIndexes("Kunden", {{"INameUnique", {"Name"}, true, true, false}});
    EXPECT_EQ(db->tableDef("Kunden").indexes.size(), 1);
    t.open();
    EXPECT_EQ(t.recordCount(), 10);
    EXPECT_THROW(t.setIndexName("IName"), TableError);
    t.setIndexName("INameUnique");
    t.last();
    EXPECT_EQ(t["Name"].asString(), "K20");
    // The new index is unique without regard to case.
    t.append();
    t["Nr"] = 99;
    t["Name"] = "k20";
    EXPECT_THROW(t.post(), TableError);
}

TEST_F(TableTest, CopyTableBetweenDatabasesAndTemporaryTables) {
    Table t(db, "Kunden");
    t.open();
    addCustomer(t, 1, "Anton");
    auto archive = table::Database::open(dir.filePath("ablage"), scratch());
    db->copyTable("Kunden", *archive);
    db->copyTable("Kunden", *archive); // replaces
    Table a(archive, "Kunden");
    a.open();
    EXPECT_EQ(a.recordCount(), 1);
    a.setIndexName("IName");

    table::TableDef temp = customerDef();
    temp.name = "TmpAusw";
    db->createTemporaryTable(temp);
    Table tmp(db, "tmpausw");
    tmp.open();
    addCustomer(tmp, 5, "Tmp");
    EXPECT_EQ(tmp.recordCount(), 1);
    // Other connections do not see it.
    auto other = table::Database::open(dir.path(), scratch());
    EXPECT_FALSE(other->exists("TmpAusw"));
}

TEST_F(TableTest, JournalModeIsWrittenIntoTheFileAndBackupIsComplete) {
    EXPECT_EQ(db->journalMode(), table::JournalMode::Rollback);
    db.reset();
    db = table::Database::open(dir.path(), {table::JournalMode::Wal, 5000, true, false});
    auto second =
        table::Database::open(dir.path(), scratch()); // without a setting: the file's mode
    EXPECT_EQ(second->journalMode(), table::JournalMode::Wal);
    Table t(db, "Kunden");
    t.open();
    addCustomer(t, 1, "Anton");
    EXPECT_TRUE(QFile::exists(db->fileName() + "-wal"));

    const QString copyDir = dir.filePath("sicherung");
    db->backupTo(copyDir);
    EXPECT_FALSE(QFile::exists(table::Database::fileIn(copyDir) + "-wal"));
    auto copy = table::Database::open(copyDir);
    Table c(copy, "Kunden");
    c.open();
    EXPECT_EQ(c["Name"].asString(), "Anton");

    t.close();
    second.reset();
    db->checkpoint();
    EXPECT_EQ(QFileInfo(db->fileName() + "-wal").size(), 0);
}

TEST_F(TableTest, EngineFailuresSurfaceAsGermanErrors) {
    // Busy: another connection holds the write lock and the timeout is zero.
    auto other = table::Database::open(dir.path(), {std::nullopt, 0, true, false});
    table::Transaction hold(*db);
    Table t(other, "Kunden");
    t.open();
    t.append();
    t["Nr"] = 1;
    try {
        t.post();
        FAIL();
    } catch (const TableError& e) {
        EXPECT_EQ(e.kind(), TableError::Busy);
        EXPECT_EQ(e.message(), "Die Datenbank ist durch einen anderen Benutzer gesperrt.");
    }
    EXPECT_EQ(t.state(), table::TableState::Insert); // nothing lost: the record can be posted later
    hold.commit();
    t.post();
    EXPECT_EQ(t.recordCount(), 1);

    // Damaged: a file that is no database.
    QTemporaryDir broken;
    QFile f(table::Database::fileIn(broken.path()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    try {
        table::Database::open(broken.path());
        FAIL();
    } catch (const TableError& e) {
        EXPECT_EQ(e.kind(), TableError::Damaged);
    }
}

TEST_F(TableTest, AliasesCanBeRepointedAndClosed) {
    QTemporaryDir second;
    table::aliases::define("LumoDB", dir.path());
    Table t(table::aliases::database("lumodb"), "Kunden");
    t.open();
    addCustomer(t, 1, "Anton");

    table::aliases::define("LumoDB", second.path()); // client switch
    EXPECT_FALSE(t.isOpen());
    auto db2 = table::aliases::database("LumoDB");
    EXPECT_EQ(db2->directory(), second.path());
    EXPECT_FALSE(db2->exists("Kunden"));
    table::aliases::close("LumoDB");
    EXPECT_NE(table::aliases::database("LumoDB"), db2); // reopened on next use
    table::aliases::remove("LumoDB");
    EXPECT_THROW(table::aliases::database("LumoDB"), TableError);
}

// The file helpers refuse to copy or replace a directory whose database is
// open: each open database counts under its real directory, also when it
// was opened through a link, until it is closed.
TEST_F(TableTest, OpenDatabasesAreListedUnderTheirRealDirectoryWhileOpen) {
    QTemporaryDir links;
    const QString real = QFileInfo(dir.path()).canonicalFilePath();
    const QString link = links.path() + QStringLiteral("/Data0001");
    ASSERT_TRUE(QFile::link(dir.path(), link));
    EXPECT_EQ(table::Database::openDirectories().count(real), 1);
    auto second = table::Database::open(link + QStringLiteral("/."), scratch());
    EXPECT_EQ(table::Database::openDirectories().count(real), 2);
    EXPECT_FALSE(table::Database::openDirectories().contains(link));
    second.reset();
    EXPECT_EQ(table::Database::openDirectories().count(real), 1);
    db.reset();
    EXPECT_FALSE(table::Database::openDirectories().contains(real));
}
