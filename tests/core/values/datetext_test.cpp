#include "core/settings/regionalsettings.h"
#include "core/values/datetext.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

TPackedDate P(int y, int m, int d) {
    return {quint16(y), quint8(m), quint8(d)};
}

TEST(DateText, PackedDateToStr) {
    EXPECT_EQ(PackedDateToStr(P(2024, 3, 5)), QStringLiteral("05.03.2024"));
    EXPECT_EQ(PackedDateToStr(P(2024, 12, 31)), QStringLiteral("31.12.2024"));
    EXPECT_EQ(PackedDateToStr(P(0, 3, 5)), QStringLiteral("05.03.0000"));
    EXPECT_EQ(PackedDateToStr(TPackedDate()), QStringLiteral("  .  .    "));
    EXPECT_EQ(PackedDateToStr(P(2024, 3, 0)), QStringLiteral("  .  .    "));
}

TEST(DateText, DateTimeToText) {
    EXPECT_EQ(DateToStrDMY(PackedToDate(P(2024, 3, 5)) + 0.99), QStringLiteral("05.03.2024"));
    // The empty date is still written as its day.
    EXPECT_EQ(DateToStrDMY(0.0), QStringLiteral("30.12.1899"));
    EXPECT_EQ(DateToSqlStr(PackedToDate(P(2024, 3, 5))), QStringLiteral("'05.03.2024'"));
}

struct ParseCase {
    const char* text;
    TPackedDate expected;
};

TEST(DateText, StrToPackedDate) {
    const ParseCase cases[] = {
        {"05.03.2024", P(2024, 3, 5)},
        {"5.3.2024", P(2024, 3, 5)},
        {"5.3.24", P(0, 3, 5)},  // two-digit years are not completed
        {"5.3.999", P(0, 3, 5)}, // neither are three-digit ones
        {"30.2.2024", P(2024, 2, 30)},
        {"x.3.2024", P(2024, 3, 0)}, // a part that is no number counts 0
        {"5.3", P(0, 3, 5)},
        {"5", P(0, 0, 5)},
        {"", TPackedDate()},
        // Parts too large for their field are no date, not another date.
        {"257.1.2024", TPackedDate()},
        {"1.257.2024", TPackedDate()},
        {"1.1.67560", TPackedDate()},
        {"-1.3.2024", TPackedDate()},
    };
    for (const ParseCase& c : cases) {
        const TPackedDate p = StrToPackedDate(QString::fromUtf8(c.text));
        EXPECT_EQ(p, c.expected) << c.text << " gave " << int(p.Day) << "." << int(p.Month) << "."
                                 << p.Year;
    }
}

TEST(DateText, StrToPackedDateUsesTheRegionalSeparator) {
    const RegionalSettings saved = Regional();
    RegionalSettings slashes = saved;
    slashes.dateSeparator = u'/';
    SetRegional(slashes);
    EXPECT_EQ(StrToPackedDate(QStringLiteral("5/3/2024")), P(2024, 3, 5));
    SetRegional(saved);
    EXPECT_TRUE(StrToPackedDate(QStringLiteral("5/3/2024")).isNull());
}

TEST(DateText, StrToDateDMYGivesZeroForNoDate) {
    EXPECT_EQ(StrToDateDMY(QStringLiteral("05.03.2024")), 45356.0);
    for (const char* text : {"30.02.2024", "5.3.24", "", "abc", "257.1.2024"})
        EXPECT_EQ(StrToDateDMY(QString::fromUtf8(text)), 0.0) << text;
}

TEST(DateText, IsValidDateStr) {
    const char* valid[] = {"1.2.2024", "01.02.2024", " 29.02.2024 ", "31.12.1999", "1.1.24"};
    for (const char* text : valid)
        EXPECT_TRUE(IsValidDateStr(QString::fromUtf8(text))) << text;
    const char* invalid[] = {"30.02.2024", "29.02.2023",  "1.13.2024",   "0.1.2024",
                             "32.1.2024",  "01/02/2024",  "001.02.2024", "1.002.2024",
                             "1.2.",       "1..2024",     "a.2.2024",    "",
                             "1.2.2024x",  "1.2.99999999"};
    for (const char* text : invalid)
        EXPECT_FALSE(IsValidDateStr(QString::fromUtf8(text))) << text;
}

TEST(DateText, TodayAndNow) {
    const RegionalSettings saved = Regional();
    const QDate before = QDate::currentDate();
    const TPackedDate today = TodayPacked();
    const QDate after = QDate::currentDate();
    const QDate got(today.Year, today.Month, today.Day);
    EXPECT_TRUE(got == before || got == after);

    const QString text = TodayStr();
    EXPECT_EQ(Regional().shortDateFormat, QStringLiteral("dd.MM.yyyy"));
    EXPECT_TRUE(IsValidDateStr(text)) << text.toStdString();

    const QString time = NowTimeStr();
    EXPECT_EQ(Regional().shortTimeFormat, QStringLiteral("hh:mm:ss"));
    EXPECT_EQ(time.size(), 8);
    EXPECT_EQ(time.at(2), u':');
    quint8 h = 99, m = 99, s = 99;
    GetNowHMS(h, m, s);
    EXPECT_LT(h, 24);
    EXPECT_LT(m, 60);
    EXPECT_LT(s, 60);
    SetRegional(saved);
}

} // namespace

TEST(DateText, AfterStartUpTimesShowNoSeconds) {
    const RegionalSettings saved = Regional();
    ApplyStartupFormats();
    EXPECT_EQ(Regional().shortDateFormat, QStringLiteral("dd.MM.yyyy"));
    EXPECT_EQ(Regional().shortTimeFormat, QStringLiteral("hh:mm"));
    EXPECT_EQ(Regional().longTimeFormat, QStringLiteral("hh:mm"));
    // The time of the backup comments: the long format, now without seconds.
    const QString time = NowTimeStr();
    EXPECT_EQ(time.size(), 5) << time.toStdString();
    SetRegional(saved);
}
