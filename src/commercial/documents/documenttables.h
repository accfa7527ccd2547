#pragma once

#include "core/values/datetimevalue.h"

#include <vector>

struct TDocumentLine;
struct TDocumentSums;
struct TVatRateRow;
namespace table {
class Table;
}

// Recalculates a document stored in a head table (R_ID, R_DatumDruck,
// R_DatumErstell, the R_Netto*/R_Mwst*/R_Brutto sums) and its line table
// (S_ID, S_Ref, S_PosNr, S_PosArt, S_MwstKz and the line amounts): changed
// lines are posted, the head is left in edit state for the caller to post.
// The offer line table "AngSatz.DB" also gets the offer calculation sums.
// Returns the sums written.
TDocumentSums RecalcDocumentTables(table::Table& lines, table::Table& head,
                                   const std::vector<TVatRateRow>& vatRates, TDateTime today,
                                   bool withRates);

// Writes a line's computed amounts (and an offer line's calculation values)
// into the fields the line table has; the table is in edit or insert state.
void WriteLineAmounts(table::Table& lines, const TDocumentLine& line, bool isOffer);
