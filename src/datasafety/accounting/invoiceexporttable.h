#pragma once

#include "core/data/worktable.h"
#include "platform/table/tabledef.h"

#include <QDate>
#include <QString>
#include <memory>

// The work table of the invoice exports to the KHK and Lexware bookkeeping:
// one row per booking of the journal handed over, numbered in X_ID (its
// unique primary index). X_ fields carry the journal's own values, Y_ fields
// the amounts signed for the bookkeeping (credit notes and incoming invoices
// negative), X_Split and X_StKz the VAT codes in use, X_SkontoProzInt the
// discount rates in hundredths.
table::TableDef InvoiceExportTableDef();

struct InvoiceExportTable {
    // Held while the export runs, dropped with it; empty when no booking was
    // taken or the table could not be created.
    std::unique_ptr<WorkTable> table;
    // The bookings taken; -1 when the work table could not be created.
    int count = 0;
};

// Fills a new work table from the journal rows not yet exported whose print
// date lies in [from, to] (a row without a print date belongs to every
// period); the journal's R_Selected marks exactly those rows afterwards. The
// marks and the rows are written in one transaction, committed before this
// returns; a row's mark is written only where it changes.
InvoiceExportTable BuildInvoiceExportTable(const QString& databaseName, const QDate& from,
                                           const QDate& to,
                                           const WorkTable::NameProposer& proposeName = {});

// Asks "Sollen die übergebenen Rechnungen als exportiert markiert werden?",
// then clears the marks of the bookings handed over and, on "Ja", marks them
// exported: one transaction, opened after the answer.
void MarkExportedInvoices(const QString& databaseName);
