#include "core/values/packeddate.h"

#include "core/values/calendar.h"
#include "core/values/rangeerrors.h"

#include <limits>

namespace {
// Day number of 14.10.2173: the last date that a day step may leave.
constexpr qint32 kLastSteppableDayNo = 100000;

quint8 cutDay(quint8 day, quint16 year, int month) {
    const int length = DaysOfMonth(year, month);
    return day > length ? quint8(length) : day;
}
} // namespace

bool IsValidPackedDate(TPackedDate p) {
    if (p.Year < 1899 || p.Month < 1 || p.Month > 12 || p.Day < 1)
        return false;
    return p.Day <= DaysOfMonth(p.Year, p.Month);
}

TPackedDate DateToPacked(TDateTime d) {
    const QDate date = DateOfDateTime(d);
    if (!date.isValid() || date.year() < 1)
        return {};
    return {quint16(date.year()), quint8(date.month()), quint8(date.day())};
}

TDateTime PackedToDate(TPackedDate p) {
    if (!IsValidPackedDate(p))
        return EmptyDate;
    return DateTimeOfDate(QDate(p.Year, p.Month, p.Day));
}

qint32 PackedToDayNo(TPackedDate p) {
    return static_cast<qint32>(PackedToDate(p));
}

TPackedDate DayNoToPacked(qint32 dayNo) {
    return DateToPacked(static_cast<TDateTime>(dayNo));
}

void IncPackedDay(TPackedDate& p) {
    const qint32 dayNo = PackedToDayNo(p);
    if (dayNo < kLastSteppableDayNo)
        p = DayNoToPacked(dayNo + 1);
}

void DecPackedDay(TPackedDate& p) {
    const qint32 dayNo = PackedToDayNo(p);
    if (dayNo > 0)
        p = DayNoToPacked(dayNo - 1);
}

void IncPackedMonth(TPackedDate& p) {
    IncPackedMonthEx(p, false);
}

void IncPackedMonthEx(TPackedDate& p, bool toMonthEnd) {
    TPackedDate next = p;
    if (next.Month >= 12) {
        if (next.Year == std::numeric_limits<quint16>::max())
            RaiseOverflowError();
        ++next.Year;
        next.Month = 1;
    } else {
        ++next.Month;
    }
    next.Day = toMonthEnd ? quint8(DaysOfMonth(next.Year, next.Month))
                          : cutDay(next.Day, next.Year, next.Month);
    p = next;
}

void DecPackedMonth(TPackedDate& p) {
    if (p.Month == 0)
        RaiseOverflowError();
    TPackedDate previous = p;
    if (previous.Month == 1) {
        if (previous.Year == 0)
            RaiseOverflowError();
        --previous.Year;
        previous.Month = 12;
    } else {
        --previous.Month;
    }
    previous.Day = cutDay(previous.Day, previous.Year, previous.Month);
    p = previous;
}

void IncPackedYear(TPackedDate& p) {
    if (p.Year == std::numeric_limits<quint16>::max())
        RaiseOverflowError();
    TPackedDate next = p;
    ++next.Year;
    next.Day = cutDay(next.Day, next.Year, next.Month);
    p = next;
}

void IncMonthOfDate(TDateTime& d) {
    TPackedDate p = DateToPacked(d);
    IncPackedMonth(p);
    d = PackedToDate(p);
}

void DecMonthOfDate(TDateTime& d) {
    TPackedDate p = DateToPacked(d);
    DecPackedMonth(p);
    d = PackedToDate(p);
}

TDateTime SetYearOfDate(int year, TDateTime d) {
    const QDate date = DateOfDateTime(d);
    if (!date.isValid())
        return EmptyDate;
    return DateTimeOfDate(QDate(year, date.month(), date.day()));
}

TDateTime IncYearOfDate(TDateTime d) {
    return SetYearOfDate(YearOfDate(d) + 1, d);
}

TDateTime DecYearOfDate(TDateTime d) {
    return SetYearOfDate(YearOfDate(d) - 1, d);
}
