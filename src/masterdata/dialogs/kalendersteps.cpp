#include "masterdata/dialogs/kalendersteps.h"

#include "core/values/holidays.h"

QDate StepKalenderDate(const QDate& date, KalenderStep step) {
    switch (step) {
    case KalenderStep::PreviousMonth:
        return date.addMonths(-1);
    case KalenderStep::NextMonth:
        return date.addMonths(1);
    case KalenderStep::PreviousYear:
        return date.addYears(-1);
    case KalenderStep::NextYear:
        return date.addYears(1);
    }
    return date;
}

std::optional<KalenderStep> KalenderAltKeyStep(int qtKey) {
    switch (qtKey) {
    case Qt::Key_PageUp:
        return KalenderStep::PreviousYear;
    case Qt::Key_PageDown:
        return KalenderStep::NextYear;
    case Qt::Key_Up:
        return KalenderStep::NextMonth;
    case Qt::Key_Down:
        return KalenderStep::PreviousMonth;
    default:
        return std::nullopt;
    }
}

QString KalenderHolidayText(const QDate& date) {
    if (!date.isValid() || !IsHoliday(date.year(), date.month(), date.day()))
        return {};
    return GetHolidayName(date.year(), date.month(), date.day());
}
