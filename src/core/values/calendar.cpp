#include "core/values/calendar.h"

#include "core/messages/messagecatalog.h"
#include "core/settings/regionalsettings.h"
#include "core/values/rangeerrors.h"

#include <QString>

namespace {
bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Sunday-first lists of the regional settings indexed by 1 = Monday ... 7 = Sunday.
QString sundayFirstEntry(const QStringList& names, int n) {
    const int index = n % 7;
    return index < names.size() ? names.at(index) : QString();
}

// The bound's day and month in Year; 29 February falls back to 28 February in
// a year without it, so a season ending or starting there keeps working.
TDateTime seasonBound(const QDate& bound, int year) {
    int day = bound.day();
    if (bound.month() == 2 && day == 29 && !isLeapYear(year))
        day = 28;
    return DateTimeOfDate(QDate(year, bound.month(), day));
}
} // namespace

int DaysOfMonth(int year, int month) {
    if (year < 0 || year > 65535 || month < 0)
        RaiseRangeError();
    if (year == 0 || month == 0)
        return 0;
    if (month > 12)
        RaiseRangeError();
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

int WeekdayOfYMD(int year, int month, int day) {
    if (year < 0 || year > 65535)
        RaiseRangeError();
    const QDate date(year, month, day);
    if (year == 0 || !date.isValid())
        throw DbError(QStringLiteral("Ungültiges Argument zum Codieren des Datums"));
    return date.dayOfWeek();
}

int WeekdayOfDate(TDateTime d) {
    const QDate date = DateOfDateTime(d);
    return date.isValid() ? date.dayOfWeek() : 0;
}

bool IsWeekend(int year, int month, int day) {
    return WeekdayOfYMD(year, month, day) >= 6;
}

QString GetDayName(int n) {
    if (n < 1 || n > 7)
        return LoadMessage(65290);
    return sundayFirstEntry(Regional().longDayNames, n);
}

QString GetDayShortName(int n) {
    if (n < 1 || n > 7)
        return QStringLiteral("??");
    return sundayFirstEntry(Regional().shortDayNames, n).left(2);
}

QString GetMonthName(int n) {
    const QStringList& names = Regional().longMonthNames;
    if (n < 1 || n > 12 || n > names.size())
        return {};
    return names.at(n - 1);
}

int YearOfDate(TDateTime d) {
    const QDate date = DateOfDateTime(d);
    return date.isValid() ? date.year() : 0;
}

int MonthOfDate(TDateTime d) {
    const QDate date = DateOfDateTime(d);
    return date.isValid() ? date.month() : 0;
}

int DayOfDate(TDateTime d) {
    const QDate date = DateOfDateTime(d);
    return date.isValid() ? date.day() : 0;
}

TDateTime FirstDayOfYear(TDateTime d) {
    const QDate date = DateOfDateTime(d);
    return date.isValid() ? DateTimeOfDate(QDate(date.year(), 1, 1)) : EmptyDate;
}

TDateTime FirstDayOfMonth(TDateTime d) {
    const QDate date = DateOfDateTime(d);
    return date.isValid() ? DateTimeOfDate(QDate(date.year(), date.month(), 1)) : EmptyDate;
}

TDateTime LastDayOfMonth(TDateTime d) {
    const QDate date = DateOfDateTime(d);
    if (!date.isValid())
        return EmptyDate;
    return DateTimeOfDate(QDate(date.year(), date.month(), date.daysInMonth()));
}

bool DateInRange(TDateTime d, TDateTime from, TDateTime to) {
    if (d == EmptyDate || from == EmptyDate || to == EmptyDate)
        return true;
    return from <= d && d <= to;
}

bool DateInSeason(TDateTime d, TDateTime from, TDateTime to) {
    if (from == EmptyDate || to == EmptyDate)
        return true;
    const QDate day = DateOfDateTime(d);
    const QDate fromDay = DateOfDateTime(from);
    const QDate toDay = DateOfDateTime(to);
    if (!day.isValid() || !fromDay.isValid() || !toDay.isValid())
        return false;
    int fromYear = day.year();
    int toYear = day.year();
    if (seasonBound(toDay, toYear) < seasonBound(fromDay, fromYear))
        ++toYear;
    if (seasonBound(fromDay, fromYear) > d) {
        --fromYear;
        --toYear;
    }
    return seasonBound(fromDay, fromYear) <= d && d <= seasonBound(toDay, toYear);
}
