#pragma once

#include "core/values/datetimevalue.h"

class QString;

namespace table {
class Table;
}

// Every tour carries its next execution date (TO_NextDate). A weekly tour
// never shows a date in the past: it moves to the first day of its weekday
// from today on. A later date stays, and a tour without weekday keeps its
// date even when it has passed.

// The next date a tour shows: an empty date becomes today; with a weekday
// (1 .. 7) a date before the first such day from today on becomes that day.
TDateTime AdvanceNextDate(TDateTime nextDate, int weekday, TDateTime today);

// The rule on the tour a cursor of Touren.db stands on: an empty date is set
// to today and posted; a date that moves is set (TO_NextDate and
// TO_Wochentag) with the record left in edit state for the cursor's next
// move or the user's post. True when the record was changed.
bool AdvanceNextDate(table::Table& tours, TDateTime today);

// Brings every tour's next date up to today, each tour posted by itself. A
// tour another workstation is editing is left for its next scroll. Returns
// the number of tours changed.
int UpdateAllNextDates(TDateTime today);

// Whether the tour does the activity on its weekday: the tour's weekday
// (1 .. 7; a tour without weekday fits no activity) occurs in the
// activity's weekday pattern (empty or "*": every weekday) and the service
// fits the tour's service pattern as MatchServicePattern judges it (a
// pattern "AB*" offers A and B only). The tour form paints such rows green.
bool ActivityMatchesWeekday(int tourWeekday, const QString& weekdayPattern,
                            const QString& serviceId, const QString& tourPattern);
