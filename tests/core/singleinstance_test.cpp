#include "core/singleinstance.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString kVersion = u"v2.40[7]"_s;

// Runs in a child process started by the tests below: takes the lock of
// $LOCK_DIR, says whether it got it, and holds it until its input closes.
TEST(SingleInstanceChild, DISABLED_TakeAndHold) {
    SingleInstanceLock lock(qEnvironmentVariable("LOCK_DIR"), qEnvironmentVariable("LOCK_VERSION"));
    const bool locked = lock.tryAcquire();
    std::printf("%s\n", locked ? "LOCKED" : "REFUSED");
    std::fflush(stdout);
    if (locked)
        while (std::getchar() != EOF) {
        }
}

// A second process of this test program holding or trying the lock.
class LockChild {
public:
    explicit LockChild(const QString& dir, const QString& version = kVersion) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"LOCK_DIR"_s, dir);
        env.insert(u"LOCK_VERSION"_s, version);
        m_process.setProcessEnvironment(env);
        m_process.start(QCoreApplication::applicationFilePath(),
                        {u"--gtest_also_run_disabled_tests"_s,
                         u"--gtest_filter=SingleInstanceChild.DISABLED_TakeAndHold"_s});
    }
    ~LockChild() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    // "LOCKED" or "REFUSED" (empty when the child said nothing).
    QString answer() {
        for (;;) {
            while (!m_process.canReadLine())
                if (!m_process.waitForReadyRead(10000))
                    return {};
            const QString line = QString::fromLatin1(m_process.readLine()).trimmed();
            if (line == u"LOCKED" || line == u"REFUSED")
                return line;
        }
    }
    void kill() {
        m_process.kill();
        m_process.waitForFinished();
    }
    void release() {
        m_process.closeWriteChannel();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

TEST(SingleInstance, SecondProcessIsRefusedUntilTheFirstEnds) {
    QTemporaryDir dir;
    SingleInstanceLock lock(dir.path(), kVersion);
    ASSERT_TRUE(lock.tryAcquire());
    EXPECT_TRUE(lock.fileName().startsWith(dir.path() + u"/Domvera"));
    {
        LockChild second(dir.path());
        EXPECT_EQ(second.answer(), u"REFUSED");
    }
}

TEST(SingleInstance, LockOfAKilledProcessDoesNotBlock) {
    QTemporaryDir dir;
    LockChild first(dir.path());
    ASSERT_EQ(first.answer(), u"LOCKED");
    SingleInstanceLock refused(dir.path(), kVersion);
    EXPECT_FALSE(refused.tryAcquire());

    first.kill();
    SingleInstanceLock lock(dir.path(), kVersion);
    ASSERT_TRUE(QFileInfo::exists(lock.fileName())); // left behind by the killed process
    EXPECT_TRUE(lock.tryAcquire());
}

TEST(SingleInstance, OtherSettingsDirectoryOrVersionDoesNotBlock) {
    QTemporaryDir dirA;
    QTemporaryDir dirB;
    SingleInstanceLock lock(dirA.path(), kVersion);
    ASSERT_TRUE(lock.tryAcquire());
    {
        LockChild otherDir(dirB.path());
        EXPECT_EQ(otherDir.answer(), u"LOCKED");
        otherDir.release();
    }
    {
        LockChild otherVersion(dirA.path(), u"v2.41[1]"_s);
        EXPECT_EQ(otherVersion.answer(), u"LOCKED");
        otherVersion.release();
    }
}

TEST(SingleInstance, ReleasedLockCanBeTakenAgain) {
    QTemporaryDir dir;
    {
        LockChild first(dir.path());
        ASSERT_EQ(first.answer(), u"LOCKED");
        first.release();
    }
    SingleInstanceLock lock(dir.path(), kVersion);
    EXPECT_TRUE(lock.tryAcquire());
    EXPECT_TRUE(lock.tryAcquire()); // holding it already
}

} // namespace
