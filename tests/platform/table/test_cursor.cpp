#include "tablefixture.h"

#include <QDate>

using table::Table;
using table::TableError;

TEST_F(TableTest, AppendedRowsReadBackInKeyOrder) {
    Table t(db, "kunden");
    t.open();
    addCustomer(t, 3, "Cäsar");
    addCustomer(t, 1, "Anton");
    addCustomer(t, 2, "Berta");
    EXPECT_EQ(names(t), (QStringList{"Anton", "Berta", "Cäsar"}));
    EXPECT_EQ(t.recordCount(), 3);
}

TEST_F(TableTest, TableNameFoundWithoutCaseAndExtension) {
    for (const char* name : {"Kunden.DB", "KUNDEN", "kunden.db"}) {
        EXPECT_TRUE(db->exists(name)) << name;
        Table t(db, name);
        EXPECT_NO_THROW(t.open()) << name;
    }
    EXPECT_FALSE(db->exists("Firmen.DB"));
    Table missing(db, "Firmen.DB");
    EXPECT_THROW(missing.open(), TableError);
}

TEST_F(TableTest, NavigationFlagsAndRecNo) {
    Table t(db, "Kunden");
    t.open();
    EXPECT_TRUE(t.eof());
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.recNo(), 0);
    for (int i = 1; i <= 5; ++i)
        addCustomer(t, i, QStringLiteral("K%1").arg(i));
    t.first();
    EXPECT_TRUE(t.bof());
    EXPECT_FALSE(t.eof());
    EXPECT_EQ(t.recNo(), 1);
    t.prior(); // already at the first record
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t["Nr"].asInteger(), 1);
    t.moveBy(3);
    EXPECT_EQ(t.recNo(), 4);
    t.last();
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t["Nr"].asInteger(), 5);
    t.next(); // stays on the last record
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t["Nr"].asInteger(), 5);
    t.setRecNo(2);
    EXPECT_EQ(t["Nr"].asInteger(), 2);
    EXPECT_FALSE(t.eof());
    EXPECT_FALSE(t.bof());
}

TEST_F(TableTest, BookmarkReturnsToRecordAfterOrderChange) {
    Table t(db, "Kunden");
    t.open();
    addCustomer(t, 1, "Zeller");
    addCustomer(t, 2, "Abel");
    t.first();
    const auto mark = t.bookmark();
    t.setIndexName("IName");
    t.first();
    EXPECT_EQ(t["Name"].asString(), "Abel");
    ASSERT_TRUE(t.bookmarkValid(mark));
    t.gotoBookmark(mark);
    EXPECT_EQ(t["Name"].asString(), "Zeller");
    EXPECT_EQ(t.recNo(), 2);
}

TEST_F(TableTest, CursorsOfOneDatabaseSeeEachOthersRowsAndOtherWorkstationsAfterRefresh) {
    Table a(db, "Kunden");
    Table b(db, "Kunden");
    auto other = table::Database::open(dir.path(), scratch());
    Table c(other, "Kunden");
    a.open();
    b.open();
    c.open();
    addCustomer(a, 1, "Anton");
    // A second cursor of the same program sees the row at once ...
    EXPECT_EQ(b.recordCount(), 1);
    EXPECT_TRUE(b.locate({"Name"}, {"Anton"}));
    // ... another workstation after its refresh.
    EXPECT_EQ(c.recordCount(), 0);
    c.refresh();
    EXPECT_EQ(c.recordCount(), 1);
    EXPECT_EQ(c["Name"].asString(), "Anton");
}

TEST_F(TableTest, ALoopGoesOnWhenItsRecordIsDeletedThroughAnotherCursor) {
    Table loop(db, "Kunden");
    Table other(db, "Kunden");
    loop.open();
    other.open();
    for (int i = 1; i <= 5; ++i)
        addCustomer(loop, i, QStringLiteral("K%1").arg(i));
    QList<int> seen;
    for (loop.first(); !loop.eof(); loop.next()) {
        const int nr = loop["Nr"].asInteger();
        seen.append(nr);
        if (nr == 2 || nr == 5) { // the current record, and the last one
            ASSERT_TRUE(other.locate({"Nr"}, {nr}));
            other.deleteRecord();
        }
        if (nr == 3) { // a record further on
            ASSERT_TRUE(other.locate({"Nr"}, {4}));
            other.deleteRecord();
        }
    }
    EXPECT_EQ(seen, (QList<int>{1, 2, 3, 5}));
    EXPECT_EQ(loop.recordCount(), 2);

    // Backwards from a removed record lands on the one before it.
    addCustomer(loop, 6, "K6");
    addCustomer(loop, 7, "K7");
    ASSERT_TRUE(loop.locate({"Nr"}, {6}));
    ASSERT_TRUE(other.locate({"Nr"}, {6}));
    other.deleteRecord();
    loop.prior();
    EXPECT_EQ(loop["Nr"].asInteger(), 3);
}

TEST_F(TableTest, AChangeThroughAnotherCursorIsReadWhenMovingOnto) {
    Table a(db, "Kunden");
    Table b(db, "Kunden");
    a.open();
    b.open();
    addCustomer(a, 1, "Anton");
    addCustomer(a, 2, "Berta");
    b.first();
    ASSERT_TRUE(a.locate({"Nr"}, {2}));
    a.edit();
    a["Name"] = "Bertha";
    a.post();
    b.next();
    EXPECT_EQ(b["Name"].asString(), "Bertha");
}

TEST_F(TableTest, DeleteMovesToFollowingRecord) {
    Table t(db, "Kunden");
    t.open();
    for (int i = 1; i <= 3; ++i)
        addCustomer(t, i, QStringLiteral("K%1").arg(i));
    t.setRecNo(2);
    t.deleteRecord();
    EXPECT_EQ(t["Nr"].asInteger(), 3);
    EXPECT_EQ(t.recordCount(), 2);
    t.deleteRecord(); // the last one: the cursor falls back on the new last record
    EXPECT_EQ(t["Nr"].asInteger(), 1);
    t.deleteRecord();
    EXPECT_TRUE(t.isEmpty());
    EXPECT_TRUE(t.eof());
    EXPECT_THROW(t.deleteRecord(), TableError);
}

TEST_F(TableTest, DeleteLoopRemovesEveryRecord) {
    Table t(db, "Kunden");
    t.open();
    for (int i = 1; i <= 10; ++i)
        addCustomer(t, i, QStringLiteral("K%1").arg(i));
    int deleted = 0;
    t.first();
    while (!t.eof() && !t.isEmpty()) {
        t.deleteRecord();
        ++deleted;
    }
    EXPECT_EQ(deleted, 10);
    t.refresh();
    EXPECT_EQ(t.recordCount(), 0);
}

TEST_F(TableTest, EditOnEmptyTableStartsInsert) {
    Table t(db, "Kunden");
    t.open();
    t.edit();
    EXPECT_EQ(t.state(), table::TableState::Insert);
    t["Nr"] = 1;
    t.edit(); // a second edit does not start another record
    EXPECT_EQ(t.state(), table::TableState::Insert);
    EXPECT_EQ(t["Nr"].asInteger(), 1);
}

TEST_F(TableTest, MovingOffEditedRecordPostsIt) {
    Table t(db, "Kunden");
    t.open();
    addCustomer(t, 1, "Anton");
    addCustomer(t, 2, "Berta");
    t.first();
    t.edit();
    t["Ort"] = "Köln";
    t.next();
    EXPECT_EQ(t.state(), table::TableState::Browse);
    t.first();
    EXPECT_EQ(t["Ort"].asString(), "Köln");
}

TEST_F(TableTest, CancelRestoresValuesAndCloseDiscards) {
    Table t(db, "Kunden");
    t.open();
    addCustomer(t, 1, "Anton");
    t.edit();
    t["Name"] = "Geändert";
    t.cancel();
    EXPECT_EQ(t["Name"].asString(), "Anton");
    t.edit();
    t["Name"] = "Verworfen";
    t.close();
    t.open();
    EXPECT_EQ(t["Name"].asString(), "Anton");
}

TEST_F(TableTest, WritingFieldsOutsideEditModeOrReadOnlyIsRefused) {
    Table t(db, "Kunden");
    t.open();
    addCustomer(t, 1, "Anton");
    EXPECT_THROW(t["Name"] = "X", TableError);
    Table ro(db, "Kunden");
    ro.setReadOnly(true);
    ro.open();
    EXPECT_THROW(ro.edit(), TableError);
    EXPECT_THROW(ro.append(), TableError);
    EXPECT_THROW(ro.deleteRecord(), TableError);
}

TEST_F(TableTest, DuplicatePrimaryKeyIsKeyViolationAndStaysInInsert) {
    Table t(db, "Kunden");
    t.open();
    addCustomer(t, 1, "Anton");
    t.append();
    t["Nr"] = 1;
    try {
        t.post();
        FAIL() << "expected a key violation";
    } catch (const TableError& e) {
        EXPECT_EQ(e.kind(), TableError::KeyViolation);
        EXPECT_EQ(e.message(), "Schlüsselverletzung.");
    }
    EXPECT_EQ(t.state(), table::TableState::Insert);
    t["Nr"] = 2;
    t.post();
    EXPECT_EQ(t.recordCount(), 2);
}

TEST_F(TableTest, SeveralCursorsMoveIndependently) {
    Table a(db, "Kunden");
    a.open();
    for (int i = 1; i <= 3; ++i)
        addCustomer(a, i, QStringLiteral("K%1").arg(i));
    Table b(db, "Kunden");
    b.open();
    a.first();
    b.last();
    EXPECT_EQ(a["Nr"].asInteger(), 1);
    EXPECT_EQ(b["Nr"].asInteger(), 3);
}

TEST_F(TableTest, AppendRecordTakesValuesInFieldOrder) {
    Table t(db, "Kunden");
    t.open();
    t.appendRecord({7, "Anton", QVariant(), "01.02.2003", true});
    EXPECT_EQ(t["Seit"].asDate(), QDate(2003, 2, 1));
    EXPECT_TRUE(t["Ort"].isNull());
    EXPECT_THROW(t.appendRecord({7, "Doppelt"}), TableError);
    EXPECT_EQ(t.state(), table::TableState::Browse);
    EXPECT_THROW(t.appendRecord({8, "Falsches Datum", QVariant(), "32.01.2003"}), TableError);
    t.refresh();
    EXPECT_EQ(t.recordCount(), 1);
}

TEST_F(TableTest, FieldEventsAttachBeforeOpenAndSurviveCalculatedFields) {
    Table t(db, "Kunden");
    int changes = 0;
    t["Name"].onChange += [&changes](table::Field&) { ++changes; };
    t.addCalculatedField("Anzeige", table::FieldType::String, 40);
    t.onCalcFields +=
        [](Table& x) { x["Anzeige"] = x["Nr"].asString() + " " + x["Name"].asString(); };
    t.open();
    addCustomer(t, 1, "Anton");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(t["Anzeige"].asString(), "1 Anton");
}
