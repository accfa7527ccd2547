// Fill-in values for rows copied from an older table: only fields the old
// table lacked get them; what the old row held, a null included, stays.
#include "dbstructure/fillin.h"
#include "dbstructure/tablecreator.h"
#include "dbstructure/tableschemas.h"
#include "platform/table/copyrows.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using table::FieldType;

namespace {

const dbstructure::TableSchema& schema(const char* name) {
    return dbstructure::TableSchemas::builtIn().get(QString::fromLatin1(name));
}

TEST(FillInValue, FillsOnlyNullFieldsThatHaveAValue) {
    const QString empty(QLatin1String(""));
    struct Case {
        const char* table;
        int fieldNumber;
        QVariant current;
        QVariant expected; // invalid: stays null
    };
    const Case cases[] = {
        {"ObjTaet.db", 8, QVariant(), 0},     // TS_Func
        {"ObjTaet.db", 9, QVariant(), empty}, // TS_Param: an empty text, not null
        {"ObjTaet.db", 8, 5, 5},              // a value is kept
        {"ObjTaet.db", 9, QStringLiteral("x"), QStringLiteral("x")},
        {"ObjTaet.db", 1, QVariant(), QVariant()},  // no fill-in for the key
        {"ObjTaet.db", 10, QVariant(), QVariant()}, // beyond the fields
        {"ORgDef.db", 6, QVariant(), 1.0},          // T_Menge
        {"ORgDef.db", 17, QVariant(), 0},           // T_ErloesKonto
        {"Taetig.DB", 13, QVariant(), 0},           // T_Func
        {"Artikel.DB", 2, QVariant(), 0},           // A_ObjID
        {"Objekte.DB", 67, QVariant(), true},       // O_Aktiv
        {"Objekte.DB", 74, QVariant(), false},      // O_Selected
        {"Objekte.DB", 74, true, true},
        {"Zahlart.DB", 2, QVariant(), QVariant()}, // a table without fill-ins
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " field " + std::to_string(c.fieldNumber));
        const QVariant result = dbstructure::FillInValue(schema(c.table), c.fieldNumber, c.current);
        if (!c.expected.isValid()) {
            EXPECT_TRUE(result.isNull());
            continue;
        }
        ASSERT_FALSE(result.isNull());
        EXPECT_EQ(result, c.expected);
        if (c.expected.typeId() == QMetaType::QString) {
            EXPECT_FALSE(result.toString().isNull());
        }
    }
}

TEST(FillInFields, TablesWithoutFillInsGetNoRoutine) {
    EXPECT_FALSE(dbstructure::FillInFields(QStringLiteral("Kunden.DB")));
    EXPECT_TRUE(dbstructure::FillInFields(QStringLiteral("objtaet")));
}

class CopyWithFillIn : public ::testing::Test {
protected:
    void SetUp() override {
        table::Database::Options options;
        options.syncToDisk = false;
        oldDb = table::Database::open(oldDir.path(), options);
        newDb = table::Database::open(newDir.path(), options);
    }

    // The old table: the given fields of the defined one, in their order.
    void createOld(const char* name, const QStringList& fieldNames, const QStringList& extra = {}) {
        const table::TableDef& defined = schema(name).def;
        table::TableDef old;
        old.name = defined.name;
        for (const table::FieldDef& f : defined.fields) {
            if (fieldNames.contains(f.name))
                old.fields.append(f);
        }
        for (const QString& e : extra)
            old.fields.append({e, FieldType::Smallint, 0});
        oldDb->createTable(old);
    }

    void addOldRow(const char* name, const QVariantList& values) {
        table::Table t(oldDb, QString::fromLatin1(name));
        t.open();
        t.append();
        for (int i = 0; i < values.size(); ++i)
            t.field(i).setValue(values[i]);
        t.post();
    }

    QTemporaryDir oldDir, newDir;
    std::shared_ptr<table::Database> oldDb, newDb;
};

TEST_F(CopyWithFillIn, NewFieldsGetTheirValuesOldOnesKeepTheirs) {
    createOld("ObjTaet.db", {QStringLiteral("TS_ID"), QStringLiteral("TS_Func")});
    addOldRow("ObjTaet.db", {1, QVariant()}); // TS_Func was there and null
    addOldRow("ObjTaet.db", {2, 3});
    ASSERT_TRUE(dbstructure::CreateTable(*newDb, QStringLiteral("ObjTaet.db"), true));

    table::CopyOptions options;
    options.fillIn = dbstructure::FillInFields(QStringLiteral("ObjTaet.db"));
    const table::CopyResult result = table::copyRows(*oldDb, QStringLiteral("ObjTaet.db"), *newDb,
                                                     QStringLiteral("ObjTaet.db"), options);
    EXPECT_EQ(result.rows, 2);
    EXPECT_EQ(result.failedFields, 0);

    table::Table t(newDb, QStringLiteral("ObjTaet.db"));
    t.open();
    ASSERT_TRUE(t.findKey({1}));
    EXPECT_TRUE(t[QStringLiteral("TS_Func")].isNull());
    ASSERT_FALSE(t[QStringLiteral("TS_Param")].isNull()); // the old table lacked it
    EXPECT_EQ(t[QStringLiteral("TS_Param")].asString(), QString());
    EXPECT_TRUE(t.field(1).isNull()); // lacked, but without a fill-in value
    ASSERT_TRUE(t.findKey({2}));
    EXPECT_EQ(t[QStringLiteral("TS_Func")].asInteger(), 3);
}

// A field that reaches the new table under another name counts as one the
// old table had: its null stays.
TEST_F(CopyWithFillIn, RenamedFieldsKeepTheOldValue) {
    createOld("Objekte.DB", {QStringLiteral("O_ID")}, {QStringLiteral("O_AktivAlt")});
    addOldRow("Objekte.DB", {7, QVariant()});
    ASSERT_TRUE(dbstructure::CreateTable(*newDb, QStringLiteral("Objekte.DB"), false));
    const QHash<QString, QString> renames{
        {QStringLiteral("O_AktivAlt"), QStringLiteral("O_Aktiv")}};
    table::CopyOptions options;
    options.renames = renames;
    options.fillIn = dbstructure::FillInFields(QStringLiteral("OBJEKTE"), renames);
    table::copyRows(*oldDb, QStringLiteral("Objekte.DB"), *newDb, QStringLiteral("Objekte.DB"),
                    options);

    table::Table t(newDb, QStringLiteral("Objekte.DB"));
    t.open();
    ASSERT_TRUE(t.findKey({7}));
    EXPECT_TRUE(t[QStringLiteral("O_Aktiv")].isNull());
    EXPECT_FALSE(t[QStringLiteral("O_Selected")].asBooleanOr(true));
    EXPECT_EQ(t[QStringLiteral("O_Zahlintervall2")].asIntegerOr(-1), 1);
    EXPECT_EQ(t[QStringLiteral("O_KopienRg3")].asIntegerOr(-1), 1);
    EXPECT_TRUE(t[QStringLiteral("O_Name1")].isNull());
}

} // namespace
