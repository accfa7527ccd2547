#include "commercial/documents/documenttables.h"

#include "commercial/documents/documentsums.h"
#include "commercial/documents/vatrates.h"
#include "core/data/dbhelpers.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QDate>
#include <algorithm>
#include <numeric>

namespace {

TDateTime DateField(table::Table& tab, const QString& name) {
    table::Field& field = tab.field(name);
    return field.isNull() ? EmptyDate : DateTimeOfDate(field.asDate());
}

// The offer values of a line, by field name.
struct OfferField {
    const char* name;
    double TDocumentLine::*member;
};
const OfferField kOfferFields[] = {
    {"S_Intervallpreis", &TDocumentLine::Intervallpreis},
    {"S_Gesamtpreis", &TDocumentLine::Gesamtpreis},
    {"S_IntervallKosten", &TDocumentLine::IntervallKosten},
    {"S_GesamtKosten", &TDocumentLine::GesamtKosten},
    {"S_IntervallZeit", &TDocumentLine::IntervallZeit},
    {"S_Gesamtzeit", &TDocumentLine::Gesamtzeit},
};

TDocumentLine ReadLine(table::Table& lines, bool isOffer) {
    TDocumentLine line;
    line.PosNr = lines.field(QStringLiteral("S_PosNr")).asInteger();
    line.PosArt = lines.field(QStringLiteral("S_PosArt")).asIntegerOr(PosArtNormal);
    table::Field& code = lines.field(QStringLiteral("S_MwstKz"));
    if (!code.isNull())
        line.MwstKz = code.asInteger();
    line.Mwst = FieldFloat(lines, QStringLiteral("S_Mwst"));
    line.MwstBetrag = FieldFloat(lines, QStringLiteral("S_MwstBetrag"));
    line.Netto = FieldFloat(lines, QStringLiteral("S_Netto"));
    line.Brutto = FieldFloat(lines, QStringLiteral("S_Brutto"));
    if (isOffer)
        for (const OfferField& f : kOfferFields)
            line.*f.member = FieldFloat(lines, QString::fromLatin1(f.name));
    return line;
}

bool SameAmounts(const TDocumentLine& a, const TDocumentLine& b) {
    bool same = a.Mwst == b.Mwst && a.MwstBetrag == b.MwstBetrag && a.Netto == b.Netto &&
                a.Brutto == b.Brutto;
    for (const OfferField& f : kOfferFields)
        same = same && a.*f.member == b.*f.member;
    return same;
}

void WriteLine(table::Table& lines, const TDocumentLine& line, bool isOffer) {
    lines.edit();
    WriteLineAmounts(lines, line, isOffer);
    lines.post();
}

} // namespace

void WriteLineAmounts(table::Table& lines, const TDocumentLine& line, bool isOffer) {
    SetFieldIfPresent(lines, QStringLiteral("S_Mwst"), line.Mwst);
    SetFieldIfPresent(lines, QStringLiteral("S_MwstBetrag"), line.MwstBetrag);
    SetFieldIfPresent(lines, QStringLiteral("S_Netto"), line.Netto);
    SetFieldIfPresent(lines, QStringLiteral("S_Brutto"), line.Brutto);
    if (isOffer)
        for (const OfferField& f : kOfferFields)
            SetFieldIfPresent(lines, QString::fromLatin1(f.name), line.*f.member);
}

TDocumentSums RecalcDocumentTables(table::Table& lines, table::Table& head,
                                   const std::vector<TVatRateRow>& vatRates, TDateTime today,
                                   bool withRates) {
    const bool isOffer =
        lines.tableName().compare(QStringLiteral("AngSatz.DB"), Qt::CaseInsensitive) == 0;
    const TDateTime date =
        DocumentVatDate(DateField(head, QStringLiteral("R_DatumDruck")),
                        DateField(head, QStringLiteral("R_DatumErstell")), today);
    const std::array<double, 3> rates = VatRatesAt(vatRates, date);
    const int headId = head.field(QStringLiteral("R_ID")).asInteger();

    if (lines.state() != table::TableState::Browse)
        lines.post();
    const bool hadLine = !lines.isEmpty();
    const int currentId = hadLine ? lines.field(QStringLiteral("S_ID")).asInteger() : 0;
    std::vector<int> ids;
    std::vector<TDocumentLine> read;
    for (lines.first(); !lines.eof(); lines.next()) {
        if (lines.field(QStringLiteral("S_Ref")).asInteger() != headId)
            continue;
        ids.push_back(lines.field(QStringLiteral("S_ID")).asInteger());
        read.push_back(ReadLine(lines, isOffer));
    }
    // Position-number order, lines of equal number in cursor order.
    std::vector<std::size_t> order(read.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return read[a].PosNr < read[b].PosNr; });
    std::vector<TDocumentLine> sorted;
    sorted.reserve(read.size());
    for (std::size_t index : order)
        sorted.push_back(read[index]);

    const TDocumentSums sums = RecalcDocument(sorted, rates, withRates, isOffer);

    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::size_t index = order[i];
        if (SameAmounts(sorted[i], read[index]))
            continue;
        if (!lines.locate({QStringLiteral("S_ID")}, {ids[index]}))
            throw DbError(
                QStringLiteral("Die Position wurde von einem anderen Benutzer gelöscht."));
        WriteLine(lines, sorted[i], isOffer);
    }
    if (hadLine)
        lines.locate({QStringLiteral("S_ID")}, {currentId});

    if (head.state() == table::TableState::Browse)
        head.edit();
    static const char* const kNetto[] = {"R_Netto0", "R_Netto1", "R_Netto2"};
    static const char* const kMwst[] = {"R_Mwst0", "R_Mwst1", "R_Mwst2"};
    for (std::size_t code = 0; code < 3; ++code) {
        SetFieldIfPresent(head, QString::fromLatin1(kNetto[code]), sums.NettoPerCode[code]);
        SetFieldIfPresent(head, QString::fromLatin1(kMwst[code]), sums.MwstPerCode[code]);
    }
    SetFieldIfPresent(head, QStringLiteral("R_Netto"), sums.Netto);
    SetFieldIfPresent(head, QStringLiteral("R_Mwst"), sums.Mwst);
    SetFieldIfPresent(head, QStringLiteral("R_Brutto"), sums.Brutto);
    if (isOffer) {
        SetFieldIfPresent(head, QStringLiteral("R_CalcBetragInt"), sums.CalcBetragInt);
        SetFieldIfPresent(head, QStringLiteral("R_CalcBetragEinsatz"), sums.CalcBetragEinsatz);
        SetFieldIfPresent(head, QStringLiteral("R_CalczeitInt"), sums.CalczeitInt);
        SetFieldIfPresent(head, QStringLiteral("R_CalczeitEinsatz"), sums.CalczeitEinsatz);
        SetFieldIfPresent(head, QStringLiteral("KostenIntervall"), sums.KostenIntervall);
        SetFieldIfPresent(head, QStringLiteral("KostenEinsatz"), sums.KostenEinsatz);
        SetFieldIfPresent(head, QStringLiteral("GewinnIntervall"), sums.GewinnIntervall);
        SetFieldIfPresent(head, QStringLiteral("GewinnEinsatz"), sums.GewinnEinsatz);
    }
    return sums;
}
