#pragma once

#include <QList>
#include <QString>
#include <functional>

class ArchiveConnection;

// Finished documents leave the working database for the archive database:
// every marked head (R_Selected) of a source head table, with its lines in
// position order, is copied into the archive tables under new keys and then
// deleted from the working tables. Nothing moves back.

// The head and line tables of one move, named as the data module names them:
// the source pair in "LumoDB", the archive pair in "AblageDB".
struct ArchiveTables {
    QString sourceHead, sourceLines, archiveHead, archiveLines;
};

// The document families that are moved, each with its table pair. Open
// items arrive as invoices, open incoming invoices as incoming invoices.
enum class ArchiveFamily {
    Offers,
    Orders,
    DeliveryNotes,
    CreditNotes,
    OpenItems,
    OpenIncomingInvoices,
    PurchaseOrders,
};
const ArchiveTables& ArchiveTablesOf(ArchiveFamily family);
const QList<ArchiveFamily>& ArchiveFamilies();

struct DocumentNotMoved {
    QString number; // R_Nr of the head
    QString reason; // the German text of the error
};

struct DocumentMoveResult {
    int marked = 0;      // heads marked when the move started
    QList<int> movedIds; // working keys of the heads that moved
    QList<DocumentNotMoved> notMoved;
};

// Called once before the first document (done 0) and after each document,
// outside its transaction, so the window can repaint.
using DocumentMoveProgress = std::function<void(int done, int total)>;

// Moves the heads marked when it starts, each in a transaction of its own:
// the archive head gets the archive table's last key plus one (1 for an empty
// table), every non-null field from the second one on is copied by name and
// fields the archive lacks are dropped; the lines follow in the order of the
// line index with new keys and S_Ref set to the new head key; then the
// working lines and head are deleted. A document the archive refuses (its
// number is there already, a line cannot be written) is rolled back whole,
// stays marked in the working tables and is listed with its reason; the move
// goes on with the next one. A table that is missing, a busy, full or damaged
// database or a key beyond the integer range ends the move by a DbError;
// documents not yet handled stay marked.
DocumentMoveResult MoveSelectedDocuments(ArchiveConnection& connection, const ArchiveTables& tables,
                                         const DocumentMoveProgress& progress = {});

// The error box after a move that left documents behind: "Folgende Belege
// wurden nicht ausgelagert:" and one line per document with its number and
// reason; empty when every document moved.
QString DocumentsNotMovedText(const QList<DocumentNotMoved>& notMoved);
