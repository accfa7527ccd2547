#pragma once

#include <QString>

class QMimeData;

namespace table {
class Table;
}

// "Leistungssatz kopieren": a copy of the current activity of the shared
// table under the next free activity number, written on a cursor of its own
// past the record rules; the shared table is moved onto it. Returns the new
// number.
int CopyTaetigRecord(table::Table& taetig);

// The name of the cost type beside the activity's number, or "Undefiniert".
QString TaetigKostartName(int kostartNr);

// An activity dragged from the activity form's grid onto an object's
// activities: the drag data carries its T_Nr.
QMimeData* TaetigDragData(int taetigNr);
// The T_Nr an activity drag carries; 0 for any other drag.
int TaetigNrOfDragData(const QMimeData& data);
