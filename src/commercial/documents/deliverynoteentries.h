#pragma once

#include <QString>
#include <functional>

// The delivery-note editor and its deletion, reached by the operations
// windows (appointments, daily lists, the monthly overview), which may not
// see the commercial windows: the commercial side installs both at start-up.
// While an entry is empty the buttons that need it stay disabled.
struct DeliveryNoteEntries {
    // Opens the editor on the note numbered nr, or on a new note for the
    // object when nr is empty (the new note gets R_LsTyp lsTyp, R_CreatorID
    // creatorId and, with autoInvoice, the mark for the recurring invoices).
    // Returns the note's R_ID when the editor closes; 0 when no note results.
    std::function<int(const QString& nr, int objektNr, bool autoInvoice, int lsTyp, int creatorId)>
        editLieferschein;
    // Deletes the note with R_ID lsId after the note's own checks and
    // question (the data module's delivery-note table is positioned on it
    // first); true when it was deleted, false when it is missing, kept or
    // its deletion failed.
    std::function<bool(int lsId)> deleteLieferschein;
};
DeliveryNoteEntries& DeliveryNoteEntriesRegistry();

// The kinds of material delivery notes (R_LsTyp) the operations windows make.
inline constexpr int kLsTypTageslisten = 1; // "Tageslisten-Rückerfassung"
inline constexpr int kLsTypTermine = 2;     // "Terminverwaltung"
