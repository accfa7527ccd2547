#include "masterdata/dialogs/daterangeselection.h"

#include "core/values/calendar.h"

#include <cmath>

DateRangeSelection::DateRangeSelection(TDateTime start, TDateTime end)
    : m_start(start), m_end(end) {
    const int month = MonthOfDate(start);
    m_baseYear = YearOfDate(start);
    m_baseMonth = month - 1;
    if (m_baseMonth < 1) {
        m_baseMonth = 12;
        --m_baseYear;
    }
}

int DateRangeSelection::yearOfRow(int row) const {
    return m_baseYear + (m_baseMonth - 1 + row - 1) / 12;
}

int DateRangeSelection::monthOfRow(int row) const {
    return (m_baseMonth - 1 + row - 1) % 12 + 1;
}

std::optional<TDateTime> DateRangeSelection::cellDate(int row, int column) const {
    if (row < 1 || row >= Rows || column < 1 || column >= Columns)
        return std::nullopt;
    const int year = yearOfRow(row);
    const int month = monthOfRow(row);
    if (year < 1 || year > 9999 || column > DaysOfMonth(year, month))
        return std::nullopt;
    return DateTimeOfDate(QDate(year, month, column));
}

QString DateRangeSelection::cellText(int row, int column) const {
    if (row == 0)
        return column == 0 ? QString() : QStringLiteral("%1").arg(column, 2, 10, QLatin1Char('0'));
    if (column == 0)
        return GetMonthName(monthOfRow(row));
    return isMarked(row, column) ? QStringLiteral("*") : QString();
}

bool DateRangeSelection::isMarked(int row, int column) const {
    const std::optional<TDateTime> date = cellDate(row, column);
    return date && DateInRange(*date, m_start, m_end);
}

bool DateRangeSelection::pick(int row, int column) {
    const std::optional<TDateTime> date = cellDate(row, column);
    if (!date)
        return false;
    const TDateTime d = *date;
    if (d == std::floor(m_start))
        m_end = m_start;
    else if (d == std::floor(m_end))
        m_start = m_end;
    else if (d > (m_start + m_end) / 2)
        m_end = d;
    else
        m_start = d;
    return true;
}

int DateRangeSelection::days() const {
    return int(std::floor(m_end) - std::floor(m_start)) + 1;
}

QString DateRangeSelection::daysText() const {
    return QStringLiteral("%1 Tage").arg(days(), 3);
}
