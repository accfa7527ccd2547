#pragma once

#include <QString>

namespace table {
class Table;
}

// Copies between an address of the address book and the master records it
// stands for, and the links from an address to them.

// The target field of an address field in a master table: "K_TELEFON" is
// K_Tel1, "K_HANDY" K_Tel2, "P_NAME3" P_Vorname (compared in upper case);
// every other name stays.
QString MapAdressFieldName(const QString& name);
// Writes the twelve address fields of the data module's current address
// into prefix + "_Match" ... of target's current record; a field the target
// lacks or refuses is skipped.
void CopyAdressFields(table::Table& adress, table::Table& target, const QString& prefix);
// Appends a record to target filled from the address and posts it. A failing
// post leaves the record in insert state for the user to complete in its form.
void AppendFromAdress(table::Table& adress, table::Table& target, const QString& prefix);
// The same on target's current record, put into edit state.
void UpdateFromAdress(table::Table& adress, table::Table& target, const QString& prefix);
// "Änderungen mitteilen": copies the current address into the customer,
// object, staff member, supplier and emergency service it is linked to, in
// the data module's shared tables. Returns how many records were updated; a
// record that refuses is put back and named in the DbError raised at the end.
int PushAdressChanges(table::Table& adress);

// A link picker's answer: writes picked into the address's link field when
// it is neither 0 nor the current link. True when it wrote.
bool SetAdressLink(table::Table& adress, const QString& linkField, int picked);
// "Verbindung löschen": the link set null.
void ClearAdressLink(table::Table& adress, const QString& linkField);
