#pragma once

#include <QList>
#include <QVariantList>

namespace table {
class Table;
}

// The objects of a tour are visited in the order of their TourObj.db rows
// (index "T_I_TourNr", that is by T_TourID within the tour). Reordering
// therefore exchanges the contents of rows (object, start and end time) and
// leaves every row's T_TourID and TO_TourNr where they are.

// Sorts rows by their start time (column timeColumn, a time or null) with a
// bubble sort: passes compare each row with the one before it and exchange
// them when the earlier one starts later, until a pass exchanges nothing. A
// row without start time counts as equal to every row, so it never moves and
// no row passes it: the runs between such rows are sorted each by itself.
// True when a row moved.
bool SortByStartTime(QList<QVariantList>& rows, int timeColumn);

// "Sortieren n. Uhrzeit" on the objects a cursor of TourObj.db shows (the
// tour form's detail of the current tour): every changed row rewritten in
// one transaction, the cursor back on the row it stood on. On an error (a
// row another workstation is editing, an object that no longer exists)
// nothing changes and a German message says why. True when the order changed.
bool SortTourObjectsByTime(table::Table& rows);

// "Nach oben" and "Nach unten": the current object changes places with its
// neighbour in one transaction, the cursor following it. Nothing on the
// first row (up) or the last (down). On an error neither row changes and a
// German message says why. True when the objects moved.
bool MoveTourObject(table::Table& rows, bool up);

// The object the tour form's picker chose for the current row of a cursor
// of TourObj.db: nothing (false) for 0 or the row's own object; refused with
// "Dieses Objekt ist in der Tour bereits vorhanden!" when another row of the
// tour has it; otherwise written into the row, which is posted.
bool TakeTourObject(table::Table& rows, int chosen);
