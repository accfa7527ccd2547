#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace table {
class Table;
}

// The commands of the document lists (offers, orders, delivery notes, credit
// notes, purchase orders) on their marked heads (R_Selected). Each document
// is changed in a transaction of its own: one that fails stays as it was,
// keeps its mark and is not counted, and the others go on.

// The number of marked heads of the table in the database ("LumoDB").
int CountMarkedDocuments(const QString& databaseName, const QString& tableName);
// Writes the mark of the current head and posts it.
void WriteDocumentMark(table::Table& head, bool mark);
// The keys (R_ID) of the marked heads in the order the head object shows them.
QList<int> MarkedDocumentIds(table::Table& head);

struct TMarkedRunOutcome {
    int done = 0;
    QStringList failed; // the numbers (R_Nr) of the documents left as they were
    QStringList reasons;
};

// Deletes every marked head with its lines (the head's delete rule takes
// them), each document in one transaction. The numbers are not given back.
TMarkedRunOutcome DeleteMarkedDocuments(table::Table& head);
// "Es wurden %d Datensätze gelöscht." and, when some stayed, the line
// "Nicht gelöscht: " with their numbers.
QString DeletedDocumentsText(const TMarkedRunOutcome& outcome);

// Prints every marked head through printOne(R_ID, R_PrintFormNo); after a
// print the head's R_Drucke is raised by one and its mark cleared in one
// transaction. A document whose print or update fails is reported through
// failedOne (the run goes on) and stays marked with its counter unchanged.
// Nothing is written while a document prints. With firstPrintDateField a
// document printed for the first time (R_Drucke 0) also gets today's date
// there, in the same transaction.
TMarkedRunOutcome PrintMarkedDocuments(table::Table& head,
                                       const std::function<void(int id, int storedForm)>& printOne,
                                       const std::function<void()>& failedOne,
                                       const QString& firstPrintDateField = {});
