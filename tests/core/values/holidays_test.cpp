#include "core/values/calendar.h"
#include "core/values/holidays.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

// Easter by the Meeus/Jones/Butcher algorithm, to check Gauss's formula against.
QDate referenceEaster(int y) {
    const int a = y % 19, b = y / 100, c = y % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(y, month, day);
}

TEST(Holidays, EasterSunday) {
    const TPackedDate expected[] = {{2024, 3, 31}, {2025, 4, 20}, {2000, 4, 23}, {1981, 4, 19},
                                    {1954, 4, 18}, {2285, 3, 22}, {2038, 4, 25}, {2049, 4, 18}};
    for (const TPackedDate e : expected)
        EXPECT_EQ(CalcEasterDate(e.Year), e) << e.Year;
}

TEST(Holidays, EasterAgreesWithAnIndependentAlgorithm) {
    for (int year = 1900; year <= 2299; ++year) {
        const TPackedDate e = CalcEasterDate(year);
        EXPECT_EQ(QDate(e.Year, e.Month, e.Day), referenceEaster(year)) << year;
    }
}

struct HolidayCase {
    int year, month, day;
    const char16_t* name;
};

TEST(Holidays, TheTwelveHolidaysOfSeveralYears) {
    const HolidayCase cases[] = {
        {2024, 1, 1, u"Neujahr"},
        {2024, 5, 1, u"Maifeiertag"},
        {2024, 10, 3, u"Nationalfeiertag"},
        {2024, 12, 25, u"1. Weihnachtstag"},
        {2024, 12, 26, u"2. Weihnachtstag"},
        {2024, 3, 29, u"Karfreitag"},
        {2024, 3, 31, u"1. Ostertag"},
        {2024, 4, 1, u"2. Ostertag"}, // across the month end
        {2024, 5, 9, u"Christi Himmelfahrt"},
        {2024, 5, 19, u"1. Pfingsttag"},
        {2024, 5, 20, u"2. Pfingsttag"},
        {2024, 5, 30, u"Fronleichnam"},
        {2025, 4, 18, u"Karfreitag"},
        {2025, 4, 21, u"2. Ostertag"},
        {2025, 5, 29, u"Christi Himmelfahrt"},
        {2025, 6, 8, u"1. Pfingsttag"},
        {2025, 6, 19, u"Fronleichnam"},
        {2008, 3, 21, u"Karfreitag"},
        {2008, 5, 1, u"Maifeiertag"}, // Ascension fell on May Day: the first entry names it
        {2008, 5, 22, u"Fronleichnam"},
        {2038, 6, 24, u"Fronleichnam"},
        {2000, 6, 12, u"2. Pfingsttag"},
    };
    for (const HolidayCase& c : cases) {
        EXPECT_TRUE(IsHoliday(c.year, c.month, c.day)) << c.day << "." << c.month << "." << c.year;
        EXPECT_EQ(GetHolidayName(c.year, c.month, c.day), QString::fromUtf16(c.name));
    }
}

TEST(Holidays, OrdinaryDaysAreNone) {
    const HolidayCase cases[] = {{2024, 12, 24, nullptr}, {2024, 12, 31, nullptr},
                                 {2025, 3, 31, nullptr},  {2024, 4, 21, nullptr},
                                 {2025, 5, 9, nullptr},   {2024, 11, 1, nullptr}};
    for (const HolidayCase& c : cases) {
        EXPECT_FALSE(IsHoliday(c.year, c.month, c.day)) << c.day << "." << c.month;
        EXPECT_EQ(GetHolidayName(c.year, c.month, c.day), QStringLiteral("Unbekannter Feiertag"));
    }
}

TEST(Holidays, AnswersDoNotDependOnTheYearAskedBefore) {
    // The table is cached per year: switching years must rebuild it.
    EXPECT_TRUE(IsHoliday(2024, 3, 31));
    EXPECT_FALSE(IsHoliday(2025, 3, 31));
    EXPECT_TRUE(IsHoliday(2025, 4, 20));
    EXPECT_FALSE(IsHoliday(2024, 4, 20));
    EXPECT_TRUE(IsHoliday(2024, 3, 31));
}

TEST(Holidays, TableHoldsTwelveEntriesAndEmptyRest) {
    const HolidayTable table = BuildHolidayTable(2024);
    EXPECT_EQ(table.year, 2024);
    int used = 0;
    for (const HolidayEntry& e : table.entries) {
        if (e.Day != 0) {
            ++used;
            EXPECT_LE(e.Name.size(), 20);
            EXPECT_TRUE(IsValidPackedDate({2024, e.Month, e.Day}));
        }
    }
    EXPECT_EQ(used, 12);
    EXPECT_FALSE(IsHoliday(2024, 0, 0));
}

} // namespace
