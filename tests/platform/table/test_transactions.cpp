#include "tablefixture.h"

using table::Table;
using table::Transaction;

TEST_F(TableTest, TransactionRolledBackOnErrorLeavesNothingBehind) {
    Table a(db, "Kunden");
    a.open();
    addCustomer(a, 1, "Anton");
    auto chain = [&] {
        Transaction tx(*db);
        addCustomer(a, 2, "Berta");
        a.first();
        a.edit();
        a["Ort"] = "Köln";
        a.post();
        {
            Transaction inner(*db); // a rule called from the chain opens its own scope
            addCustomer(a, 3, "Cäsar");
            inner.commit();
        }
        addCustomer(a, 1, "Doppelt"); // key violation ends the chain
        tx.commit();
    };
    EXPECT_THROW(chain(), table::TableError);
    a.cancel();
    a.refresh();
    EXPECT_EQ(names(a), QStringList{"Anton"});
    a.first();
    EXPECT_TRUE(a["Ort"].isNull());

    // Another connection never saw any of it.
    auto other = table::Database::open(dir.path(), scratch());
    Table b(other, "Kunden");
    b.open();
    EXPECT_EQ(b.recordCount(), 1);
}

TEST_F(TableTest, CommittedTransactionAndInnerRollback) {
    Table a(db, "Kunden");
    a.open();
    {
        Transaction tx(*db);
        addCustomer(a, 1, "Anton");
        try {
            Transaction inner(*db);
            addCustomer(a, 2, "Berta");
            throw Abort{};
        } catch (const Abort&) {
        }
        tx.commit();
    }
    a.refresh();
    EXPECT_EQ(names(a), QStringList{"Anton"});
    EXPECT_EQ(db->transactionDepth(), 0);
}
