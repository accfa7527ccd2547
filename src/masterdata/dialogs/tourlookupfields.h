#pragma once

namespace table {
class Table;
}

// The display fields of a cursor on the tour table: "TO_WochentagName" (the
// name of the tour's weekday, Wochtag.db) and "TO_PersonName" (the name of
// its staff member). Added before the cursor opens; read on cursors of their
// own, so no shared table object moves. An open cursor is closed for it and
// opened again (on its first record). Once per cursor.
void AddTourLookupFields(table::Table& tours);
