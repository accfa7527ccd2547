#pragma once

// The print entries of the documents. Each prints or previews one document,
// located by the R_ID of its head, with the layout file of the print form the
// print-button protocol settled (empty: the type's shipped layout). Heads and
// lines are read in the database named by ReportDatabaseName on the run's own
// read-only cursors; nothing is ever written. A head that does not exist
// prints nothing and reports nothing. A call while the same entry is printing
// (a second click during its preview) does nothing. Errors of the database or
// the printer reach the caller after everything was closed.

#include <QString>

class QWidget;

namespace report {
struct PrintSettings;
}

// Form type 10000. The tables by RgPrintSource: 0 invoices, 1 open items,
// 2 invoice templates, 3 the "Srgkopf.db" pair. maskNumber prints "*****"
// for the number and the year (the test print and the preview of an invoice
// not yet booked).
void PrintInvoice(int rgId, bool maskNumber, bool preview, const QString& layoutFile,
                  QWidget* parent = nullptr);
// Form type 14000. maskNumber is accepted like the invoice's and has no
// effect: a credit note always prints its real number.
void PrintCreditNote(int gsId, bool maskNumber, bool preview, const QString& layoutFile,
                     QWidget* parent = nullptr);
// Form type 11000: the offer's cover letter R_Anschreiben, printed once;
// a print goes to the printer and copies of printer when one is given (the
// user's choice in the printer dialog).
void PrintOfferLetter(int angId, bool preview, const QString& layoutFile, QWidget* parent = nullptr,
                      const report::PrintSettings* printer = nullptr);
// Form type 12000.
void PrintOffer(int angId, bool preview, const QString& layoutFile, QWidget* parent = nullptr);
// Form type 13000; the object's data through its number R_ObjektNr.
void PrintOrder(int auftId, bool preview, const QString& layoutFile, QWidget* parent = nullptr);
// Form type 40000.
void PrintDeliveryNote(int lsId, bool preview, const QString& layoutFile,
                       QWidget* parent = nullptr);
// Form type 57000: "ERKopf.DB" while RgPrintSource is 0, the open incoming
// invoices "OERkopf.DB" for any other value.
void PrintIncomingInvoice(int erId, bool preview, const QString& layoutFile,
                          QWidget* parent = nullptr);
// Form type 76000: the purchase order.
void PrintBestellung(int bestId, bool preview, const QString& layoutFile,
                     QWidget* parent = nullptr);
