#include "operations/termprevgrid.h"

#include "platform/errors.h"

using namespace Qt::StringLiterals;

TermPrevGrid::TermPrevGrid(const QDate& today)
    : m_start(today.year(), today.month(), 1), m_end(m_start.addYears(1).addDays(-1)) {}

int TermPrevGrid::index(int row, int day) const {
    if (row < 1 || row > 12 || day < 1 || day > 31)
        throw DbError(u"Ungültige Zelle %1/%2 der Termin-Vorschau."_s.arg(row).arg(day));
    return (row - 1) * 31 + (day - 1);
}

bool TermPrevGrid::inRange(const QDate& date) const {
    return date.isValid() && date >= m_start && date <= m_end;
}

int TermPrevGrid::rowOf(const QDate& date) const {
    return (date.year() * 12 + date.month()) - (m_start.year() * 12 + m_start.month()) + 1;
}

QDate TermPrevGrid::dateOf(int row, int day) const {
    index(row, day);
    const QDate first = m_start.addMonths(row - 1);
    return day <= first.daysInMonth() ? QDate(first.year(), first.month(), day) : QDate();
}

QString TermPrevGrid::monthTitle(int row) const {
    index(row, 1);
    return m_start.addMonths(row - 1).toString(u"MM/yyyy"_s);
}

bool TermPrevGrid::mark(QChar letter, const QDate& date) {
    if (!inRange(date))
        return false;
    m_marks[std::size_t(index(rowOf(date), date.day()))] = letter;
    return true;
}

QString TermPrevGrid::cellText(int row, int day) const {
    const QChar mark = m_marks[std::size_t(index(row, day))];
    return mark.isNull() || !dateOf(row, day).isValid() ? QString() : QString(mark);
}

TermPrevGrid::CellKind TermPrevGrid::cellKind(int row, int day) const {
    const QDate date = dateOf(row, day);
    if (!date.isValid())
        return CellKind::Missing;
    const QString text = cellText(row, day);
    if (text == u"T")
        return CellKind::Listed;
    if (text == u"P")
        return CellKind::Planned;
    return date.dayOfWeek() >= 6 ? CellKind::Weekend : CellKind::Plain;
}
