// Creating single tables from their definitions: Force, names in any
// spelling, the message list line and the default rows.
#include "core/messages/messagelist.h"
#include "dbstructure/tablecreator.h"
#include "dbstructure/tableschemas.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using table::FieldType;

namespace {

class RecordingList : public MessageListSink {
public:
    bool isOpen() const override { return true; }
    void open(const QString&, const QString&, int, int) override {}
    void addLine(const QString& text) override { lines.append(text); }
    void setStatus(const QString&) override {}
    void setHeight(int) override {}
    void setWidth(int) override {}
    void close() override {}
    QStringList lines;
};

class TableCreatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        table::Database::Options options;
        options.syncToDisk = false;
        db = table::Database::open(dir.path(), options);
    }

    // The payment kinds as an older program version had them: fewer fields,
    // another index, one row.
    void createOlderZahlart() {
        table::TableDef old;
        old.name = QStringLiteral("Zahlart.DB");
        old.fields = {{QStringLiteral("ZA_ID"), FieldType::Integer, 0},
                      {QStringLiteral("ZA_Alt"), FieldType::String, 10}};
        old.indexes = {{QStringLiteral("I_Alt"), {QStringLiteral("ZA_Alt")}, true, false, false}};
        db->createTable(old);
        table::Table t(db, QStringLiteral("Zahlart.DB"));
        t.open();
        t.append();
        t[QStringLiteral("ZA_ID")] = 9;
        t[QStringLiteral("ZA_Alt")] = QStringLiteral("Wechsel");
        t.post();
    }

    int rowCount(const QString& name) {
        table::Table t(db, name);
        t.open();
        return t.recordCount();
    }

    QTemporaryDir dir;
    std::shared_ptr<table::Database> db;
};

const table::TableDef& definedZahlart() {
    return dbstructure::TableSchemas::builtIn().get(QStringLiteral("Zahlart.DB")).def;
}

void expectSameStructure(const table::TableDef& actual, const table::TableDef& expected) {
    ASSERT_EQ(actual.fields.size(), expected.fields.size()) << expected.name.toStdString();
    for (int i = 0; i < expected.fields.size(); ++i) {
        EXPECT_EQ(actual.fields[i].name, expected.fields[i].name);
        EXPECT_EQ(actual.fields[i].type, expected.fields[i].type);
        EXPECT_EQ(actual.fields[i].size, expected.fields[i].size);
    }
    ASSERT_EQ(actual.indexes.size(), expected.indexes.size()) << expected.name.toStdString();
    for (int i = 0; i < expected.indexes.size(); ++i) {
        EXPECT_EQ(actual.indexes[i].name, expected.indexes[i].name);
        EXPECT_EQ(actual.indexes[i].fields, expected.indexes[i].fields);
    }
}

TEST_F(TableCreatorTest, MissingTableIsCreatedEmptyWithItsStructure) {
    EXPECT_TRUE(dbstructure::CreateTable(*db, QStringLiteral("Zahlart.DB"), false));
    ASSERT_TRUE(db->exists(QStringLiteral("Zahlart.DB")));
    expectSameStructure(db->tableDef(QStringLiteral("Zahlart.DB")), definedZahlart());
    EXPECT_EQ(rowCount(QStringLiteral("Zahlart.DB")), 0); // the creator brings no rows
}

// However the caller spells the table, an existing one is found and kept.
TEST_F(TableCreatorTest, WithoutForceAnExistingOlderTableStaysUnchanged) {
    createOlderZahlart();
    for (const char* spelling :
         {"Zahlart.DB", "ZahlArt.db", "zahlart", "ZAHLART.DB", "ZahlArt.DB"}) {
        SCOPED_TRACE(spelling);
        EXPECT_FALSE(dbstructure::CreateTable(*db, QString::fromLatin1(spelling), false));
        const table::TableDef def = db->tableDef(QStringLiteral("Zahlart.DB"));
        ASSERT_EQ(def.fields.size(), 2);
        EXPECT_EQ(def.fields[1].name, QStringLiteral("ZA_Alt"));
        ASSERT_EQ(def.indexes.size(), 1);
        EXPECT_EQ(def.indexes[0].name, QStringLiteral("I_Alt"));
        table::Table t(db, QStringLiteral("zahlart"));
        t.open();
        ASSERT_EQ(t.recordCount(), 1);
        EXPECT_EQ(t[QStringLiteral("ZA_Alt")].asString(), QStringLiteral("Wechsel"));
    }
}

TEST_F(TableCreatorTest, ForceReplacesATableWithRowsByAnEmptyOneOfTheNewStructure) {
    createOlderZahlart();
    table::Table open(db,
                      QStringLiteral("Zahlart.DB")); // a cursor of the old table does not hinder
    open.open();
    EXPECT_TRUE(dbstructure::CreateTable(*db, QStringLiteral("ZahlArt.db"), true));
    expectSameStructure(db->tableDef(QStringLiteral("Zahlart.DB")), definedZahlart());
    EXPECT_EQ(rowCount(QStringLiteral("Zahlart.DB")), 0);
    EXPECT_EQ(db->tableNames().size(), 1);
    // The new structure is usable: its index and fields take rows.
    table::Table t(db, QStringLiteral("Zahlart.DB"));
    t.open();
    t.setIndexName(QStringLiteral("I_ZaText"));
    t.append();
    t[QStringLiteral("ZA_ID")] = 1;
    t[QStringLiteral("ZA_Text")] = QStringLiteral("Bar");
    t.post();
    EXPECT_TRUE(t.findKey({QStringLiteral("bar")}));
}

TEST_F(TableCreatorTest, ForceOnAMissingTableCreatesIt) {
    EXPECT_TRUE(dbstructure::CreateTable(*db, QStringLiteral("Krkassen.db"), true));
    EXPECT_TRUE(db->exists(QStringLiteral("KRKASSEN")));
}

TEST_F(TableCreatorTest, UnknownTableRaisesAndCreatesNothing) {
    EXPECT_THROW(dbstructure::CreateTable(*db, QStringLiteral("Gibtsnicht.DB"), true), DbError);
    EXPECT_THROW(dbstructure::FillDefaults(*db, QStringLiteral("Gibtsnicht.DB")), DbError);
    EXPECT_TRUE(db->tableNames().isEmpty());
}

TEST_F(TableCreatorTest, WritesTheTableNameToTheMessageListAlsoWhenItExists) {
    RecordingList list;
    MessageListSink* previous = SetMessageListSink(&list);
    const bool wasEnabled = MessageListEnabled;
    MessageListEnabled = true;
    dbstructure::CreateTable(*db, QStringLiteral("zahlart"), false);
    dbstructure::CreateTable(*db, QStringLiteral("ZAHLART.db"), false);
    dbstructure::CreateTable(*db, QStringLiteral("mgeinh"), true);
    MessageListEnabled = wasEnabled;
    SetMessageListSink(previous);
    EXPECT_EQ(list.lines, (QStringList{QStringLiteral("Zahlart.DB"), QStringLiteral("Zahlart.DB"),
                                       QStringLiteral("MgEinh.db")}));
}

TEST_F(TableCreatorTest, AliasEntryPointsWorkOnTheAliasDatabase) {
    const QString alias = QStringLiteral("CreatorTestDB");
    table::Database::Options options;
    options.syncToDisk = false;
    QTemporaryDir other;
    table::aliases::define(alias, other.path(), options);
    EXPECT_TRUE(dbstructure::CreateTable(alias, QStringLiteral("Zahlbed.DB"), false));
    EXPECT_FALSE(dbstructure::CreateTable(alias, QStringLiteral("zahlbed"), false));
    dbstructure::FillDefaults(alias, QStringLiteral("ZAHLBED"));
    {
        table::Table t(table::aliases::database(alias), QStringLiteral("Zahlbed.DB"));
        t.open();
        EXPECT_EQ(t.recordCount(), 7);
    }
    table::aliases::remove(alias);
    EXPECT_FALSE(db->exists(QStringLiteral("Zahlbed.DB")));
}

// Forced re-creation and filling gives exactly the default rows again,
// whatever the table held before.
TEST_F(TableCreatorTest, ForcedTableFilledAgainHoldsExactlyItsDefaults) {
    createOlderZahlart();
    ASSERT_TRUE(dbstructure::CreateTable(*db, QStringLiteral("Zahlart.DB"), true));
    dbstructure::FillDefaults(*db, QStringLiteral("ZahlArt.db"));
    table::Table t(db, QStringLiteral("Zahlart.DB"));
    t.open();
    QStringList texts;
    for (t.first(); !t.eof(); t.next())
        texts.append(QString::number(t[QStringLiteral("ZA_ID")].asInteger()) + QLatin1Char('=') +
                     t[QStringLiteral("ZA_Text")].asString());
    EXPECT_EQ(texts, (QStringList{QStringLiteral("1="), QStringLiteral("2=Bar"),
                                  QStringLiteral("3=Scheck"), QStringLiteral("4=Überweisung"),
                                  QStringLiteral("5=Nachnahme"), QStringLiteral("6=Kreditkarte"),
                                  QStringLiteral("7=Bankeinzug")}));
}

// A row that the table refuses (here a key already there) leaves none of
// the filler's rows behind.
TEST_F(TableCreatorTest, FillerWritesAllRowsOrNone) {
    ASSERT_TRUE(dbstructure::CreateTable(*db, QStringLiteral("Zahlart.DB"), false));
    {
        table::Table t(db, QStringLiteral("Zahlart.DB"));
        t.open();
        t.append();
        t[QStringLiteral("ZA_ID")] = 5;
        t[QStringLiteral("ZA_Text")] = QStringLiteral("schon da");
        t.post();
    }
    EXPECT_ANY_THROW(dbstructure::FillDefaults(*db, QStringLiteral("Zahlart.DB")));
    table::Table t(db, QStringLiteral("Zahlart.DB"));
    t.open();
    ASSERT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t[QStringLiteral("ZA_Text")].asString(), QStringLiteral("schon da"));
}

} // namespace
