#include "operations/timeimportfiles.h"
#include "platform/table/database.h"
#include "timeimportfixture.h"

#include <QDate>
#include <cmath>
#include <gtest/gtest.h>

using Kind = MessagePresenter::Kind;
using namespace Qt::StringLiterals;

namespace operationstest {
namespace {

const QString kAsk = u"\rVerarbeitung abbrechen?"_s;

struct ParseCase {
    const char* line;
    int day, persNr, objNr, art;
    double hours, amount; // NaN: no number
    const char16_t* text;
};

class ParseLine : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseLine, GivesSixFieldsAndTheRestAsText) {
    const ParseCase& c = GetParam();
    const TimeImportLine f = ParseTimeImportLine(QString::fromUtf8(c.line));
    EXPECT_EQ(f.day, c.day);
    EXPECT_EQ(f.persNr, c.persNr);
    EXPECT_EQ(f.objNr, c.objNr);
    EXPECT_EQ(f.art, c.art);
    if (std::isnan(c.hours))
        EXPECT_TRUE(std::isnan(f.hours));
    else
        EXPECT_DOUBLE_EQ(f.hours, c.hours);
    if (std::isnan(c.amount))
        EXPECT_TRUE(std::isnan(f.amount));
    else
        EXPECT_DOUBLE_EQ(f.amount, c.amount);
    EXPECT_EQ(f.text, QString::fromUtf16(c.text));
}

const double kNaN = std::nan("");

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseLine,
    ::testing::Values(
        ParseCase{"14;12;103;1;2,5;31,25;Treppenhaus", 14, 12, 103, 1, 2.5, 31.25, u"Treppenhaus"},
        ParseCase{"14;12;103;1;2.5;31.25;Treppenhaus", 14, 12, 103, 1, 2.5, 31.25, u"Treppenhaus"},
        ParseCase{"5;12;0;1;4;0;", 5, 12, 0, 1, 4, 0, u""},
        // No ";" after the amount: it reads -1.
        ParseCase{"3;12;0;1;2,5;31,25", 3, 12, 0, 1, 2.5, -1, u"31,25"},
        ParseCase{"1;12;0;1;1;10;Flur;Keller", 1, 12, 0, 1, 1, 10, u"Flur;Keller"},
        ParseCase{"1;12;0;1;zwei;1 000;", 1, 12, 0, 1, kNaN, 1000, u""},
        ParseCase{"1;12;0;1;1,5,0;x;", 1, 12, 0, 1, kNaN, kNaN, u""},
        // Empty number fields stay 0; a day that is no number reads 0.
        ParseCase{"x;12;0;1;;;", 0, 12, 0, 1, 0, 0, u""},
        ParseCase{"7", -1, -1, -1, -1, -1, -1, u"7"}));

TEST(ZeiterfHeader, TakesFourDigitYearsAndMonthsOneToTwelve) {
    const struct {
        const char* header;
        int year, month; // 0: refused
    } cases[] = {{"2024/02", 2024, 2}, {"2024-3", 2024, 3},   {"2023/13", 0, 0},
                 {"0023/05", 0, 0},    {"2024/00", 0, 0},     {"abcd/05", 0, 0},
                 {"", 0, 0},           {"9999/12", 9999, 12}, {"2024/-1", 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        const auto period = ParseZeiterfHeader(QString::fromUtf8(c.header));
        EXPECT_EQ(period.has_value(), c.year != 0);
        if (period) {
            EXPECT_EQ(*period, std::pair(c.year, c.month));
        }
    }
}

// Employee 7 books normal time to cost type 500; employee 8's record names
// for overtime the cost type 999, which does not exist.
class ImportFiles : public TimeImports {
protected:
    void SetUp() override {
        TimeImports::SetUp();
        setField(u"Personal.DB"_s, u"P_Nr"_s, 7, u"P_Kostart1"_s, 500);
        setField(u"Personal.DB"_s, u"P_Nr"_s, 8, u"P_Kostart2"_s, 999);
    }
    void writeZeiterf(const QStringList& lines) { writeFile(ImExDir + u"Zeiterf.dat"_s, lines); }
    void writeZewtag(const QStringList& lines) { writeFile(ImExDir + u"Zewtag.dat"_s, lines); }
    QStringList questions() const { return presenter.texts(Kind::Question); }
    QStringList infos() const { return presenter.texts(Kind::Info); }
    QStringList errors() const { return presenter.texts(Kind::Error); }

    const QDate kMarch14 = QDate(2024, 3, 14);
};

TEST_F(ImportFiles, ALineBecomesARecordWithRateCostTypeCostEntryAndSums) {
    writeZeiterf({u"2024/03"_s, u"14;7;10;1;2,5;31,25;Treppenhaus"_s, u"  5;7;0;1;4;0;  "_s, u""_s,
                  u"6;7;0;1;0;10;nichts"_s});
    EXPECT_EQ(ImportZeiterfDat(false), TimeImportResult::Finished);
    EXPECT_EQ(recordsOf(7, kMarch14), QStringList{u"2.5 1 10 Treppenhaus 12.5 500"_s});
    EXPECT_EQ(recordsOf(7, QDate(2024, 3, 5)), QStringList{u"4 1 0  0 500"_s});
    // A line of 0 hours writes nothing.
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 2);
    EXPECT_EQ(count(u"Kosten.DB"_s), 2);
    EXPECT_DOUBLE_EQ(sum(7, kMarch14, "ZS_StdNormal"), 6.5);
    EXPECT_DOUBLE_EQ(sum(7, kMarch14, "ZS_EkNormal"), 31.25);
    EXPECT_DOUBLE_EQ(monthCosts(kMarch14), 31.25);
    EXPECT_EQ(infos(), QStringList{TimeFileImport::kFinished});
    EXPECT_TRUE(questions().isEmpty());
    EXPECT_EQ(watch.insideTransaction, 0);
}

TEST_F(ImportFiles, TwoIdenticalLinesGiveTwoRecordsAndTheTextKeepsItsSemicolons) {
    writeZeiterf({u"2024/03"_s, u"14;7;0;1;1;10;Flur;Keller"_s, u"14;7;0;1;1;10;Flur;Keller"_s});
    ImportZeiterfDat(false);
    EXPECT_EQ(recordsOf(7, kMarch14), QStringList(2, u"1 1 0 Flur;Keller 10 500"_s));
}

TEST_F(ImportFiles, EachBadLineAsksItsQuestionAndNoSkipsOnlyThatLine) {
    const struct {
        const char16_t* line;
        const char16_t* message;
    } cases[] = {
        {u"3;7;0;1;2,5;31,25", u"Ungültiges Datenformat (Betrag)"},
        {u"0;7;0;1;1;1;", u"Ungültiges Datenformat (Tag)"},
        {u"32;7;0;1;1;1;", u"Ungültiges Datenformat (Tag)"},
        {u"3;99;0;1;1;1;", u"Ungültige Personalnummer: 99"},
        {u"3;7;55;1;1;1;", u"Ungültiges Objekt: 55"},
        {u"3;7;0;9;1;1;", u"Ungültige Zeitart: 9"},
        {u"3;7;0", u"Ungültiges Objekt: -1"},
        {u"3;7;0;1;-1;1;", u"Ungültiges Datenformat (Stunden)"},
        {u"3;7;0;1;zwei;1;", u"Ungültiges Datenformat (Stunden)"},
        {u"3;7;0;1;2;x;", u"Ungültiges Datenformat (Betrag)"},
        {u"3;8;0;2;2;20;", u"Kostenart: Sie müssen eine gültige Nummer eingeben"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.line).toStdString());
        presenter.boxes.clear();
        writeZeiterf({u"2024/03"_s, QString::fromUtf16(c.line), u"4;7;0;1;1;10;"_s});
        presenter.answers = {false};
        EXPECT_EQ(ImportZeiterfDat(true), TimeImportResult::Finished);
        EXPECT_EQ(questions(), QStringList{QString::fromUtf16(c.message) + kAsk});
        EXPECT_EQ(count(u"Zeiterf.DB"_s), 1);
    }
}

TEST_F(ImportFiles, DayTwentyNineCountsOnlyInALeapYearsFebruary) {
    writeZeiterf({u"2023/02"_s, u"29;7;0;1;1;10;"_s});
    ImportZeiterfDat(false);
    EXPECT_EQ(questions(), QStringList{u"Ungültiges Datenformat (Tag)"_s + kAsk});
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 0);
    presenter.boxes.clear();
    writeZeiterf({u"2024/02"_s, u"29;7;0;1;1;10;"_s});
    ImportZeiterfDat(false);
    EXPECT_TRUE(questions().isEmpty());
    EXPECT_EQ(recordsOf(7, QDate(2024, 2, 29)).size(), 1);
}

TEST_F(ImportFiles, DeletingEmptiesTheMonthOfEveryEmployeeAndRebuildsTheirSums) {
    post(7, QDate(2024, 3, 2), 3, 10.0);
    post(8, QDate(2024, 3, 31), 2, 10.0);
    post(8, QDate(2024, 4, 1), 1, 10.0);
    writeZeiterf({u"2024/03"_s, u"14;7;0;1;1;12;"_s});
    ImportZeiterfDat(true);
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 2);
    EXPECT_EQ(count(u"Kosten.DB"_s), 2);
    EXPECT_DOUBLE_EQ(sum(7, kMarch14, "ZS_StdGesamt"), 1);
    EXPECT_DOUBLE_EQ(sum(7, kMarch14, "ZS_EkGesamt"), 12);
    // Employee 8 has no line: his March is rebuilt all the same, April stays.
    EXPECT_DOUBLE_EQ(sum(8, kMarch14, "ZS_StdGesamt"), 0);
    EXPECT_DOUBLE_EQ(sum(8, QDate(2024, 4, 1), "ZS_StdGesamt"), 1);
    EXPECT_DOUBLE_EQ(monthCosts(kMarch14), 12);
    EXPECT_EQ(watch.insideTransaction, 0);
}

TEST_F(ImportFiles, ARefusedHeaderOrAMissingFileChangesNothing) {
    post(7, QDate(2024, 3, 2), 3, 10.0);
    const QStringList before = snapshot();
    const struct {
        QStringList file; // empty: no file
        QString error;
    } cases[] = {
        {{u"2023/13"_s, u"1;7;0;1;1;1;"_s}, u"Fehlerhafte Zeitangabe (Jahr/Monat): [2023/13]"_s},
        {{u"0023/05"_s}, u"Fehlerhafte Zeitangabe (Jahr/Monat): [0023/05]"_s},
        {{}, u"Die Arbeitszeit-Importdatei "_s + ImExDir + u"Zeiterf.dat wurde nicht gefunden"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error.toStdString());
        presenter.boxes.clear();
        QFile::remove(ImExDir + u"Zeiterf.dat"_s);
        if (!c.file.isEmpty())
            writeZeiterf(c.file);
        EXPECT_EQ(ImportZeiterfDat(true), TimeImportResult::Failed);
        EXPECT_EQ(errors(), QStringList{c.error});
        EXPECT_TRUE(infos().isEmpty());
        EXPECT_EQ(snapshot(), before);
    }
}

TEST_F(ImportFiles, AnEmptyFileIsFinishedWithoutDeleting) {
    post(7, QDate(2024, 3, 2), 3, 10.0);
    writeZeiterf({});
    EXPECT_EQ(ImportZeiterfDat(true), TimeImportResult::Finished);
    EXPECT_EQ(infos(), QStringList{TimeFileImport::kFinished});
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 1);
}

TEST_F(ImportFiles, TheFileIsFoundUnderAnyCaseAndReadAsWindows1252) {
    writeFile(ImExDir + u"ZEITERF.DAT"_s, {u"2024/03"_s, u"14;7;0;1;1;10;Büro Größe"_s});
    EXPECT_EQ(ImportZeiterfDat(false), TimeImportResult::Finished);
    EXPECT_EQ(recordsOf(7, kMarch14), QStringList{u"1 1 0 Büro Größe 10 500"_s});
}

// Whatever stops a run, the deletion and every record before it go back.
TEST_F(ImportFiles, ACancelAYesOrAnErrorLeavesEverythingAsItWas) {
    post(7, QDate(2024, 3, 2), 3, 10.0, 1, 10);
    post(8, QDate(2024, 3, 3), 2, 10.0);
    QStringList lines{u"2024/03"_s};
    for (int i = 0; i < 1000; ++i)
        lines << u"%1;7;10;1;%2;20;Zeile %3"_s.arg(i % 28 + 1)
                     .arg(i == 700 ? u"3,75"_s : u"2"_s)
                     .arg(i);
    writeZeiterf(lines);
    const QStringList before = snapshot();

    // The cancel button at line 500.
    int started = 0;
    TimeImportProgress progress{
        [&](int total) { started = total; }, [](int done) { return done < 500; }, {}};
    EXPECT_EQ(ImportZeiterfDat(true, progress), TimeImportResult::Cancelled);
    EXPECT_EQ(started, 1000);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(infos(), QStringList{TimeFileImport::kCancelled});

    // "Ja" to a bad line.
    presenter.boxes.clear();
    lines.insert(300, u"3;7;0;1;2,5;31,25"_s);
    writeZeiterf(lines);
    presenter.answers = {true};
    EXPECT_EQ(ImportZeiterfDat(true), TimeImportResult::Cancelled);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(infos(), QStringList{TimeFileImport::kCancelled});

    // A post that fails at line 700.
    presenter.boxes.clear();
    lines.removeAt(300);
    writeZeiterf(lines);
    table::aliases::database(datatest::kDb)
        ->execSql(u"CREATE TRIGGER test_fail BEFORE INSERT ON Zeiterf WHEN NEW.Z_Stunden = 3.75 "
                  "BEGIN SELECT RAISE(ABORT, 'Testfehler'); END"_s);
    EXPECT_EQ(ImportZeiterfDat(true), TimeImportResult::Failed);
    stopFailing();
    EXPECT_EQ(snapshot(), before);
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors().first().contains(u"Testfehler"_s));
    EXPECT_EQ(infos(), QStringList{TimeFileImport::kCancelled});
    EXPECT_EQ(watch.insideTransaction, 0);

    // The same file imports whole once nothing stops it.
    presenter.boxes.clear();
    EXPECT_EQ(ImportZeiterfDat(true), TimeImportResult::Finished);
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 1000);
    EXPECT_DOUBLE_EQ(sum(7, kMarch14, "ZS_StdGesamt"), 2001.75);
    EXPECT_DOUBLE_EQ(sum(8, kMarch14, "ZS_StdGesamt"), 0);
}

TEST_F(ImportFiles, ThePatternBooksEveryMatchingDayOfThePeriod) {
    writeZewtag({u"1;7;10;1;2;24;Montag"_s, u"  "_s, u"6;7;0;2;1;15;Samstag"_s});
    EXPECT_EQ(ImportZewtagDat(false, QDate(2024, 3, 1), QDate(2024, 3, 31)),
              TimeImportResult::Finished);
    for (const int day : {4, 11, 18, 25})
        EXPECT_EQ(recordsOf(7, QDate(2024, 3, day)), QStringList{u"2 1 10 Montag 12 500"_s});
    for (const int day : {2, 9, 16, 23, 30})
        EXPECT_EQ(recordsOf(7, QDate(2024, 3, day)).size(), 1);
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 9);
    EXPECT_DOUBLE_EQ(sum(7, kMarch14, "ZS_StdNormal"), 8);
    EXPECT_DOUBLE_EQ(sum(7, kMarch14, "ZS_StdUeb1"), 5);
}

TEST_F(ImportFiles, AWeekdayOutsideOneToSevenAsksForEveryDayUntilYes) {
    writeZewtag({u"8;7;0;1;1;10;"_s, u"1;7;0;1;1;10;"_s});
    EXPECT_EQ(ImportZewtagDat(false, QDate(2024, 3, 1), QDate(2024, 3, 31)),
              TimeImportResult::Finished);
    EXPECT_EQ(questions(), QStringList(31, u"Ungültiger Wochentag: 8"_s + kAsk));
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 4);

    presenter.boxes.clear();
    presenter.answers = {false, false, true};
    EXPECT_EQ(ImportZewtagDat(true, QDate(2024, 3, 1), QDate(2024, 3, 31)),
              TimeImportResult::Cancelled);
    EXPECT_EQ(questions().size(), 3);
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 4);
    EXPECT_EQ(infos(), QStringList{TimeFileImport::kCancelled});
}

TEST_F(ImportFiles, AMissingPatternFileDeletesNothing) {
    post(7, QDate(2024, 3, 2), 3, 10.0);
    EXPECT_EQ(ImportZewtagDat(true, QDate(2024, 3, 1), QDate(2024, 3, 31)),
              TimeImportResult::Failed);
    EXPECT_EQ(errors(), QStringList{u"Die Arbeitszeit-Importdatei "_s + ImExDir +
                                    u"Zewtag.dat wurde nicht gefunden"_s});
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 1);
}

TEST_F(ImportFiles, WithoutTheCreateRightNothingStarts) {
    post(7, QDate(2024, 3, 2), 3, 10.0);
    writeZeiterf({u"2024/03"_s, u"14;7;0;1;1;10;"_s});
    createAllowed = false;
    EXPECT_EQ(ImportZeiterfDat(true), TimeImportResult::Failed);
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 1);
    EXPECT_TRUE(questions().isEmpty());
}

} // namespace
} // namespace operationstest
