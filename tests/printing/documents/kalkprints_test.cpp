#include "documentprintfixture.h"
#include "platform/report/paginator.h"
#include "printing/kalkprints.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

// One offer with markup 20 %, 12 instalments and a yearly duration of 125
// minutes, priced lines of every kind.
class KalkPrints : public docprint::DocumentPrintFixture {
protected:
    void SetUp() override {
        DocumentPrintFixture::SetUp();
        addHead(u"Angkopf.DB"_s, 7, u"AN-7"_s,
                {{u"R_CalcAufschlag"_s, 20.0},
                 {u"R_CalcRaten"_s, 12},
                 {u"R_CalczeitEinsatz"_s, 125.0}});
    }
    // A priced line: yearly price and minutes, a twelfth of each per instalment.
    Line priced(int posNr, int kind, const QString& text, double year, double minutes) {
        Line l{posNr, kind, text, 1, year / 12, year / 12};
        l.values = {{u"S_GesamtPreis"_s, year},   {u"S_IntervallPreis"_s, year / 12},
                    {u"S_Gesamtzeit"_s, minutes}, {u"S_IntervallZeit"_s, minutes / 12},
                    {u"S_Einsaetze"_s, 52},       {u"S_BasisVkpreis"_s, 2.5},
                    {u"S_BasisMinuten"_s, 15.0}};
        return l;
    }
    QString storedText(int posNr) {
        auto t = open(u"AngSatz.DB"_s);
        for (t->first(); !t->eof(); t->next())
            if (t->field(u"S_PosNr"_s).asInteger() == posNr)
                return t->field(u"S_Text"_s).asString();
        return {};
    }
    void printSheet(const QString& layout = {}) {
        PrintKalkBlatt(7, u"Objekt 500, Wohnanlage Lindenhof"_s, u"AN-7"_s, true, layout);
    }
};

TEST_F(KalkPrints, TotalsCountNormalLinesOnlyAndTimesPrintAsHours) {
    addLines(u"AngSatz.DB"_s, 7,
             {priced(1000000, 0, u"Treppenhaus"_s, 1200, 780),
              priced(2000000, 1, u"Alternativ Glas"_s, 600, 60),
              priced(3000000, 2, u"Bei Bedarf Keller"_s, 240, 30),
              priced(4000000, 0, u"Außenanlage"_s, 360, 150)});
    printSheet();
    ASSERT_EQ(outputs, 1);
    EXPECT_EQ(printed.of(u"L_Titel2"_s), QStringList{u"Objekt 500, Wohnanlage Lindenhof"_s});
    EXPECT_EQ(printed.of(u"L_Kalkulation"_s), QStringList{u"Kalkulation 7"_s});
    EXPECT_EQ(printed.of(u"L_Angebot"_s), QStringList{u"Angebot AN-7"_s});
    EXPECT_EQ(printed.of(u"K_Einsatzdauer"_s), QStringList{u"2:05 Std"_s});
    EXPECT_EQ(printed.of(u"K_Gesamtpreis"_s),
              (QStringList{money(1200), money(600), money(240), money(360)}));
    EXPECT_EQ(printed.of(u"QR_SummePreis"_s), QStringList{money(1560)});
    EXPECT_EQ(printed.of(u"QRSummePreisInt"_s), QStringList{money(130)});
    EXPECT_EQ(printed.of(u"K_Gesamtzeit"_s),
              (QStringList{u"13:00 Std"_s, u"1:00 Std"_s, u"0:30 Std"_s, u"2:30 Std"_s}));
    EXPECT_EQ(printed.of(u"QRSummeZeit"_s), QStringList{u"15:30 Std"_s});
    EXPECT_EQ(printed.of(u"QRSummeZeitInt"_s), QStringList{u"1:18 Std"_s});
    const auto preise = printed.items(u"K_Gesamtpreis"_s);
    EXPECT_FALSE(preise[0].font.italic);
    EXPECT_TRUE(preise[1].font.italic);
    EXPECT_TRUE(preise[2].font.italic);
    EXPECT_FALSE(preise[3].font.italic);
    EXPECT_EQ(printed.of(u"K_PosNr"_s).first(), u"1"_s);
}

TEST_F(KalkPrints, AnOfferWithOnlyAlternativeLinesPrintsZeroTotals) {
    addLines(u"AngSatz.DB"_s, 7, {priced(1000000, 1, u"Alternativ"_s, 600, 60)});
    printSheet();
    EXPECT_EQ(printed.of(u"QR_SummePreis"_s), QStringList{money(0)});
    EXPECT_EQ(printed.of(u"QRSummeZeit"_s), QStringList{u"0:00 Std"_s});
}

TEST_F(KalkPrints, APageBreakLineStartsANewPageAndPrintsOnNeither) {
    addLines(u"AngSatz.DB"_s, 7,
             {priced(1000000, 0, u"Erste Seite"_s, 120, 60),
              {2000000, 5, u"Umbruch"_s},
              priced(3000000, 0, u"Zweite Seite"_s, 240, 60)});
    printSheet();
    ASSERT_EQ(printed.pageCount, 2);
    EXPECT_TRUE(printed.has(u"Erste Seite"_s, 0));
    EXPECT_TRUE(printed.has(u"Zweite Seite"_s, 1));
    EXPECT_FALSE(printed.has(u"Umbruch"_s));
    EXPECT_EQ(printed.of(u"K_Gesamtpreis"_s), (QStringList{money(120), money(240)}));
    EXPECT_EQ(storedText(2000000), u"Umbruch"_s);
}

// The "@" markers print as blanks on lines that cannot be written (an
// archived offer, a table another station holds): the print only reads.
TEST_F(KalkPrints, AtSignsPrintAsBlanksWhileTheLinesStayAsStored) {
    addLines(u"AngSatz.DB"_s, 7, {priced(1000000, 0, u"Fenster @innen@ reinigen"_s, 120, 60)});
    auto locked = open(u"AngSatz.DB"_s);
    locked->first();
    locked->edit(); // holds the record's lock for the whole print
    printSheet();
    locked->cancel();
    ASSERT_EQ(outputs, 1);
    EXPECT_TRUE(printed.has(u"Fenster   innen   reinigen"_s));
    EXPECT_FALSE(printed.has(u"@"_s));
    EXPECT_EQ(storedText(1000000), u"Fenster @innen@ reinigen"_s);
}

TEST_F(KalkPrints, APrintFromThePreviewShowsTheSameTotals) {
    addLines(u"AngSatz.DB"_s, 7,
             {priced(1000000, 0, u"Treppenhaus"_s, 1200, 780),
              priced(2000000, 0, u"Außenanlage"_s, 360, 150)});
    QStringList totals;
    afterOutput = [&](report::Report& rep) {
        // The preview's print runs the report once more.
        const std::shared_ptr<docprint::Printed> again = docprint::spyOn(rep);
        report::paginate(rep);
        totals = again->of(u"QR_SummePreis"_s) + again->of(u"QRSummeZeit"_s);
    };
    printSheet();
    EXPECT_EQ(printed.of(u"QR_SummePreis"_s) + printed.of(u"QRSummeZeit"_s),
              (QStringList{money(1560), u"15:30 Std"_s}));
    EXPECT_EQ(totals, (QStringList{money(1560), u"15:30 Std"_s}));
}

TEST_F(KalkPrints, ASubtotalLinePrintsOnlyWithTheYearlyPriceColumnOn) {
    addLines(u"AngSatz.DB"_s, 7,
             {priced(1000000, 0, u"Treppenhaus"_s, 1200, 780),
              priced(2000000, 4, u"Zwischensumme"_s, 1200, 780)});
    printSheet();
    EXPECT_EQ(printed.of(u"K_Gesamtpreis"_s), (QStringList{money(1200), money(1200)}));
    EXPECT_EQ(printed.of(u"K_Menge"_s).last(), QString());
    EXPECT_EQ(printed.of(u"QR_SummePreis"_s), QStringList{money(1200)});

    const QString layout =
        writeLayoutOf(39001, u"TQRKalk01"_s, enable({u"K_Gesamtpreis"_s}, false));
    printSheet(layout);
    EXPECT_FALSE(printed.has(u"Zwischensumme"_s));
    EXPECT_EQ(printed.of(u"K_Intervallpreis"_s), QStringList{money(100)});
}

TEST_F(KalkPrints, TheServiceListPrintsTheLinesWithoutTotals) {
    addLines(u"AngSatz.DB"_s, 7,
             {priced(1000000, 0, u"Treppenhaus"_s, 1200, 780),
              {2000000, 3, u"Hinweis: Schlüssel beim Hausmeister"_s}});
    PrintLeistVerz(7, u"Objekt 500"_s, u"AN-7"_s, false, {});
    ASSERT_EQ(outputs, 1);
    EXPECT_FALSE(printed.preview);
    EXPECT_EQ(printed.of(u"L_Titel"_s), QStringList{u"Leistungsverzeichnis"_s});
    EXPECT_EQ(printed.of(u"K_Kurztext"_s),
              (QStringList{u"Treppenhaus"_s, u"Hinweis: Schlüssel b"_s}));
    EXPECT_EQ(printed.of(u"K_Menge"_s), (QStringList{u"1,00"_s, QString()}));
    EXPECT_TRUE(printed.of(u"K_Gesamtpreis"_s).isEmpty());
    EXPECT_TRUE(printed.of(u"QR_SummePreis"_s).isEmpty());
    EXPECT_TRUE(printed.has(u"Hausmeisterdienst Sauber GmbH"_s));
    EXPECT_TRUE(printed.has(u"Bank: Sparkasse Musterstadt"_s));
}

TEST_F(KalkPrints, AMissingOfferPrintsNothing) {
    PrintKalkBlatt(99, {}, {}, true, {});
    PrintLeistVerz(99, {}, {}, true, {});
    EXPECT_EQ(outputs, 0);
}

} // namespace
