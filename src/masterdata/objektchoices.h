#pragma once

#include <QString>

namespace table {
class Table;
}

// What the object form does with a number its pickers return. Each puts
// the record into edit state and sets the field without posting; 0 (the
// picker cancelled) or the number the record already holds change nothing.
// The result says whether the record was changed.

// The number in field of the current record (a new record on an empty table).
bool TakeChosenNumber(table::Table& t, const QString& field, int chosen);
// The customer O_Kunde of the current object.
bool TakeObjektKunde(table::Table& objekt, int chosen);
// The emergency service OND_NdNr of the current assignment row of object
// objektNr; one the object already has is refused with an error box.
bool TakeObjektNotdienst(table::Table& objNd, int objektNr, int chosen);
QString NotdienstSchonInListeText();
