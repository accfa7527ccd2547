#pragma once

#include "core/data/dockinds.h"

#include <QString>

class QDate;

namespace table {
class Table;
}

// The data side of the credit-note editor (no widgets).

// Appends and posts a new credit note with its final number from the
// credit-note counter: state 3, "Manuelle Gutschrift", created here
// (R_Creator 1), dated today ("vom" and the due date too), nothing booked,
// the print form given. A failure gives the drawn number back.
void AppendGutschriftHead(table::Table& head, int printFormNo, const QDate& today);

// Takes the invoice nr of the source into the credit note on which head
// stands: the customer, object, payment terms, texts and further addresses
// of the invoice, "vom" = the invoice's date (when it has one of its own),
// R_ANr = nr, and its open lines, all in one transaction. Returns the
// number of lines copied; -1 when the invoice is not found (nothing
// changed). A failure changes nothing and goes on to the caller.
int CopyInvoiceIntoGutschrift(TDocSource source, const QString& nr, table::Table& head,
                              table::Table& lines);
