#pragma once

#include <QChar>
#include <QString>

namespace table {
class Table;
}

// Copies of an address into the address block of a document head (R_OName1
// to R_OName3, R_OStrasse, R_OPlz, R_OOrt): the editors' "Objektadresse
// übernehmen" and its siblings.

// Copies Name1, Name2, Name3, Strasse, Plz, Ort of the source's current
// record (prefix + name) into the head's "R_O" + name; a field either side
// lacks, or that refuses the value, is passed over. The head is put into
// edit state, not posted.
void CopyAddressFields(table::Table& source, const QString& prefix, table::Table& head);

// Each finds its address, copies it and posts the head (unless post is
// false: the address editor writes only on "Überneh&men"); false (the head
// untouched) when the address is not found.
bool CopyObjektAdresseToKopf(table::Table& head, bool post = true);   // object R_ObjektNr
bool CopyObjektRgAdresseToKopf(table::Table& head, bool post = true); // its billing address
bool CopyKundenAdresseToKopf(table::Table& head, bool post = true);   // customer R_KundenNr
// The chosen address.
bool CopyAdressbuchAdresseToKopf(table::Table& head, int adressNr, bool post = true);
// The further address whose A_ID stands in "R_AnrID" + index ('0' to '2').
bool CopyZusatzAdresseToKopf(table::Table& head, QChar index, bool post = true);
