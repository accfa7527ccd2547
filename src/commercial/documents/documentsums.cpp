#include "commercial/documents/documentsums.h"

#include "commercial/documents/vatrates.h"
#include "core/values/money.h"

#include <QDate>

namespace {

// Print dates before this one come from documents never printed.
TDateTime FirstBookedDate() {
    static const TDateTime date = DateTimeOfDate(QDate(2000, 1, 1));
    return date;
}

double AtLeastOne(double value) {
    return value == 0.0 ? 1.0 : value;
}

int BucketOf(const TDocumentLine& line) {
    return VatCodeBucket(line.MwstKz.value_or(DefaultMwstKz));
}

// The six offer calculation values of a line, in the order Gesamtpreis,
// Intervallpreis, GesamtKosten, IntervallKosten, Gesamtzeit, IntervallZeit.
using TOfferValues = std::array<double, 6>;

TOfferValues OfferValuesOf(const TDocumentLine& line) {
    return {line.Gesamtpreis,     line.Intervallpreis, line.GesamtKosten,
            line.IntervallKosten, line.Gesamtzeit,     line.IntervallZeit};
}

void Add(TOfferValues& sum, const TOfferValues& values) {
    for (std::size_t i = 0; i < sum.size(); ++i)
        sum[i] += values[i];
}

} // namespace

TDateTime DocumentVatDate(TDateTime datumDruck, TDateTime datumErstell, TDateTime today) {
    if (datumDruck >= FirstBookedDate())
        return datumDruck;
    return datumErstell == EmptyDate ? today : datumErstell;
}

bool IsCalculatedPosArt(int posArt) {
    return posArt == PosArtNormal || posArt == PosArtAlternativ || posArt == PosArtBedarf;
}

void CalcDocumentLine(TDocumentLine& line, double rate, const TOfferCalc* offer) {
    const double net = RoundCents(line.Menge * line.EPreis);
    const double vat = CalcVatAmount(net, rate);
    line.Netto = net;
    line.Mwst = rate;
    line.MwstBetrag = vat;
    line.Brutto = RoundCents(net + vat);
    if (!offer)
        return;
    const double raten = AtLeastOne(offer->Raten);
    const double einsaetze = AtLeastOne(line.Einsaetze);
    line.Intervallpreis = line.EPreis * line.Menge;
    // The total price is the interval price over all instalments; taking it
    // directly keeps a markup of -100 % from dividing by zero.
    line.Gesamtpreis = line.EPreis * line.Menge * raten;
    line.GesamtKosten = line.BasisPreis * line.Menge * einsaetze;
    line.IntervallKosten = line.GesamtKosten / raten;
    line.Gesamtzeit = line.BasisMinuten * line.Menge * einsaetze;
    line.IntervallZeit = line.Gesamtzeit / raten;
}

void ApplyPosArtDefaults(TDocumentLine& line, int newKind) {
    if (newKind != PosArtTextLine && newKind != PosArtZwisumme && newKind != PosArtNeueSeite)
        return;
    line.Menge = 0.0;
    line.EPreis = 0.0;
    line.Mwst = 0.0;
    if (newKind == PosArtZwisumme && line.Kurztext.isEmpty())
        line.Kurztext = QStringLiteral("Zwischensumme");
    line.MwstKz = 0;
}

TDocumentSums RecalcDocument(std::vector<TDocumentLine>& lines, const std::array<double, 3>& rates,
                             bool withRates, bool isOffer) {
    std::array<double, 3> buckets{};
    double subNet = 0.0;
    double subVat = 0.0;
    TOfferValues offerTotal{};
    TOfferValues offerSub{};

    for (TDocumentLine& line : lines) {
        if (line.PosArt == PosArtNormal) {
            const int bucket = BucketOf(line);
            const double net = line.Netto;
            buckets[std::size_t(bucket)] += net;
            if (withRates) {
                line.Mwst = rates[std::size_t(bucket)];
                line.MwstBetrag = CalcVatAmount(net, line.Mwst);
                line.Brutto = RoundCents(net + line.MwstBetrag);
            }
            subNet += net;
            subVat += net * line.Mwst / 100.0;
            if (isOffer) {
                const TOfferValues values = OfferValuesOf(line);
                Add(offerTotal, values);
                Add(offerSub, values);
            }
        } else if (line.PosArt == PosArtZwisumme) {
            line.Netto = RoundCents(subNet);
            line.MwstBetrag = RoundCents(subVat);
            line.Brutto = RoundCents(subNet + subVat);
            if (isOffer) {
                line.Gesamtpreis = offerSub[0];
                line.Intervallpreis = offerSub[1];
                line.GesamtKosten = offerSub[2];
                line.IntervallKosten = offerSub[3];
                line.Gesamtzeit = offerSub[4];
                line.IntervallZeit = offerSub[5];
            }
            subNet = 0.0;
            subVat = 0.0;
            offerSub = {};
        }
    }

    TDocumentSums sums;
    double netSum = 0.0;
    double vatSum = 0.0;
    for (std::size_t code = 0; code < 3; ++code) {
        sums.NettoPerCode[code] = RoundCents(buckets[code]);
        sums.MwstPerCode[code] = CalcVatAmount(buckets[code], rates[code]);
        netSum += buckets[code];
        vatSum += sums.MwstPerCode[code];
    }
    sums.Netto = RoundCents(netSum);
    sums.Mwst = RoundCents(vatSum);
    sums.Brutto = RoundCents(netSum + vatSum);
    if (isOffer) {
        sums.CalcBetragInt = RoundCents(offerTotal[1]);
        sums.CalcBetragEinsatz = RoundCents(offerTotal[0]);
        sums.CalczeitInt = RoundCents(offerTotal[5]);
        sums.CalczeitEinsatz = RoundCents(offerTotal[4]);
        sums.KostenIntervall = RoundCents(offerTotal[3]);
        sums.KostenEinsatz = RoundCents(offerTotal[2]);
        sums.GewinnIntervall = sums.CalcBetragInt - sums.KostenIntervall;
        sums.GewinnEinsatz = sums.CalcBetragEinsatz - sums.KostenEinsatz;
    }
    return sums;
}
