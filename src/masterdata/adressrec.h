#pragma once

#include <QString>
#include <QVariant>

namespace table {
class Table;
}

// The address part of a master record: search name and the six address lines.
struct TAdressRec {
    QString Match, Name1, Name2, Name3, Strasse, Plz, Ort;
};

// Moves the table to the record whose keyField holds keyValue and reads
// prefix + "Match", "Name1" ... "Ort" into rec (null reads as empty text).
// False when there is no such record; rec is then left as it was.
bool ReadAdressRec(table::Table& t, const QVariant& keyValue, const QString& keyField,
                   TAdressRec& rec, const QString& prefix);
// Writes rec's six address lines (not its search name) into prefix + "Name1"
// ... prefix + "Ort" of the record with that key, put into edit state; posts
// only when postIt. A record already current is written where it stands, so
// that its pending edit is kept. False when there is no such record.
bool WriteAdressRec(table::Table& t, const QVariant& keyValue, const QString& keyField,
                    const TAdressRec& rec, bool postIt, const QString& prefix);

// Key and number of an address in the data module's address lookup copy; 0 when none.
int AdressIDOfNr(int nr);
int AdressNrOfID(int id);
