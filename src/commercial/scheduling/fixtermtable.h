#pragma once

#include "commercial/scheduling/fixtermmonths.h"
#include "core/values/datetimevalue.h"

class QDate;
class TDataModule1;

// The fixed execution dates in TglFterm.DB: one row per tour, object and
// activity (TF_TourNr, TF_ObjNr, TF_TaetigNr) with its twelve month texts.

// Day when it is a marked fixed date of the tour, object and activity, else
// EmptyDate. Reads the data module's fixed-date table object, opened for the
// call when closed and closed again on every path.
TDateTime IsFixedTermDay(int tourNr, int objektNr, int taetigNr, TDateTime day);

// The row's month texts; false (and twelve empty texts) when there is no row.
bool ReadFixTermMonths(int tourNr, int objektNr, int taetigNr, FixTermMonths& months);
// Stores all twelve texts into the row, appending it when there is none.
void WriteFixTermMonths(int tourNr, int objektNr, int taetigNr, const FixTermMonths& months);

// The last month whose fixed dates were carried forward (F_FixtermUpdateMonth
// of the company record); December of the year before today when unset.
int GetFixTermUpdateMonth(TDataModule1& dm, const QDate& today);
void SetFixTermUpdateMonth(TDataModule1& dm, int monthIndex);

// Carries the marks of every month that has passed since the last run (at
// most the last twelve, the current month untouched) to the same month one
// year later, and notes the month. All rows and the note are one
// transaction: a failure changes nothing, so a rerun never shifts twice.
// Returns the number of months carried.
int AdvanceFixTermine(TDataModule1& dm, const QDate& today);
