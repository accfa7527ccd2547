#include "commercial/billing/defrgmodel.h"

#include "core/messages/messages.h"
#include "core/values/datetext.h"
#include "core/values/datetimevalue.h"
#include "core/values/rangeerrors.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace {

const QDate kFirstDay(TDefRgModel::BaseYear, 1, 1);
const QDate kLastDay(TDefRgModel::BaseYear + 1, 12, 31);
const int kDayCount = int(kFirstDay.daysTo(kLastDay)) + 1;

bool inCalendar(const QDate& d) {
    return d.isValid() && d >= kFirstDay && d <= kLastDay;
}

int dayIndex(const QDate& d) {
    return int(kFirstDay.daysTo(d));
}

QString shortDate(const QDate& d) {
    return d.isValid() ? DateToStrDMY(DateTimeOfDate(d)) : QString();
}

} // namespace

const std::array<TDefRgModel::Rgb, 12> TDefRgModel::Palette = {{
    {233, 255, 255},
    {217, 255, 217},
    {217, 217, 255},
    {255, 255, 201},
    {233, 238, 255},
    {201, 238, 201},
    {201, 201, 238},
    {238, 238, 201},
    {201, 221, 255},
    {169, 204, 204},
    {185, 185, 221},
    {221, 221, 201},
}};

QString TDefRgModel::Cell::text() const {
    if (createDate)
        return QStringLiteral("E");
    if (billDate)
        return QStringLiteral("R");
    return period == 0 ? QString() : QString::number(nr).rightJustified(2);
}

void TDefRgModel::Load(const QList<TRgPeriod>& periods) {
    if (periods.size() > MaxPeriods)
        RaiseRangeError();
    m_periods = periods;
    m_selected = 0;
    m_dragging = false;
    SortPeriods();
}

void TDefRgModel::Select(int index) {
    m_selected = index >= 1 && index <= Count() ? index : 0;
    changed();
}

void TDefRgModel::SortPeriods() {
    for (TRgPeriod& p : m_periods)
        if (p.RangeStart > p.RangeEnd)
            std::swap(p.RangeStart, p.RangeEnd);
    std::vector<int> order(std::size_t(m_periods.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return m_periods[a].RangeStart < m_periods[b].RangeStart;
    });
    QList<TRgPeriod> sorted;
    sorted.reserve(m_periods.size());
    int selected = 0;
    for (int index : order) {
        sorted.append(m_periods[index]);
        sorted.last().Nr = int(sorted.size());
        if (index + 1 == m_selected)
            selected = int(sorted.size());
    }
    m_periods = sorted;
    m_selected = selected;
    changed();
}

QDate TDefRgModel::DateOfCell(int row, int day) {
    if (row < 1 || row > Rows || day < 1 || day > Days)
        return {};
    const int year = BaseYear + (row - 1) / 12;
    const int month = (row - 1) % 12 + 1;
    if (day > QDate(year, month, 1).daysInMonth())
        return {};
    return QDate(year, month, day);
}

bool TDefRgModel::CellOfDate(const QDate& date, int& row, int& day) {
    if (!inCalendar(date))
        return false;
    row = (date.year() - BaseYear) * 12 + date.month();
    day = date.day();
    return true;
}

const std::vector<int>& TDefRgModel::owners() const {
    if (m_ownersValid)
        return m_owners;
    m_owners.assign(std::size_t(kDayCount), 0);
    auto mark = [this](const QDate& d, int index) {
        if (inCalendar(d))
            m_owners[std::size_t(dayIndex(d))] = index;
    };
    for (int i = 0; i < Count(); ++i) {
        const TRgPeriod& p = m_periods[i];
        if (p.RangeStart.isValid() && p.RangeEnd.isValid()) {
            const QDate from = std::max(p.RangeStart, kFirstDay);
            const QDate to = std::min(p.RangeEnd, kLastDay);
            for (QDate d = from; d <= to; d = d.addDays(1))
                mark(d, i + 1);
        }
        mark(p.BillDate, i + 1);
        mark(p.CreateDate, i + 1);
    }
    m_ownersValid = true;
    return m_owners;
}

int TDefRgModel::ownerOf(const QDate& date) const {
    return inCalendar(date) ? owners()[std::size_t(dayIndex(date))] : 0;
}

TDefRgModel::Cell TDefRgModel::CellAt(int row, int day) const {
    Cell cell;
    const QDate date = DateOfCell(row, day);
    if (!date.isValid()) {
        cell.missing = true;
        return cell;
    }
    cell.period = ownerOf(date);
    if (cell.period == 0)
        return cell;
    const TRgPeriod& p = m_periods[cell.period - 1];
    cell.nr = p.Nr;
    cell.palette = ((p.Nr - 1) % 12 + 12) % 12 + 1;
    cell.selected = cell.period == m_selected;
    cell.billDate = p.BillDate == date;
    cell.createDate = p.CreateDate == date;
    return cell;
}

bool TDefRgModel::IsDragMove(int dx, int dy) {
    return std::abs(dx) >= 3 || std::abs(dy) >= 3;
}

bool TDefRgModel::PressLeft(int row, int day) {
    const QDate date = DateOfCell(row, day);
    if (!date.isValid())
        return false;
    if (const int owner = ownerOf(date); owner != 0) {
        Select(owner);
        m_dragging = true;
        return true;
    }
    if (Count() >= MaxPeriods)
        return false;
    if (date.year() == BaseYear && ownerOf(date.addYears(1)) != 0)
        return false;
    m_periods.append({Count() + 1, date, date, date, date});
    m_selected = Count();
    SortPeriods();
    m_dragging = true;
    return true;
}

bool TDefRgModel::DragTo(int row, int day) {
    const QDate x = DateOfCell(row, day);
    if (!m_dragging || m_selected == 0 || !x.isValid())
        return false;
    TRgPeriod& p = m_periods[m_selected - 1];
    if (!p.RangeStart.isValid())
        return false;
    // The days passed over must be free or the period's own; lengthening the
    // end may run over other periods.
    auto freeOrOwn = [this](const QDate& from, const QDate& to) {
        for (QDate d = from; d <= to; d = d.addDays(1)) {
            const int owner = ownerOf(d);
            if (owner != 0 && owner != m_selected)
                return false;
        }
        return true;
    };
    if (x < p.RangeStart) {
        if (!freeOrOwn(x, p.RangeStart.addDays(-1)))
            return false;
    } else if (!(p.RangeEnd.isValid() && p.RangeEnd <= x) && !freeOrOwn(p.RangeStart, x)) {
        return false;
    }
    if (x > p.RangeStart)
        p.RangeEnd = x;
    else
        p.RangeStart = x;
    changed();
    return true;
}

void TDefRgModel::Release() {
    m_dragging = false;
    SortPeriods();
}

bool TDefRgModel::PressRight(int row, int day, bool shift) {
    const QDate date = DateOfCell(row, day);
    if (!date.isValid() || m_selected == 0)
        return false;
    TRgPeriod& p = m_periods[m_selected - 1];
    (shift ? p.BillDate : p.CreateDate) = date;
    SortPeriods();
    return true;
}

void TDefRgModel::DeleteSelected() {
    if (m_selected < 1 || m_selected > Count())
        return;
    const int removed = m_selected;
    m_periods.removeAt(removed - 1);
    m_selected = 0;
    SortPeriods();
    m_selected = std::min(removed, Count());
}

bool TDefRgModel::DeleteAllAsked() {
    if (!AskYesNo(QStringLiteral("Gesamte Tabelle löschen?")))
        return false;
    m_periods.clear();
    m_selected = 0;
    m_dragging = false;
    changed();
    return true;
}

QString TDefRgModel::CompletenessError() const {
    for (int i = 0; i < Count(); ++i) {
        const TRgPeriod& p = m_periods[i];
        const char* gap = !p.RangeStart.isValid()   ? "Bereichsanfang nicht definiert"
                          : !p.RangeEnd.isValid()   ? "Bereichsende nicht definiert"
                          : !p.BillDate.isValid()   ? "Rechnungsdatum nicht definiert"
                          : !p.CreateDate.isValid() ? "Erstelldatum nicht definiert"
                                                    : nullptr;
        if (gap)
            return QStringLiteral("Fehler in Zeile %1: %2").arg(i + 1).arg(QString::fromUtf8(gap));
    }
    return {};
}

bool TDefRgModel::CheckOk() const {
    const QString error = CompletenessError();
    if (error.isEmpty())
        return true;
    ShowError(error);
    return false;
}

QStringList TDefRgModel::ListRow(int index) const {
    if (index < 1 || index > Count())
        return {};
    const TRgPeriod& p = m_periods[index - 1];
    return {QString::number(p.Nr), shortDate(p.RangeStart), shortDate(p.RangeEnd),
            shortDate(p.BillDate), shortDate(p.CreateDate)};
}
