#include "core/messages/syslog.h"

#include "core/files/filehelpers.h"
#include "core/files/programdirs.h"
#include "core/settings/programsettings.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

bool LogEnabled = true;

namespace {

constexpr qint64 kTrimThreshold = 400 * 128;
constexpr qint64 kKeptTail = 20001;
constexpr int kUserWidth = 20;

bool g_logBusy = false;
LogClock g_clock = nullptr;

// Clears the busy flag on every way out of a write.
struct BusyGuard {
    BusyGuard() { g_logBusy = true; }
    ~BusyGuard() { g_logBusy = false; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
};

// Cuts the log to the whole lines of its tail. False when the log can no
// longer be opened afterwards, which switches the log off.
bool trimLog() {
    const qint64 size = QFileInfo(LogFileName).size();
    if (size < kTrimThreshold)
        return true;
    // Work on a copy, so that a failure leaves the log as it was.
    const QString copy = ProgramDir + u"Templog.$$$"_s;
    if (!CopyFileKeepDate(LogFileName, copy)) {
        QFile::remove(copy);
        return true;
    }
    QByteArray tail;
    {
        QFile in(copy);
        if (!in.open(QIODevice::ReadOnly)) {
            DeleteFileForced(copy);
            return true;
        }
        const qint64 start = qMax<qint64>(0, in.size() - kKeptTail);
        in.seek(start);
        const QByteArray window = in.readAll();
        const qsizetype lineFeed = window.indexOf('\n');
        // A tail without any line end holds no whole line: the log starts empty.
        if (lineFeed >= 0)
            tail = window.mid(lineFeed + 1);
    }
    DeleteFileForced(copy);
    {
        QFile out(LogFileName);
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            out.write(tail);
    }
    QFile check(LogFileName);
    if (!check.open(QIODevice::ReadOnly)) {
        LogEnabled = false;
        return false;
    }
    return true;
}

} // namespace

QString FormatLogLine(const QDateTime& time, const QString& userText, const QString& msg) {
    return time.toString(u"dd.MM.yyyy hh:mm:ss"_s) + u'<' +
           userText.left(kUserWidth).rightJustified(kUserWidth, u' ') + u'>' + msg;
}

void WriteLog(const QString& msg) {
    if (!LogEnabled || g_logBusy)
        return;
    BusyGuard busy;
    {
        QFile probe(LogFileName);
        if (!probe.open(QIODevice::ReadOnly) && !probe.open(QIODevice::WriteOnly)) {
            LogEnabled = false;
            return;
        }
    }
    if (!trimLog())
        return;
    const QDateTime now = g_clock ? g_clock() : QDateTime::currentDateTime();
    QStringEncoder encoder("windows-1252");
    const QByteArray line =
        QByteArray(encoder.encode(FormatLogLine(now, CurrentUserText, msg))) + "\r\n";
    QFile out(LogFileName);
    // A log that cannot be appended to stays off for the rest of the run.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Append) || out.write(line) != line.size())
        LogEnabled = false;
}

void LogTimestamp() {
    WriteLog(u"TIMESTAMP"_s);
}

LogClock SetLogClock(LogClock clock) {
    const LogClock previous = g_clock;
    g_clock = clock;
    return previous;
}
