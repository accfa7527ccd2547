#pragma once

#include "commercial/documents/vatrates.h"

// The VAT lookups that documents, prints and forms call: over the data
// module's shared table TabMwst, opened for the call when it is closed. The
// arithmetic is that of vatrates.h; without a matching row the rate is
// FallbackVatRate and the texts are empty.

// Walks the cursor from its first row; the first row of the code whose period
// covers the date wins, and the cursor stays on it (after the last row when
// none matches).
TVatLookup LookupVatRateOn(table::Table& tabMwst, int code, TDateTime date);

TVatLookup LookupVatRate(int code, TDateTime date);
double GetVatRateAt(int code, TDateTime date);
// 1 when the rate is the full rate at the date, 2 the reduced one, else 0.
int VatCodeOfRate(double rate, TDateTime date);
std::array<double, 3> VatRatesAt(TDateTime date);
// Today's rate of DefaultMwstKz: the rate new lines start with.
double DefaultVatRate();
