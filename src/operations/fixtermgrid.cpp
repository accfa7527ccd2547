#include "operations/fixtermgrid.h"

#include "core/values/calendar.h"
#include "core/values/rangeerrors.h"

namespace {

void checkCell(int row, int day) {
    if (row < 0 || row > 11 || day < 1 || day > kFixTermDays)
        RaiseRangeError();
}

} // namespace

FixTermGrid::FixTermGrid(int startYear, int startMonth, int tourWeekday)
    : m_startYear(startYear), m_startMonth(startMonth), m_tourWeekday(tourWeekday) {
    if (startMonth < 1 || startMonth > 12)
        RaiseRangeError();
}

int FixTermGrid::yearOfRow(int row) const {
    return m_startYear + (m_startMonth - 1 + row) / 12;
}

int FixTermGrid::monthOfRow(int row) const {
    return (m_startMonth - 1 + row) % 12 + 1;
}

bool FixTermGrid::dayExists(int row, int day) const {
    checkCell(row, day);
    return day <= DaysOfMonth(yearOfRow(row), monthOfRow(row));
}

QDate FixTermGrid::dateOf(int row, int day) const {
    return dayExists(row, day) ? QDate(yearOfRow(row), monthOfRow(row), day) : QDate();
}

bool FixTermGrid::isMarked(int row, int day) const {
    checkCell(row, day);
    return m_marks[row][day - 1];
}

void FixTermGrid::load(const FixTermMonths& months) {
    for (int row = 0; row < 12; ++row) {
        MonthMarks marks = DecodeMonthMarks(months[monthOfRow(row) - 1]);
        const int length = DaysOfMonth(yearOfRow(row), monthOfRow(row));
        for (int d = kFixTermDays; d >= 29; --d) {
            if (d > length && marks[d - 1]) {
                marks[d - 1] = false;
                marks[d - 2] = true;
            }
        }
        m_marks[row] = marks;
    }
}

void FixTermGrid::toggle(int row, int day) {
    if (dayExists(row, day))
        m_marks[row][day - 1] = !m_marks[row][day - 1];
}

FixTermMonths FixTermGrid::save() const {
    FixTermMonths months;
    for (int row = 0; row < 12; ++row)
        months[monthOfRow(row) - 1] = EncodeMonthMarks(m_marks[row]);
    return months;
}

QString FixTermGrid::cellText(int row, int day) const {
    if (!dayExists(row, day))
        return QStringLiteral(" ");
    if (isMarked(row, day))
        return QStringLiteral("*");
    return GetDayShortName(WeekdayOfYMD(yearOfRow(row), monthOfRow(row), day));
}

FixTermGrid::CellKind FixTermGrid::cellKind(int row, int day) const {
    if (!dayExists(row, day))
        return CellKind::Missing;
    const int weekday = WeekdayOfYMD(yearOfRow(row), monthOfRow(row), day);
    const bool tourDay = weekday == m_tourWeekday;
    if (isMarked(row, day))
        return tourDay ? CellKind::MarkedTourDay : CellKind::Marked;
    if (tourDay)
        return CellKind::TourDay;
    return weekday >= 6 ? CellKind::Weekend : CellKind::Weekday;
}

QString FixTermCaption(int tourNr, int objektNr, int taetigNr, int weekday) {
    const QString day = weekday >= 1 && weekday <= 7 ? GetDayName(weekday) : QString();
    return QStringLiteral("Feste Ausführungstermine festlegen für   Tour: %1  Objekt: %2  "
                          "Tätigkeit: %3  (%4)")
        .arg(tourNr)
        .arg(objektNr)
        .arg(taetigNr)
        .arg(day);
}
