#include "platform/table/backend.h"
#include "tablefixture.h"

using table::FieldType;
using table::Table;

// Navigation over more rows than the cursor reads ahead at once, in every
// kind of index order: with duplicates, nulls, umlauts and case variants, a
// descending index and ranges. The engine's own ORDER BY is the reference.
namespace {

constexpr int kRows = 700;

const char* const kNames[] = {"Abel",   "abel",   "Müller",  "Mueller", "MÜLLER",
                              "Öztürk", "Straße", "Strasse", "Zander",  nullptr};
const char* const kPlaces[] = {"Köln", "Bonn", "köln", nullptr, "Aachen"};

struct OrderCase {
    const char* name;
    const char* index;
    QVariantList rangeStart, rangeEnd; // no range when both are empty
    const char* where;                 // the reference's condition
    const char* order;
};

void PrintTo(const OrderCase& c, std::ostream* os) {
    *os << c.name;
}

} // namespace

class NavigationTest : public TableTest, public ::testing::WithParamInterface<OrderCase> {
protected:
    void SetUp() override {
        TableTest::SetUp();
        table::TableDef def;
        def.name = QStringLiteral("Adressen.DB");
        def.fields = {{"Nr", FieldType::Integer, 0},
                      {"Name", FieldType::String, 20},
                      {"Ort", FieldType::String, 20}};
        def.indexes = {{"IName", {"Name"}, true, false, false},
                       {"IOrtName", {"Ort", "Name"}, true, false, false},
                       {"INameAb", {"Name"}, true, false, true},
                       {"IOrtBin", {"Ort"}, false, false, false}};
        db->createTable(def);
        t = std::make_unique<Table>(db, "Adressen");
        t->open();
        table::Transaction tx(*db);
        for (int i = 0; i < kRows; ++i) {
            // Keys in a scattered order, so that row ids and key order differ.
            const int nr = (i * 337) % kRows - 50;
            const char* name = kNames[(i * 7) % 10];
            const char* place = kPlaces[(i / 3) % 5];
            t->appendRecord({nr, name ? QVariant(QString::fromUtf8(name)) : QVariant(),
                             place ? QVariant(QString::fromUtf8(place)) : QVariant()});
        }
        tx.commit();
    }

    QList<int> reference(const OrderCase& c) {
        QString sql = QStringLiteral("SELECT Nr FROM Adressen");
        if (c.where)
            sql += QStringLiteral(" WHERE ") + QString::fromUtf8(c.where);
        sql += QStringLiteral(" ORDER BY ") + QString::fromUtf8(c.order);
        auto s = db->connection().prepare(sql);
        QList<int> nrs;
        while (s->step())
            nrs.append(int(s->int64(0)));
        return nrs;
    }

    void arrange(const OrderCase& c) {
        t->setIndexName(QString::fromUtf8(c.index));
        if (!c.rangeStart.isEmpty() || !c.rangeEnd.isEmpty())
            t->setRange(c.rangeStart, c.rangeEnd);
    }

    std::unique_ptr<Table> t;
};

TEST_P(NavigationTest, WalksBothWaysInTheIndexOrder) {
    const OrderCase& c = GetParam();
    // Opened on the index, the cursor stands on the first record, not past the end.
    Table opened(db, "Adressen");
    opened.setIndexName(QString::fromUtf8(c.index));
    opened.open();
    EXPECT_TRUE(opened.bof());
    EXPECT_FALSE(opened.eof());
    EXPECT_EQ(opened.recNo(), 1);
    arrange(c);
    const QList<int> expected = reference(c);
    ASSERT_FALSE(expected.isEmpty());
    QList<int> forward, backward, recNos;
    int steps = 0;
    for (t->first(); !t->eof() && steps <= kRows; t->next(), ++steps) {
        forward.append((*t)["Nr"].asInteger());
        recNos.append(t->recNo());
    }
    steps = 0;
    for (t->last(); !t->bof() && steps <= kRows; t->prior(), ++steps)
        backward.prepend((*t)["Nr"].asInteger());
    EXPECT_EQ(forward, expected);
    EXPECT_EQ(backward, expected);
    QList<int> positions;
    for (int i = 1; i <= expected.size(); ++i)
        positions.append(i);
    EXPECT_EQ(recNos, positions);
    EXPECT_EQ(t->recordCount(), expected.size());
}

TEST_P(NavigationTest, JumpsLandOnThePositionAndMoveOnFromThere) {
    const OrderCase& c = GetParam();
    arrange(c);
    const QList<int> expected = reference(c);
    const int n = int(expected.size());
    for (int target : {n, 1, n / 2, n / 2 + 1, n - 1, 2}) {
        if (target < 1 || target > n)
            continue;
        SCOPED_TRACE(target);
        t->setRecNo(target);
        EXPECT_EQ((*t)["Nr"].asInteger(), expected[target - 1]);
        EXPECT_EQ(t->recNo(), target);
        t->moveBy(3);
        const int ahead = std::min(target + 3, n);
        EXPECT_EQ((*t)["Nr"].asInteger(), expected[ahead - 1]);
        EXPECT_EQ(t->eof(), target + 3 > n);
        t->moveBy(-5);
        const int back = std::max(ahead - 5, 1);
        EXPECT_EQ((*t)["Nr"].asInteger(), expected[back - 1]);
        EXPECT_EQ(t->recNo(), back);
        // A bookmark and a search come back to the same record and go on alike.
        const table::Bookmark mark = t->bookmark();
        t->first();
        t->gotoBookmark(mark);
        t->next();
        EXPECT_EQ((*t)["Nr"].asInteger(), expected[std::min(back + 1, n) - 1]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Orders, NavigationTest,
    ::testing::Values(
        OrderCase{"primary", "", {}, {}, nullptr, "Nr"},
        OrderCase{"name", "IName", {}, {}, nullptr, "Name COLLATE DE, rowid"},
        OrderCase{"place_and_name",
                  "IOrtName",
                  {},
                  {},
                  nullptr,
                  "Ort COLLATE DE, Name COLLATE DE, rowid"},
        OrderCase{"name_descending", "INameAb", {}, {}, nullptr, "Name COLLATE DE DESC, rowid"},
        OrderCase{"place_case_sensitive", "IOrtBin", {}, {}, nullptr, "Ort, rowid"},
        OrderCase{"primary_range", "", {-10}, {300}, "Nr BETWEEN -10 AND 300", "Nr"},
        OrderCase{"place_range",
                  "IOrtName",
                  {"KÖLN"},
                  {"köln"},
                  "Ort = 'Köln' COLLATE DE",
                  "Ort COLLATE DE, Name COLLATE DE, rowid"},
        OrderCase{"place_and_name_range",
                  "IOrtName",
                  {"Bonn", "M"},
                  {"Köln", "N"},
                  "(Ort COLLATE DE, Name COLLATE DE) >= ('Bonn', 'M') AND "
                  "(Ort COLLATE DE, Name COLLATE DE) <= ('Köln', 'N')",
                  "Ort COLLATE DE, Name COLLATE DE, rowid"},
        OrderCase{"descending_range",
                  "INameAb",
                  {"S"},
                  {"M"},
                  "Name COLLATE DE <= 'S' AND Name COLLATE DE >= 'M'",
                  "Name COLLATE DE DESC, rowid"}),
    [](const ::testing::TestParamInfo<OrderCase>& info) { return std::string(info.param.name); });

TEST_F(NavigationTest, CallbackFilterAcrossManyRows) {
    t->setIndexName("IName");
    t->setFilterFunction([](Table& x) { return x["Nr"].asInteger() % 3 == 0; });
    t->setFiltered(true);
    const QList<int> expected = reference({"", "", {}, {}, "Nr % 3 = 0", "Name COLLATE DE, rowid"});
    QList<int> forward, backward;
    for (t->first(); !t->eof(); t->next())
        forward.append((*t)["Nr"].asInteger());
    for (t->last(); !t->bof(); t->prior())
        backward.prepend((*t)["Nr"].asInteger());
    EXPECT_EQ(forward, expected);
    EXPECT_EQ(backward, expected);
    EXPECT_EQ(t->recordCount(), expected.size());
    t->setRecNo(100);
    EXPECT_EQ((*t)["Nr"].asInteger(), expected[99]);
    EXPECT_EQ(t->recNo(), 100);
}

// A loop that changes each record's key as it goes: every record is met once,
// whether the change moves it ahead, behind, or out of the view.
TEST_F(NavigationTest, LoopsThatChangeTheOrderOrTheView) {
    t->setIndexName("IOrtName");
    t->setRange({"Bonn"}, {"Bonn"});
    const int inRange = t->recordCount();
    ASSERT_GT(inRange, 0);
    // Posted out of the range, the record leaves the view; the next move
    // starts at the first record still in it.
    int moved = 0;
    for (t->first(); !t->eof() && moved <= kRows;) {
        t->edit();
        (*t)["Ort"] = "Essen";
        t->post();
        ++moved;
        t->next();
        if (!t->eof()) {
            EXPECT_TRUE(t->bof());
            EXPECT_EQ(t->recNo(), 1);
        }
    }
    EXPECT_EQ(moved, inRange);
    EXPECT_EQ(t->recordCount(), 0);

    // Within the view, an edit that moves the record ahead in the order is
    // followed from its new place.
    t->cancelRange();
    t->setIndexName("");
    ASSERT_TRUE(t->findKey({0}));
    t->edit();
    (*t)["Nr"] = 5000;
    t->post();
    EXPECT_EQ(t->recNo(), kRows);
    t->next();
    EXPECT_TRUE(t->eof());
    EXPECT_EQ((*t)["Nr"].asInteger(), 5000);
    t->prior();
    EXPECT_EQ((*t)["Nr"].asInteger(), kRows - 51);
}

// Within one transaction no other connection writes, but another cursor of
// the program may: edit() still starts from the record as it is now.
TEST_F(NavigationTest, EditInATransactionSeesAnotherCursorsChange) {
    Table other(db, "Adressen");
    other.open();
    table::Transaction tx(*db);
    ASSERT_TRUE(t->findKey({7}));
    ASSERT_TRUE(other.findKey({7}));
    other.edit();
    other["Ort"] = "Trier";
    other.post();
    t->edit();
    EXPECT_EQ((*t)["Ort"].asString(), "Trier");
    t->cancel();
    tx.commit();
}

// A post writes the fields it changed; another cursor's change to other
// fields of the same record meanwhile stays.
TEST_F(NavigationTest, PostKeepsOthersChangesToOtherFields) {
    Table other(db, "Adressen");
    other.open();
    ASSERT_TRUE(t->findKey({12}));
    ASSERT_TRUE(other.findKey({12}));
    t->edit();
    (*t)["Name"] = "Neu";
    other.edit();
    other["Ort"] = "Trier";
    other.post();
    t->post();
    t->refresh();
    EXPECT_EQ((*t)["Name"].asString(), "Neu");
    EXPECT_EQ((*t)["Ort"].asString(), "Trier");
}

// Editing every record on the way, in one transaction as a data run does:
// each record is met once and keeps what was written.
TEST_F(NavigationTest, ALoopEditsEveryRecordOnce) {
    t->setIndexName("IName");
    table::Transaction tx(*db);
    int visited = 0;
    for (t->first(); !t->eof() && visited <= kRows; t->next()) {
        t->edit();
        (*t)["Ort"] = QStringLiteral("Ort %1").arg((*t)["Nr"].asInteger());
        t->post();
        ++visited;
    }
    tx.commit();
    EXPECT_EQ(visited, kRows);
    auto s = db->connection().prepare("SELECT count(*) FROM Adressen WHERE Ort = 'Ort ' || Nr");
    ASSERT_TRUE(s->step());
    EXPECT_EQ(s->int64(0), kRows);
}
