#pragma once

#include "commercial/documents/linecopies.h"
#include "core/data/dockinds.h"

#include <QString>

class QDate;

namespace table {
class Table;
}

// The steps of the offer editor that need no window. The order editor runs
// the same steps; what differs is given by TNumberedHeadKind.

struct TNumberedHeadKind {
    TDocKind kind = TDocKind::Angebot;
    // R_Netto0..2 and R_Mwst0 start at 0 (orders leave them empty until the
    // first recalculation).
    bool zeroPartSums = true;
    // R_CalcRaten of a new head (orders: 12).
    int calcRaten = 1;
    // The copy of a line takes this target's rules.
    TLineCopyTarget copyTarget = TLineCopyTarget::Angebot;
};

// Appends the head of a new document with its final number drawn now (year
// and month of today) and posts it. One transaction: when it fails there is
// no head and the counter is as it was.
void AppendNumberedHead(table::Table& head, const TNumberedHeadKind& kind, int printForm,
                        const QDate& today);

// The current offer line (put into edit state, not posted) takes the
// article: type, origin, texts, unit, VAT code, S_BasisPreis (purchase
// price) and S_BasisVkpreis (price 1), from which the offer's calculation
// rule gives the unit price. False, the line untouched, when it is gone.
bool FillOfferLineFromArtikel(table::Table& line, int artikelId);
// The same from the activity T_ID with its base price and base minutes.
bool FillOfferLineFromTaetigkeit(table::Table& line, int taetigId);

// The head fields an offer or order takes from a copied document while it
// has no object yet.
const QStringList& CopiedHeadFields();

// "Vorlage": copies the document sourceNr of the source into the document
// of head and lines, in one transaction: while the head has no object its
// head fields (CopiedHeadFields, where the source has them with a value);
// from an invoice template always the template's head and foot texts; then
// every line after the document's last position group, and the sums. When a
// line fails nothing of the copy stays (DbError with the reason). The number
// of lines copied; -1 when the source document is not there (nothing copied).
int CopyIntoNumberedDocument(const TNumberedHeadKind& kind, TDocSource source,
                             const QString& sourceNr, table::Table& head, table::Table& lines);
