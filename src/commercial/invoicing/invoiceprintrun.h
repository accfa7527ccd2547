#pragma once

class QString;

struct TInvoiceRunHooks;
class TDataModule1;

namespace table {
class Table;
}

// The print steps of the invoice run. The list gives the print itself and
// the pause through the hooks; the print pause lasts F_Printwait seconds.

// The invoice's print form: R_PrintFormNo when that is an invoice form, else
// the first user form of invoices.
int InvoicePrintForm(table::Table& head);
// The layout file the invoice prints with; empty (the shipped layout) when
// the client has no invoice form at all, so that no missing "ORM00000.QFD"
// is looked for.
QString InvoiceLayoutFile(table::Table& head);

// Prints every marked invoice as many times as its template (else its
// object) asks, counting each copy in R_Drucke, with the pause after each
// copy. An invoice whose copies are all printed (also none) is unmarked;
// "Druck abbrechen" ends the run and leaves the invoice whose copies were
// cut short marked. Nothing happens without marked invoices.
void PrintMarkedInvoices(TDataModule1& dm, const TInvoiceRunHooks& hooks);

// "Druc&ken": books the marked invoices and, when the user went on, prints them.
void BookAndPrintMarkedInvoices(TDataModule1& dm, const TInvoiceRunHooks& hooks);

// "Testdr&uck": after the question, prints every marked invoice once with
// its number masked, unmarks it and pauses (no cancel); nothing is booked
// or counted in R_Drucke.
void TestPrintMarkedInvoices(TDataModule1& dm, const TInvoiceRunHooks& hooks);
