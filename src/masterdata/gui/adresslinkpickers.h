#pragma once

#include <QString>

namespace table {
class Table;
}

// The link pickers of the address book: each shows its picker on the
// address's current link (0 for none), at the main window's left + 240 and
// top + 140, and writes the chosen number into the link field when it is
// neither 0 nor the current one (the address then in edit state). True when
// it wrote. A sort field is the picker's remembered one, handed in again
// next time.
bool PickAdressKunde(table::Table& adress, QString& sortField);
bool PickAdressObjekt(table::Table& adress, QString& sortField);
bool PickAdressLieferant(table::Table& adress, QString& sortField);
bool PickAdressPersonal(table::Table& adress, QString& sortField);
bool PickAdressNotdienst(table::Table& adress);

// The picker of a link field by its name ("A_KundenNr" ... "A_NotdienstNr"),
// with the sort fields remembered for the program's run; false for a field
// that is no link.
bool PickAdressLink(table::Table& adress, const QString& linkField);
