#pragma once

#include <array>

namespace table {
class Table;
}

// The default cost type of each cost section 1..3: the number (`A_Nr`) of
// the first cost type of that section, 0 when the section has none. Document
// positions fall back to these when an article or activity names no cost
// type. Index: section number - 1.
extern std::array<int, 3> RubrikDefaultKostart;

// The default cost type of section rubrikNr (1..3); raises DbError for any
// other section.
int GetRubrikDefaultKostart(int rubrikNr);

// Walks the cost-type table from its first to its last row in its current
// order and keeps, for each section, the first cost type found; the cursor
// is left at the end. A table being edited is left alone (walking it would
// post the unfinished record) and the defaults keep their former values.
void LoadRubrikDefaultKostart(table::Table& kostart);
// The same on the data module's cost-type table.
void LoadRubrikDefaultKostart();
