#include "platform/table/session.h"
#include "tablefixture.h"

#include <limits>

using table::Table;
using table::TableError;

// An integer key is the row id itself, so every 32-bit key, 0 and the
// negatives included, must behave like any other record under a cursor.
namespace {

constexpr int kMin = std::numeric_limits<int>::min();
constexpr int kMax = std::numeric_limits<int>::max();

struct KeyedRow {
    int nr;
    const char* name;
};

// In key order; appended in a different order so the key order is earned.
const KeyedRow kRows[] = {
    {kMin, "Minimum"}, {-1, "Minus"}, {0, "Null"}, {1, "Eins"}, {kMax, "Maximum"}};
const int kAppendOrder[] = {2, 4, 0, 3, 1};

QString nameOf(const KeyedRow& r) {
    return QString::fromUtf8(r.name);
}

} // namespace

class RowKeyTest : public TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        t = std::make_unique<Table>(db, "Kunden");
        t->open();
        for (int i : kAppendOrder)
            addCustomer(*t, kRows[i].nr, nameOf(kRows[i]), QStringLiteral("Ort%1").arg(i));
    }

    QStringList current() { return {(*t)["Nr"].asStringOr("null"), (*t)["Name"].asString()}; }

    static QStringList expected(const KeyedRow& r) { return {QString::number(r.nr), nameOf(r)}; }

    std::unique_ptr<Table> t;
};

TEST_F(RowKeyTest, WalkForwardAndBackwardReadsEveryRecord) {
    QList<QStringList> forward, backward;
    int steps = 0; // bounded: a cursor that never reaches the end fails, not hangs
    for (t->first(); !t->eof() && steps < 10; t->next(), ++steps)
        forward.append(current());
    steps = 0;
    for (t->last(); !t->bof() && steps < 10; t->prior(), ++steps)
        backward.prepend(current());
    QList<QStringList> want;
    for (const KeyedRow& r : kRows)
        want.append(expected(r));
    EXPECT_EQ(forward, want);
    EXPECT_EQ(backward, want);
    EXPECT_EQ(t->recordCount(), 5);
}

// Key 0 at either end of a range: reached by first()/last() without a step.
TEST_F(RowKeyTest, RangeEndingAtZeroReadsItAtEitherEnd) {
    t->setRange({0}, {kMax});
    EXPECT_EQ(current(), expected(kRows[2]));
    EXPECT_EQ(t->recordCount(), 3);
    t->setRange({kMin}, {0});
    t->last();
    EXPECT_EQ(current(), expected(kRows[2]));
    t->setRange({0}, {0});
    EXPECT_EQ(current(), expected(kRows[2]));
    EXPECT_EQ(t->recordCount(), 1);
    t->cancelRange();
    EXPECT_EQ(current(), expected(kRows[0]));
}

TEST_F(RowKeyTest, EverySearchFindsEveryKey) {
    for (int i = 0; i < 5; ++i) {
        const KeyedRow& r = kRows[i];
        SCOPED_TRACE(r.nr);
        t->last(); // away from the record searched for
        ASSERT_TRUE(t->findKey({r.nr}));
        EXPECT_EQ(current(), expected(r));
        EXPECT_EQ(t->recNo(), i + 1);
        t->first();
        ASSERT_TRUE(t->locate({"Nr"}, {r.nr}));
        EXPECT_EQ(current(), expected(r));
        t->first();
        ASSERT_TRUE(t->locate({"Ort"}, {QStringLiteral("Ort%1").arg(i)}));
        EXPECT_EQ(current(), expected(r));
        EXPECT_EQ(t->lookup({"Nr"}, {r.nr}, "Name").toString(), nameOf(r));
        t->findNearest({r.nr});
        EXPECT_EQ(current(), expected(r));
    }
    EXPECT_FALSE(t->findKey({2}));
    EXPECT_FALSE(t->lookup({"Nr"}, {2}, "Name").isValid());
}

TEST_F(RowKeyTest, BookmarksReturnToEveryKeyAcrossAnIndexChange) {
    QList<table::Bookmark> marks;
    for (t->first(); !t->eof(); t->next()) {
        marks.append(t->bookmark());
        EXPECT_TRUE(marks.last().valid) << t->recNo();
    }
    t->setIndexName("IName");
    t->first();
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(kRows[i].nr);
        ASSERT_TRUE(t->bookmarkValid(marks[i]));
        t->gotoBookmark(marks[i]);
        EXPECT_EQ(current(), expected(kRows[i]));
    }
}

TEST_F(RowKeyTest, AppendedRecordStaysCurrentAfterPost) {
    // Every key was appended last at some point in SetUp; check each again on a fresh table.
    for (const KeyedRow& r : kRows) {
        SCOPED_TRACE(r.nr);
        t->findKey({r.nr});
        t->deleteRecord();
        addCustomer(*t, r.nr, nameOf(r));
        EXPECT_EQ(current(), expected(r));
        EXPECT_TRUE(t->bookmark().valid);
        EXPECT_EQ(t->recNo(), int(&r - kRows) + 1);
    }
}

TEST_F(RowKeyTest, EditPostsToTheRecordOfEveryKey) {
    for (const KeyedRow& r : kRows) {
        SCOPED_TRACE(r.nr);
        ASSERT_TRUE(t->findKey({r.nr}));
        t->edit();
        EXPECT_EQ(t->state(), table::TableState::Edit); // not an insert
        (*t)["Name"] = nameOf(r) + "!";
        t->post();
        t->refresh();
        EXPECT_EQ(current(), (QStringList{QString::number(r.nr), nameOf(r) + "!"}));
    }
    EXPECT_EQ(t->recordCount(), 5);
}

TEST_F(RowKeyTest, ChangingTheKeyToAndFromZeroKeepsOneRecord) {
    ASSERT_TRUE(t->findKey({0}));
    t->edit();
    (*t)["Nr"] = 7;
    t->post();
    EXPECT_FALSE(t->findKey({0}));
    ASSERT_TRUE(t->findKey({7}));
    t->edit();
    (*t)["Nr"] = 0;
    t->post();
    ASSERT_TRUE(t->findKey({0}));
    EXPECT_EQ(current(), expected(kRows[2]));
    EXPECT_EQ(t->recordCount(), 5);
}

TEST_F(RowKeyTest, DeleteRemovesTheRecordOfEveryKeyAndMovesOn) {
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(kRows[i].nr);
        Table c(db, "Kunden");
        c.open();
        ASSERT_TRUE(c.findKey({kRows[i].nr}));
        c.deleteRecord();
        EXPECT_EQ(c.recordCount(), 4);
        // The cursor lands on the next record, or on the new last one.
        const KeyedRow& landed = kRows[i < 4 ? i + 1 : 3];
        EXPECT_EQ((QStringList{c["Nr"].asString(), c["Name"].asString()}), expected(landed));
        EXPECT_FALSE(c.findKey({kRows[i].nr}));
        // Put it back for the next round.
        addCustomer(c, kRows[i].nr, nameOf(kRows[i]), QStringLiteral("Ort%1").arg(i));
    }
}

TEST_F(RowKeyTest, DetailFollowsAMasterKeyedZero) {
    table::TableDef def;
    def.name = QStringLiteral("Auftrag.DB");
    def.fields = {{"AuNr", table::FieldType::Integer, 0},
                  {"KuNr", table::FieldType::Integer, 0},
                  {"Text", table::FieldType::String, 20}};
    db->createTable(def);
    Table orders(db, "Auftrag");
    orders.open();
    orders.appendRecord({1, 0, "für Null"});
    orders.appendRecord({2, 1, "für Eins"});
    orders.appendRecord({0, 0, "auch für Null"});
    orders.setMaster(t.get(), {"Nr"}, {"KuNr"});
    ASSERT_TRUE(t->findKey({0}));
    QStringList texts;
    for (orders.first(); !orders.eof(); orders.next())
        texts.append(orders["Text"].asString());
    EXPECT_EQ(texts, (QStringList{"auch für Null", "für Null"}));
    orders.append(); // the link field is filled from the master
    EXPECT_EQ(orders["KuNr"].asStringOr("null"), "0");
    orders.cancel();
}

// A text key is not the row id, but an empty text is a key like any other:
// it is found, navigated and locked against other sessions.
TEST_F(TableTest, EmptyTextKeyIsARecordLikeAnyOther) {
    table::TableDef def;
    def.name = QStringLiteral("Banken.DB");
    def.fields = {{"BLZ", table::FieldType::String, 8}, {"Name", table::FieldType::String, 20}};
    db->createTable(def);
    auto session = std::make_shared<table::Session>(dir.filePath("net"), "anna");
    auto other = std::make_shared<table::Session>(dir.filePath("net"), "bernd");
    db->setSession(session);
    auto dbB = table::Database::open(dir.path(), scratch());
    dbB->setSession(other);
    Table a(db, "Banken");
    a.open();
    a.appendRecord({"37050198", "Sparkasse"});
    a.appendRecord({"", "(keine)"});
    a.appendRecord({"10000000", "Bundesbank"});
    QStringList keys;
    for (a.first(); !a.eof(); a.next())
        keys.append(a["BLZ"].asStringOr("null") + "=" + a["Name"].asString());
    EXPECT_EQ(keys, (QStringList{"=(keine)", "10000000=Bundesbank", "37050198=Sparkasse"}));
    ASSERT_TRUE(a.findKey({""}));
    EXPECT_EQ(a["Name"].asString(), "(keine)");

    Table b(dbB, "Banken");
    b.open();
    ASSERT_TRUE(b.findKey({""}));
    a.edit();
    try {
        b.edit();
        ADD_FAILURE() << "the record in edit must be locked for the other session";
    } catch (const TableError& e) {
        EXPECT_EQ(e.kind(), TableError::RecordLocked);
    }
    a["Name"] = "ohne Bank";
    a.post();
    EXPECT_NO_THROW(b.edit()); // the lock ends with the post
    EXPECT_EQ(b["Name"].asString(), "ohne Bank");
    b.cancel();
}
