#include "commercial/scheduling/activitydue.h"

#include "commercial/scheduling/servicematch.h"
#include "core/values/calendar.h"
#include "core/values/packeddate.h"
#include "core/values/rangeerrors.h"

#include <QtNumeric>
#include <cmath>
#include <limits>

namespace {

qint64 dayNo(TDateTime d) {
    return qint64(std::floor(d));
}

// Steps of whole weeks: the first start + k * 7 * weeks on or after day.
TDateTime stepWeeks(TDateTime start, TDateTime day, int weeks) {
    int step = 0;
    if (qMulOverflow(weeks, 7, &step))
        RaiseOverflowError();
    const qint64 behind = dayNo(day) - dayNo(start);
    const qint64 steps = (behind + step - 1) / step;
    return start + TDateTime(steps * step);
}

// Steps of months, each of single months cut to the month's length, or on
// the month's last day when the start date is a month end of day 29 to 31.
TDateTime stepMonths(TDateTime start, TDateTime from, TDateTime day, int weeks) {
    if (weeks == std::numeric_limits<int>::min())
        RaiseOverflowError();
    const int months = -weeks;
    const TPackedDate first = DateToPacked(start);
    const bool toMonthEnd = first.Day >= 29 && first.Day == DaysOfMonth(first.Year, first.Month);
    TPackedDate p = DateToPacked(from);
    TDateTime next = from;
    while (next < day) {
        for (int i = 0; i < months; ++i)
            IncPackedMonthEx(p, toMonthEnd);
        next = PackedToDate(p);
    }
    return next;
}

TDateTime nextFrom(TDateTime start, const ObjectActivity& activity, TDateTime day,
                   const DueContext& context, NextDateCarry* carry) {
    if (start >= day)
        return start;
    const int weeks = context.intervals ? WeeksOfMode(*context.intervals, activity.modus) : 1;
    if (weeks == 0)
        return context.fixedDate &&
                       context.fixedDate(context.tourNr, activity.objektNr, activity.taetigNr, day)
                   ? day
                   : EmptyDate;
    if (weeks > 0)
        return stepWeeks(start, day, weeks);
    // Months are stepped one at a time; a carried date of an earlier day is
    // a date of the same sequence, so stepping on from it gives the same result.
    TDateTime from = start;
    if (carry && carry->start == start && carry->next != EmptyDate && carry->day <= day)
        from = carry->next;
    const TDateTime next = stepMonths(start, from, day, weeks);
    if (carry)
        *carry = {start, day, next};
    return next;
}

} // namespace

TDateTime NextActivityDate(const ObjectActivity& activity, TDateTime day, const DueContext& context,
                           NextDateCarry* carry) {
    return nextFrom(activity.startDatum == EmptyDate ? day : activity.startDatum, activity, day,
                    context, carry);
}

DueAnswer IsActivityDue(const ObjectActivity& activity, TDateTime day, const DueContext& context,
                        NextDateCarry* carry) {
    DueAnswer answer;
    if (!WeekdayFitsPattern(context.weekday, activity.wtag) ||
        !ServiceFitsPattern(activity.serviceId, context.servicePattern) ||
        !DateInSeason(day, activity.saisonVon, activity.saisonBis))
        return answer;
    const TDateTime end = day + 7;
    TDateTime start = activity.startDatum;
    if (start == EmptyDate) {
        start = context.fillDate;
        answer.startToStore = context.fillDate;
    }
    if (start >= end)
        return answer;
    const TDateTime next =
        nextFrom(start == EmptyDate ? day : start, activity, day, context, carry);
    answer.due = day <= next && next < end;
    return answer;
}
