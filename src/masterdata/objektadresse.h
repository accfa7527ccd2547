#pragma once

#include <QString>

namespace table {
class Table;
}

// Where the object form takes an address from.
enum class ObjektAddressSource {
    Kunde,   // the object's customer
    Objekt,  // the object's own address (into the billing address)
    Adresse, // an address of the address book, by its number
};

// Copies the six address lines of the source into prefix + "Name1" ... "Ort"
// of the object's current record ("O_Rg" the billing address, "O_" the
// object's own), left in edit state. A missing customer or address is told
// in an error box and changes nothing; the result says whether it copied.
bool CopyAddressIntoObjekt(table::Table& objekt, ObjektAddressSource source, const QString& prefix,
                           int adressNr = 0);

// The box shown when the object has no customer.
QString ObjektOhneKundeText();
