#include "clientdbfixture.h"
#include "core/data/pendingtransactions.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

namespace {

using datatest::ClientDbFixture;

const QString kKunden = QStringLiteral("Kunden.DB");

class PendingTransactionsTest : public ClientDbFixture {
protected:
    // A customer written through a cursor of its own, inside whatever transaction is open.
    void writeCustomer(int id) { addRow(kKunden, {{QStringLiteral("K_ID"), id}}); }
    int customers() { return open(kKunden)->recordCount(); }
};

TEST_F(PendingTransactionsTest, CommitKeepsAndRollbackUndoesTheWorkAndGivesTheState) {
    auto t = open(kKunden);
    PendingTransactions<int> pending;
    EXPECT_FALSE(pending.finish(*t, true).has_value());

    pending.start(*t).extra = 7;
    writeCustomer(1);
    EXPECT_EQ(pending.finish(*t, true), 7);
    EXPECT_EQ(pending.find(*t), nullptr);
    EXPECT_EQ(customers(), 1);

    pending.start(*t).extra = 8;
    writeCustomer(2);
    EXPECT_EQ(pending.finish(*t, false), 8);
    EXPECT_EQ(customers(), 1);

    // A transaction left pending is rolled back when the next one starts.
    pending.start(*t);
    writeCustomer(3);
    pending.start(*t);
    EXPECT_FALSE(pending.find(*t)->extra);
    pending.finish(*t, true);
    EXPECT_EQ(customers(), 1);
}

TEST_F(PendingTransactionsTest, ADeleteCommitsAndAnyOtherStepGivesItUp) {
    addRow(kKunden, {{QStringLiteral("K_ID"), 10}});
    addRow(kKunden, {{QStringLiteral("K_ID"), 11}});
    auto t = open(kKunden);
    PendingTransactions<> pending;
    pending.bindToDelete(*t);

    // The work a delete rule did lands with the delete.
    pending.start(*t);
    writeCustomer(20);
    t->refresh();
    t->first();
    t->deleteRecord();
    EXPECT_EQ(pending.find(*t), nullptr);
    EXPECT_EQ(customers(), 2); // 11 and 20

    // A delete that never came: the record's next step undoes the work.
    pending.start(*t);
    writeCustomer(21);
    t->refresh();
    t->first();
    t->edit();
    EXPECT_EQ(pending.find(*t), nullptr);
    t->cancel();
    EXPECT_EQ(customers(), 2);
}

} // namespace
