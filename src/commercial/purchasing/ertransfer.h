#pragma once

class TDataModule1;

namespace table {
class Table;
}

// The hand-over of a recorded incoming invoice into payment monitoring: it
// becomes an open incoming invoice with its lines, a row of the booking
// journal (record kind 3) and the supplier's turnover, and leaves the
// incoming-invoice tables. Its cost and stock bookings stay as they are.

enum class ErTransferResult {
    Transferred,
    Declined,           // a question was answered with No
    AlreadyTransferred, // the journal holds the number as an incoming invoice
    Failed,             // rolled back; the invoice stays recorded
};

// "&OP-Überg." for the current head of the incoming-invoice table: the
// question, the refusal of a number already handed over, the question for a
// gross of 0, then the whole hand-over in one transaction. A failure rolls
// all of it back and is told afterwards. The head table is refreshed and
// positioned on its neighbour or, after a failure, on the invoice again.
ErTransferResult TransferIncomingInvoice(TDataModule1& dm, table::Table& head);
