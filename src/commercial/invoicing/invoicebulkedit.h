#pragma once

#include <QString>

class QDate;
class TDataModule1;

namespace table {
class Table;
}

// The commands of the invoice list that change the marked invoices. Each
// invoice is changed in one transaction: one that fails stays as it was,
// keeps its mark and is named, and the others go on. Invoices handed to the
// accounting are never changed; they keep their marks and are named with the
// Fibu error. Each ends with the count of the invoices it finished.

// "&Löschen": after the question and the backup offer, every marked invoice
// has its effects reversed (its delivery notes become free again) and is
// deleted with its lines. The numbers are not given back.
void DeleteMarkedInvoices(TDataModule1& dm);

// "Rg-&Datum": every marked invoice gets the date and is unmarked; a booked
// one keeps its number and moves its effects to the new date. The list is
// sorted by object number.
void SetMarkedInvoicesDate(TDataModule1& dm, const QDate& date);

// "Zei&traum": the period text the input box proposes (the current head's),
// and the command that gives it to every marked invoice and unmarks it.
QString ProposedPeriodText(table::Table& head);
void SetMarkedInvoicesPeriodText(TDataModule1& dm, const QString& text);
