#include "core/settings/regionalsettings.h"
#include "core/values/calendar.h"
#include "core/values/packeddate.h"
#include "platform/errors.h"

#include <QString>
#include <gtest/gtest.h>

namespace {

double D(int y, int m, int d) {
    return PackedToDate({quint16(y), quint8(m), quint8(d)});
}

TEST(Calendar, DaysOfMonth) {
    struct Case {
        int year, month, days;
    } const cases[] = {{2024, 2, 29}, {2023, 2, 28}, {1900, 2, 28}, {2000, 2, 29},
                       {2100, 2, 28}, {2024, 1, 31}, {2024, 4, 30}, {2024, 12, 31},
                       {0, 5, 0},     {2024, 0, 0},  {0, 13, 0},    {65535, 2, 28}};
    for (const Case& c : cases)
        EXPECT_EQ(DaysOfMonth(c.year, c.month), c.days) << c.year << "-" << c.month;
}

TEST(Calendar, DaysOfMonthOutsideItsRangeRaises) {
    EXPECT_THROW(DaysOfMonth(65536, 1), DbError);
    EXPECT_THROW(DaysOfMonth(2024, 13), DbError);
    EXPECT_THROW(DaysOfMonth(-1, 1), DbError);
    EXPECT_THROW(WeekdayOfYMD(65536, 1, 1), DbError);
    EXPECT_THROW(WeekdayOfYMD(2023, 2, 29), DbError);
}

TEST(Calendar, WeekdaysCountFromMonday) {
    struct Case {
        int year, month, day, weekday;
        bool weekend;
    } const cases[] = {{2024, 1, 1, 1, false},  {2024, 1, 6, 6, true},   {2024, 1, 7, 7, true},
                       {2024, 2, 29, 4, false}, {1899, 12, 30, 6, true}, {2000, 1, 1, 6, true}};
    for (const Case& c : cases) {
        EXPECT_EQ(WeekdayOfYMD(c.year, c.month, c.day), c.weekday);
        EXPECT_EQ(WeekdayOfDate(D(c.year, c.month, c.day) + 0.9), c.weekday);
        EXPECT_EQ(IsWeekend(c.year, c.month, c.day), c.weekend);
    }
}

TEST(Calendar, NamesComeFromTheRegionalSettings) {
    EXPECT_EQ(GetDayName(1), QStringLiteral("Montag"));
    EXPECT_EQ(GetDayName(7), QStringLiteral("Sonntag"));
    EXPECT_EQ(GetDayShortName(3), QStringLiteral("Mi"));
    EXPECT_EQ(GetDayShortName(7), QStringLiteral("So"));
    EXPECT_EQ(GetMonthName(3), QStringLiteral("März"));
    EXPECT_EQ(GetMonthName(12), QStringLiteral("Dezember"));
    for (int wrong : {0, 8, -1}) {
        EXPECT_EQ(GetDayName(wrong), QStringLiteral("FEHLER"));
        EXPECT_EQ(GetDayShortName(wrong), QStringLiteral("??"));
    }
    EXPECT_TRUE(GetMonthName(0).isEmpty());
    EXPECT_TRUE(GetMonthName(13).isEmpty());
}

TEST(Calendar, ShortDayNamesAreCutToTwoLetters) {
    const RegionalSettings saved = Regional();
    RegionalSettings english = saved;
    english.shortDayNames = {QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"),
                             QStringLiteral("Wed"), QStringLiteral("Thu"), QStringLiteral("Fri"),
                             QStringLiteral("Sat")};
    SetRegional(english);
    EXPECT_EQ(GetDayShortName(1), QStringLiteral("Mo"));
    EXPECT_EQ(GetDayShortName(7), QStringLiteral("Su"));
    SetRegional(saved);
}

TEST(Calendar, PartsOfADate) {
    const double d = D(2024, 2, 14) + 0.6;
    EXPECT_EQ(YearOfDate(d), 2024);
    EXPECT_EQ(MonthOfDate(d), 2);
    EXPECT_EQ(DayOfDate(d), 14);
    EXPECT_EQ(FirstDayOfYear(d), D(2024, 1, 1));
    EXPECT_EQ(FirstDayOfMonth(d), D(2024, 2, 1));
    EXPECT_EQ(LastDayOfMonth(d), D(2024, 2, 29));
    EXPECT_EQ(LastDayOfMonth(D(2023, 2, 1)), D(2023, 2, 28));
    EXPECT_EQ(LastDayOfMonth(D(2023, 12, 31)), D(2023, 12, 31));
    EXPECT_EQ(YearOfDate(0.0), 1899);
}

TEST(Calendar, DateInRangeTreatsAnEmptyDateAsOpen) {
    const double d = D(2024, 5, 10);
    EXPECT_TRUE(DateInRange(d, D(2024, 5, 10), D(2024, 5, 10)));
    EXPECT_TRUE(DateInRange(d, D(2024, 1, 1), D(2024, 12, 31)));
    EXPECT_FALSE(DateInRange(d, D(2024, 5, 11), D(2024, 12, 31)));
    EXPECT_FALSE(DateInRange(d, D(2024, 1, 1), D(2024, 5, 9)));
    EXPECT_TRUE(DateInRange(d, 0.0, D(2024, 1, 1)));
    EXPECT_TRUE(DateInRange(d, D(2025, 1, 1), 0.0));
    EXPECT_TRUE(DateInRange(0.0, D(2025, 1, 1), D(2026, 1, 1)));
}

struct SeasonCase {
    double day, from, to;
    bool inSeason;
};

TEST(Calendar, DateInSeasonRecursEveryYear) {
    // Bounds of any year: only day and month count.
    const SeasonCase cases[] = {
        {D(2024, 1, 10), D(2000, 11, 1), D(2001, 3, 31), true},
        {D(2024, 7, 10), D(2000, 11, 1), D(2001, 3, 31), false},
        {D(2024, 11, 1), D(2000, 11, 1), D(2001, 3, 31), true},
        {D(2024, 3, 31), D(2000, 11, 1), D(2001, 3, 31), true},
        {D(2024, 4, 1), D(2000, 11, 1), D(2001, 3, 31), false},
        {D(2024, 10, 31), D(2000, 11, 1), D(2001, 3, 31), false},
        {D(2024, 12, 31), D(1990, 11, 1), D(1990, 3, 31), true},
        {D(2024, 6, 15), D(1990, 4, 1), D(1990, 9, 30), true},
        {D(2024, 3, 31), D(1990, 4, 1), D(1990, 9, 30), false},
        {D(2024, 10, 1), D(1990, 4, 1), D(1990, 9, 30), false},
        {D(2024, 7, 10), 0.0, D(1990, 3, 31), true},
        {D(2024, 7, 10), D(1990, 11, 1), 0.0, true},
    };
    for (const SeasonCase& c : cases)
        EXPECT_EQ(DateInSeason(c.day, c.from, c.to), c.inSeason)
            << DayOfDate(c.day) << "." << MonthOfDate(c.day);
}

TEST(Calendar, SeasonBoundOnLeapDayHoldsInEveryYear) {
    const double leapDay = D(2024, 2, 29);
    const SeasonCase cases[] = {
        // Winter season ending on 29 February.
        {D(2023, 2, 28), D(2023, 11, 1), leapDay, true},
        {D(2023, 1, 15), D(2023, 11, 1), leapDay, true},
        {D(2023, 3, 1), D(2023, 11, 1), leapDay, false},
        {D(2023, 12, 1), D(2023, 11, 1), leapDay, true},
        {D(2024, 2, 29), D(2023, 11, 1), leapDay, true},
        {D(2024, 12, 20), D(2023, 11, 1), leapDay, true},
        {D(2025, 2, 28), D(2023, 11, 1), leapDay, true},
        {D(2025, 3, 1), D(2023, 11, 1), leapDay, false},
        // Season starting on 29 February.
        {D(2023, 2, 28), leapDay, D(2024, 6, 30), true},
        {D(2023, 2, 27), leapDay, D(2024, 6, 30), false},
        {D(2024, 2, 28), leapDay, D(2024, 6, 30), false},
        {D(2024, 2, 29), leapDay, D(2024, 6, 30), true},
        {D(2023, 7, 1), leapDay, D(2024, 6, 30), false},
    };
    for (const SeasonCase& c : cases)
        EXPECT_EQ(DateInSeason(c.day, c.from, c.to), c.inSeason)
            << DayOfDate(c.day) << "." << MonthOfDate(c.day) << "." << YearOfDate(c.day);
}

} // namespace
