#pragma once

#include <QList>
#include <optional>

namespace table {
class Table;
}

// One execution interval of object activities (AusfIV.DB): its key AI_ID and
// its rhythm AI_Wochen, above 0 every n weeks, below 0 every -n months and 0
// on fixed dates only.
struct TLuIntervallEntry {
    int id = 0;
    int weeks = 0;
};
using TLuIntervall = QList<TLuIntervallEntry>;

// Every interval of the table object from its first row on, in its current
// order (a null rhythm counts 0). Read once per run, not per activity. A
// failing read goes to the caller: an empty list would quietly turn every
// activity into a weekly one.
TLuIntervall LoadAusfIntervalle(table::Table& ausfIV);
// The same on the data module's interval table, opened for the call when closed.
TLuIntervall LoadAusfIntervalle();

// The rhythm of the first interval with that key; 1 (every week) when there is none.
int WeeksOfMode(const TLuIntervall& intervals, int mode);
// The same; empty when no interval has that key.
std::optional<int> FindWeeksOfMode(const TLuIntervall& intervals, int mode);
