#pragma once

namespace table {
class Table;
}

// The company switch "Zeiterfassung erzeugt Kosteneinträge": while it is set
// the time recording books a cost entry for every time record.
extern bool KostenAusZeiterfassOn;

// `F_KostenausZeiterfass` of the current company record (true when null or
// when there is no company record); also copied into KostenAusZeiterfassOn.
bool GetKostenAusZeiterfass(table::Table& firmen);
// The same on the data module's company table.
bool GetKostenAusZeiterfass();
