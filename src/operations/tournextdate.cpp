#include "operations/tournextdate.h"

#include "commercial/scheduling/servicematch.h"
#include "core/data/dbhelpers.h"
#include "core/values/calendar.h"
#include "platform/table/table.h"
#include "platform/table/tableerror.h"

namespace {

const QString kNextDate = QStringLiteral("TO_NextDate");
const QString kWeekday = QStringLiteral("TO_Wochentag");

TDateTime nextDateOf(table::Table& tours) {
    return DateTimeOfDate(tours.field(kNextDate).asDateOr(QDate()));
}

} // namespace

TDateTime AdvanceNextDate(TDateTime nextDate, int weekday, TDateTime today) {
    if (nextDate == EmptyDate)
        nextDate = today;
    if (weekday < 1 || weekday > 7)
        return nextDate;
    const TDateTime first = today + (weekday - WeekdayOfDate(today) + 7) % 7;
    return nextDate >= first ? nextDate : first;
}

bool AdvanceNextDate(table::Table& tours, TDateTime today) {
    if (tours.isEmpty())
        return false;
    bool changed = false;
    CancelEditOnError(tours, [&] {
        if (tours.field(kNextDate).isNull()) {
            EnsureEditOrInsert(tours);
            tours.field(kNextDate).setValue(DateOfDateTime(today));
            tours.post();
            changed = true;
        }
        const TDateTime current = nextDateOf(tours);
        const TDateTime next = AdvanceNextDate(current, FieldInt(tours, kWeekday), today);
        if (next == current)
            return;
        EnsureEditOrInsert(tours);
        tours.field(kNextDate).setValue(DateOfDateTime(next));
        tours.field(kWeekday).setValue(WeekdayOfDate(next));
        changed = true;
    });
    return changed;
}

int UpdateAllNextDates(TDateTime today) {
    auto tours = OpenTempTable(QStringLiteral("LumoDB"), QStringLiteral("Touren.db"));
    int changed = 0;
    for (; !tours->eof() && !tours->isEmpty(); tours->next()) {
        const TDateTime current = tours->field(kNextDate).isNull() ? EmptyDate : nextDateOf(*tours);
        const TDateTime next = AdvanceNextDate(current, FieldInt(*tours, kWeekday), today);
        if (next == current)
            continue;
        try {
            CancelEditOnError(*tours, [&] {
                tours->edit();
                tours->field(kNextDate).setValue(DateOfDateTime(next));
                if (FieldInt(*tours, kWeekday) != 0)
                    tours->field(kWeekday).setValue(WeekdayOfDate(next));
                tours->post();
            });
            ++changed;
        } catch (const table::TableError& e) {
            if (e.kind() != table::TableError::RecordLocked)
                throw;
        }
    }
    return changed;
}

bool ActivityMatchesWeekday(int tourWeekday, const QString& weekdayPattern,
                            const QString& serviceId, const QString& tourPattern) {
    return MatchTourDay(tourWeekday, tourPattern, weekdayPattern, serviceId) == 0;
}
