#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

struct TRgPeriod;

// The billing periods of an interval definition moved from its reference
// years into the years a billing run covers.

// D moved forward by Years years, one at a time with the day cut to the
// month's length; a month's last day (28 February of a common year included)
// stays the last day. Years of 0 or less and a null date leave D as it is.
QDate ShiftDateKeepMonthEnd(int years, const QDate& d);

// A period as a run bills it.
struct TBillingPeriod {
    QDate PlanDate; // the moved creation date
    QDate BillDate;
    QDate RangeStart;
    QDate RangeEnd;
    // "dd.mm.yyyy - dd.mm.yyyy" of the service range.
    QString Text() const;
};

// The earliest period whose creation date, moved forward (never back) into
// one of the years from searchFrom's to searchTo's, lies in searchFrom ..
// searchTo and not before notBefore (a null notBefore: no limit); on equal
// dates the first in the given order. All four dates move by the same
// years. A period without creation date is never found.
std::optional<TBillingPeriod> NextBillingPeriod(const QList<TRgPeriod>& periods,
                                                const QDate& searchFrom, const QDate& searchTo,
                                                const QDate& notBefore);
