#include "platform/table/session.h"
#include "tablefixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

using table::Session;
using table::Table;
using table::TableError;

namespace {

// A settable clock shared by the sessions of one test, so heartbeats age
// without waiting.
struct FakeClock {
    QDateTime now = QDateTime(QDate(2024, 5, 1), QTime(8, 0), Qt::UTC);
    std::function<QDateTime()> fn() {
        return [this] { return now; };
    }
};

TableError::Kind kindOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const TableError& e) {
        return e.kind();
    }
    return TableError::Other;
}

} // namespace

// Two workstations: each has its own connection to the database and its own
// session in a shared registry directory.
class SessionTest : public TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        netDir = dir.filePath("net");
        sessionA = std::make_shared<Session>(netDir, "anna", Session::Options{clock.fn(), 60});
        sessionB = std::make_shared<Session>(netDir, "bernd", Session::Options{clock.fn(), 60});
        db->setSession(sessionA);
        dbB = table::Database::open(dir.path(), scratch());
        dbB->setSession(sessionB);
        Table t(db, "Kunden");
        t.open();
        addCustomer(t, 1, "Anton");
        addCustomer(t, 2, "Berta");
    }

    FakeClock clock;
    QString netDir;
    std::shared_ptr<Session> sessionA, sessionB;
    std::shared_ptr<table::Database> dbB;
};

TEST_F(SessionTest, RecordInEditIsLockedForOtherSessions) {
    Table a(db, "Kunden");
    Table b(dbB, "Kunden");
    a.open();
    b.open();
    a.edit(); // record 1
    try {
        b.edit();
        FAIL() << "expected a lock error";
    } catch (const TableError& e) {
        EXPECT_EQ(e.kind(), TableError::RecordLocked);
        EXPECT_EQ(e.message(), "Der Datensatz ist von einem anderen Benutzer gesperrt.");
    }
    EXPECT_EQ(b.state(), table::TableState::Browse);
    EXPECT_EQ(kindOf([&] { b.deleteRecord(); }), TableError::RecordLocked);
    b.next(); // another record is free
    EXPECT_NO_THROW(b.edit());
    b.cancel();
    b.first();

    a["Ort"] = "Köln";
    a.post(); // releases the lock
    b.edit();
    EXPECT_EQ(b["Ort"].asString(), "Köln"); // edit reads the posted state
    b.cancel();

    a.edit();
    a.cancel(); // cancel releases as well
    EXPECT_NO_THROW(b.edit());
    b.cancel();
    a.edit();
    a.close(); // and so does close
    EXPECT_NO_THROW(b.edit());
}

TEST_F(SessionTest, TableWriteLockBlocksOthersWritesOnly) {
    Table a(db, "Kunden");
    Table b(dbB, "Kunden");
    a.open();
    b.open();
    a.lockTable();
    EXPECT_EQ(b.recordCount(), 2); // reading goes on
    EXPECT_EQ(kindOf([&] { b.edit(); }), TableError::RecordLocked);
    b.append();
    b["Nr"] = 3;
    EXPECT_EQ(kindOf([&] { b.post(); }), TableError::RecordLocked);
    b.cancel();
    a.unlockTable();
    EXPECT_NO_THROW(addCustomer(b, 3, "Cäsar"));
}

// Records edited under the session's own table lock are not entered one by
// one; they must still be locked the moment the table lock goes.
TEST_F(SessionTest, RecordInEditStaysLockedWhenTheTableLockGoes) {
    Table a(db, "Kunden");
    Table a2(db, "Kunden");
    Table b(dbB, "Kunden");
    a.open();
    a2.open();
    b.open();
    a.lockTable();
    a2.edit(); // record 1
    a2["Ort"] = "Bonn";
    a.unlockTable();
    EXPECT_EQ(kindOf([&] { b.edit(); }), TableError::RecordLocked);
    b.next();
    EXPECT_NO_THROW(b.edit()); // the other record is free again
    b.cancel();
    b.first();
    a2.post();
    EXPECT_NO_THROW(b.edit());
    b.cancel();

    a.lockTable();
    a2.edit();
    a2.cancel(); // released under the table lock: nothing stays behind
    a.unlockTable();
    EXPECT_NO_THROW(b.edit());
}

// A table opened by several cursors of one session stays registered until
// the last of them closes.
TEST_F(SessionTest, ExclusiveOpenWaitsForTheLastCursorOfAnotherSession) {
    Table b1(dbB, "Kunden");
    Table b2(dbB, "Kunden");
    b1.open();
    b2.open();
    b1.close();
    Table a(db, "Kunden");
    a.setExclusive(true);
    EXPECT_EQ(kindOf([&] { a.open(); }), TableError::TableInUse);
    b2.close();
    EXPECT_NO_THROW(a.open());
    EXPECT_EQ(kindOf([&] { b1.open(); }), TableError::TableInUse);
}

TEST_F(SessionTest, ExclusiveOpenFailsCleanlyWhileOthersUseTheTable) {
    Table b(dbB, "Kunden");
    b.open();
    Table a(db, "Kunden");
    a.setExclusive(true);
    EXPECT_EQ(kindOf([&] { a.open(); }), TableError::TableInUse);
    EXPECT_FALSE(a.isOpen());
    b.close();
    ASSERT_NO_THROW(a.open());
    Table b2(dbB, "Kunden");
    EXPECT_EQ(kindOf([&] { b2.open(); }), TableError::TableInUse);
    a.close();
    EXPECT_NO_THROW(b2.open());
}

TEST_F(SessionTest, PackIsRefusedWhileAnotherSessionHasTheTableOpen) {
    Table b(dbB, "Kunden");
    b.open();
    EXPECT_EQ(kindOf([&] { db->packTable("Kunden"); }), TableError::TableInUse);
    b.close();
    EXPECT_NO_THROW(db->packTable("Kunden"));
    EXPECT_NO_THROW(b.open()); // packing left no registration behind
}

TEST_F(SessionTest, UserListAndCrashedSessionDisappearsWithItsLocks) {
    auto users = sessionA->users();
    ASSERT_EQ(users.size(), 2);
    EXPECT_EQ(users[0].number, 1);
    EXPECT_EQ(users[0].userName, "anna");
    EXPECT_EQ(users[1].number, 2);

    Session longName(netDir, "Ein sehr langer Benutzername", Session::Options{clock.fn(), 60});
    EXPECT_EQ(longName.userName(), "Ein sehr langer");
    EXPECT_EQ(longName.number(), 3);

    Table b(dbB, "Kunden");
    b.open();
    b.edit(); // bernd holds record 1 and then stops beating (crashed)

    clock.now = clock.now.addSecs(45);
    sessionA->beat();
    longName.beat();
    Table a(db, "Kunden");
    a.open();
    EXPECT_EQ(kindOf([&] { a.edit(); }), TableError::RecordLocked); // still fresh enough

    clock.now = clock.now.addSecs(30); // bernd's heartbeat is 75 s old now
    sessionA->beat();
    longName.beat();
    users = sessionA->users();
    ASSERT_EQ(users.size(), 2);
    EXPECT_EQ(users[0].userName, "anna");
    EXPECT_EQ(users[1].number, 3);
    EXPECT_NO_THROW(a.edit()); // the dead session's lock is gone
    a.cancel();

    // A new session takes the freed lowest number.
    Session again(netDir, "carla", Session::Options{clock.fn(), 60});
    EXPECT_EQ(again.number(), 2);
}

TEST_F(SessionTest, RecordDeletedByOtherSessionIsDistinguishable) {
    Table a(db, "Kunden");
    Table b(dbB, "Kunden");
    a.open();
    b.open();
    b.deleteRecord(); // record 1, which a shows
    EXPECT_EQ(kindOf([&] { a.edit(); }), TableError::RecordDeleted);
    EXPECT_EQ(kindOf([&] { a.deleteRecord(); }), TableError::RecordDeleted);
    // A bulk delete passes over it and goes on with the rest.
    int deleted = 0;
    a.first();
    while (!a.isEmpty()) {
        try {
            a.deleteRecord();
            ++deleted;
        } catch (const TableError& e) {
            if (e.kind() != TableError::RecordDeleted)
                throw;
        }
    }
    EXPECT_EQ(deleted, 1);
}

TEST_F(SessionTest, SessionTakenForDeadJoinsAgainBeforeLocking) {
    clock.now = clock.now.addSecs(120);
    sessionA->beat(); // anna purges bernd, who paused too long but is alive
    ASSERT_EQ(sessionA->users().size(), 1);
    Table b(dbB, "Kunden");
    b.open(); // bernd joins again
    b.edit();
    EXPECT_EQ(sessionA->users().size(), 2);
    Table a(db, "Kunden");
    a.open();
    EXPECT_EQ(kindOf([&] { a.edit(); }), TableError::RecordLocked);
}

TEST_F(SessionTest, SessionTakenForDeadRegistersItsOpenTablesAgain) {
    Table b1(dbB, "Kunden");
    b1.open();
    clock.now = clock.now.addSecs(120);
    sessionA->beat(); // anna purges bernd together with his open table
    Table b2(dbB, "Kunden");
    b2.open(); // bernd joins again with both cursors
    Table a(db, "Kunden");
    a.setExclusive(true);
    EXPECT_EQ(kindOf([&] { a.open(); }), TableError::TableInUse);
    b2.close();
    EXPECT_EQ(kindOf([&] { a.open(); }), TableError::TableInUse);
    b1.close();
    EXPECT_NO_THROW(a.open());
}

TEST(SessionRegistry, EventLoopKeepsTheHeartbeatFresh) {
    QTemporaryDir net;
    FakeClock clock;
    Session::Options busy{clock.fn(), 60};
    busy.autoBeatMs = 1;
    Session working(net.path(), "wilma", busy);
    Session::Options quiet{clock.fn(), 60};
    quiet.autoBeatMs = 0;
    Session observer(net.path(), "otto", quiet);
    clock.now = clock.now.addSecs(45);
    // Without any explicit beat() the timer renews wilma's heartbeat while
    // the event loop runs.
    QEventLoop loop;
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
    clock.now = clock.now.addSecs(30); // 75 s after the start, 30 s after wilma's last beat
    observer.beat();
    QStringList names;
    for (const auto& u : observer.users())
        names.append(u.userName);
    EXPECT_EQ(names, (QStringList{"wilma", "otto"}));
}

TEST(SessionRegistry, DamagedRegistryFileIsStartedAnew) {
    QTemporaryDir net;
    QFile f(QDir(net.path()).filePath("domvera.sessions.sqlite"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, '\x5a'));
    f.close();
    Session s(net.path(), "erik");
    EXPECT_EQ(s.number(), 1);
    EXPECT_EQ(s.users().size(), 1);
}

// A damaged registry must not be started anew while another workstation is
// connected: its record locks would be lost and its records editable twice.
TEST(SessionRegistry, DamagedRegistryWaitsUntilNoOtherWorkstationIsConnected) {
    QTemporaryDir net;
    const QString file = QDir(net.path()).filePath("domvera.sessions.sqlite");
    auto other = std::make_unique<Session>(net.path(), "dora");
    other->lockRecord("db", "Kunden", "1");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write(QByteArray(8192, '\x5a'));
    }
    auto bytes = [&] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray damaged = bytes();
    try {
        Session refused(net.path(), "erik");
        ADD_FAILURE() << "a damaged registry was started anew beside a connected session";
    } catch (const TableError& e) {
        EXPECT_EQ(e.kind(), TableError::Damaged);
        EXPECT_TRUE(e.message().contains("ist beschädigt")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("kein anderer Arbeitsplatz"));
    }
    EXPECT_EQ(bytes(), damaged);

    other.reset(); // the last other workstation leaves
    Session s(net.path(), "erik");
    EXPECT_EQ(s.users().size(), 1);
    s.lockRecord("db", "Kunden", "1");
}

// Run as a child process by the test below: takes a lock and dies without
// leaving the registry.
TEST(SessionChild, DISABLED_HoldLockAndDie) {
    const QString dbDir = qEnvironmentVariable("DOMVERA_LOCK_CHILD");
    ASSERT_FALSE(dbDir.isEmpty()) << "runs only as the child of CrashedChildProcessLosesItsLocks";
    auto db = table::Database::open(dbDir);
    db->setSession(std::make_shared<Session>(QDir(dbDir).filePath("net"), "kind"));
    Table t(db, "Kunden");
    t.open();
    t.edit();
    std::printf("locked\n");
    std::fflush(stdout);
    char c;
    while (::read(0, &c, 1) > 0) {
    }
    ::_exit(0); // a crash: no destructor releases anything
}

TEST_F(SessionTest, CrashedChildProcessLosesItsLocks) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DOMVERA_LOCK_CHILD", dir.path());
    child.setProcessEnvironment(env);
    child.start(
        QCoreApplication::applicationFilePath(),
        {"--gtest_also_run_disabled_tests", "--gtest_filter=SessionChild.DISABLED_HoldLockAndDie"});
    ASSERT_TRUE(child.waitForStarted(10000));
    QByteArray out;
    while (!out.contains("locked") && child.waitForReadyRead(10000))
        out += child.readAllStandardOutput();
    ASSERT_TRUE(out.contains("locked")) << out.constData();

    // The child's heartbeat is real time, ours is fake: only process liveness counts here.
    auto real = std::make_shared<Session>(netDir, "dora");
    db->setSession(real);
    Table a(db, "Kunden");
    a.open();
    EXPECT_EQ(kindOf([&] { a.edit(); }), TableError::RecordLocked);
    auto userNames = [&] {
        QStringList names;
        for (const auto& u : real->users())
            names.append(u.userName);
        names.sort();
        return names;
    };
    // The fake-clock sessions of the fixture look long dead to a real clock.
    EXPECT_EQ(userNames(), (QStringList{"dora", "kind"}));

    child.closeWriteChannel();
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_NO_THROW(a.edit());
    a.cancel();
    EXPECT_EQ(userNames(), QStringList{"dora"});
}
