#pragma once

// Runs one disabled test of this test program as a child process (a start-up
// that may be killed), with the environment given.
#include "core/framefixture.h"
#include "core/settings/programsettings.h"
#include "core/rights/rights.h"
#include "startupsteps.h"

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <cstdio>
#include <unistd.h>

namespace startuptest {

struct ChildRun {
    bool killed = false;
    int exitCode = -1;
    QString output;
};

inline ChildRun RunChildTest(const char* test, const QProcessEnvironment& env) {
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=") + QLatin1String(test),
                 QStringLiteral("--gtest_also_run_disabled_tests")});
    ChildRun run;
    if (!child.waitForFinished(300000)) {
        child.kill();
        child.waitForFinished();
        run.output = QStringLiteral("(hung)");
        return run;
    }
    run.killed = child.exitStatus() == QProcess::CrashExit;
    run.exitCode = child.exitCode();
    run.output = QString::fromLocal8Bit(child.readAll());
    return run;
}

// The child's side: the start-up in the program directory prog, every
// question answered "Ja", by a user who may create clients; the process ends
// with RunStartup's code, or 6 when an error box was shown.
[[noreturn]] inline void RunStartupAsChild(const QString& prog, int createClient,
                                           const std::function<void()>& whileRunning = {}) {
    frametest::RecordingPresenter presenter;
    presenter.answers = QList<bool>(20, true);
    SetMessagePresenter(&presenter);
    SetProgramDir(prog);
    CurrentUser = TUserRec();
    CurrentUser.rights.set(55, rbView | rbCreate);
    int rc = RunStartup(createClient, whileRunning);
    for (const QString& text : presenter.texts(MessagePresenter::Kind::Error)) {
        std::fprintf(stderr, "box: %s\n", qPrintable(QString(text).replace(u'\r', u' ')));
        rc = rc ? rc : 6;
    }
    std::fflush(stderr);
    ::_exit(rc);
}

} // namespace startuptest
