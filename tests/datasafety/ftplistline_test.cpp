#include "datasafety/ftplistline.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(FtpListLine, FullLineWithTimeOfDay) {
    const QString line =
        u"-rw-r--r--   1 owner  group   123456 Dec  8 10:15 FB08.12.2026v000.CCB"_s;
    const TFTPListItem item = ParseFtpListLine(line, QDate(2026, 12, 11));
    EXPECT_EQ(item.kind, u'-');
    EXPECT_EQ(item.size, 123456);
    EXPECT_EQ(item.name, u"FB08.12.2026v000.CCB");
    EXPECT_EQ(item.line, line);
    EXPECT_EQ(item.modTime, QDateTime(QDate(2026, 12, 8), QTime(10, 15, 0, 999)));
    // Listed in a month before December: the year before.
    EXPECT_EQ(ParseFtpListLine(line, QDate(2027, 3, 1)).modTime.date(), QDate(2026, 12, 8));
}

TEST(FtpListLine, WithoutGroupColumnAndWithAYear) {
    const TFTPListItem item = ParseFtpListLine(
        u"-rw-r--r-- 1 owner 123456 Jan 15 2025 FB15.01.2025v000.CCT"_s, QDate(2026, 12, 11));
    EXPECT_EQ(item.size, 123456);
    EXPECT_EQ(item.name, u"FB15.01.2025v000.CCT");
    EXPECT_EQ(item.modTime, QDateTime(QDate(2025, 1, 15), QTime(0, 0, 0, 999)));
}

TEST(FtpListLine, OtherLines) {
    const QDate today(2026, 12, 11);
    EXPECT_EQ(ParseFtpListLine(u"total 24"_s, today).kind, u'?');
    EXPECT_TRUE(ParseFtpListLine(u"total 24"_s, today).name.isEmpty());
    const TFTPListItem dir = ParseFtpListLine(u"drwxr-xr-x 2 o g 4096 Dec 1 09:00 tresor"_s, today);
    EXPECT_EQ(dir.kind, u'D');
    EXPECT_EQ(dir.name, u"tresor");
    const TFTPListItem spaced =
        ParseFtpListLine(u"  -rw-r--r-- 1 o g 10 Feb 30 2026 Bericht   vom  Montag.txt "_s, today);
    EXPECT_EQ(spaced.name, u"Bericht vom Montag.txt");
    EXPECT_FALSE(spaced.modTime.isValid());
    const TFTPListItem link = ParseFtpListLine(u"lrwxrwxrwx 1 o g x Mai 3 2026 a -> b"_s, today);
    EXPECT_EQ(link.kind, u'L');
    EXPECT_EQ(link.size, 0);
    EXPECT_EQ(link.modTime.date(), QDate(2026, 1, 3));
}

TEST(FtpListLine, MonthNumbers) {
    const struct {
        QString text;
        int month;
    } cases[] = {{u"Jan"_s, 1}, {u"feb"_s, 2}, {u"MAY"_s, 5}, {u"Dec"_s, 12},
                 {u"Mai"_s, 1}, {u""_s, 1},    {u"Okt"_s, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(FtpMonthNumber(c.text), c.month) << c.text.toStdString();
}
