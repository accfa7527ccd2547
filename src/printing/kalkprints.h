#pragma once

#include <QString>

class QWidget;

// The two prints of an offer's calculation (form group 39000): the
// calculation sheet (39000, A4 landscape) with every line's unit data,
// interval, yearly and instalment prices and times and the totals of the
// normal lines; and the service list (39500, A4 portrait), the same lines as
// a letter-style list without prices per year, times and totals.
// title stands under the heading ("Objekt 12, Müller"). Preview waits until
// it is closed; a call while the same print is open does nothing; nothing is
// written, so read-only and archived lines print alike. An offer that does
// not exist prints nothing.
void PrintKalkBlatt(int angId, const QString& title, const QString& angNr, bool preview,
                    const QString& layoutFile, QWidget* parent = nullptr);
void PrintLeistVerz(int angId, const QString& title, const QString& angNr, bool preview,
                    const QString& layoutFile, QWidget* parent = nullptr);
