#pragma once

#include <QString>
#include <array>

// The two forms of a report interval's pattern (ZI_Pattern):
// - below one month: 31 characters, the d-th "*" when day d of every month
//   is a report date, "0" when not;
// - one month or more: up to 12 entries "dd.mm;" ordered by month and day.
// Each reader takes what it can from a pattern of either form; each writer
// writes its own form.

// Day d of the month is marks[d - 1].
using MonthPatternMarks = std::array<bool, 31>;
// Day d of month m is marks[m - 1][d - 1].
using YearPatternMarks = std::array<std::array<bool, 31>, 12>;

inline constexpr int MaxYearPatternDates = 12;

// Every character other than "0" marks the day of its position; characters
// after the 31st have no day.
MonthPatternMarks ReadMonthPattern(const QString& pattern);
// Always 31 characters.
QString WriteMonthPattern(const MonthPatternMarks& marks);

// Every ";"-separated entry whose characters 1-2 read as a day from 1 to 31
// and 4-5 as a month from 1 to 12 marks that day; other entries are ignored.
YearPatternMarks ReadYearPattern(const QString& pattern);
// One "dd.mm;" per mark, month by month, within a month day by day.
QString WriteYearPattern(const YearPatternMarks& marks);

// Whether the day can be a date of a yearly pattern: February has 28 days
// (29 February cannot be stored), the other months their length.
bool IsYearPatternDay(int month, int day);
int CountYearPatternDates(const YearPatternMarks& marks);

enum class YearMarkChange { Marked, Cleared, TooManyDates };
// A double-click on day and month: an impossible day is cleared, a marked one
// cleared, an empty one marked unless MaxYearPatternDates are marked already
// (then nothing changes).
YearMarkChange ToggleYearPatternDay(YearPatternMarks& marks, int month, int day);
