#pragma once

#include <QString>

struct TInvoiceRunHooks;
class TDataModule1;

// "Druc&ken" of the invoice list, first part: the marked invoices that are
// not booked yet get their final number from the invoice counter and their
// effects booked, each invoice in one transaction with its number. An
// invoice that fails is rolled back with its number, unmarked and named, and
// the run goes on. Invoices handed to the accounting are not booked again.
// False when the user declined (then nothing is printed either).
bool BookMarkedInvoices(TDataModule1& dm, const TInvoiceRunHooks& hooks);

// The question before booking or test printing the marked invoices.
QString InvoicePrintQuestion(int count);
