// A new client's two databases as the builder makes them, read back through
// the table layer and the engine: every table, field, index and default row.
#include "dbstructure/databasebuilder.h"
#include "dbstructure/tablecreator.h"
#include "dbstructure/tableschemas.h"
#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using dbstructure::CreationStep;
using dbstructure::TableSchema;
using dbstructure::TableSchemas;
using table::FieldType;

namespace {

std::shared_ptr<table::Database> openScratch(const QString& dir) {
    table::Database::Options options;
    options.syncToDisk = false;
    return table::Database::open(dir, options);
}

// Both databases of a new client, built once for every test of this file.
class NewClientDatabases : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root = new QTemporaryDir;
        QDir(root->path()).mkpath(QStringLiteral("Daten"));
        QDir(root->path()).mkpath(QStringLiteral("Ablage"));
        data = openScratch(root->path() + QStringLiteral("/Daten"));
        archive = openScratch(root->path() + QStringLiteral("/Ablage"));
        clientCreated = dbstructure::CreateDatabaseTables(*data, dbstructure::Database::Client);
        archiveCreated =
            dbstructure::CreateDatabaseTables(*archive, dbstructure::Database::Archive);
    }
    static void TearDownTestSuite() {
        data.reset();
        archive.reset();
        delete root;
    }

    static inline QTemporaryDir* root = nullptr;
    static inline std::shared_ptr<table::Database> data, archive;
    static inline int clientCreated = 0, archiveCreated = 0;
};

const TableSchemas& schemas() {
    return TableSchemas::builtIn();
}

// The indexes the engine really holds for a table, as "fields|unique|desc|nocase".
QStringList engineIndexes(table::Database& db, const QString& physical) {
    QStringList result;
    auto list = db.connection().prepare(QStringLiteral("PRAGMA index_list(\"%1\")").arg(physical));
    QStringList names;
    while (list->step()) {
        if (list->text(3) == QLatin1String("c")) // made by CREATE INDEX, not the primary key
            names.append(list->text(1) + QLatin1Char('\n') + QString::number(list->int64(2)));
    }
    for (const QString& entry : names) {
        const QStringList parts = entry.split(QLatin1Char('\n'));
        auto info =
            db.connection().prepare(QStringLiteral("PRAGMA index_xinfo(\"%1\")").arg(parts[0]));
        QStringList fields;
        bool desc = false, nocase = true;
        while (info->step()) {
            if (info->int64(5) == 0) // not a key column (the row id)
                continue;
            fields.append(info->text(2).toLower());
            desc = desc || info->int64(3) != 0;
            nocase =
                nocase && info->text(4).compare(QLatin1String("BINARY"), Qt::CaseInsensitive) != 0;
        }
        result.append(QStringLiteral("%1|%2|%3|%4")
                          .arg(fields.join(QLatin1Char(';')), parts[1])
                          .arg(desc)
                          .arg(nocase));
    }
    result.sort();
    return result;
}

QStringList definedIndexes(const table::TableDef& def) {
    QStringList result;
    for (const table::IndexDef& index : def.indexes)
        result.append(QStringLiteral("%1|%2|%3|%4")
                          .arg(index.fields.join(QLatin1Char(';')).toLower())
                          .arg(int(index.unique))
                          .arg(int(index.descending))
                          .arg(int(index.caseInsensitive)));
    result.sort();
    return result;
}

// The engine's primary key: the first field alone.
QStringList enginePrimaryKey(table::Database& db, const QString& physical) {
    QStringList pk;
    auto info = db.connection().prepare(QStringLiteral("PRAGMA table_info(\"%1\")").arg(physical));
    while (info->step()) {
        if (info->int64(5) != 0)
            pk.append(info->text(1).toLower());
    }
    return pk;
}

void expectTableAsDefined(table::Database& db, const TableSchema& schema) {
    const table::TableDef& def = schema.def;
    SCOPED_TRACE(def.name.toStdString());
    ASSERT_TRUE(db.exists(def.name));
    const QList<table::ColumnInfo> columns = db.columns(def.name);
    ASSERT_EQ(columns.size(), def.fields.size());
    for (int i = 0; i < def.fields.size(); ++i) {
        EXPECT_EQ(columns[i].name, def.fields[i].name);
        EXPECT_EQ(columns[i].type, def.fields[i].type) << def.fields[i].name.toStdString();
        EXPECT_EQ(columns[i].size, def.fields[i].size) << def.fields[i].name.toStdString();
    }
    const QString physical = table::physicalName(def.name);
    EXPECT_EQ(enginePrimaryKey(db, physical), QStringList{def.fields.first().name.toLower()});
    EXPECT_EQ(engineIndexes(db, physical), definedIndexes(def));
    // And by its logical names, as forms select them.
    table::Table t(std::shared_ptr<table::Database>(std::shared_ptr<void>(), &db), def.name);
    t.open();
    for (const table::IndexDef& index : def.indexes) {
        t.setIndexName(index.name);
        EXPECT_EQ(t.indexFieldNames().join(QLatin1Char(';')).toLower(),
                  index.fields.join(QLatin1Char(';')).toLower());
    }
}

bool bringsDefaults(dbstructure::RowsRule rule) {
    return rule == dbstructure::RowsRule::Defaults ||
           rule == dbstructure::RowsRule::CopyElseDefaults ||
           rule == dbstructure::RowsRule::DefaultsThenUserForms;
}

// The value a default row gives, as the field reads it back.
QVariant expectedValue(const table::FieldDef& field, const QVariant& given) {
    if (given.isNull())
        return {};
    if (field.type == FieldType::Date)
        return QDate::fromString(given.toString(), QStringLiteral("dd.MM.yyyy"));
    return table::fromStored(field.type, table::toStored(field, given));
}

TEST_F(NewClientDatabases, ClientDatabaseHoldsEveryTableAsDefined) {
    const auto& order = schemas().creationOrder(dbstructure::Database::Client);
    ASSERT_EQ(order.size(), 100);
    EXPECT_EQ(clientCreated, 100);
    EXPECT_EQ(data->tableNames().size(), 100);
    int fields = 0, indexes = 0;
    for (const CreationStep& step : order) {
        const TableSchema& schema = schemas().get(step.table);
        expectTableAsDefined(*data, schema);
        fields += schema.def.fields.size();
        indexes += schema.def.indexes.size();
    }
    // Field types 664 + 272 + 420 + 139 + 265 + 75 + 97 + 8 + 5 + 21 + 72 + 2,
    // secondary indexes 231 + 20 + 4.
    EXPECT_EQ(fields, 2040);
    EXPECT_EQ(indexes, 255);
    EXPECT_FALSE(data->exists(QStringLiteral("PLZ.DB"))); // only the template directory has it
}

TEST_F(NewClientDatabases, ArchiveHoldsItsSeventeenTablesWithTheSameStructureAndNoRows) {
    const auto& order = schemas().creationOrder(dbstructure::Database::Archive);
    ASSERT_EQ(order.size(), 17);
    EXPECT_EQ(archiveCreated, 17);
    EXPECT_EQ(archive->tableNames().size(), 17);
    for (const CreationStep& step : order) {
        expectTableAsDefined(*archive, schemas().get(step.table));
        table::Table t(archive, step.table);
        t.open();
        EXPECT_EQ(t.recordCount(), 0) << step.table.toStdString();
    }
    EXPECT_FALSE(archive->exists(QStringLiteral("Kunden.DB")));
}

// Every table whose rule brings default rows holds exactly them, value for
// value as the fields read them; every other table is empty. Read straight
// from the engine in key order, so that rows keyed 0 (Apnames.DB,
// ORgHDef.DB) are seen as stored.
TEST_F(NewClientDatabases, DefaultRowsAreThereValueForValue) {
    int tablesWithRows = 0;
    for (const CreationStep& step : schemas().creationOrder(dbstructure::Database::Client)) {
        const TableSchema& schema = schemas().get(step.table);
        const QList<table::FieldDef>& fields = schema.def.fields;
        SCOPED_TRACE(schema.def.name.toStdString());
        QList<QVariantList> stored;
        auto read = data->connection().prepare(QStringLiteral("SELECT * FROM \"%1\" ORDER BY 1")
                                                   .arg(table::physicalName(schema.def.name)));
        while (read->step()) {
            QVariantList row;
            for (int c = 0; c < fields.size(); ++c)
                row.append(table::fromStored(fields[c].type, read->value(c)));
            stored.append(row);
        }
        if (!bringsDefaults(step.rows)) {
            EXPECT_TRUE(stored.isEmpty());
            continue;
        }
        ++tablesWithRows;
        ASSERT_EQ(stored.size(), schema.defaultRows.size());
        for (const QVariantList& row : schema.defaultRows) {
            SCOPED_TRACE(row[0].toString().toStdString());
            const auto match = std::find_if(stored.cbegin(), stored.cend(),
                                            [&](const QVariantList& s) { return s[0] == row[0]; });
            ASSERT_NE(match, stored.cend());
            for (int c = 0; c < fields.size(); ++c) {
                const QVariant expected =
                    c < row.size() ? expectedValue(fields[c], row[c]) : QVariant();
                const QVariant actual = (*match)[c];
                if (!expected.isValid()) {
                    EXPECT_FALSE(actual.isValid()) << fields[c].name.toStdString();
                    continue;
                }
                ASSERT_TRUE(actual.isValid()) << fields[c].name.toStdString();
                EXPECT_EQ(actual, expected) << fields[c].name.toStdString();
            }
        }
    }
    EXPECT_EQ(tablesWithRows, 27);
}

// Rows as they are meant, written down independently of the definition files.
struct SampledValue {
    const char* table;
    QVariantList key;
    const char* field;
    QVariant expected; // invalid: null
};

TEST_F(NewClientDatabases, SampledDefaultValuesReadBackTyped) {
    const SampledValue samples[] = {
        // Odd blanks are part of the texts.
        {"Zahlbed.DB", {6}, "Z_Kurz", QStringLiteral(" 8 Tg nett")},
        {"Zahlbed.DB", {6}, "Z_Text", QStringLiteral("Zahlbar innerhalb von  8 Tagen ohne Abzug")},
        {"Zahlbed.DB", {7}, "Z_Skonto", 2.0},
        {"Zahlart.DB", {1}, "ZA_Text", QString(QLatin1String(""))}, // an empty text, not null
        {"Zahlart.DB", {4}, "ZA_Text", QStringLiteral("Überweisung")},
        {"MwstSatz.DB", {2}, "Mwst_Kurz", QStringLiteral("Mwst 16 %")},
        {"MwstSatz.DB", {2}, "Mwst_GueltigBis", QDate(2006, 12, 31)},
        {"MwstSatz.DB", {2}, "Mwst_Satz", 16.0},
        {"Krkassen.db", {1}, "KK_Match", QStringLiteral(".")},
        {"Krkassen.db", {1}, "KK_Langbezeich", QVariant()}, // beyond the two given values
        {"Firmen.DB", {1}, "F_RG2OPBis", QDate(2002, 6, 1)},
        {"Firmen.DB", {1}, "F_Name1", QString(QLatin1String(""))},
        {"Firmen.DB", {1}, "F_Logo", QVariant()},
        {"Firmen.DB", {1}, "F_AutoSichernOP", true},
        {"Firmen.DB", {1}, "F_BitMapTransparent", false},
        {"Firmen.DB", {1}, "F_Jahreslohn", 0.0},
        {"Firmen.DB", {1}, "F_FormatNrRg", QStringLiteral("AR0000")},
        {"Firmen.DB", {1}, "F_PrintFormNo", 10001},
        {"QrFrmDef.DB", {10000}, "Q_Comment", QStringLiteral("Rechnungsformular")},
        {"QrFrmDef.DB", {10000}, "Q_Protect", true},
        {"DVgroups.DB", {1}, "DG_Name", QStringLiteral("Textdokumente")},
        {"DVgroups.DB", {1}, "DG_Mask", QStringLiteral("*,doc,dot,rtf,txt")},
        {"DVgroups.DB", {1}, "DG_Suffix", QString(QLatin1String(""))},
        {"Banken.DB", {QString(QLatin1String(""))}, "BankBLZ", QString(QLatin1String(""))},
    };
    for (const SampledValue& s : samples) {
        SCOPED_TRACE(std::string(s.table) + " " + s.field);
        table::Table t(data, QString::fromLatin1(s.table));
        t.open();
        ASSERT_TRUE(t.findKey(s.key));
        const table::Field& field = t.field(QString::fromLatin1(s.field));
        if (!s.expected.isValid()) {
            EXPECT_TRUE(field.isNull());
            continue;
        }
        ASSERT_FALSE(field.isNull());
        if (s.expected.typeId() == QMetaType::Double)
            EXPECT_DOUBLE_EQ(field.asFloat(), s.expected.toDouble());
        else
            EXPECT_EQ(field.value(), s.expected);
    }
}

// Apnames.DB and ORgHDef.DB have a default row keyed 0. The cursor must read
// it like any other row; the walk is bounded so that a cursor that never
// reaches the end fails instead of hanging.
TEST_F(NewClientDatabases, RowsKeyedZeroReadThroughACursor) {
    table::Table t(data, QStringLiteral("Apnames.DB"));
    t.open();
    QStringList rows;
    int steps = 0;
    for (t.first(); !t.eof() && steps < 10; t.next(), ++steps)
        rows.append(t.field(0).asStringOr(QStringLiteral("null")) + QLatin1Char('=') +
                    t.field(2).asString());
    EXPECT_EQ(rows, (QStringList{QStringLiteral("0=Manueller Eintrag"),
                                 QStringLiteral("1=Serienbrief"), QStringLiteral("2=Mailing")}));
    ASSERT_TRUE(t.findKey({0}));
    EXPECT_EQ(t.field(2).asString(), QStringLiteral("Manueller Eintrag"));
}

TEST_F(NewClientDatabases, SecondRunOnACompleteDatabaseChangesNothing) {
    const QStringList before = data->tableNames();
    EXPECT_EQ(dbstructure::CreateDatabaseTables(*data, dbstructure::Database::Client), 0);
    EXPECT_EQ(data->tableNames(), before);
    table::Table t(data, QStringLiteral("Zahlart.DB"));
    t.open();
    EXPECT_EQ(t.recordCount(), 7); // no second set of defaults
}

// A database that lacks some tables gets just those, with their defaults;
// a table already there keeps its structure and rows.
TEST(DatabaseBuilder, AddsOnlyMissingTables) {
    QTemporaryDir dir;
    auto db = openScratch(dir.path());
    table::TableDef old;
    old.name = QStringLiteral("MGEINH.DB");
    old.fields = {{QStringLiteral("VE_ID"), FieldType::Integer, 0}};
    db->createTable(old);
    EXPECT_EQ(dbstructure::CreateDatabaseTables(*db, dbstructure::Database::Client), 99);
    EXPECT_EQ(db->tableDef(QStringLiteral("MgEinh.db")).fields.size(), 1);
    table::Table kept(db, QStringLiteral("MgEinh.db"));
    kept.open();
    EXPECT_EQ(kept.recordCount(), 0);
    table::Table filled(db, QStringLiteral("Wochtag.db"));
    filled.open();
    EXPECT_EQ(filled.recordCount(), 8);
}

TEST(DatabaseBuilder, PostalCodeTableForTheTemplateDirectory) {
    QTemporaryDir dir;
    auto db = openScratch(dir.path());
    EXPECT_TRUE(dbstructure::CreatePlzTable(*db));
    EXPECT_FALSE(dbstructure::CreatePlzTable(*db));
    EXPECT_EQ(db->tableNames().size(), 1);
    expectTableAsDefined(*db, schemas().get(QStringLiteral("plz")));
    table::Table plz(db, QStringLiteral("Plz.db"));
    plz.open();
    plz.setIndexName(QStringLiteral("I_VwlPlz"));
    plz.append();
    plz[QStringLiteral("P_ID")] = 1;
    plz[QStringLiteral("PLZ")] = QStringLiteral("50667");
    plz[QStringLiteral("ORT")] = QStringLiteral("Köln");
    plz[QStringLiteral("VORWAHL")] = QStringLiteral("0221");
    plz.post();
    EXPECT_TRUE(plz.findKey({QStringLiteral("0221"), QStringLiteral("50667")}));
}

// A run that fails on the way (here a default row whose key is taken) leaves
// no table behind, so a retry starts from the same empty database.
TEST(DatabaseBuilder, FailedRunLeavesNoTable) {
    QTemporaryDir dir;
    const auto write = [&](const char* name, const char* json) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
        return file.fileName();
    };
    const QStringList files{
        write("lookups.json", R"({"tables": [
            {"name": "Erste.DB", "fields": [["E_ID", "Integer"], ["E_Text", "String", 10]],
             "defaults": [[1, "eins"]]},
            {"name": "Zweite.DB", "fields": [["Z_ID", "Integer"], ["Z_Text", "String", 10]],
             "defaults": [[1, "eins"], [1, "doppelt"]]}]})"),
        write("order.json", R"({"client": [
            {"table": "Erste.DB", "force": "<240", "rows": "defaults"},
            {"table": "Zweite.DB", "force": "<240", "rows": "defaults"}], "archive": []})"),
    };
    const TableSchemas defs = TableSchemas::fromFiles(files);
    QDir(dir.path()).mkpath(QStringLiteral("db"));
    auto db = openScratch(dir.filePath(QStringLiteral("db")));
    EXPECT_ANY_THROW(dbstructure::CreateDatabaseTables(*db, dbstructure::Database::Client, defs));
    EXPECT_TRUE(db->tableNames().isEmpty());
    EXPECT_FALSE(db->exists(QStringLiteral("Erste.DB")));
}

} // namespace
