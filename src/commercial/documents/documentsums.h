#pragma once

#include "core/values/datetimevalue.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

// Position kinds of document lines.
enum TPosArt : int {
    PosArtNormal = 0,
    PosArtAlternativ = 1,
    PosArtBedarf = 2,
    PosArtTextLine = 3,
    PosArtZwisumme = 4,
    PosArtNeueSeite = 5,
};

// The amounts of one document line; offer lines use the calculation fields.
struct TDocumentLine {
    int PosNr = 0;
    int PosArt = PosArtNormal;
    QString Kurztext;
    std::optional<int> MwstKz; // empty counts as the default code
    double Menge = 0.0;
    double EPreis = 0.0;
    double Mwst = 0.0;
    double MwstBetrag = 0.0;
    double Netto = 0.0;
    double Brutto = 0.0;
    // Offer calculation.
    double BasisPreis = 0.0;
    double BasisMinuten = 0.0;
    double Einsaetze = 0.0;
    double Intervallpreis = 0.0;
    double Gesamtpreis = 0.0;
    double IntervallKosten = 0.0;
    double GesamtKosten = 0.0;
    double IntervallZeit = 0.0;
    double Gesamtzeit = 0.0;
};

// Offer head values the line calculation reads.
struct TOfferCalc {
    double Aufschlag = 0.0; // markup in percent
    double Raten = 0.0;     // instalments; 0 counts as 1
};

// The head amounts a recalculation writes.
struct TDocumentSums {
    std::array<double, 3> NettoPerCode{}; // R_Netto0..2
    std::array<double, 3> MwstPerCode{};  // R_Mwst0..2
    double Netto = 0.0;
    double Mwst = 0.0;
    double Brutto = 0.0;
    // Offers only.
    double CalcBetragInt = 0.0;
    double CalcBetragEinsatz = 0.0;
    double CalczeitInt = 0.0;
    double CalczeitEinsatz = 0.0;
    double KostenIntervall = 0.0;
    double KostenEinsatz = 0.0;
    double GewinnIntervall = 0.0;
    double GewinnEinsatz = 0.0;
};

// The date whose VAT rates apply: the print date, or the creation date
// while the print date is empty or before 01.01.2000; an empty creation
// date gives Today.
TDateTime DocumentVatDate(TDateTime datumDruck, TDateTime datumErstell, TDateTime today);

// The net-sum slot of a VAT code: codes 1 and 2 have their own, any other
// goes to code 0's.
inline int VatCodeBucket(int code) {
    return code == 1 || code == 2 ? code : 0;
}

// Whether the line calculation computes lines of this kind.
bool IsCalculatedPosArt(int posArt);
// Net, rate, VAT and gross of a line at Rate; with Offer also the six
// unrounded calculation values.
void CalcDocumentLine(TDocumentLine& line, double rate, const TOfferCalc* offer = nullptr);
// A line that becomes a text, subtotal or page-break line loses its
// quantity, price, rate and code; a subtotal line without text gets
// "Zwischensumme". Other kinds change nothing.
void ApplyPosArtDefaults(TDocumentLine& line, int newKind);

// Recalculates the lines of one document (given in position order) with the
// rates of codes 0..2 at the document date: with WithRates every normal line
// takes the rate of its code; subtotal lines receive the running sums. The
// head's VAT is computed per code on the sum of the line nets.
TDocumentSums RecalcDocument(std::vector<TDocumentLine>& lines, const std::array<double, 3>& rates,
                             bool withRates, bool isOffer);
