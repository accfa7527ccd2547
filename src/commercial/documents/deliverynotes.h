#pragma once

#include "core/data/dockinds.h"

#include <QDate>
#include <QString>

namespace table {
class Table;
}

// The data side of the delivery-note editor and list: a new note's head, its
// object, copies from other documents, the deletion with the unlinking of
// the row that created the note, and the open quantities of a note.

// What the caller of the editor gives a new note.
struct TNewDeliveryNote {
    int objektNr = 0; // written into the head; 0: none yet
    bool autoInvoice = false;
    int lsTyp = 0;       // 0 list, 1 daily lists, 2 appointments
    int creatorId = 0;   // the creating row (A_TOID or T_ID)
    int printFormNo = 0; // the default delivery-note form
};

// Appends a new delivery-note head with every value set and its final
// number from the delivery-note counter, and posts it once. On a failure
// the row is cancelled and the error goes on.
void AppendDeliveryNoteHead(table::Table& head, const TNewDeliveryNote& values, const QDate& today);

// The object with its billing address, its customer and printFormNo go
// into the head, which is posted.
void AssignDeliveryNoteObjekt(table::Table& head, int objektNr, int printFormNo);

// Copies the open lines of the document numbered sourceNr of the source
// into the note in one transaction (nothing changes when a line fails) and
// recalculates the sums. The number of copied lines; -1 when the document
// is not found.
int CopyIntoDeliveryNote(TDocSource source, const QString& sourceNr, table::Table& head,
                         table::Table& lines);

// The question the deletion of the current note needs; empty when it may go
// without one (made in the list, or neither billed automatically nor
// created by another row).
QString DeliveryNoteDeletionQuestion(table::Table& head);

// Deletes the current note as one transaction: the back link of the row
// that created it (A_LsID of the daily-list object, T_LsID of the
// appointment) is cleared, then head and lines go with their stock and order
// give-backs. A failure changes nothing and goes on as a DbError with its
// reason.
void DeleteDeliveryNote(table::Table& head, table::Table& lines);

// Sum over the note's lines of S_Menge - S_MengeGeliefert, a line's share
// taken as 0 below 0.01 ("Offene wählen", "Erledigte wählen").
double OpenQuantitySum(int lsId);
// The archive check: the remainder S_Menge - S_MengeGeliefert of the first
// line (in position order) above 0.01, else that of the last line; 0 for a
// note without lines. Not 0 means the note is not finished.
double FirstOpenRemainder(int lsId);

// The list's mark commands over every delivery note, in one transaction:
// all, none, the finished notes (open quantity sum 0) or the open ones.
enum class TDeliveryNoteMarks { All, None, Finished, Open };
void MarkDeliveryNotes(TDeliveryNoteMarks which);

inline const QString DeliveryNoteDeleteFailedText =
    QStringLiteral("Der Lieferschein konnte nicht gelöscht werden.");
