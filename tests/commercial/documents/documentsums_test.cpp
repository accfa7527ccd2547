#include "commercial/documents/documentsums.h"

#include <QDate>
#include <cmath>
#include <gtest/gtest.h>

namespace {

TDateTime D(int y, int m, int d) {
    return DateTimeOfDate(QDate(y, m, d));
}

const std::array<double, 3> kRates2006{0.0, 16.0, 7.0};
const std::array<double, 3> kRates2007{0.0, 19.0, 7.0};

TDocumentLine Normal(double net, std::optional<int> code, double rate) {
    TDocumentLine line;
    line.PosArt = PosArtNormal;
    line.MwstKz = code;
    line.Netto = net;
    line.Mwst = rate;
    return line;
}

TDocumentLine Kind(int posArt, double net = 0.0) {
    TDocumentLine line;
    line.PosArt = posArt;
    line.MwstKz = 1;
    line.Netto = net;
    line.Mwst = 16.0;
    return line;
}

TEST(DocumentSums, VatDateFallsBackToCreationUntilPrinted) {
    const TDateTime today = D(2026, 12, 10);
    struct Case {
        TDateTime druck;
        TDateTime erstell;
        TDateTime expected;
    };
    const Case cases[] = {
        {EmptyDate, D(2006, 12, 20), D(2006, 12, 20)},
        {D(1999, 12, 31), D(2006, 12, 20), D(2006, 12, 20)},
        {D(2000, 1, 1), D(2006, 12, 20), D(2000, 1, 1)},
        {D(2007, 1, 3), D(2006, 12, 20), D(2007, 1, 3)},
        {EmptyDate, EmptyDate, today},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.druck << " / " << c.erstell);
        EXPECT_DOUBLE_EQ(DocumentVatDate(c.druck, c.erstell, today), c.expected);
    }
}

TEST(DocumentSums, LineAmountsRoundNetAndVatToCents) {
    struct Case {
        double menge;
        double preis;
        double rate;
        double net;
        double vat;
        double gross;
    };
    const Case cases[] = {
        // 1.005 is held as 1.00499..., still rounded up.
        {3.0, 0.335, 19.0, 1.01, 0.19, 1.20}, {1.0, 100.05, 16.0, 100.05, 16.01, 116.06},
        {2.5, 0.25, 7.0, 0.63, 0.04, 0.67},   {-1.0, 6.25, 7.0, -6.25, -0.44, -6.69},
        {4.0, 12.5, 0.0, 50.0, 0.0, 50.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.menge << " x " << c.preis << " at " << c.rate);
        TDocumentLine line;
        line.Menge = c.menge;
        line.EPreis = c.preis;
        CalcDocumentLine(line, c.rate);
        EXPECT_DOUBLE_EQ(line.Netto, c.net);
        EXPECT_DOUBLE_EQ(line.Mwst, c.rate);
        EXPECT_DOUBLE_EQ(line.MwstBetrag, c.vat);
        EXPECT_DOUBLE_EQ(line.Brutto, c.gross);
    }
}

TEST(DocumentSums, HeadVatIsTakenPerCodeOnTheNetSum) {
    // Three lines of 0.10 at 16 %: each line shows 0.02, the head 0.05.
    std::vector<TDocumentLine> lines(3, Normal(0.10, 1, 16.0));
    for (TDocumentLine& line : lines) {
        line.Menge = 1;
        line.EPreis = 0.10;
        CalcDocumentLine(line, 16.0);
        EXPECT_DOUBLE_EQ(line.MwstBetrag, 0.02);
    }
    const TDocumentSums sums = RecalcDocument(lines, kRates2006, false, false);
    EXPECT_DOUBLE_EQ(sums.NettoPerCode[1], 0.30);
    EXPECT_DOUBLE_EQ(sums.MwstPerCode[1], 0.05);
    EXPECT_DOUBLE_EQ(sums.Netto, 0.30);
    EXPECT_DOUBLE_EQ(sums.Mwst, 0.05);
    EXPECT_DOUBLE_EQ(sums.Brutto, 0.35);
}

TEST(DocumentSums, MixedCodesAndKindsFillTheirBuckets) {
    std::vector<TDocumentLine> lines = {
        Normal(100.00, 0, 0.0),
        Normal(10.05, 1, 19.0),
        Normal(20.00, std::nullopt, 19.0), // no code: the default code
        Normal(6.25, 2, 7.0),
        Normal(1.00, 7, 0.0), // unknown code: tax-free bucket
        Kind(PosArtAlternativ, 500.0),
        Kind(PosArtBedarf, 600.0),
        Kind(PosArtTextLine, 700.0), // a former normal line keeps its net
        Kind(PosArtNeueSeite, 800.0),
    };
    const TDocumentSums sums = RecalcDocument(lines, kRates2007, false, false);
    EXPECT_DOUBLE_EQ(sums.NettoPerCode[0], 101.00);
    EXPECT_DOUBLE_EQ(sums.NettoPerCode[1], 30.05);
    EXPECT_DOUBLE_EQ(sums.NettoPerCode[2], 6.25);
    EXPECT_DOUBLE_EQ(sums.MwstPerCode[0], 0.0);
    EXPECT_DOUBLE_EQ(sums.MwstPerCode[1], 5.71); // 5.7095
    EXPECT_DOUBLE_EQ(sums.MwstPerCode[2], 0.44); // 0.4375
    EXPECT_DOUBLE_EQ(sums.Netto, 137.30);
    EXPECT_DOUBLE_EQ(sums.Mwst, 6.15);
    EXPECT_DOUBLE_EQ(sums.Brutto, 143.45);
    // Skipped kinds keep their own amounts.
    EXPECT_DOUBLE_EQ(lines[5].Netto, 500.0);
    EXPECT_DOUBLE_EQ(lines[7].Netto, 700.0);
}

TEST(DocumentSums, RatesFollowTheDocumentDateOnlyWhenAsked) {
    // Priced in 2006, the document date moves into 2007.
    std::vector<TDocumentLine> lines = {Normal(100.0, 1, 16.0), Normal(50.0, 2, 7.0),
                                        Kind(PosArtZwisumme)};
    lines[0].MwstBetrag = 16.0;
    const TDocumentSums kept = RecalcDocument(lines, kRates2007, false, false);
    EXPECT_DOUBLE_EQ(lines[0].Mwst, 16.0);
    EXPECT_DOUBLE_EQ(lines[0].MwstBetrag, 16.0);
    // The head always takes the rates of the document date; the subtotal the
    // lines' stored ones.
    EXPECT_DOUBLE_EQ(kept.Mwst, 22.50);
    EXPECT_DOUBLE_EQ(lines[2].MwstBetrag, 19.50);

    const TDocumentSums moved = RecalcDocument(lines, kRates2007, true, false);
    EXPECT_DOUBLE_EQ(lines[0].Mwst, 19.0);
    EXPECT_DOUBLE_EQ(lines[0].MwstBetrag, 19.0);
    EXPECT_DOUBLE_EQ(lines[0].Brutto, 119.0);
    EXPECT_DOUBLE_EQ(lines[1].Brutto, 53.5);
    EXPECT_DOUBLE_EQ(lines[2].MwstBetrag, 22.50);
    EXPECT_DOUBLE_EQ(lines[2].Brutto, 172.50);
    EXPECT_DOUBLE_EQ(moved.Brutto, 172.50);
}

TEST(DocumentSums, SubtotalsRunSinceThePreviousSubtotal) {
    std::vector<TDocumentLine> lines = {
        Normal(0.10, 1, 16.0),      Normal(0.10, 1, 16.0),      Kind(PosArtAlternativ, 9.0),
        Kind(PosArtZwisumme, 99.0), Kind(PosArtZwisumme, 99.0), Normal(2.00, 0, 0.0),
        Kind(PosArtZwisumme),
    };
    RecalcDocument(lines, kRates2006, false, false);
    // The subtotal VAT is summed unrounded: 0.032 shows 0.03, not 0.04.
    EXPECT_DOUBLE_EQ(lines[3].Netto, 0.20);
    EXPECT_DOUBLE_EQ(lines[3].MwstBetrag, 0.03);
    EXPECT_DOUBLE_EQ(lines[3].Brutto, 0.23);
    // A subtotal right after a subtotal shows 0.
    EXPECT_DOUBLE_EQ(lines[4].Netto, 0.0);
    EXPECT_DOUBLE_EQ(lines[4].Brutto, 0.0);
    EXPECT_DOUBLE_EQ(lines[6].Netto, 2.00);
    EXPECT_DOUBLE_EQ(lines[6].MwstBetrag, 0.0);
}

TEST(DocumentSums, KindChangeClearsAmountsOfNonPricedLines) {
    struct Case {
        int kind;
        const char* text;
        bool cleared;
        const char* expectedText;
    };
    const Case cases[] = {
        {PosArtTextLine, "Hinweis", true, "Hinweis"},
        {PosArtZwisumme, "", true, "Zwischensumme"},
        {PosArtZwisumme, "Summe Bau", true, "Summe Bau"},
        {PosArtNeueSeite, "", true, ""},
        {PosArtAlternativ, "", false, ""},
        {PosArtNormal, "", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        TDocumentLine line = Normal(20.0, 2, 7.0);
        line.Menge = 2;
        line.EPreis = 10;
        line.Kurztext = QString::fromUtf8(c.text);
        ApplyPosArtDefaults(line, c.kind);
        EXPECT_EQ(line.Menge, c.cleared ? 0.0 : 2.0);
        EXPECT_EQ(line.EPreis, c.cleared ? 0.0 : 10.0);
        EXPECT_EQ(line.Mwst, c.cleared ? 0.0 : 7.0);
        EXPECT_EQ(line.MwstKz, c.cleared ? 0 : 2);
        EXPECT_DOUBLE_EQ(line.Netto, 20.0);
        EXPECT_EQ(line.Kurztext, QString::fromUtf8(c.expectedText));
    }
    EXPECT_TRUE(IsCalculatedPosArt(PosArtBedarf));
    EXPECT_FALSE(IsCalculatedPosArt(PosArtZwisumme));
}

TEST(DocumentSums, OfferCalculation) {
    TDocumentLine line;
    line.Menge = 2;
    line.EPreis = 10.0;
    line.BasisPreis = 3.0;
    line.BasisMinuten = 15.0;
    line.Einsaetze = 4;
    const TOfferCalc offer{25.0, 12.0};
    CalcDocumentLine(line, 19.0, &offer);
    EXPECT_DOUBLE_EQ(line.Intervallpreis, 20.0);
    EXPECT_DOUBLE_EQ(line.Gesamtpreis, 240.0);
    EXPECT_DOUBLE_EQ(line.GesamtKosten, 24.0);
    EXPECT_DOUBLE_EQ(line.IntervallKosten, 2.0);
    EXPECT_DOUBLE_EQ(line.Gesamtzeit, 120.0);
    EXPECT_DOUBLE_EQ(line.IntervallZeit, 10.0);

    // Zero instalments and operations count as one; a markup of -100 %
    // must not produce a division by zero.
    TDocumentLine plain = line;
    plain.Einsaetze = 0;
    for (double markup : {0.0, -100.0}) {
        SCOPED_TRACE(markup);
        const TOfferCalc zero{markup, 0.0};
        CalcDocumentLine(plain, 19.0, &zero);
        EXPECT_DOUBLE_EQ(plain.Gesamtpreis, 20.0);
        EXPECT_DOUBLE_EQ(plain.GesamtKosten, 6.0);
        EXPECT_DOUBLE_EQ(plain.IntervallKosten, 6.0);
        EXPECT_DOUBLE_EQ(plain.Gesamtzeit, 30.0);
        EXPECT_DOUBLE_EQ(plain.IntervallZeit, 30.0);
    }

    // Head totals, subtotal of the offer values, and the profit.
    TDocumentLine second = line;
    second.IntervallKosten = 0.333;
    std::vector<TDocumentLine> lines = {line, second, Kind(PosArtZwisumme)};
    lines[0].MwstKz = 1;
    lines[1].MwstKz = 1;
    const TDocumentSums sums = RecalcDocument(lines, kRates2007, false, true);
    EXPECT_DOUBLE_EQ(lines[2].Gesamtpreis, 480.0);
    EXPECT_DOUBLE_EQ(lines[2].IntervallKosten, 2.333);
    EXPECT_DOUBLE_EQ(sums.CalcBetragInt, 40.0);
    EXPECT_DOUBLE_EQ(sums.CalcBetragEinsatz, 480.0);
    EXPECT_DOUBLE_EQ(sums.KostenIntervall, 2.33);
    EXPECT_DOUBLE_EQ(sums.KostenEinsatz, 48.0);
    EXPECT_DOUBLE_EQ(sums.GewinnIntervall, 40.0 - 2.33);
    EXPECT_DOUBLE_EQ(sums.GewinnEinsatz, 432.0);
    EXPECT_DOUBLE_EQ(sums.CalczeitInt, 20.0);
    EXPECT_DOUBLE_EQ(sums.CalczeitEinsatz, 240.0);

    // Outside offers the calculation totals stay 0.
    const TDocumentSums notOffer = RecalcDocument(lines, kRates2007, false, false);
    EXPECT_DOUBLE_EQ(notOffer.CalcBetragEinsatz, 0.0);
}

} // namespace
