// The start-up reads only the databases' headers and schemas, and checks
// them page by page only after a session that did not end cleanly: a start
// killed while it runs leaves its marker, and the next start runs the full
// check once.
#include "childrun.h"
#include "core/files/databasefile.h"
#include "core/framefixture.h"
#include "core/files/programdirs.h"
#include "core/settings/programsettings.h"
#include "core/rights/rights.h"
#include "startupsteps.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const char* const kChild = "SessionMarkChild.DISABLED_Start";

// The start-up as the program runs it; with DOMVERA_SESSION_KILL the process
// is killed while the client is active.
TEST(SessionMarkChild, DISABLED_Start) {
    const QString prog = qEnvironmentVariable("DOMVERA_SESSION_PROG");
    if (prog.isEmpty())
        GTEST_SKIP() << "only meaningful as the child of the session tests";
    const bool kill = qEnvironmentVariableIsSet("DOMVERA_SESSION_KILL");
    startuptest::RunStartupAsChild(prog, 0, [kill] {
        if (kill)
            std::raise(SIGKILL);
    });
}

class SessionMarks : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_root.isValid()); }

    QString prog() const { return m_root.filePath(u"prog/"_s); }
    QString win() const { return m_root.filePath(u"win"_s); }

    struct Run : startuptest::ChildRun {
        QStringList fullChecks; // the log's lines of full checks in this run
    };

    Run start(bool kill) {
        const QString log = prog() + u"Syslog.txt"_s;
        const qint64 logBefore = QFileInfo(log).size();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"DOMVERA_SESSION_PROG"_s, prog());
        env.insert(u"DOMVERA_WINDIR"_s, win());
        if (kill)
            env.insert(u"DOMVERA_SESSION_KILL"_s, u"1"_s);
        Run run;
        static_cast<startuptest::ChildRun&>(run) = startuptest::RunChildTest(kChild, env);
        QFile file(log);
        if (file.open(QIODevice::ReadOnly)) {
            file.seek(std::max<qint64>(logBefore, 0));
            for (const QString& line : QString::fromLatin1(file.readAll()).split(u'\n'))
                if (line.contains(u"DBCHECK FULL"_s))
                    run.fullChecks.append(line.trimmed());
        }
        return run;
    }

    QTemporaryDir m_root;
};

TEST_F(SessionMarks, OnlyTheStartAfterAnUncleanEndChecksEveryPage) {
    const QString marker = win() + u'/' + QLatin1String(SessionMarkerName);
    // The first start builds the installation and ends cleanly.
    Run first = start(false);
    ASSERT_EQ(first.exitCode, 0) << first.output.toStdString();
    EXPECT_FALSE(QFileInfo::exists(marker));

    Run clean = start(false);
    ASSERT_EQ(clean.exitCode, 0) << clean.output.toStdString();
    EXPECT_TRUE(clean.fullChecks.isEmpty()) << clean.fullChecks.join(u" | "_s).toStdString();

    Run killed = start(true);
    ASSERT_TRUE(killed.killed) << killed.output.toStdString();
    EXPECT_TRUE(QFileInfo::exists(marker)) << "a killed session leaves its marker";

    Run after = start(false);
    ASSERT_EQ(after.exitCode, 0) << after.output.toStdString();
    ASSERT_EQ(after.fullChecks.size(), 2) << "the client's database and its archive\n"
                                          << after.output.toStdString();
    EXPECT_TRUE(after.fullChecks[0].contains(u"Data0001"_s)) << after.fullChecks[0].toStdString();
    EXPECT_TRUE(after.fullChecks[1].contains(u"Ablg0001"_s)) << after.fullChecks[1].toStdString();
    EXPECT_FALSE(QFileInfo::exists(marker));

    Run again = start(false);
    ASSERT_EQ(again.exitCode, 0) << again.output.toStdString();
    EXPECT_TRUE(again.fullChecks.isEmpty()) << "the clean end of the checked session counts";
}

} // namespace
