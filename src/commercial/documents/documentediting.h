#pragma once

#include <QDate>
#include <QString>
#include <functional>
#include <initializer_list>
#include <vector>

namespace table {
class Table;
}

// The data side that every document editor shares: changes that land as one
// transaction, the end of an editing session, and the fills of a line from an
// article, an activity or an external service.

// Runs work as one transaction on the database of the first cursor. When it
// fails, every write is rolled back, each cursor drops its pending edit and
// reads its rows again, and the error goes on as a DbError whose text begins
// with what ("Die Positionen konnten nicht übernommen werden."); a silent
// Abort stays silent. No message box may be shown by work itself.
void ChangeAllOrNothing(const QString& what, std::initializer_list<table::Table*> cursors,
                        const std::function<void()>& work);
void ChangeAllOrNothing(const QString& what, const std::vector<table::Table*>& cursors,
                        const std::function<void()>& work);

// Whether the head's document has lines (its line cursor shows them).
bool DocumentHasLines(table::Table& lines);

// The end of an editor: a new document without any line is deleted again
// (with its lines' rules, as a delete through the head does) and true comes
// back; otherwise pending edits of lines and head are posted. afterDelete
// (e.g. giving the number back) runs in the delete's transaction: both
// happen or neither.
bool FinishDocumentEditing(table::Table& head, table::Table& lines, bool isNew,
                           const std::function<void()>& afterDelete = {});

// What a line takes from an article, an activity or an external service.
struct TLineFillOptions {
    // The line becomes a manual line of its own: S_RefID 0, S_Quelle 0,
    // S_QuellNr "manuell" (the template editor keeps the link it had).
    bool resetSource = true;
    // An activity also brings its price, its cost type and the default VAT
    // code (the template editor keeps those).
    bool activityPrice = true;
};

inline const QString DbEntryNotFoundText = QStringLiteral("Datenbank-Eintrag nicht gefunden!");

// The current line (put into edit state, not posted) takes the article: its
// id and number, its cost type (or the default revenue account), short and
// long text, the short name of its packing unit, price 1 and VAT code.
// False, and the line untouched, when the article does not exist.
bool FillLineFromArtikel(table::Table& line, int artikelId, const TLineFillOptions& options = {});
// The same from the activity T_ID.
bool FillLineFromTaetigkeit(table::Table& line, int taetigId, const TLineFillOptions& options = {});
// The same from the external service S_ID of "FremdLst.db": every line field
// of the same name that holds a value there (key, document link and position
// number excepted), then the service's cost type, its document number and
// supplier article number, and the link that books it.
bool FillLineFromFremdleistung(table::Table& line, int fremdId);

// "Kostenart": a chosen cost type other than 0 and other than the line's
// goes into S_ErloesKonto; true when it did.
bool SetLineErloesKonto(table::Table& line, int kostart);

// Every line of the document without a revenue account takes its default
// one (DefaultErloesKonto) where that is not 0; each changed line is posted.
void FillMissingErloesKonten(table::Table& lines);

// The delivery note lsId is billed by the invoice: R_Buchung := the
// invoice's R_ID, R_RechNr and R_BuchDat its number and date (through the
// shared delivery-note heads, opened for the call when closed).
void MarkDeliveryNoteBilled(int lsId, int invoiceId, const QString& invoiceNr,
                            const QDate& invoiceDate);
