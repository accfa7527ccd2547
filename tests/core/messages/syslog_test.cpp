#include "core/files/programdirs.h"
#include "core/framefixture.h"
#include "core/messages/syslog.h"
#include "core/settings/programsettings.h"

#include <QDateTime>
#include <QFileInfo>

using frametest::ProgramDirFixture;
using namespace Qt::StringLiterals;

namespace {

QDateTime fixedTime() {
    return QDateTime(QDate(2007, 3, 5), QTime(14, 2, 11));
}

class SyslogTest : public ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        LogFileName = ProgramDir + u"Syslog.txt"_s;
        LogEnabled = true;
        m_savedUser = CurrentUserText;
        CurrentUserText = u"  1 : Maria"_s;
        m_previousClock = SetLogClock(&fixedTime);
    }
    void TearDown() override {
        SetLogClock(m_previousClock);
        CurrentUserText = m_savedUser;
        LogEnabled = true;
        ProgramDirFixture::TearDown();
    }
    static QByteArray expectedLine(const char* msg) {
        return "05.03.2007 14:02:11<         " + QByteArray("  1 : Maria>") + msg + "\r\n";
    }

private:
    QString m_savedUser;
    LogClock m_previousClock = nullptr;
};

TEST(LogLine, UserTextIsCutOrPaddedToTwentyCharacters) {
    const QDateTime t = fixedTime();
    const struct {
        QString user;
        QString line;
    } cases[] = {
        {u"  1 : Maria"_s, u"05.03.2007 14:02:11<           1 : Maria>LOGIN"_s},
        {QString(), u"05.03.2007 14:02:11<                    >LOGIN"_s},
        {u"12345678901234567890"_s, u"05.03.2007 14:02:11<12345678901234567890>LOGIN"_s},
        {u"12345678901234567890XYZ"_s, u"05.03.2007 14:02:11<12345678901234567890>LOGIN"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatLogLine(t, c.user, u"LOGIN"_s), c.line);
}

TEST_F(SyslogTest, FirstLineCreatesTheLogAndLinesAreAppended) {
    WriteLog(u"PROGSTART"_s);
    WriteLog(u"ChangeTo 2"_s);
    EXPECT_EQ(readBytes(LogFileName), expectedLine("PROGSTART") + expectedLine("ChangeTo 2"));
}

TEST_F(SyslogTest, MessageIsWrittenInWindows1252) {
    WriteLog(u"Übertragung"_s);
    EXPECT_TRUE(readBytes(LogFileName)
                    .endsWith(">\xDC"
                              "bertragung\r\n"));
}

// Lines of 100 bytes each ("NNNNN" + filler + CR LF), up to `size` bytes.
QByteArray logOfSize(qsizetype size) {
    QByteArray content;
    int n = 0;
    while (content.size() < size) {
        QByteArray line = QByteArray::number(n++).rightJustified(5, '0');
        line += QByteArray(98 - line.size(), '.') + "\r\n";
        content += line;
    }
    content.truncate(size);
    return content;
}

TEST_F(SyslogTest, TrimStartsAtTheThreshold) {
    const QByteArray below = logOfSize(51199);
    writeBytes(LogFileName, below);
    WriteLog(u"LOGIN"_s);
    EXPECT_EQ(readBytes(LogFileName), below + expectedLine("LOGIN"));

    const QByteArray at = logOfSize(51200);
    writeBytes(LogFileName, at);
    WriteLog(u"LOGIN"_s);
    // Whole lines of the last 20,001 bytes: the tail starts inside a line,
    // which is dropped up to its line feed.
    const QByteArray window = at.right(20001);
    const QByteArray kept = window.mid(window.indexOf('\n') + 1);
    EXPECT_EQ(readBytes(LogFileName), kept + expectedLine("LOGIN"));
    EXPECT_FALSE(QFileInfo::exists(ProgramDir + u"Templog.$$$"_s));
}

TEST_F(SyslogTest, TailWithoutLineEndLeavesOnlyTheNewLine) {
    writeBytes(LogFileName, QByteArray(60000, 'x'));
    WriteLog(u"LOGIN"_s);
    EXPECT_EQ(readBytes(LogFileName), expectedLine("LOGIN"));
}

TEST_F(SyslogTest, UnwritableLogSwitchesLoggingOffForGood) {
    // A directory in the place of the log can be neither opened nor created.
    QDir().mkpath(LogFileName);
    WriteLog(u"PROGSTART"_s);
    EXPECT_FALSE(LogEnabled);
    QDir().rmdir(LogFileName);
    WriteLog(u"LOGIN"_s);
    EXPECT_FALSE(QFileInfo::exists(LogFileName));
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

QDateTime reenteringClock() {
    // A write that happens while a line is being written must do nothing.
    WriteLog(u"NESTED"_s);
    return fixedTime();
}

TEST_F(SyslogTest, CallDuringAWriteWritesNothing) {
    SetLogClock(&reenteringClock);
    WriteLog(u"OUTER"_s);
    EXPECT_EQ(readBytes(LogFileName), expectedLine("OUTER"));
    SetLogClock(&fixedTime);
    WriteLog(u"AFTER"_s);
    EXPECT_EQ(readBytes(LogFileName), expectedLine("OUTER") + expectedLine("AFTER"));
}

} // namespace
