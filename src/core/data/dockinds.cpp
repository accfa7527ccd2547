#include "core/data/dockinds.h"

#include "core/messages/messagecatalog.h"

#include <array>

namespace {

constexpr std::array<DocKindInfo, 7> kKinds{{
    {TDocKind::Angebot, "Angkopf.DB", 0, "F_FormatNr02", NoJournalKind},
    {TDocKind::Auftrag, "Auftkopf.DB", 1, "F_FormatNr03", NoJournalKind},
    {TDocKind::Rechnung, "Rechkopf.DB", 2, "F_FormatNrRg", 0},
    {TDocKind::Gutschrift, "GSkopf.DB", 3, "F_FormatNr06", 2},
    {TDocKind::Lieferschein, "LSkopf.DB", 4, "F_FormatNr04", NoJournalKind},
    {TDocKind::Eingangsrechnung, "ERkopf.DB", 10, "F_FormatNr05", 3},
    {TDocKind::Bestellung, "bestkopf.db", 6, "F_FormatNr07", NoJournalKind},
}};

struct CounterField {
    int code;
    const char* field;
};

constexpr std::array<CounterField, 7> kCounters{{
    {0, "F_NextNr02"},
    {1, "F_NextNr03"},
    {2, "F_NextNrRg"},
    {3, "F_NextNr06"},
    {4, "F_NextNr04"},
    {6, "F_NextNr07"},
    {10, "F_NextNr05"},
}};

struct SourceInfo {
    int value;
    quint16 caption; // catalog number
    const char* headTable;
    const char* lineTable;
};

constexpr SourceInfo kInvoiceSource{2, 65160, "Rechkopf.DB", "Rechsatz.db"};
constexpr std::array<SourceInfo, 7> kSources{{
    {0, 65158, "Angkopf.DB", "AngSatz.DB"},
    {1, 65159, "Auftkopf.DB", "Auftsatz.DB"},
    kInvoiceSource,
    {3, 65161, "LSkopf.DB", "LSsatz.DB"},
    {4, 65162, "OpKopf.DB", "OPSatz.db"},
    {5, 65163, "GSkopf.DB", "GSSatz.DB"},
    {7, 65164, "Rgvkopf.db", "Rgvsatz.db"},
}};

// Caption and tables follow the low four bits; the bit of value 8 and the
// unused 6 mean invoice.
const SourceInfo& sourceInfo(TDocSource source) {
    const int low = int(source) & 0x0F;
    for (const SourceInfo& s : kSources)
        if (s.value == low)
            return s;
    return kInvoiceSource;
}

} // namespace

TDocKind NormalizedDocKind(TDocKind kind) {
    const int k = int(kind);
    return k >= 0 && k < int(kKinds.size()) ? kind : TDocKind::Rechnung;
}

const DocKindInfo& GetDocKindInfo(TDocKind kind) {
    return kKinds[std::size_t(NormalizedDocKind(kind))];
}

int RaListeSatzart(TDocKind kind) {
    switch (kind) {
    case TDocKind::Gutschrift:
        return 2;
    case TDocKind::Eingangsrechnung:
        return 3;
    default:
        return 0;
    }
}

QString CounterFieldOf(int counterCode) {
    for (const CounterField& c : kCounters)
        if (c.code == counterCode)
            return QString::fromLatin1(c.field);
    return {};
}

QString GetDocSourceCaption(TDocSource source) {
    return LoadMessage(sourceInfo(source).caption);
}

QString GetDocSourceAlias(TDocSource source) {
    return int(source) >= ArchiveSourceOffset ? QStringLiteral("AblageDB")
                                              : QStringLiteral("LumoDB");
}

QString GetDocSourceKopfTable(TDocSource source) {
    return QString::fromLatin1(sourceInfo(source).headTable);
}

QString GetDocSourceSatzTable(TDocSource source) {
    return QString::fromLatin1(sourceInfo(source).lineTable);
}
