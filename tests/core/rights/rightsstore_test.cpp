#include "core/framefixture.h"
#include "core/rights/rights.h"
#include "core/rights/rightsstore.h"
#include "core/rightsfixture.h"
#include "platform/errors.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace rightstest;
using Kind = MessagePresenter::Kind;

namespace {

class RightsLocking : public frametest::ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        writeBytes(ProgramDir + QStringLiteral("Rights.dat"),
                   EncodeRightsFile(Records(
                       {}, {User(QStringLiteral("Chef"), QStringLiteral("Geheim1"), ukMaster)})));
    }
    static QStringList userNames(const RightsStore& store) {
        QStringList names;
        for (const TUserRec& user : store.list().users())
            names << user.name;
        return names;
    }
    static bool addUser(RightsStore& store, const QString& name) {
        TUserRec rec = User(name, QStringLiteral("passwort"), 0);
        return store.addUser(rec, ukUser);
    }
};

TEST_F(RightsLocking, TwoWorkstationsChangingOneAfterTheOtherKeepBothChanges) {
    // Both read the file at their start.
    RightsStore first(ProgramDir);
    RightsStore second(ProgramDir);
    first.load();
    second.load();

    ASSERT_TRUE(first.lock());
    EXPECT_FALSE(second.lock()) << "only one workstation edits at a time";
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Die Rechtedatei ist zur Zeit gesperrt!")});
    second.unlock(); // the failed side's unlock must not remove the other's lock
    EXPECT_TRUE(first.isLocked());
    ASSERT_TRUE(addUser(first, QStringLiteral("Anna")));
    first.unlock();
    EXPECT_FALSE(first.isLocked());

    ASSERT_TRUE(second.lock());
    EXPECT_EQ(userNames(second), (QStringList{"Chef", "Anna"})) << "the lock reloads the file";
    ASSERT_TRUE(addUser(second, QStringLiteral("Bert")));
    second.unlock();

    RightsStore reader(ProgramDir);
    reader.load();
    EXPECT_EQ(userNames(reader), (QStringList{"Chef", "Anna", "Bert"}));
}

// The passwords in the file are only scrambled with a fixed key.
TEST_F(RightsLocking, TheSavedFileGivesOtherUsersNoAccess) {
    const QString file = ProgramDir + QStringLiteral("Rights.dat");
    QFile::setPermissions(file, QFile::permissions(file) | QFileDevice::ReadOther |
                                    QFileDevice::WriteOther);
    RightsStore store(ProgramDir);
    store.load();
    ASSERT_TRUE(store.lock());
    ASSERT_TRUE(addUser(store, QStringLiteral("Erika")));
    store.unlock();
    EXPECT_FALSE(QFile::permissions(file) & (QFileDevice::ReadOther | QFileDevice::WriteOther));
    EXPECT_TRUE(QFile::permissions(file) & QFileDevice::ReadOwner);

    QFile::remove(file);
    RightsStore fresh(ProgramDir);
    ASSERT_TRUE(fresh.createWithFirstMaster(QStringLiteral("Chef"), QStringLiteral("Geheim1")));
    EXPECT_FALSE(QFile::permissions(file) & QFileDevice::ReadOther);
}

TEST_F(RightsLocking, AListReadEarlierIsNeverWrittenWithoutTheLock) {
    RightsStore stale(ProgramDir);
    stale.load();
    const QByteArray before = readBytes(ProgramDir + QStringLiteral("Rights.dat"));
    TUserRec rec = User(QStringLiteral("Anna"), QStringLiteral("passwort"), 0);
    EXPECT_THROW(stale.addUser(rec, ukUser), DbError);
    EXPECT_EQ(readBytes(ProgramDir + QStringLiteral("Rights.dat")), before);
}

TEST_F(RightsLocking, AStaleLockCanBeRemovedAndTheGuardReleasesItsLock) {
    {
        RightsStore store(ProgramDir);
        RightsLockGuard guard(store);
        ASSERT_TRUE(guard.locked());
        EXPECT_TRUE(store.holdsLock());
    }
    EXPECT_FALSE(QFile::exists(ProgramDir + QStringLiteral("Rights.lck")));

    writeBytes(ProgramDir + QStringLiteral("Rights.lck"), {}); // left by a crashed workstation
    RightsStore store(ProgramDir);
    EXPECT_FALSE(store.lock());
    store.removeLockFile();
    EXPECT_TRUE(store.lock());
}

TEST_F(RightsLocking, LockingAMissingOrDamagedFileFailsAndReleasesTheLock) {
    writeBytes(ProgramDir + QStringLiteral("Rights.dat"), QByteArray(100, 'x'));
    RightsStore store(ProgramDir);
    EXPECT_FALSE(store.lock());
    EXPECT_FALSE(store.isLocked());
    ASSERT_EQ(presenter.boxes.size(), 1);
    EXPECT_TRUE(presenter.boxes.at(0).text.contains(QStringLiteral("beschädigt")));
}

TEST_F(RightsLocking, AFailedSaveIsReportedAndLeavesTheListAsItWas) {
    RightsStore store(ProgramDir);
    ASSERT_TRUE(store.lock());
    // A directory in the file's place makes every write fail.
    QFile::remove(store.fileName());
    ASSERT_TRUE(QDir().mkpath(store.fileName() + QStringLiteral("/x")));
    TUserRec rec = User(QStringLiteral("Anna"), QStringLiteral("passwort"), 0);
    EXPECT_FALSE(store.addUser(rec, ukUser));
    EXPECT_FALSE(store.setUserPassword(QStringLiteral("Chef"), QStringLiteral("anders1")));
    EXPECT_EQ(userNames(store), QStringList{"Chef"});
    TUserRec chef;
    store.list().getUserRecByName(QStringLiteral("chef"), chef);
    EXPECT_EQ(chef.password, QStringLiteral("Geheim1"));
    EXPECT_EQ(presenter.texts(Kind::Error).size(), 2);
    EXPECT_TRUE(
        presenter.texts(Kind::Error)
            .at(0)
            .startsWith(QStringLiteral("Die Rechtedatei konnte nicht gespeichert werden!")));
}

TEST_F(RightsLocking, AWriteProtectedFileIsWrittenOnlyAfterConsent) {
    RightsStore store(ProgramDir);
    ASSERT_TRUE(store.lock());
    QFile(store.fileName()).setPermissions(QFileDevice::ReadOwner);
    presenter.answers = {false};
    EXPECT_FALSE(addUser(store, QStringLiteral("Anna")));
    EXPECT_EQ(userNames(store), QStringList{"Chef"});
    presenter.answers = {true};
    EXPECT_TRUE(addUser(store, QStringLiteral("Anna")));
    EXPECT_EQ(presenter.texts(Kind::Question).size(), 2);
    RightsStore reader(ProgramDir);
    reader.load();
    EXPECT_EQ(userNames(reader), (QStringList{"Chef", "Anna"}));
}

// The second workstation as a real process: runs only when started by the
// test below, with the program directory in the environment.
TEST(RightsChildProcess, DISABLED_AddsOneUserUnderTheLock) {
    const QString dir = qEnvironmentVariable("DOMVERA_RIGHTS_CHILD_DIR");
    ASSERT_FALSE(dir.isEmpty());
    frametest::RecordingPresenter quiet;
    SetMessagePresenter(&quiet);
    RightsStore store(dir);
    if (!store.lock())
        std::exit(3); // locked by the other workstation
    TUserRec rec =
        User(qEnvironmentVariable("DOMVERA_RIGHTS_CHILD_USER"), QStringLiteral("passwort"), 0);
    ASSERT_TRUE(store.addUser(rec, ukUser));
    store.unlock();
}

TEST_F(RightsLocking, AnotherProcessWaitsForTheLockAndKeepsThisChange) {
    const auto runChild = [this](const QString& user) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DOMVERA_RIGHTS_CHILD_DIR"), ProgramDir);
        env.insert(QStringLiteral("DOMVERA_RIGHTS_CHILD_USER"), user);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_also_run_disabled_tests"),
                     QStringLiteral("--gtest_filter=RightsChildProcess.*")});
        EXPECT_TRUE(child.waitForFinished(30000));
        return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    };

    RightsStore here(ProgramDir);
    ASSERT_TRUE(here.lock());
    EXPECT_EQ(runChild(QStringLiteral("Kind1")), 3) << "the child must not get the lock";
    ASSERT_TRUE(addUser(here, QStringLiteral("Hier")));
    here.unlock();

    EXPECT_EQ(runChild(QStringLiteral("Kind2")), 0);
    ASSERT_TRUE(here.lock());
    EXPECT_EQ(userNames(here), (QStringList{"Chef", "Hier", "Kind2"}));
    ASSERT_TRUE(addUser(here, QStringLiteral("Hier2")));
    here.unlock();

    RightsStore reader(ProgramDir);
    reader.load();
    EXPECT_EQ(userNames(reader), (QStringList{"Chef", "Hier", "Kind2", "Hier2"}));
}

} // namespace
