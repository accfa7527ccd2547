#include "platform/table/backend.h"
#include "tablefixture.h"

#include <QDate>

using table::FieldType;
using table::Table;
using table::TableError;

namespace {

table::TableDef allTypesDef() {
    table::TableDef def;
    def.name = "Typen.DB";
    def.fields = {
        {"Id", FieldType::AutoInc, 0},  {"S", FieldType::String, 5}, {"Si", FieldType::Smallint, 0},
        {"I", FieldType::Integer, 0},   {"F", FieldType::Float, 0},  {"C", FieldType::Currency, 0},
        {"B", FieldType::Boolean, 0},   {"D", FieldType::Date, 0},   {"T", FieldType::Time, 0},
        {"Dt", FieldType::DateTime, 0}, {"M", FieldType::Memo, 0},   {"Fm", FieldType::FmtMemo, 0},
        {"G", FieldType::Graphic, 0}};
    return def;
}

} // namespace

class FieldTest : public TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        db->createTable(allTypesDef());
        t = std::make_unique<Table>(db, "Typen");
        t->open();
        t->append();
    }
    std::unique_ptr<Table> t;
};

TEST_F(FieldTest, ValuesRoundTripThroughStorageAfterReopen) {
    Table& r = *t;
    r["S"] = "Größe";
    r["Si"] = -32768;
    r["I"] = 2147483647;
    r["F"] = 1.25;
    r["C"] = 12.5;
    r["B"] = true;
    r["D"] = QDate(1899, 12, 30);
    r["T"] = QTime(13, 45, 7, 250);
    r["Dt"] = QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59));
    r["M"] = "Zeile 1\nZeile 2";
    r["Fm"] = "{\\rtf1 x}";
    r["G"] = QByteArray("\x00\x01\xff", 3);
    r.post();
    r.close();

    // A fresh connection knows the exact types from the stored definition.
    auto again = table::Database::open(dir.path(), scratch());
    Table q(again, "TYPEN.DB");
    q.open();
    EXPECT_EQ(q["Id"].asInteger(), 1);
    EXPECT_EQ(q["S"].asString(), "Größe");
    EXPECT_EQ(q["Si"].type(), FieldType::Smallint);
    EXPECT_EQ(q["Si"].asInteger(), -32768);
    EXPECT_EQ(q["I"].asInteger(), 2147483647);
    EXPECT_DOUBLE_EQ(q["F"].asFloat(), 1.25);
    EXPECT_EQ(q["C"].text(), "12,50");
    EXPECT_TRUE(q["B"].asBoolean());
    EXPECT_EQ(q["D"].asDate(), QDate(1899, 12, 30));
    EXPECT_FALSE(q["D"].isNull());
    EXPECT_EQ(q["T"].asTime(), QTime(13, 45, 7, 250));
    EXPECT_EQ(q["Dt"].asDateTime(), QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59)));
    EXPECT_EQ(q["M"].asString(), "Zeile 1\nZeile 2");
    EXPECT_EQ(q["G"].asBytes(), QByteArray("\x00\x01\xff", 3));
    EXPECT_EQ(q["D"].text(), "30.12.1899");

    // The storage representation the SQL translator relies on.
    auto raw = again->connection().prepare("SELECT D, T, Dt, B, Si, typeof(C), G FROM Typen");
    ASSERT_TRUE(raw->step());
    EXPECT_EQ(raw->value(0), QVariant("1899-12-30"));
    EXPECT_EQ(raw->value(1), QVariant("13:45:07.250"));
    EXPECT_EQ(raw->value(2), QVariant("2024-02-29T23:59:59.000"));
    EXPECT_EQ(raw->value(3), QVariant(qint64(1)));
    EXPECT_EQ(raw->value(4), QVariant(qint64(-32768)));
    EXPECT_EQ(raw->value(5), QVariant("real"));
    EXPECT_EQ(raw->value(6).typeId(), QMetaType::QByteArray);
}

TEST_F(FieldTest, RangeAndFormErrorsKeepTheOldValue) {
    struct Case {
        const char* field;
        QVariant value;
    };
    const Case cases[] = {
        {"Si", 32768},   {"Si", -32769},      {"I", qint64(2147483648LL)},
        {"S", "sechs!"}, {"D", "31.02.2024"}, {"D", "morgen"},
        {"I", "12a"},    {"T", "25:00"},      {"B", "vielleicht"},
        {"F", "1,2,3"},  {"Si", 1.5},
    };
    Table& r = *t;
    r["Si"] = 7;
    r["I"] = 7;
    r["S"] = "alt";
    for (const auto& c : cases) {
        const QVariant before = r[c.field].value();
        try {
            r[c.field] = c.value;
            ADD_FAILURE() << c.field << " accepted " << c.value.toString().toStdString();
        } catch (const TableError& e) {
            EXPECT_EQ(e.kind(), TableError::InvalidValue) << c.field;
            EXPECT_FALSE(e.message().isEmpty());
        }
        EXPECT_EQ(r[c.field].value(), before) << c.field;
    }
}

TEST_F(FieldTest, TextInputConvertsToTheFieldType) {
    Table& r = *t;
    r["D"] = "01.02.2003";
    r["Si"] = "12";
    r["F"] = "1,5";
    r["B"] = "true";
    r["T"] = "08:30";
    r["I"] = "";
    EXPECT_EQ(r["D"].asDate(), QDate(2003, 2, 1));
    EXPECT_EQ(r["Si"].asInteger(), 12);
    EXPECT_DOUBLE_EQ(r["F"].asFloat(), 1.5);
    EXPECT_TRUE(r["B"].asBoolean());
    EXPECT_EQ(r["T"].asTime(), QTime(8, 30));
    EXPECT_TRUE(r["I"].isNull());
}

TEST_F(FieldTest, NullSafeGettersGiveDefaults) {
    Table& r = *t;
    EXPECT_TRUE(r["I"].isNull());
    EXPECT_EQ(r["I"].asInteger(), 0);
    EXPECT_EQ(r["I"].asIntegerOr(7), 7);
    EXPECT_EQ(r["S"].asStringOr("leer"), "leer");
    EXPECT_DOUBLE_EQ(r["C"].asFloatOr(2.5), 2.5);
    EXPECT_TRUE(r["B"].asBooleanOr(true));
    EXPECT_EQ(r["D"].asDateOr(QDate(2000, 1, 1)), QDate(2000, 1, 1));
    EXPECT_FALSE(r["D"].asDate().isValid());
    EXPECT_EQ(r.findField("Fehlt"), nullptr);
    EXPECT_THROW(r["Fehlt"], TableError);
    r["I"] = 0;
    EXPECT_EQ(r["I"].asIntegerOr(7), 0);
}

TEST_F(FieldTest, AutoIncNumbersFollowTheHighest) {
    Table& r = *t;
    r.post();
    r.append();
    r["Id"] = 41;
    r.post();
    r.append();
    r.post();
    EXPECT_EQ(r["Id"].asInteger(), 42);
}

TEST_F(FieldTest, CalculatedFieldsAndDisplayText) {
    t->cancel();
    t->close();
    Table r(db, "Typen");
    r.addCalculatedField("Doppelt", FieldType::Integer);
    r.onCalcFields += [](Table& x) { x["Doppelt"] = x["I"].asInteger() * 2; };
    r["S"].onGetText = [](const table::Field& f) {
        return QStringLiteral("<%1>").arg(f.asString());
    };
    r.open();
    r.append();
    r["I"] = 21;
    EXPECT_EQ(r["Doppelt"].asInteger(), 42); // recalculated on change
    r["S"] = "ab";
    EXPECT_EQ(r["S"].text(), "<ab>");
    r.post();
    r.first();
    EXPECT_EQ(r["Doppelt"].asInteger(), 42);
}

// A huge text typed into an integer field is refused with a short message.
TEST_F(TableTest, RefusedHugeValueIsQuotedShortly) {
    Table t(db, "Kunden");
    t.open();
    t.append();
    try {
        t.field("Nr").setValue(QString(QString(10 * 1024 * 1024, u'9') + u'x'));
        ADD_FAILURE() << "the value was taken";
    } catch (const table::TableError& e) {
        EXPECT_EQ(e.kind(), table::TableError::InvalidValue);
        EXPECT_LT(e.message().size(), 200) << e.message().left(200).toStdString();
    }
    t.cancel();
}
