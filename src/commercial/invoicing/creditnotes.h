#pragma once

#include <QString>
#include <functional>

class TDataModule1;

namespace table {
class Table;
}

// Credit notes (GSkopf.DB / GSSatz.DB): the booking of a printed note against
// the customer's turnover, the object's cost statistics and the article
// turnover (all negative), and the state of R_Buchung that goes with it.

// R_Buchung bits of a credit note.
inline constexpr int kGutschriftBooked = 1;
inline constexpr int kGutschriftJournalled = 2;
inline constexpr int kGutschriftInFibu = 8;

enum class TGutschriftEffects { Book, Undo };

// Books or takes back the effects of the current credit-note head when it
// is booked (bit 1), dated by R_PlanDatum (the credited invoice's date;
// today when empty): the customer's turnover with the negative gross and
// net, per line of kind 0 the object's revenue by the line's cost type and,
// for an article line, the article turnover, each negative and rounded to
// cents. Undo books the opposite amounts. The caller holds the transaction.
void BookGutschriftEffects(table::Table& head, TGutschriftEffects mode);

// The question before a booked note is marked or edited.
QString GutschriftClosedQuestion();
// Whether the current head may be marked: a note handed to the accounting
// is refused with the Fibu error, a booked one only after the user agreed.
bool MayMarkGutschrift(table::Table& head);
// Sets or clears the mark of the current head (marking asks first); true
// when the mark was written.
bool SetGutschriftMark(table::Table& head, bool mark);

// Books the current note in one transaction: bit 1, R_Drucke 0 and all its
// effects, or none of them when something fails (the error goes on).
void BookGutschrift(table::Table& head);

// Books every marked note that is not booked yet, in the order of the head
// object. A note whose booking fails stays unbooked without any booking, is
// unmarked (so it is not printed unbooked) and is named through failedOne
// with "Beim Drucken der Rechnung %s ist ein Fehler aufgetreten!" and the
// reason; the walk goes on. Returns the number of notes booked.
int BookMarkedGutschriften(table::Table& head,
                           const std::function<void(const QString& text)>& failedOne);

// Clears the mark of every head in one transaction.
void UnmarkAllGutschriften(table::Table& head);

// Deletes the current note in one transaction: its bookings taken back, the
// head and its lines deleted with their stock. On a failure nothing changes
// and the error goes on.
void DeleteGutschrift(table::Table& head);
// Deletes every marked note, each through DeleteGutschrift; the first
// failure ends the walk and goes on to the caller. Returns the count.
int DeleteMarkedGutschriften(table::Table& head);

// Runs edit (the credit-note editor) on the current head. A booked note is
// taken back with bit 1 cleared in one transaction before, and booked again
// with bit 1 set in one transaction after, also when the editor failed; its
// R_Drucke stays. The editor's error goes on afterwards.
void EditWithGutschriftEffects(table::Table& head, const std::function<void()>& edit);

// Before a booked note goes to the archive: its journal row (when the
// journal has none for its number yet), bit 2 and its mark, in one
// transaction. A failure rolls everything back and goes on to the caller.
void JournalGutschriftForArchive(TDataModule1& dm, table::Table& head);
