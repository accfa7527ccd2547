#pragma once

#include <QList>

struct TRgPeriod;

// The stored periods of a billing-interval definition (IvDef.DB).

// The periods of definition defNo in table order (Def;CreateDate); a null
// number counts 1, null dates stay unset.
QList<TRgPeriod> LoadRgTermine(int defNo);
// Replaces the periods of definition defNo by these, in one transaction:
// a failure leaves the stored periods as they were.
void SaveRgTermine(int defNo, const QList<TRgPeriod>& periods);
