#include "platform/table/datetimecodec.h"

#include <gtest/gtest.h>

namespace codec = table::codec;

// The stored forms are what databases written before hold: the codec must
// write them byte for byte and read every text as Qt's parser reads it.
TEST(DateTimeCodec, WritesTheStoredFormsOfQt) {
    const QDate dates[] = {{1899, 12, 30}, {1, 1, 1}, {99, 7, 4}, {2024, 2, 29}, {9999, 12, 31}};
    for (const QDate& d : dates) {
        EXPECT_EQ(codec::dateText(d), d.toString("yyyy-MM-dd")) << d.toString().toStdString();
        for (const QTime& t : {QTime(0, 0), QTime(23, 59, 59, 999), QTime(8, 5, 3, 40)}) {
            const QDateTime dt(d, t);
            EXPECT_EQ(codec::timeText(t), t.toString("HH:mm:ss.zzz"));
            EXPECT_EQ(codec::dateTimeText(dt), dt.toString("yyyy-MM-ddTHH:mm:ss.zzz"));
        }
    }
    // Another time spec is written in its own wall-clock time, as before.
    const QDateTime utc(QDate(2024, 5, 1), QTime(22, 30), Qt::UTC);
    EXPECT_EQ(codec::dateTimeText(utc), "2024-05-01T22:30:00.000");
    // Outside the fixed form Qt's formatting decides.
    EXPECT_EQ(codec::dateText(QDate(12345, 1, 1)), QDate(12345, 1, 1).toString("yyyy-MM-dd"));
    char buffer[codec::kDateTimeLength];
    EXPECT_EQ(codec::writeDate(QDate(), buffer), 0);
    EXPECT_EQ(codec::writeTime(QTime(), buffer), 0);
}

TEST(DateTimeCodec, ReadsEveryTextAsQtsParserDoes) {
    const char* const dates[] = {"2024-02-29",  "1899-12-30", "0099-07-04", "2023-02-29",
                                 "2024-13-01",  "2024-1-01",  "24-01-01",   "2024-01-0x",
                                 " 2024-01-01", "",           "01.02.2003"};
    for (const char* text : dates) {
        const QString s = QString::fromUtf8(text);
        EXPECT_EQ(codec::readDate(text, qstrlen(text)), QDate::fromString(s, "yyyy-MM-dd")) << text;
        EXPECT_EQ(codec::readDate(s), QDate::fromString(s, "yyyy-MM-dd")) << text;
    }
    const char* const times[] = {"13:45:07.250", "00:00:00.000", "23:59:59.999", "24:00:00.000",
                                 "13:45:07",     "1:45:07.250",  "13:60:00.000", "ab:cd:ef.ghi"};
    for (const char* text : times) {
        const QString s = QString::fromUtf8(text);
        EXPECT_EQ(codec::readTime(text, qstrlen(text)), QTime::fromString(s, "HH:mm:ss.zzz"))
            << text;
    }
    const char* const stamps[] = {"2024-02-29T23:59:59.000", "2015-06-30T07:05:00.125",
                                  "2024-02-30T10:00:00.000", "2024-02-29 23:59:59.000",
                                  "2024-02-29T23:59:59",     "Dienstag"};
    for (const char* text : stamps) {
        const QString s = QString::fromUtf8(text);
        const QDateTime expected = QDateTime::fromString(s, "yyyy-MM-ddTHH:mm:ss.zzz");
        const QDateTime read = codec::readDateTime(text, qstrlen(text));
        EXPECT_EQ(read.isValid(), expected.isValid()) << text;
        if (expected.isValid()) {
            EXPECT_EQ(read, expected) << text;
            EXPECT_EQ(read.timeSpec(), Qt::LocalTime) << text;
            EXPECT_EQ(read.toString(Qt::ISODateWithMs), expected.toString(Qt::ISODateWithMs));
        }
    }
}
