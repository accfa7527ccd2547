#pragma once

#include <QString>

class TDataModule1;

// Stock and delivery bookings of invoice, delivery-note and credit-note
// lines. Each line remembers what it last booked (S_OldMenge, S_OldMatID,
// S_OldRefID, S_OldPosTyp, S_OldQuelle), so that a post books only the
// difference and a delete (reverse) gives back everything.

// Books q (signed; negative takes goods out of stock) on the article. A
// transfer moves stock between article lists and books a cost entry; any other
// booking changes the running totals of use. False when nothing was booked
// (id or q 0, unknown article).
bool BookArtikelBestand(TDataModule1& dm, int artikelId, bool transfer, double q);
// Moves q of the article number from one object's list (0: central stock)
// to another's; nothing unless both articles exist.
void TransferArtikelBestand(TDataModule1& dm, const QString& artNo, int fromObjId, int toObjId,
                            double q);
// The object's copy of the central article, created empty when missing; 0
// when either id is 0 or the central article is unknown.
int CreateObjektArtikel(TDataModule1& dm, int centralId, int objId);
// The order line's delivered quantity moves by newMenge - oldMenge.
void AdjustAuftragGeliefert(int auftSatzId, double oldMenge, double newMenge);
// Marks the external service as billed (or released) and books its net
// amount out of (or back into) the object's cost sums.
void SetFremdLeistGebucht(TDataModule1& dm, int fremdLeistId, bool gebucht);

// The bookings of the current line of the shared line object and its head;
// reverse: the line is being deleted (a delivery-note line then gives back
// only what has not been invoiced yet). Each booking lands in full or not at
// all; a line whose remembered values change is put into edit state, the
// caller posts it.
void BookRechSatz(TDataModule1& dm, bool reverse);
void BookLSSatz(TDataModule1& dm, bool reverse);
void BookGsSatz(TDataModule1& dm, bool reverse);
