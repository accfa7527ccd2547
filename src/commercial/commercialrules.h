#pragma once

class TDataModule1;

// Binds the record rules that need the commercial routines (document lines
// and heads, bookings, purchasing) to the data module's table objects, now
// and after every client switch. Call after InstallRecordRules.
void InstallCommercialRules(TDataModule1& dm);
