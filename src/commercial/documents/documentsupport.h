#pragma once

#include <QString>

namespace table {
class Table;
}

// Small routines every document module shares.

// Copies the payment term into the head's copy (R_ZahlBedID, R_ZahlBed and
// the discount and net days); the head is left in edit state for the caller
// to post. False, and the head untouched, when the term does not exist. The
// copy does not follow later changes of the term.
bool ApplyZahlbedToKopf(int zahlbedId, table::Table& head);

// The five-digit form id of a layout path: the five characters in front of
// ".QFD" (any case); "?????????" when there are fewer.
QString FormIdOfLayoutPath(const QString& path);

// Amount columns a document print form leaves out.
struct TSuppressFlags {
    bool Netto = false;
    bool Brutto = false;
    bool Mwst = false;
};
// Reads "Suppress.txt" of the program directory: every line holding the
// layout's form id sets the three flags from the words NETTO, BRUTTO and
// MWST in it (any case; a later line wins). A missing or unreadable file
// leaves the flags as they are.
void LoadSuppressFlags(const QString& layoutPath, TSuppressFlags& flags);
