#pragma once

#include <QList>
#include <QString>

class QDate;
class TDataModule1;

namespace table {
class Table;
}

// The hand-over of booked invoices to the open items: each becomes an open
// item with its lines and a row of the booking journal, and leaves the
// invoice tables with its lines and its external-service rows. Its bookings
// stay as they are.

// Unmarks every invoice and marks the booked ones dated up to the limit
// (no date counts as today); their keys in the list's order.
QList<int> MarkBookedInvoicesUpTo(TDataModule1& dm, const QDate& limit);

// "&OP-Überg." after the limit date was chosen: marks as above and hands the
// marked invoices over, or tells that there are none.
void TransferBookedInvoicesUpTo(TDataModule1& dm, const QDate& limit);

// The pop-up "OP-Übergabe" for the current invoice: refused while it is not
// booked, otherwise after the question it alone is marked and handed over.
void TransferCurrentInvoice(TDataModule1& dm);

// Hands the invoices with the keys over, after the question (No unmarks
// every invoice) and the backup offer. Each invoice goes in one transaction:
// the open item, its lines, the journal row and the deletion of the invoice
// with its lines and external services. An invoice whose number the journal
// holds already, or that fails in any step, stays as it was, is named and
// unmarked, and the next goes on. Returns the number handed over; the
// closing message counts them.
int TransferInvoicesToOP(TDataModule1& dm, const QList<int>& ids);

// Appends the open-item head (OpKopf.DB, OERkopf.DB) of the invoice's current
// record: its stored fields by name under a new R_ID, all of the gross open,
// nothing paid, not settled, not marked. Returns the new R_ID.
int AppendOpenItemHead(table::Table& invoice, const QString& itemTable);
