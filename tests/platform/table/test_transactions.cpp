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

TEST_F(TableTest, ADeferredTransactionOverTemporaryTablesWaitsForNoWriter) {
    table::Database::Options quick = scratch();
    quick.busyTimeoutMs = 50;
    auto other = table::Database::open(dir.path(), quick);
    auto mine = table::Database::open(dir.path(), quick);
    table::TableDef work = customerDef();
    work.name = QStringLiteral("Arbeit");
    mine->createTemporaryTable(work);
    Transaction writing(*other); // another workstation holds the write lock
    Table o(other, "Kunden");
    o.open();
    addCustomer(o, 1, "Anton");
    {
        Transaction tx(*mine, table::TransactionLock::Deferred);
        mine->execSql(QStringLiteral("INSERT INTO temp.\"Arbeit\"(\"Nr\") VALUES(1)"));
        tx.commit();
    }
    EXPECT_EQ(mine->selectValue(QStringLiteral("SELECT COUNT(*) FROM temp.\"Arbeit\"")).toInt(), 1);
    // An immediate one waits for the lock and gives up.
    EXPECT_THROW(Transaction(*mine, table::TransactionLock::Immediate), table::TableError);
    writing.commit();
}

TEST_F(TableTest, ATableCreatedInAnAttachedDatabaseCommitsOrRollsBackWithTheTransaction) {
    QTemporaryDir otherDir;
    auto other = table::Database::open(otherDir.path(), scratch());
    db->execSql(QStringLiteral("ATTACH DATABASE ? AS ablage"), {other->fileName()});
    table::TableDef def = customerDef();
    def.name = QStringLiteral("Archiv.DB");
    EXPECT_FALSE(db->existsIn(QStringLiteral("ablage"), def.name));
    {
        Transaction tx(*db);
        db->createTableIn(QStringLiteral("ablage"), def);
        EXPECT_TRUE(db->existsIn(QStringLiteral("ablage"), QStringLiteral("archiv")));
        // rolled back: the attached file never had it
    }
    EXPECT_FALSE(db->existsIn(QStringLiteral("ablage"), def.name));
    EXPECT_FALSE(other->exists(def.name));
    {
        Transaction tx(*db);
        db->createTableIn(QStringLiteral("ablage"), def);
        tx.commit();
    }
    EXPECT_THROW(db->createTableIn(QStringLiteral("ablage"), def), table::TableError);
    EXPECT_FALSE(db->exists(def.name)); // not in the connection's own file
    // The attached file's own connection reads the definition with its indexes.
    ASSERT_TRUE(other->exists(def.name));
    EXPECT_EQ(other->tableDef(def.name).indexes.size(), def.indexes.size());
    Table archived(other, def.name);
    archived.open();
    addCustomer(archived, 1, "Anton");
    EXPECT_EQ(archived.recordCount(), 1);
}
