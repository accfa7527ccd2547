#include "documentdescription.h"
#include "platform/richtext/rtf.h"

#include <QTextDocument>
#include <gtest/gtest.h>
#include <ostream>

using richtext::fromRtf;
using richtext::plainTextOfRtf;

namespace {

struct TextCase {
    const char* name;
    const char* rtf;
    const char16_t* text; // paragraphs separated by '\n'
};

void PrintTo(const TextCase& c, std::ostream* out) {
    *out << c.name;
}

// What a reader must make of the text of RTF, formatting aside.
const TextCase kTextCases[] = {
    {"HexBytesInTheDefaultCodePage", R"({\rtf1 Gr\'fc\'dfe \'80\'84\'93})", u"Grüße €„“"},
    {"HexBytesInTheDocumentCodePage", R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8\'e2\'e5\'f2})",
     u"Привет"},
    {"HexBytesInTheFontCharset",
     R"({\rtf1{\fonttbl{\f0 Arial;}{\f1\fcharset161 Arial Greek;}}\f0 \'e4 {\f1 \'e1\'e2\'e3})",
     u"ä αβγ"},
    {"MultiByteCodePageAcrossHexBytes",
     R"({\rtf1{\fonttbl{\f0\fcharset128 MS Mincho;}}\f0 \'93\'fa\'96\'7b})", u"日本"},
    {"UnicodeWithOneFallbackByte", R"({\rtf1 \u8364\'80 \u8364?x})", u"€ €x"},
    {"UnicodeFallbackCountFromUc", R"({\rtf1\uc2 \u20320\'c4\'e3 \uc0\u937 x})", u"你 Ωx"},
    {"UnicodeFallbackCountIsScopedToTheGroup", R"({\rtf1 {\uc3 a}\u937 xy})", u"aΩy"},
    {"UnicodeFallbackEndsAtAGroup", R"({\rtf1\uc3 \u937{b}c})", u"Ωbc"},
    {"UnicodeNegativeAndSurrogates", R"({\rtf1 \u-3971?\u-10179?\u-8704?})", u"\uF07D\U0001F600"},
    {"ControlSymbols", R"({\rtf1 a\\b\{c\}d\~e\-f\_g})", u"a\\b{c}d\u00A0e\u00ADf\u2011g"},
    {"SpecialCharacterWords",
     R"({\rtf1 \emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote\emspace\enspace})",
     u"—–•‘’“”\u2003\u2002"},
    {"LineAndParagraphBreaks", R"({\rtf1 a\line b\par c\par d})", u"a\nb\nc\nd"},
    {"BackslashNewlineIsAParagraph", "{\\rtf1 a\\\r\nb}", u"a\nb"},
    {"RawLineEndsAreNotText", "{\\rtf1 a\r\nb\nc}", u"abc"},
    {"DelimiterSpaceIsNotText", R"({\rtf1\b fett\b0  normal})", u"fett normal"},
    {"TrailingParIsNoEmptyParagraph", R"({\rtf1 a\par})", u"a"},
    {"EmptyParagraphsInBetween", R"({\rtf1 a\par\par\par b\par})", u"a\n\n\nb"},
    {"StarredUnknownDestinationSkipped", R"({\rtf1 a{\*\unbekannt geheim {\b x}}b})", u"ab"},
    {"StarredKnownDestinationRead", R"({\rtf1 a{\*\fldrslt b}c})", u"abc"},
    {"UnknownWordWithoutStarIgnored", R"({\rtf1 a{\unbekannt b}c})", u"abc"},
    {"SkippedDestinations",
     R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red1\green2\blue3;}{\stylesheet{\s0 Normal;}})"
     R"({\info{\title Titel}{\author Wer}}{\header Kopf\par}{\footer Fuss\par})"
     R"({\footnote Note}{\*\generator Msftedit;}Text})",
     u"Text"},
    {"PictureSkipped", R"({\rtf1 a{\pict\pngblip\picw10 89504e470d0a1a0a}b})", u"ab"},
    {"BinaryDataSkipped", "{\\rtf1 a{\\pict\\bin6 }{\\}\\x}b}", u"ab"},
    {"FieldKeepsItsResult",
     R"({\rtf1 Siehe {\field{\*\fldinst HYPERLINK "http://x.de"}{\fldrslt {\ul x.de}}}.})",
     u"Siehe x.de."},
    {"FieldInstructionWithoutStarSkipped", R"({\rtf1 Seite {\field{\fldinst PAGE }{\fldrslt 3}}})",
     u"Seite 3"},
    {"HiddenTextLeftOut", R"({\rtf1 a{\v versteckt}b\v c\v0 d})", u"abd"},
    {"TableRowsInReadingOrder",
     R"({\rtf1\trowd\cellx1000\cellx2000\cellx3000\pard\intbl A1\cell B1\cell C1\cell\row)"
     R"(\trowd\cellx1000\cellx2000\cellx3000\pard\intbl A2\cell\cell C2\cell\row\pard danach\par})",
     u"A1\tB1\tC1\nA2\t\tC2\ndanach"},
    {"ListTextOfOrdinaryParagraphIsText", R"({\rtf1{\listtext 1.\tab}Eins\par})", u"1.\tEins"},
    {"ListTextOfListItemDropped",
     R"({\rtf1{\pntext\f1\'b7\tab}{\*\pn\pnlvlblt{\pntxtb\'b7}}Punkt\par})", u"Punkt"},
    {"ControlCharactersDropped", "{\\rtf1 a\\'00\\'0a\\'0d\\u13?\\u8233?b\\'07}", u"a\nb"},
    {"TextAfterTheDocumentIgnored", R"({\rtf1 a}b{c})", u"a"},
    {"LeadingWhiteSpaceAndBom", "\xEF\xBB\xBF \r\n{\\rtf1 a}", u"a"},
    {"WordLongerThanUsual", R"({\rtf1 a\abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz b})",
     u"ab"},
};

class RtfText : public testing::TestWithParam<TextCase> {};

TEST_P(RtfText, ReadsTheText) {
    EXPECT_EQ(plainTextOfRtf(QByteArray(GetParam().rtf)).toStdU16String(),
              std::u16string(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Cases, RtfText, testing::ValuesIn(kTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct FormatCase {
    const char* name;
    const char* rtf;
    const char* description; // as describeDocument gives it
};

void PrintTo(const FormatCase& c, std::ostream* out) {
    *out << c.name;
}

const FormatCase kFormatCases[] = {
    {"CharacterFormatsAndReset",
     R"({\rtf1{\fonttbl{\f0 Arial;}{\f1 Times New Roman;}}\f0\fs20 a\b b\i c\b0\i0\ul d\ulnone)"
     R"(\strike e\strike0\f1\fs28 f\plain g})",
     "[left] {Arial 10}a {Arial 10 bold}b {Arial 10 bold italic}c {Arial 10 underline1}d {Arial "
     "10 strike}e {Times New Roman 14}f {Arial 12}g\n"},
    {"GroupsRestoreFormatting", R"({\rtf1{\fonttbl{\f0 Arial;}}\f0 a{\b b{\i c}d}e})",
     "[left] {Arial 12}a {Arial 12 bold}b {Arial 12 bold italic}c {Arial 12 bold}d {Arial 12}e\n"},
    {"DefaultFontFromDeff", R"({\rtf1\deff1{\fonttbl{\f0 Arial;}{\f1 Verdana;}}a})",
     "[left] {Verdana 12}a\n"},
    {"UnderlineKinds", R"({\rtf1{\fonttbl{\f0 A;}}\uld a\uldash b\ulwave c\uldb d\ulw e\ul0 f})",
     "[left] {A 12 underline3}a {A 12 underline2}b {A 12 underline6}c {A 12 underline1}de {A "
     "12}f\n"},
    {"ColoursFromTheTable",
     R"({\rtf1{\fonttbl{\f0 A;}}{\colortbl;\red255\green0\blue0;\red0\green0\blue255;})"
     R"(\cf1 a\cf2\highlight1 b\cf0\highlight0 c\chcbpat2 d\cb1 e\cf9 f})",
     "[left] {A 12 fg#ff0000}a {A 12 fg#0000ff bg#ff0000}b {A 12}c {A 12 bg#0000ff}d {A 12 "
     "bg#ff0000}ef\n"},
    {"SuperAndSubscript", R"({\rtf1{\fonttbl{\f0 A;}}m\super 2\nosupersub H\sub 2\sub0 O})",
     "[left] {A 12}m {A 12 super}2 {A 12}H {A 12 sub}2 {A 12}O\n"},
    {"ParagraphFormats",
     R"({\rtf1{\fonttbl{\f0 A;}}\qc a\par\qr b\par\qj c\par\pard\li720\ri360\fi-360\sb120\sa240 d)"
     R"(\par\pard e\par})",
     "[center] {A 12}a\n[right] {A 12}b\n[justify] {A 12}c\n[left indent 48/-24 right 24 space "
     "8/16] {A 12}d\n[left] {A 12}e\n"},
    {"ParagraphFormatsApplyToTheWholeParagraph", R"({\rtf1{\fonttbl{\f0 A;}}a\qc\par b})",
     "[center] {A 12}a\n[center] {A 12}b\n"},
    {"TabStops",
     R"({\rtf1{\fonttbl{\f0 A;}}\tx1500\tqr\tx3000\tqc\tx4500\tqdec\tldot\tx6000 a\tab b\par)"
     R"(\pard c\par})",
     "[left tab0@100 tab1@200 tab2@300 tab3@400] {A 12}a<tab>b\n[left] {A 12}c\n"},
    {"PageBreaks", R"({\rtf1{\fonttbl{\f0 A;}}a\page b\par\pagebb c\par})",
     "[left] {A 12}a\n[left pagebreak] {A 12}b\n[left pagebreak] {A 12}c\n"},
    {"EmptyParagraphKeepsItsMarkFormat", R"({\rtf1{\fonttbl{\f0 A;}}a\par\fs40\par b})",
     "[left] {A 12}a\n[left] (A 20)\n[left] {A 20}b\n"},
    {"OlderBulletsAndNumbers",
     R"({\rtf1{\fonttbl{\f0 A;}{\f1\fcharset2 Symbol;}}{\pntext\f1\'b7\tab})"
     R"({\*\pn\pnlvlblt\pnf1{\pntxtb\'b7}}\fi-360\li360 x\par{\pntext\f1\'b7\tab}y\par)"
     R"(\pard{\pntext 1.\tab}{\*\pn\pnlvlbody\pndec{\pntxta .}}eins\par)"
     R"(\pard{\*\pn\pnlvl2\pnlcltr}a\par\pard{\*\pn\pnucrm}I\par\pard z\par})",
     "[left list-1/1] {A 12}x\n[left list-1/1] {A 12}y\n[left list-4/1] {A 12}eins\n[left "
     "list-5/2] {A 12}a\n[left list-8/1] {A 12}I\n[left] {A 12}z\n"},
    {"ListTableLevelsAndOverrides",
     R"({\rtf1{\fonttbl{\f0 A;}}{\*\listtable{\list{\listlevel\levelnfc23{\leveltext\'01\u8226 ?;}})"
     R"({\listlevel\levelnfc23{\leveltext\'01o;}}{\listlevel\levelnfc23{\leveltext\'01\u9642 ?;}})"
     R"(\listid7}{\list{\listlevel\levelnfc0{\leveltext\'02\'00.;}}{\listlevel\levelnfc4)"
     R"({\leveltext\'02\'01);}}\listid9}}{\listoverridetable{\listoverride\listid9\ls1})"
     R"({\listoverride\listid7\ls2}}\pard\ls2\ilvl0 a\par\ls2\ilvl1 b\par\ls2\ilvl2 c\par)"
     R"(\pard\ls1 d\par\ls1\ilvl1 e\par\pard\ls5 f\par})",
     "[left list-1/1] {A 12}a\n[left list-2/2] {A 12}b\n[left list-3/3] {A 12}c\n[left "
     "list-4/1] {A 12}d\n[left list-5/2] {A 12}e\n[left list-1/1] {A 12}f\n"},
};

class RtfFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(RtfFormat, ReadsTheFormatting) {
    const auto document = fromRtf(QByteArray(GetParam().rtf));
    EXPECT_EQ(describeDocument(*document).toStdString(), GetParam().description);
}

INSTANTIATE_TEST_SUITE_P(Cases, RtfFormat, testing::ValuesIn(kFormatCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RtfReader, ListItemsOfOneListNumberOnAcrossOtherParagraphs) {
    const auto document =
        fromRtf(R"({\rtf1{\*\listtable{\list{\listlevel\levelnfc0}\listid1}}{\listoverridetable)"
                R"({\listoverride\listid1\ls1}}\pard\ls1 a\par\pard x\par\pard\ls1 b\par})");
    EXPECT_EQ(plainTextOfRtf(richtext::toRtf(*document)), QStringLiteral("a\nx\nb"));
    EXPECT_TRUE(richtext::toRtf(*document).contains("2.\\tab}"));
}

TEST(RtfReader, ReplacesTheWholeContentOfADocument) {
    const QByteArray rtf = kFormatCases[std::size(kFormatCases) - 1].rtf;
    QTextDocument document;
    document.setPlainText(QStringLiteral("alt\nalt"));
    richtext::readRtf(rtf, &document);
    EXPECT_EQ(describeDocument(document), describeDocument(*fromRtf(rtf)));
    EXPECT_TRUE(document.isUndoAvailable()) << "replacing is one step the user can undo";
}

TEST(RtfReader, BrokenInputLeavesTheDocumentAsItWas) {
    QTextDocument document;
    document.setPlainText(QStringLiteral("alt"));
    for (const QByteArray& broken :
         QList<QByteArray>{"kein RTF", "{\\rtf1 neu{" + QByteArray(1000, '{')}) {
        EXPECT_THROW(richtext::readRtf(broken, &document), richtext::RtfError);
        EXPECT_EQ(document.toPlainText(), QStringLiteral("alt"));
    }
}

TEST(RtfReader, NewDocumentHasNothingToUndo) {
    EXPECT_FALSE(fromRtf(R"({\rtf1 a\par b})")->isUndoAvailable());
}

TEST(RtfReader, PlainTextOfTextThatIsNotRtfIsWindows1252) {
    EXPECT_EQ(plainTextOfRtf("Gr\xfc\xdf"
                             "e \x80"),
              QStringLiteral("Grüße €"));
    EXPECT_EQ(plainTextOfRtf(QByteArray()), QString());
}

TEST(RtfReader, StoredTextIsRtfOrPlainText) {
    EXPECT_EQ(richtext::fromRtfOrPlainText(R"({\rtf1 a\par b})")->toPlainText(),
              QStringLiteral("a\nb"));
    EXPECT_EQ(richtext::fromRtfOrPlainText("{\\rt\xe4")->toPlainText(), QStringLiteral("{\\rtä"));
    EXPECT_THROW(richtext::fromRtfOrPlainText("{\\rtf1\\fs99999999999"), richtext::RtfError);
}

TEST(RtfReader, RecognisesRtf) {
    EXPECT_TRUE(richtext::isRtf("{\\rtf1 a}"));
    EXPECT_TRUE(richtext::isRtf("\r\n {\\rtf"));
    EXPECT_FALSE(richtext::isRtf("{\\rt"));
    EXPECT_FALSE(richtext::isRtf("Text {\\rtf1}"));
    EXPECT_FALSE(richtext::isRtf(QByteArray()));
}

TEST(RtfReader, PlainTextRoundTrip) {
    const QString text = QStringLiteral("Zeile 1\n\tmit Tab € Ω {}\\\n\nEnde");
    const QByteArray rtf = richtext::rtfFromPlainText(text);
    EXPECT_EQ(plainTextOfRtf(rtf), text);
    const auto document = fromRtf(rtf);
    EXPECT_EQ(describeDocument(*document).section(QLatin1Char('\n'), 0, 0),
              QStringLiteral("[left] {Arial 10}Zeile 1"));
    EXPECT_EQ(plainTextOfRtf(richtext::rtfFromPlainText(QStringLiteral("a\r\nb"))),
              QStringLiteral("a\nb"));
    EXPECT_TRUE(
        richtext::rtfFromPlainText(QStringLiteral("x"), QFont(QStringLiteral("Courier New"), 9))
            .contains("Courier New"));
}

} // namespace
