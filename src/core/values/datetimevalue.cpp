#include "core/values/datetimevalue.h"

#include <QTime>
#include <cmath>

namespace {
const QDate kBase(1899, 12, 30);
// The toolkit's range of date-time values: 1.1.0001 and 31.12.9999.
constexpr double kFirstDay = -693593.0;
constexpr double kLastDay = 2958465.0;
} // namespace

QDate DateOfDateTime(TDateTime d) {
    if (!std::isfinite(d))
        return {};
    const double day = std::trunc(d);
    if (day < kFirstDay || day > kLastDay)
        return {};
    return kBase.addDays(static_cast<qint64>(day));
}

TDateTime DateTimeOfDate(const QDate& date) {
    if (!date.isValid())
        return EmptyDate;
    return static_cast<double>(kBase.daysTo(date));
}

TDateTime DateTimeOfMoment(const QDate& date, const QTime& time) {
    const double day = DateTimeOfDate(date);
    if (!time.isValid())
        return day;
    const double fraction = time.msecsSinceStartOfDay() / 86400000.0;
    // Before 1899 the whole part counts backwards while the time still counts forwards.
    return day < 0 ? day - fraction : day + fraction;
}
