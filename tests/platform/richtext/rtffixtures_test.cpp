#include "documentdescription.h"
#include "platform/richtext/rtf.h"
#include "support/testdirs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <ostream>

namespace {

QString testDir() { return testsupport::sourceDir() + QStringLiteral("/tests/platform/richtext"); }

QByteArray fixture(const QString& name) {
    QFile file(testDir() + QStringLiteral("/fixtures/") + name);
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "missing fixture " << name.toStdString();
    return file.readAll();
}

struct FixtureCase {
    const char* file;
    const char* description;
};

void PrintTo(const FixtureCase& c, std::ostream* out) {
    *out << c.file;
}

// Files written by LibreOffice Writer (converted from an HTML and a flat ODF
// document) and, by hand, in the style of rich-edit controls and Word.
const FixtureCase kFixtures[] = {
    {"libreoffice_formatted.rtf",
     "[left space 0/9.3] {Liberation Sans 12}Normal  {Liberation Sans 12 bold}fett {Liberation "
     "Sans 12}  {Liberation Sans 12 italic}kursiv {Liberation Sans 12}  {Liberation Sans 12 "
     "underline1}unterstrichen {Liberation Sans 12}  {Liberation Sans 12 "
     "strike}durchgestrichen {Liberation Sans 12}  {Liberation Sans 12 fg#ff0000}rot "
     "{Liberation Sans 12}  {Liberation Sans 12 fg#0000ff}blau {Liberation Sans 12}.\n"
     "[center space 0/9.3] {Liberation Serif 12}Zentriert: Grüße aus Köln – Straße, Maß, 5 €\n"
     "[right space 0/9.3] {Liberation Serif 12}Rechtsbündig\n"
     "[left list-1/1 tab0@47.3] {Liberation Serif 12}Erster Punkt\n"
     "[left list-1/1 space 0/9.3 tab0@47.3] {Liberation Serif 12}Zweiter Punkt\n"
     "[left list-4/1 tab0@47.3] {Liberation Serif 12}Eins\n"
     "[left list-4/1 tab0@47.3] {Liberation Serif 12}Zwei\n"
     "[left list-4/1 space 0/9.3 tab0@47.3] {Liberation Serif 12}Drei\n"
     "[left space 0/9.3] {Liberation Serif 12}Spalte1 Spalte2 Spalte3\n"
     "[left] {Liberation Serif 12}A1<tab>B1\n"
     "[left] {Liberation Serif 12}A2<tab>B2\n"
     "[left space 0/9.3] {Liberation Serif 12}Ende ☺ Ω\n"},
    {"libreoffice_tabs.rtf",
     "[left indent 37.8/18.9 right 18.9 tab0@151.2 tab1@340.1 tab2@453.5] {Liberation Sans "
     "10}Pos<tab>Artikel<tab>12,50 €<tab>Mitte\n"
     "[left indent 37.8/18.9 right 18.9 tab0@151.2 tab1@340.1 tab2@453.5] {Liberation Sans 10 "
     "bold italic}Fett kursiv {Liberation Sans 10}<line>zweite Zeile\n"
     "[justify] {Liberation Mono 14}Blocksatz  {Liberation Mono 14 fg#008000 "
     "bg#ffff00}markiert {Liberation Mono 14} m {Liberation Mono 14 super}2 {Liberation Mono "
     "14} Ärger Œuvre „Zitat“\n"},
    {"richedit_letter.rtf",
     "[left] {Arial 10}Sehr geehrte Damen und Herren,\n"
     "[left] (Arial 10)\n"
     "[left] {Arial 10}wir bedanken uns für Ihren Auftrag und bestätigen:\n"
     "[left list-1/1] {Arial 10 bold}Glasreinigung {Arial 10} quartalsweise\n"
     "[left list-1/1] {Arial 10 fg#ff0000}Treppenhaus {Arial 10} wöchentlich\n"
     "[left list-4/1] {Arial 10}Erstens\n"
     "[left list-4/1] {Arial 10}Zweitens\n"
     "[left tab0@75.6 tab1@378] {Arial 10}Pos<tab>Leistung<tab>Betrag\n"
     "[left tab0@75.6 tab1@378] {Arial 10}1<tab>Unterhaltsreinigung<tab>1.250,00 €\n"
     "[center] {Times New Roman 14 italic}Mit freundlichen Grüßen\n"
     "[left] {Arial 10 underline1 fg#008000}Straße {Arial 10} №5\n"},
    {"word_features.rtf",
     "[left] {Times New Roman 12}Angebot für  {Times New Roman 12 underline1 "
     "fg#0000ff}www.example.com {Times New Roman 12} und  {Arial Cyr 12}Привет {Times New Roman "
     "12}.\n"
     "[left] {Times New Roman 12}Bild davor\n"
     "[left] {Times New Roman 12}nach dem Bild\n"
     "[left] {Times New Roman 12}€ Euro und 你 Zeichen\n"
     "[left] {MS Mincho 12}日本\n"
     "[left] {Times New Roman 12}Zelle A1<tab>Zelle B1<tab>\n"
     "[left] {Times New Roman 12}Zelle A2<tab><tab>Zelle C2\n"
     "[left] {Times New Roman 12}sichtbar—–•‘x’“y”\u00A0z\n"
     "[left] {Times New Roman 12}Ende\n"},
};

class RtfFixture : public testing::TestWithParam<FixtureCase> {};

TEST_P(RtfFixture, ReadsWhatAnotherProgramWrote) {
    const auto document = richtext::fromRtf(fixture(QString::fromLatin1(GetParam().file)));
    EXPECT_EQ(describeDocument(*document).toStdString(), GetParam().description);
}

TEST_P(RtfFixture, WritesItBackUnchanged) {
    const auto document = richtext::fromRtf(fixture(QString::fromLatin1(GetParam().file)));
    const auto again = richtext::fromRtf(richtext::toRtf(*document));
    EXPECT_EQ(describeDocument(*again).toStdString(), GetParam().description);
}

TEST_P(RtfFixture, ReadsIntoAnEditorsDocument) {
    QTextDocument document;
    document.setPlainText(QStringLiteral("vorher"));
    richtext::readRtf(fixture(QString::fromLatin1(GetParam().file)), &document);
    EXPECT_EQ(describeDocument(document).toStdString(), GetParam().description);
}

INSTANTIATE_TEST_SUITE_P(Files, RtfFixture, testing::ValuesIn(kFixtures), [](const auto& info) {
    return QFileInfo(QString::fromLatin1(info.param.file)).baseName().toStdString();
});

} // namespace
