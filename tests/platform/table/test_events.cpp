#include "tablefixture.h"

#include <functional>

using table::PostErrorAction;
using table::Table;
using table::TableError;

namespace {

// Records every event of a table (and of its Name field) in firing order.
void logEvents(Table& t, QStringList& log) {
    auto add = [&log](const char* name) {
        return [&log, name](Table&) { log.append(QLatin1String(name)); };
    };
    t.beforeOpen += add("BeforeOpen");
    t.afterOpen += add("AfterOpen");
    t.beforeClose += add("BeforeClose");
    t.afterClose += add("AfterClose");
    t.beforeInsert += add("BeforeInsert");
    t.onNewRecord += add("OnNewRecord");
    t.afterInsert += add("AfterInsert");
    t.beforeEdit += add("BeforeEdit");
    t.afterEdit += add("AfterEdit");
    t.beforePost += add("BeforePost");
    t.afterPost += add("AfterPost");
    t.beforeCancel += add("BeforeCancel");
    t.afterCancel += add("AfterCancel");
    t.beforeDelete += add("BeforeDelete");
    t.afterDelete += add("AfterDelete");
    t.beforeScroll += add("BeforeScroll");
    t.afterScroll += add("AfterScroll");
    t["Name"].onValidate += [&log](table::Field&) { log.append("OnValidate"); };
    t["Name"].onChange += [&log](table::Field&) { log.append("OnChange"); };
}

struct OrderCase {
    const char* name;
    int rows;                            // rows present before the operation
    std::function<void(Table&)> prepare; // runs before logging starts
    std::function<void(Table&)> operation;
    QStringList expected;
};

void PrintTo(const OrderCase& c, std::ostream* os) {
    *os << c.name;
}

} // namespace

class EventOrderTest : public TableTest, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(EventOrderTest, FiresInOrder) {
    const OrderCase& c = GetParam();
    Table t(db, "Kunden");
    QStringList log;
    {
        Table filler(db, "Kunden");
        filler.open();
        for (int i = 1; i <= c.rows; ++i)
            addCustomer(filler, i, QStringLiteral("K%1").arg(i));
    }
    if (c.prepare) {
        t.open();
        c.prepare(t);
    }
    logEvents(t, log);
    c.operation(t);
    EXPECT_EQ(log, c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Operations, EventOrderTest,
    ::testing::Values(
        OrderCase{"open",
                  1,
                  nullptr,
                  [](Table& t) { t.open(); },
                  {"BeforeOpen", "AfterOpen", "AfterScroll"}},
        OrderCase{
            "close", 1, [](Table&) {}, [](Table& t) { t.close(); }, {"BeforeClose", "AfterClose"}},
        OrderCase{"insert",
                  1,
                  [](Table&) {},
                  [](Table& t) { t.insert(); },
                  {"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll"}},
        OrderCase{"edit on empty table inserts",
                  0,
                  [](Table&) {},
                  [](Table& t) { t.edit(); },
                  {"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll"}},
        OrderCase{
            "edit", 1, [](Table&) {}, [](Table& t) { t.edit(); }, {"BeforeEdit", "AfterEdit"}},
        OrderCase{"set field",
                  1,
                  [](Table& t) { t.edit(); },
                  [](Table& t) { t["Name"] = "X"; },
                  {"OnValidate", "OnChange"}},
        OrderCase{"post",
                  1,
                  [](Table& t) { t.edit(); },
                  [](Table& t) { t.post(); },
                  {"BeforePost", "AfterPost"}},
        OrderCase{"cancel",
                  1,
                  [](Table& t) { t.edit(); },
                  [](Table& t) { t.cancel(); },
                  {"BeforeCancel", "AfterCancel"}},
        OrderCase{"delete",
                  2,
                  [](Table&) {},
                  [](Table& t) { t.deleteRecord(); },
                  {"BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"}},
        OrderCase{"next posts pending edit",
                  2,
                  [](Table& t) { t.edit(); },
                  [](Table& t) { t.next(); },
                  {"BeforePost", "AfterPost", "BeforeScroll", "AfterScroll"}},
        OrderCase{"next at end", 1, [](Table&) {}, [](Table& t) { t.next(); }, {}},
        OrderCase{"append while editing posts first",
                  1,
                  [](Table& t) { t.edit(); },
                  [](Table& t) { t.append(); },
                  {"BeforePost", "AfterPost", "BeforeInsert", "BeforeScroll", "OnNewRecord",
                   "AfterInsert", "AfterScroll"}}),
    [](const ::testing::TestParamInfo<OrderCase>& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    });

TEST_F(TableTest, RefusalsLeaveStateAndData) {
    Table t(db, "Kunden");
    t.open();
    addCustomer(t, 1, "Anton");

    // A silent abort in BeforePost keeps the record in edit and writes nothing.
    t.beforePost = [](Table&) { throw Abort{}; };
    t.edit();
    t["Name"] = "Neu";
    EXPECT_THROW(t.post(), Abort);
    EXPECT_EQ(t.state(), table::TableState::Edit);
    t.cancel();
    t.beforePost.clear();

    // A database error in BeforeDelete keeps the record.
    t.beforeDelete = [](Table&) { throw DbError(QStringLiteral("Kunde hat noch Rechnungen!")); };
    try {
        t.deleteRecord();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "Kunde hat noch Rechnungen!");
    }
    t.refresh();
    EXPECT_EQ(t.recordCount(), 1);

    // OnValidate refuses the value: the field keeps its old one, OnChange does not run.
    int changes = 0;
    t["Name"].onValidate = [](table::Field& f) {
        if (f.asString().isEmpty())
            throw DbError(QStringLiteral("Name fehlt!"));
    };
    t["Name"].onChange = [&changes](table::Field&) { ++changes; };
    t.edit();
    EXPECT_THROW(t["Name"] = "", DbError);
    EXPECT_EQ(t["Name"].asString(), "Anton");
    EXPECT_EQ(changes, 0);
    t["Name"] = "Berta";
    EXPECT_EQ(changes, 1);

    // An exception in OnNewRecord cancels the insert.
    t.post();
    t.onNewRecord = [](Table&) { throw Abort{}; };
    EXPECT_THROW(t.insert(), Abort);
    EXPECT_EQ(t.state(), table::TableState::Browse);
    EXPECT_EQ(t["Name"].asString(), "Berta");
}

TEST_F(TableTest, PostErrorHandlerDecides) {
    Table t(db, "Kunden");
    t.open();
    addCustomer(t, 1, "Anton");

    struct Case {
        const char* name;
        std::function<PostErrorAction(Table&, const TableError&)> handler;
        QString expectedMessage; // empty: silent abort
        int rowsAfter;
    };
    const Case cases[] = {
        {"fail with own message",
         [](Table&, const TableError& e) -> PostErrorAction {
             if (e.kind() == TableError::KeyViolation)
                 throw DbError(QStringLiteral("Diese Kundennummer ist schon vergeben!"));
             return PostErrorAction::Fail;
         },
         "Diese Kundennummer ist schon vergeben!", 1},
        {"keep the engine error", [](Table&, const TableError&) { return PostErrorAction::Fail; },
         "Schlüsselverletzung.", 1},
        {"abort silently", [](Table&, const TableError&) { return PostErrorAction::Abort; }, {}, 1},
        {"retry with next key",
         [](Table& x, const TableError&) {
             x["Nr"] = x["Nr"].asInteger() + 1;
             return PostErrorAction::Retry;
         },
         {},
         2},
    };
    for (const auto& c : cases) {
        t.onPostError = c.handler;
        t.append();
        t["Nr"] = 1;
        try {
            t.post();
            EXPECT_EQ(c.rowsAfter, 2) << c.name;
            EXPECT_EQ(t["Nr"].asInteger(), 2) << c.name;
        } catch (const Abort&) {
            EXPECT_TRUE(c.expectedMessage.isEmpty()) << c.name;
            EXPECT_EQ(t.state(), table::TableState::Insert) << c.name;
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(), c.expectedMessage) << c.name;
            EXPECT_EQ(t.state(), table::TableState::Insert) << c.name;
        }
        t.cancel();
        t.refresh();
        EXPECT_EQ(t.recordCount(), c.rowsAfter) << c.name;
    }
}

TEST_F(TableTest, EventsAreReentrant) {
    Table a(db, "Kunden");
    Table b(db, "Kunden");
    a.open();
    b.open();
    // A rule that, after posting a customer, writes a second one through
    // another cursor whose own rule posts again through the first cursor.
    a.afterPost += [&](Table& self) {
        if (self["Nr"].asInteger() == 1)
            addCustomer(b, 2, "Zweiter");
    };
    b.afterPost += [&](Table& self) {
        if (self["Nr"].asInteger() == 2)
            addCustomer(a, 3, "Dritter");
    };
    // A handler that attaches another one while it runs.
    int late = 0;
    a.afterScroll += [&](Table&) { a.afterScroll += [&late](Table&) { ++late; }; };
    addCustomer(a, 1, "Erster");
    a.refresh();
    EXPECT_EQ(a.recordCount(), 3);
    a.first();
    EXPECT_GT(late, 0);
}
