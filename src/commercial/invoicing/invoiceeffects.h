#pragma once

#include <QString>
#include <functional>

class QDate;

namespace table {
class Table;
}

// What booking an invoice moves besides the invoice itself: the delivery
// notes it billed, the customer's turnover, the object's cost statistics and
// the article turnover.
enum class TInvoiceEffects {
    Book,
    // Before the invoice is changed and booked again: the amounts go back,
    // the delivery notes stay linked to it.
    UndoForEdit,
    // Before the invoice is deleted: the amounts go back and its delivery
    // notes are free to be billed again.
    UndoForDelete,
};

// Books or reverses the effects of the current invoice head (R_Buchung with
// value 1); for an unbooked invoice only UndoForDelete releases its delivery
// notes. Amounts are rounded to cents and dated by R_DatumDruck (today when
// it is empty). The caller holds the transaction that keeps the invoice and
// its effects together; errors go to the caller.
void BookInvoiceEffects(table::Table& head, TInvoiceEffects mode);

// The line part of a document's booking: per line of kind 0 of the head in
// lineTable the object's revenue by the line's cost type (S_ErloesKonto)
// and, for an article line, the article turnover, each sign x the net
// rounded to cents, at datum.
void BookDocumentLineEffects(table::Table& head, const QString& lineTable, const QDate& datum,
                             double sign);

// Runs edit (the invoice editor) on the current invoice head. A booked
// invoice has its effects reversed first (its delivery notes stay linked)
// and booked again afterwards at what the editor left, each step in one
// transaction of its own; the booking runs again on every path, also after
// an error of the editor, so a booked invoice never stays without its
// effects. The editor's error goes on to the caller afterwards; when the
// booking itself fails, that is the error the caller gets.
void EditWithInvoiceEffects(table::Table& head, const std::function<void()>& edit);
