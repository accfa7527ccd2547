#include "commercial/documents/textplaceholders.h"
#include "core/regionalguard.h"
#include "platform/richtext/rtf.h"

#include <QDate>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

TDateTime day(int y, int m, int d) {
    return DateTimeOfDate(QDate(y, m, d));
}

TPaymentTermValues terms() {
    TPaymentTermValues v;
    v.Days1 = 14;
    v.Days2 = 7;
    v.DocDate = day(2006, 3, 1);
    v.Gross = 1234.5;
    v.Percent1 = 2;
    v.Percent2 = 3.5;
    return v;
}

struct Case {
    const char* text;
    const char* expected;
};

class TextPlaceholders : public ::testing::Test {
protected:
    RegionalGuard regional; // German separators and names
};

TEST_F(TextPlaceholders, PaymentTermMarkersAndSuffixes) {
    const Case cases[] = {
        {"zahlbar bis @ZBD1[dd.mm.yyyy] abzüglich @ZBP1 %",
         "zahlbar bis 15.03.2006 abzüglich 2.0 %"},
        {"@zbt1 Tage", "14 Tage"},                          // any case
        {"@ZBD1", "15.03.2006"},                            // default dd/mm/yyyy, "/" regional
        {"@ZBD1+3[dd.mm.]", "18.03."},                      // offset before the format
        {"@ZBD2-1", "07.03.2006"},                          // negative offset
        {"@ZBD1+-[yyyy]", "2006"},                          // a run that is no number counts 0
        {"@ZBD1[dddd]", "Mittwoch"},                        // weekday names of the region
        {"@ZBT1[000]", "014"},                              // zero-padded
        {"@ZBT1[###]", " 14"},                              // right-aligned
        {"@ZBT1[0]", "14"},                                 // never cut
        {"@ZBB1 + @ZBB1", "24.7 + @ZBB1"},                  // first occurrence only
        {"@ZBB1[@.@@@,@@]", "   24,69"},                    // grouped with 2 decimals, width 8
        {"@ZBB2[@@@@,@@]", "  43.21"},                      // decimals 2, "." as mark
        {"@ZBP2[@@@]", "  4"},                              // no separator: no decimals
        {"@ZBP1[]", "2.0[]"},                               // "[]" is no format and stays
        {"@ZBT1[000 Rest", "00000014"},                     // no "]": the rest is the format
        {"@ZBT1[000\nnächste Zeile", "014\nnächste Zeile"}, // ... of the line
        {"@ZBT1+3", "14+3"},                                // offsets only on dates
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ExpandPaymentTerms(QString::fromUtf8(c.text), terms()),
                  QString::fromUtf8(c.expected));
    }
}

TEST_F(TextPlaceholders, GroupedNumbersFollowTheRegionalSeparators) {
    TPaymentTermValues v = terms();
    v.Percent1 = 100;
    EXPECT_EQ(ExpandPaymentTerms(QStringLiteral("@ZBB1[@.@@@,@@]"), v), QStringLiteral("1.234,50"));
    RegionalGuard english(RegionalGuard::english(QStringLiteral("$")));
    EXPECT_EQ(ExpandPaymentTerms(QStringLiteral("@ZBB1[@,@@@.@@]"), v), QStringLiteral("1,234.50"));
    // Thousands separator alone: the places behind it are the decimals.
    EXPECT_EQ(ExpandPaymentTerms(QStringLiteral("@ZBB1[@,@@]"), v), QStringLiteral("1234.50"));
}

TEST_F(TextPlaceholders, EmptyValuesKeepTheMarkersWidth) {
    TPaymentTermValues v;
    EXPECT_EQ(ExpandPaymentTerms(QStringLiteral("bis @ZBD1!"), v), QStringLiteral("bis      !"));
    TDunningValues d;
    QString text = QStringLiteral("Nr. @RGNO, Datum @RGDATUM.");
    ExpandDunningText(text, d);
    EXPECT_EQ(text, QStringLiteral("Nr.      , Datum         ."));
}

TDunningValues dunning() {
    TDunningValues v;
    v.Days1 = 14;
    v.Days2 = 30;
    v.NetDays = 45;
    v.DocDate = day(2006, 3, 1);
    v.DueDate = day(2006, 4, 15);
    v.Gross = 500;
    v.Paid = 120.5;
    v.Open = 379.5;
    v.Percent1 = 2;
    v.Percent2 = 1;
    v.InvoiceNr = QStringLiteral("2006-0042");
    v.PaymentTerms = QStringLiteral("@ZBT1 Tage @ZBP1 %, bis @ZBD1[dd.mm.yy]");
    return v;
}

TEST_F(TextPlaceholders, DunningMarkers) {
    const Case cases[] = {
        {"@TAGE1/@TAGE2/@TAGENETTO", "14/30/45"},
        {"@RGDATUM @FAELLDATUM+1[d.m.]", "01.03.2006 16.4."},
        {"@RGBETRAG[@@@@@,@@] @ZAHLUNGEN[@@@@,@@] @RESTBETRAG", "  500.00  120.50 379.5"},
        {"@SKONTO1 @SKONTO2", "2.0 1.0"},
        {"[@RGNO[$$$$$$$$$$]]", "[2006-0042 ]"},
        {"[@RGNO[>>>>]]", "[2006]"},
        {"[@RGNO[############]]", "[   2006-0042]"},
        {"@rgno @RGNO", "2006-0042 @RGNO"},
        // The payment terms are inserted and their own markers expanded.
        {"Bedingungen: @ZAHLBED.", "Bedingungen: 14 Tage 2.0 %, bis 15.03.06."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        QString text = QString::fromUtf8(c.text);
        ExpandDunningText(text, dunning());
        EXPECT_EQ(text, QString::fromUtf8(c.expected));
    }
}

TTemplateValues entry() {
    TTemplateValues v;
    v.ObjektNr = 7;
    v.OMatch = QStringLiteral("HAUPTSTR");
    v.OName1 = QStringLiteral("Wohnanlage Hauptstraße");
    v.OStrasse = QStringLiteral("Hauptstraße 1");
    v.OPlz = QStringLiteral("50667");
    v.OOrt = QStringLiteral("Köln");
    v.KundenNr = 100;
    v.KName1 = QStringLiteral("Müller & Co");
    v.Today = day(2024, 5, 6);     // a Monday
    v.TourDate = day(2024, 5, 10); // a Friday
    v.TourNr = 3;
    v.TourText = QStringLiteral("Innenstadt");
    v.StaffName = QStringLiteral("Ilse Fleißig");
    v.FromTime = DateTimeOfMoment(QDate(1899, 12, 30), QTime(7, 30));
    v.ToTime = DateTimeOfMoment(QDate(1899, 12, 30), QTime(16, 5));
    return v;
}

TEST_F(TextPlaceholders, TemplateMarkers) {
    const Case cases[] = {
        {"Objekt @ONR[000]: @ONAME1, @OPLZ @OORT",
         "Objekt 007: Wohnanlage Hauptstraße, 50667 Köln"},
        {"Kunde @KNR @KNAME1", "Kunde 100 Müller & Co"},
        {"[@KNAME2]", "[]"}, // an empty value disappears
        {"@DATUM @WOCHTAG", "06.05.2024 Montag"},
        {"@WOCHTAG @TWOCHTAG", "Montag Freitag"},
        {"@TDATUM+1 @TWOCHTAG", "11.05.2024 Samstag"},
        {"@DATUM-1[dd.mm.] @WOCHTAG, @TDATUM[dddd]", "05.05. Sonntag, Freitag"},
        {"Tour @TNR @TBEZEICH (@TPERSNAME)", "Tour 3 Innenstadt (Ilse Fleißig)"},
        {"@TVONUHR - @TBISUHR[hh:nn]", "07:30:00 - 16:05"},
        {"@ONR @ONR", "7 7"},    // every occurrence
        {"@onr @ONR", "@onr 7"}, // capitals only; the rest goes on
        {"info@firma.de @OORT", "info@firma.de Köln"},
        {"@DATUM1 @OORT", "@DATUM1 Köln"}, // digits belong to the token
        {"@OMATCH[$$$$]|", "HAUP|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        QString line = QString::fromUtf8(c.text);
        ExpandTemplateText(line, entry());
        EXPECT_EQ(line, QString::fromUtf8(c.expected));
    }
}

TEST_F(TextPlaceholders, InsertedValuesAreNotExpandedAgain) {
    TTemplateValues v = entry();
    v.OName1 = QStringLiteral("@KNR");
    QString line = QStringLiteral("@ONAME1 @KNR");
    ExpandTemplateText(line, v);
    EXPECT_EQ(line, QStringLiteral("@KNR 100"));
}

TEST_F(TextPlaceholders, WeekdayMemoryStartsAgainOnEachLine) {
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("@DATUM+1 @WOCHTAG\n@WOCHTAG"));
    ExpandTemplateDocument(doc, entry());
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("07.05.2024 Dienstag\nMontag"));
}

// A letter whose markers carry mixed formatting: found all the same, and the
// values take the formatting of the marker's first character.
TEST_F(TextPlaceholders, RichDunningLetterKeepsFormattingAndBraces) {
    const QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 "
                           "Rechnung {\\b @RG}NO vom @RGDATUM\\par "
                           "Offen: {\\i @RESTBETRAG[@@@@,@@]} Euro\\par "
                           "@ZAHLBED\\par}";
    TDunningValues v = dunning();
    v.InvoiceNr = QStringLiteral("{R\\42}");
    v.PaymentTerms = QStringLiteral("Skonto @ZBP1 % {bis} @ZBD1");
    const QByteArray out = ExpandDunningRichText(rtf, v);
    auto doc = richtext::fromRtf(out);
    EXPECT_EQ(doc->toPlainText(), QStringLiteral("Rechnung {R\\42} vom 01.03.2006\n"
                                                 "Offen:  379.50 Euro\n"
                                                 "Skonto 2.0 % {bis} 15.03.2006"));
    const QString text = doc->toPlainText();
    QTextCursor c(doc.get());
    c.setPosition(int(text.indexOf(u'{')) + 1);
    EXPECT_TRUE(c.charFormat().font().bold());
    c.setPosition(int(text.indexOf(QStringLiteral("379"))) + 1);
    EXPECT_TRUE(c.charFormat().font().italic());
    c.setPosition(int(text.indexOf(QStringLiteral("vom"))) + 1);
    EXPECT_FALSE(c.charFormat().font().bold());
}

TEST_F(TextPlaceholders, RichTemplateExpandsEveryParagraph) {
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 "
                           "{\\ul @TNR} @TBEZEICH\\par @ONAME1\\par Mail: info@firma.de\\par}";
    auto doc = richtext::fromRtf(ExpandTemplateRichText(rtf, entry()));
    EXPECT_EQ(doc->toPlainText(),
              QStringLiteral("3 Innenstadt\nWohnanlage Hauptstraße\nMail: info@firma.de"));
    QTextCursor c(doc.get());
    c.setPosition(1);
    EXPECT_TRUE(c.charFormat().font().underline());
}

TEST_F(TextPlaceholders, MarkerTables) {
    EXPECT_EQ(PaymentTermPlaceholders().size(), 8);
    EXPECT_EQ(DunningPlaceholders().size(), 12);
    EXPECT_EQ(TemplatePlaceholders().size(), 29);
    EXPECT_EQ(TemplatePlaceholderIndex(QStringLiteral("@TBISUHR")), 28);
    EXPECT_EQ(TemplatePlaceholderIndex(QStringLiteral("@tnr")), -1);
}

} // namespace
