#pragma once

class QDate;
class QString;

namespace table {
class Table;
}

// The column editors of the key register: each takes the choice of its
// picker or the calendar and writes it into the current key only when it
// differs from the value the editor started on. Each returns whether it
// wrote; the key is then in edit state, not posted.

// The object number that a key's object text starts with: leading blanks
// dropped, the text up to the next blank read leniently; 0 when no number.
int KeyObjektNr(const QString& objektText);

// S_Objekt := the number, a blank and the object's search term (nothing
// after the blank for an unknown object), cut to the field's size.
bool TakeKeyObjekt(table::Table& keys, int startNr, int chosenNr);
// S_PersNo := the number, S_Halter := that employee's name (empty when
// unknown). The same employee again keeps the stored name.
bool TakeKeyHalter(table::Table& keys, int startNr, int chosenNr);
// S_Gegeben := the chosen date.
bool TakeKeyGegeben(table::Table& keys, const QDate& startDate, const QDate& chosenDate);
