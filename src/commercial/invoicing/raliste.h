#pragma once

class QDate;
class TDataModule1;

namespace table {
class Table;
}

// The booking journal (raliste.db): one row per outgoing invoice, credit
// note and incoming invoice, as the outgoing-invoice list prints it and the
// accounting exports read it.

// Record kinds of the journal.
inline constexpr int kRaSatzartRechnung = 0;
inline constexpr int kRaSatzartGutschrift = 2;
inline constexpr int kRaSatzartEingangsrechnung = 3;

// Appends the journal row of the current record of a document head: its
// stored fields by name, the gross amounts recomputed from net and VAT
// (rounded to cents, in total and per VAT code), the customer's cost centres
// and payment method, the number's digits as R_NrNum, not exported, not
// marked. On a failure the row is dropped (never posted later),
// "Fehler beim Eintrag in die RA-Liste!" is shown with the reason and the
// result is false.
bool AppendToRAList(TDataModule1& dm, table::Table& head, int satzart);
// The same row without a message: a failure drops the row and raises, so a
// caller inside a transaction can roll back first and tell the user after.
void AppendRaListRow(TDataModule1& dm, table::Table& head, int satzart);

// Marks the journal rows whose document date (today when empty) lies in the
// period, both days included, and unmarks all others, all in one transaction.
void MarkRaListePeriod(const QDate& from, const QDate& to);
