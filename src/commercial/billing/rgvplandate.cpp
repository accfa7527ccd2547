#include "commercial/billing/rgvplandate.h"

#include "core/values/datetimevalue.h"

#include <algorithm>

namespace {

QDate orZero(const QDate& d) {
    return d.isValid() ? d : DateOfDateTime(EmptyDate);
}

// Month and day of D in the year Y; a day the month lacks in Y becomes its last.
QDate inYear(const QDate& d, int year) {
    const QDate first(year, d.month(), 1);
    return first.addDays(std::min(d.day(), first.daysInMonth()) - 1);
}

} // namespace

QDate ConvertedRgvPlanDate(int intervall, const std::vector<QDate>& billingDates,
                           const QDate& nextInvoice, const QDate& lastInvoice,
                           const QDate& contractStart, const QDate& today) {
    if (intervall == 0)
        return {};
    QDate start = std::max({orZero(lastInvoice), orZero(contractStart), orZero(nextInvoice)});
    if (start.year() < 2000)
        start = today;
    QDate limit = today.addDays(730);
    QDate result;
    for (int year : {start.year(), start.year() + 1})
        for (const QDate& billing : billingDates) {
            const QDate d = inYear(orZero(billing), year);
            if (d > start && d < limit) {
                result = d;
                limit = d;
            }
        }
    return result;
}
