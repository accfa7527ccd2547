#include "platform/errors.h"
#include "tablefixture.h"

#include <functional>

using table::PostErrorAction;
using table::Table;
using table::TableError;

namespace {

struct Counts {
    int postFailed = 0;
    int deleteFailed = 0;
};

void countFailures(Table& t, Counts& counts) {
    t.postFailed += [&counts](Table&) { ++counts.postFailed; };
    t.deleteFailed += [&counts](Table&) { ++counts.deleteFailed; };
}

} // namespace

// Every way out of post() by an exception after its before-handlers began
// reports the failure once; a post that goes through, or that has nothing to
// post, reports nothing.
TEST_F(TableTest, PostFailedFiresForEveryFailedPostOnly) {
    struct Case {
        const char* name;
        std::function<void(Table&)> arrange; // binds handlers, puts the row in edit
        bool fails;
    } cases[] = {
        {"refused silently",
         [](Table& t) {
             t.beforePost += [](Table&) { throw Abort{}; };
             t.edit();
         },
         true},
        {"refused with a message",
         [](Table& t) {
             t.beforePost += [](Table&) { throw DbError(QStringLiteral("Nein")); };
             t.edit();
         },
         true},
        {"key violation",
         [](Table& t) {
             t.append();
             t["Nr"] = 1;
             t["Name"] = "Doppelt";
         },
         true},
        {"key violation aborted by the error handler",
         [](Table& t) {
             t.onPostError = [](Table&, const TableError&) { return PostErrorAction::Abort; };
             t.append();
             t["Nr"] = 1;
             t["Name"] = "Doppelt";
         },
         true},
        {"key violation repaired by the error handler",
         [](Table& t) {
             t.onPostError = [](Table& self, const TableError&) {
                 self["Nr"] = 2;
                 return PostErrorAction::Retry;
             };
             t.append();
             t["Nr"] = 1;
             t["Name"] = "Berta";
         },
         false},
        {"posted", [](Table& t) { t.edit(); }, false},
        {"nothing to post", [](Table&) {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db->emptyTable(QStringLiteral("Kunden.DB"));
        Table t(db, "Kunden");
        t.open();
        addCustomer(t, 1, "Anton");
        Counts counts;
        countFailures(t, counts);
        c.arrange(t);
        if (c.fails)
            EXPECT_ANY_THROW(t.post());
        else
            EXPECT_NO_THROW(t.post());
        EXPECT_EQ(counts.postFailed, c.fails ? 1 : 0);
        EXPECT_EQ(counts.deleteFailed, 0);
        if (t.isEditing())
            t.cancel();
    }
}

TEST_F(TableTest, DeleteFailedFiresForARefusedOrFailedDeleteOnly) {
    struct Case {
        const char* name;
        std::function<void(Table& t, Table& other)> arrange;
        bool fails;
    } cases[] = {
        {"refused", [](Table& t, Table&) { t.beforeDelete += [](Table&) { throw Abort{}; }; },
         true},
        {"deleted meanwhile elsewhere",
         [](Table&, Table& other) {
             other.first();
             other.deleteRecord();
         },
         true},
        {"deleted", [](Table&, Table&) {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db->emptyTable(QStringLiteral("Kunden.DB"));
        Table t(db, "Kunden");
        // Another workstation: its delete is not seen until this cursor writes.
        auto otherDb = table::Database::open(dir.path(), scratch());
        Table other(otherDb, "Kunden");
        t.open();
        other.open();
        addCustomer(t, 1, "Anton");
        addCustomer(t, 2, "Berta");
        other.refresh();
        t.first();
        Counts counts;
        countFailures(t, counts);
        c.arrange(t, other);
        if (c.fails)
            EXPECT_ANY_THROW(t.deleteRecord());
        else
            EXPECT_NO_THROW(t.deleteRecord());
        EXPECT_EQ(counts.deleteFailed, c.fails ? 1 : 0);
        EXPECT_EQ(counts.postFailed, 0);
    }
}
