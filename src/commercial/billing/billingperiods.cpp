#include "commercial/billing/billingperiods.h"

#include "commercial/billing/defrgmodel.h"
#include "core/values/datetext.h"
#include "core/values/datetimevalue.h"

#include <algorithm>

namespace {

QString dmy(const QDate& d) {
    return DateToStrDMY(DateTimeOfDate(d));
}

} // namespace

QDate ShiftDateKeepMonthEnd(int years, const QDate& d) {
    if (!d.isValid())
        return d;
    const bool monthEnd = d.day() == d.daysInMonth();
    QDate result = d;
    for (int i = 0; i < years; ++i) {
        const QDate first(result.year() + 1, result.month(), 1);
        result = first.addDays(std::min(result.day(), first.daysInMonth()) - 1);
    }
    if (monthEnd)
        result = QDate(result.year(), result.month(), result.daysInMonth());
    return result;
}

QString TBillingPeriod::Text() const {
    return dmy(RangeStart) + QStringLiteral(" - ") + dmy(RangeEnd);
}

std::optional<TBillingPeriod> NextBillingPeriod(const QList<TRgPeriod>& periods,
                                                const QDate& searchFrom, const QDate& searchTo,
                                                const QDate& notBefore) {
    std::optional<TBillingPeriod> found;
    if (!searchFrom.isValid() || !searchTo.isValid())
        return found;
    for (const TRgPeriod& p : periods) {
        if (!p.CreateDate.isValid())
            continue;
        for (int year = std::max(searchFrom.year(), p.CreateDate.year()); year <= searchTo.year();
             ++year) {
            const int shift = year - p.CreateDate.year();
            const QDate plan = ShiftDateKeepMonthEnd(shift, p.CreateDate);
            if (plan < searchFrom || plan > searchTo)
                continue;
            if (notBefore.isValid() && plan < notBefore)
                continue;
            if (found && found->PlanDate <= plan)
                break;
            found = TBillingPeriod{plan, ShiftDateKeepMonthEnd(shift, p.BillDate),
                                   ShiftDateKeepMonthEnd(shift, p.RangeStart),
                                   ShiftDateKeepMonthEnd(shift, p.RangeEnd)};
            break;
        }
    }
    return found;
}
