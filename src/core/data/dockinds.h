#pragma once

#include <QString>

// The two integer codes that name document kinds. They number the kinds
// differently, so they are distinct types that never convert into each other.

// The kind of a document for numbering and print forms. Values outside the
// list count as invoices (see NormalizedDocKind).
enum class TDocKind : int {
    Angebot = 0,
    Auftrag = 1,
    Rechnung = 2,
    Gutschrift = 3,
    Lieferschein = 4,
    Eingangsrechnung = 5,
    Bestellung = 6,
};

// The kind of a source document for pickers and copying. Adding
// ArchiveSourceOffset names the same kind in the archive database.
enum class TDocSource : int {
    Angebot = 0,
    Auftrag = 1,
    Rechnung = 2,
    Lieferschein = 3,
    OpRechnung = 4,
    Gutschrift = 5,
    Rechnungsvorlage = 7,
};

constexpr int ArchiveSourceOffset = 16;
constexpr int NoJournalKind = -1;

struct DocKindInfo {
    TDocKind kind;
    const char* headTable; // head table of the working database
    int counterCode;       // code of the number counter in the company record
    const char* maskField; // company field holding the number mask
    int journalKind;       // R_Satzart in the booking journal, or NoJournalKind
};

// A kind outside 0..6 is treated as an invoice.
TDocKind NormalizedDocKind(TDocKind kind);
const DocKindInfo& GetDocKindInfo(TDocKind kind);
// The journal's record kind under which IsNrInRaListe looks: 2 for credit
// notes, 3 for incoming invoices, 0 for every other kind.
int RaListeSatzart(TDocKind kind);

// The counter field of a counter code; empty for a code without counter.
QString CounterFieldOf(int counterCode);

QString GetDocSourceCaption(TDocSource source);
QString GetDocSourceAlias(TDocSource source); // "LumoDB", or "AblageDB" from 16 on
QString GetDocSourceKopfTable(TDocSource source);
QString GetDocSourceSatzTable(TDocSource source);
constexpr TDocSource ArchiveSource(TDocSource source) {
    return TDocSource(int(source) + ArchiveSourceOffset);
}
