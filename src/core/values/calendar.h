#pragma once

#include "core/values/datetimevalue.h"

class QString;

// Days of the month in the Gregorian calendar; 0 when Year or Month is 0.
// A Year above 65535 or a Month above 12 raises a range error.
int DaysOfMonth(int year, int month);

// Weekdays count 1 = Monday ... 7 = Sunday. WeekdayOfYMD raises for a day
// that does not exist; WeekdayOfDate gives 0 for a value that is no date.
int WeekdayOfYMD(int year, int month, int day);
int WeekdayOfDate(TDateTime d);
bool IsWeekend(int year, int month, int day);

// Names from the regional settings: the long weekday name (N = 1 Monday ...
// 7 Sunday, else "FEHLER"), the first two letters of the short one (else
// "??") and the long month name (1 ... 12, else empty).
QString GetDayName(int n);
QString GetDayShortName(int n);
QString GetMonthName(int n);

// Parts of a date-time value; 0 for a value that cannot be decoded.
int YearOfDate(TDateTime d);
int MonthOfDate(TDateTime d);
int DayOfDate(TDateTime d);
TDateTime FirstDayOfYear(TDateTime d);
TDateTime FirstDayOfMonth(TDateTime d);
TDateTime LastDayOfMonth(TDateTime d);

// From <= D <= To; an empty date anywhere makes the range open.
bool DateInRange(TDateTime d, TDateTime from, TDateTime to);
// Whether D lies in the season From ... To that recurs every year (a season
// may cross the turn of the year); an empty bound makes it always true.
bool DateInSeason(TDateTime d, TDateTime from, TDateTime to);
