#pragma once

#include <QString>

// "Tour duplizieren": a new tour with the description, weekday, staff
// member, next date and service pattern of an existing one and all of its
// objects with their times. The staff list, the tour kind (a new tour has 0)
// and the fixed dates are not copied.

// Why a number typed for the copy cannot be used, empty when it can: below 1
// (a text that is no number reads as 0) "Die eingegebene Nummer ist
// unzulässig!", a number another tour has "Die Tourennummmer ist bereits
// vergeben!".
QString NewTourNumberProblem(int nr);

// Copies the tour numbered oldNr as newNr in one transaction: the tour and
// every object row of the old tour, in its order, or nothing. Needs the
// create right of the tours (a refusal is shown and ends silently). Raises
// with "Die Tour wurde nicht dupliziert:" and the reason when the number
// cannot be used or a write fails. Returns the new tour's TO_ID.
int DuplicateTour(int oldNr, int newNr);
