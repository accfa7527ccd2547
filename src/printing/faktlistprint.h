#pragma once

#include <QString>

class QWidget;

// The document list (form type 81000, report TQR_FaktList01): one line per
// marked head of any document head table, working or archived, with the
// totals of net, VAT and gross. The title follows "Listenausdruck " ("Liste
// Rechnungen"); the table is read in the given database ("LumoDB",
// "AblageDB") in the order of the given index. Incoming invoices
// ("ERKopf.DB") are listed whether marked or not. A call while the list is
// open does nothing.
void PrintFaktList(bool preview, const QString& title, const QString& layoutFile,
                   const QString& indexName, const QString& tableName, const QString& databaseName,
                   QWidget* parent = nullptr);
