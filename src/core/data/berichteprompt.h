#pragma once

#include <QDate>

// `Z_Datum` of the last time record in the order of "I_DatPersObj" (date,
// staff, object), read through a cursor of its own; a null date when there
// is no time record.
QDate GetLastZeiterfDatum();

// Asks "Jetzt Berichte erstellen?" with the line up to which date working
// times are recorded (or that none are); true on "Ja".
bool ConfirmCreateBerichte();
