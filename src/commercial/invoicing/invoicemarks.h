#pragma once

#include <QList>
#include <QString>

class TDataModule1;

namespace table {
class Table;
}

// The marks (R_Selected) of the invoice heads that the invoice run works on,
// and the states of R_Buchung that decide what may happen to an invoice.

// R_Buchung bits: booked with its final number; handed to the accounting.
inline constexpr int kInvoiceBooked = 1;
inline constexpr int kInvoiceInFibu = 8;

bool IsInvoiceBooked(table::Table& head);
bool IsInvoiceInFibu(table::Table& head);
// The refusal of any change to an invoice handed to the accounting.
QString FibuHandedOverText();
// The same naming the invoices (one or more numbers).
QString FibuHandedOverText(const QStringList& numbers);

// Whether the current head may be marked: an invoice in the accounting is
// refused with the Fibu error, a booked one only after the user agreed.
bool MayMarkInvoice(table::Table& head);
// Sets or clears the mark of the current head and posts; marking asks
// MayMarkInvoice first. True when the mark changed.
bool SetInvoiceMark(table::Table& head, bool mark);
// After a change of the invoice id failed and was rolled back: the head is
// read again, the invoice unmarked and the error shown (with the reason when
// even the unmark fails).
void UnmarkAndShowError(table::Table& head, int id, QString text);
// Writes the mark of the current head without asking.
void WriteInvoiceMark(table::Table& head, bool mark);
bool ToggleInvoiceMark(table::Table& head);

// The mark commands of the list's pop-up menu; they mark invoices of every
// state, the changing commands protect those in the accounting themselves.
enum class TInvoiceMarkCommand { AllOff, AllOn, ManualOff, ManualOn, RecurringOff, RecurringOn };
void RunInvoiceMarkCommand(TDataModule1& dm, TInvoiceMarkCommand command);
void UnmarkAllInvoices(TDataModule1& dm);

int CountMarkedInvoices();
// The count, after "Es sind keine Sätze markiert!" when it is 0.
int CountMarkedInvoicesOrTell();
// The keys of the marked heads in the order the head object shows them.
QList<int> MarkedInvoiceIds(table::Table& head);
// Moves the head object to the invoice; false when it is gone.
bool LocateInvoice(table::Table& head, int id);

// The order of a booking or print run: by object number when the list is
// sorted so, else by customer and object; the list's order comes back when
// the run ends, on every path.
class TInvoiceRunOrder {
public:
    explicit TInvoiceRunOrder(table::Table& head);
    ~TInvoiceRunOrder();
    TInvoiceRunOrder(const TInvoiceRunOrder&) = delete;
    TInvoiceRunOrder& operator=(const TInvoiceRunOrder&) = delete;
    // Restores the order now; an error goes to the caller.
    void restore();

private:
    table::Table& m_head;
    QString m_indexName;
    bool m_restored = false;
};
