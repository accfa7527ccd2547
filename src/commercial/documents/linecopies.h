#pragma once

#include "core/data/dockinds.h"

#include <QString>

namespace table {
class Table;
}

// Copies of document lines: from another document into the current one
// (the editors' "Vorlage" menus), whole line sets (the hand-over of invoices
// and incoming invoices) and the editors' "Satz einfügen".

// Appends a row to target and fills it from the current source line: every
// target field but the key whose namesake in source holds a value; S_Ref
// takes newRef and S_PosNr the normalized source number plus posOffset
// (at most 99999999). The row is left in insert state for the caller to
// link and post. The record rules stay silent while the values go in. On a
// failure the row is cancelled, error (when given) gets the reason and the
// result is false.
bool AppendLineCopy(table::Table& source, table::Table& target, int posOffset, int newRef,
                    QString* error = nullptr);

// Copies every row the source cursor shows, from the first, into target
// (fields by name, S_Ref := newRef, position numbers unchanged), posting
// each; the source cursor returns to its row, also when an error ends the
// copy (the error goes on to the caller).
void CopyDocumentLines(table::Table& source, table::Table& target, int newRef);

// The line tables copies are made into; each has its own way of choosing,
// linking and quantifying the copied lines.
enum class TLineCopyTarget {
    Rechnung,
    Gutschrift,
    Lieferschein,
    Rechnungsvorlage,
    Angebot,
    Auftrag
};

struct TLineCopyResult {
    int Copied = 0;
    // Why the copy stopped early; empty when every line was copied (or a
    // rule already told the user).
    QString Error;
    // Every line meant to be copied was copied.
    bool Complete = true;
};

// Copies the lines of the document sourceId of the given source (working or
// archive database) after the last position group of the target document
// targetHeadId, through the target's line object targetLines (whose record
// rules book each posted line). Invoice, credit-note and delivery-note lines
// take the open quantity of the source line and are linked to it (S_Quelle,
// S_QuellNr := sourceNr, S_RefID) so that their post books against it;
// template, offer and order lines copy every line as it stands. Each copy
// is posted; the first that fails ends the copy.
// The number of lines copied; an incomplete copy raises, inside the caller's
// transaction: a DbError with its reason, or a silent Abort when a record
// rule already told the user.
int CopiedOrRaise(const TLineCopyResult& result);

TLineCopyResult CopyDocumentPositions(TLineCopyTarget target, TDocSource source, int sourceId,
                                      int targetHeadId, const QString& sourceNr,
                                      table::Table& targetLines);

// "Satz einfügen": appends a copy of the line rememberedId of the same line
// table to the document lines shows and posts it, with the timer work
// paused. The copy takes every field but the key and the position number
// (the new-line rule gives that); it starts from the booking state and the
// source of a new line (manual, no billed quantity, nothing booked yet), so
// its post books its own stock and never bills the source twice. False when
// nothing was remembered or the line is gone.
bool PasteDocumentLine(table::Table& lines, int rememberedId);
