#include "operations/clockimport.h"
#include "platform/table/database.h"
#include "tariffmapscope.h"
#include "timeimportfixture.h"

#include <QDate>
#include <QFile>
#include <gtest/gtest.h>

using Kind = MessagePresenter::Kind;
using namespace Qt::StringLiterals;

namespace operationstest {
namespace {

// Bands from 06:00 (tariff 0) and 08:00 (tariff 1) on working days and the
// whole day as tariff 4 on a holiday that is a Sunday.
QList<TariffBand> bands() {
    return ParseRateBands({u"00;06:00 00,08:00 01"_s, u"04;00:00 04"_s, u"short"_s});
}

TEST(ClockBands, SplitARecordOverTheBandsOfItsDayClass) {
    TariffMapScope map;
    const struct {
        const char* name;
        int dayClass, start, duration;
        std::vector<std::pair<int, int>> pieces; // time type, minutes
    } cases[] = {
        {"AcrossTheBandChange", 0, 7 * 60, 120, {{1, 60}, {2, 60}}},
        {"EndingAtABandStartStaysInTheEarlierBand", 0, 6 * 60, 120, {{1, 120}}},
        {"StartingBeforeTheFirstBand", 0, 5 * 60, 240, {{1, 60}, {1, 120}, {2, 60}}},
        {"WithinOneBand", 0, 8 * 60 + 30, 60, {{2, 60}}},
        {"BeforeEveryBand", 0, 4 * 60, 60, {{1, 60}}},
        {"AClassWithoutBands", 1, 7 * 60, 120, {{1, 120}}},
        {"TariffFourIsIdleTime", 4, 10 * 60, 90, {{7, 90}}},
        {"PastMidnight", 0, 23 * 60, 120, {{2, 120}}},
        {"NoMinutes", 0, 7 * 60, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::pair<int, int>> pieces;
        for (const ClockBooking& b :
             SplitClockRecord(bands(), c.dayClass, c.start, c.duration, 10)) {
            EXPECT_EQ(b.objNr, 10);
            pieces.emplace_back(b.timeType, b.minutes);
        }
        EXPECT_EQ(pieces, c.pieces);
    }
}

TEST(ClockBands, TariffsBookTheMapsTimeTypeElseTheirOwn) {
    TariffMapScope map;
    EXPECT_EQ(bands().size(), 3);
    EXPECT_EQ(FindTariffBand(bands(), 0, 5 * 60 + 59), -1);
    EXPECT_EQ(FindTariffBand(bands(), 0, 8 * 60), 1);
    EXPECT_EQ(bands()[0].end, 8 * 60);
    EXPECT_EQ(bands()[1].end, 24 * 60);
    const int unmapped[] = {1, 2, 3, 4, 7, 1, 1};
    for (int tariff = 0; tariff <= 6; ++tariff)
        EXPECT_EQ(TariffToTimeType(tariff), unmapped[tariff]) << tariff;
    TariffMap() = {{2, u"Nacht"_s, 6}, {2, u"Doppelt"_s, 8}};
    EXPECT_EQ(TariffToTimeType(2), 6);
}

TEST(ClockBands, DayClassesAndTheMonthArrows) {
    const QDate monday(2004, 9, 6);
    EXPECT_EQ(DayClassOf(monday, false), 0);
    EXPECT_EQ(DayClassOf(monday.addDays(5), false), 1);
    EXPECT_EQ(DayClassOf(monday.addDays(6), false), 2);
    EXPECT_EQ(DayClassOf(monday.addDays(2), true), 3);
    EXPECT_EQ(DayClassOf(monday.addDays(5), true), 3);
    EXPECT_EQ(DayClassOf(monday.addDays(6), true), 4);
    ClockMonth month{2004, 1};
    month.step(-1);
    EXPECT_EQ(std::pair(month.year, month.month), std::pair(2003, 12));
    month.step(1);
    EXPECT_EQ(std::pair(month.year, month.month), std::pair(2004, 1));
}

TEST(ClockFiles, AreNamedWithTheBlankPaddedClockNumber) {
    EXPECT_EQ(ClockRecordFileName(17, 2004, 9), u"Export/  17_0409_Sep.txt"_s);
    EXPECT_EQ(ClockRecordFileName(1017, 2010, 3), u"Export/1017_1003_Mrz.txt"_s);
    EXPECT_EQ(ClockAbsenceFileName(17), u"Url_krnk/  17_UK.txt"_s);
    EXPECT_EQ(ClockMonthName(0), u"xxx"_s);
    EXPECT_EQ(ClockMonthName(13), u"xxx"_s);
}

// Employee 7 (clock 17) with a month of clock records, employee 8 (clock 18)
// without an absence table and employee 9 (clock 19) without records.
class Clock : public TimeImports {
protected:
    void SetUp() override {
        TimeImports::SetUp();
        setField(u"Personal.DB"_s, u"P_Nr"_s, 7, u"P_Kostart1"_s, 500);
        addEmployee(9, u"Lenz", 11.0, 8.0, 40.0);
        dir = path(u"Chipdrive/"_s);
        QStringList persons;
        for (const auto& [clockNr, persNr] : {std::pair(17, 7), {18, 8}, {19, 9}, {20, 99}}) {
            QStringList fields(22, u"x"_s);
            fields[2] = QString::number(clockNr);
            fields[20] = QString::number(persNr);
            persons << fields.join(u',');
        }
        persons << u"1,2,21,4"_s; // too short
        write(u"PERSONEN.TXT"_s, persons);
        write(u"RateStd.txt"_s, {u"00;06:00 00,08:00 01"_s, u"04;00:00 04"_s});
        // 5 September 2004 is a Sunday, the 8th a Wednesday.
        write(u"Feiertag.txt"_s, {u"2003;09.01,"_s, u"2004;09.05,09.08,12.25,00.00,09.09,"_s});
        write(
            u"Url_krnk/  17_UK.txt"_s,
            {u"2004;08;k,k,k"_s, u"2004;09;a,K,krank,a,a,a,a,a,a,a,a,a,u"_s, u"2004;09;k,k,k,k"_s});
        write(u"Url_krnk/  19_UK.txt"_s, {u"2004;09;a"_s});
        // Monday to Friday 8:00, Saturday 4:00, Sunday none.
        write(u"Tagzeit.txt"_s, {u"  17"_s + QString(u",x"_s).repeated(28) +
                                 u",08:00;08:00;08:00;08:00;08:00;04:00;00:00;"_s});
        write(u"EXPORT/  17_0409_SEP.TXT"_s, {
                                                 u"01 07:00,a,b,c,K,(10) Haus A,02:00"_s,
                                                 u"02 06:00,a,b,c,K,,02:00"_s,
                                                 u"02 header without the mark"_s,
                                                 u"03 05:00,a,b,c,K,(0),04:00"_s,
                                                 u"05 10:00,a,b,c,K,(77),01:30"_s,
                                                 u"01 12:00,a,b,c,K,(11),01:00"_s,
                                                 u"40 12:00,a,b,c,K,(11),01:00"_s,
                                             });
    }
    void write(const QString& relative, const QStringList& lines) {
        writeFile(dir + relative, lines);
    }
    TimeImportResult import(const TimeImportProgress& progress = {}) {
        ClockImport run(dir, 2004, 9, {progress, [this](const QString& line) { log << line; }});
        return run.run();
    }
    QStringList sorted(QStringList list) {
        list.sort();
        return list;
    }

    TariffMapScope map;
    QString dir;
    QStringList log;
};

TEST_F(Clock, BooksTheBandsAbsencesAndHolidaysOfEveryPerson) {
    EXPECT_EQ(import(), TimeImportResult::Finished);
    const QString t = u"Objekt-Arbeitszeit"_s;
    EXPECT_EQ(sorted(recordsOf(7, QDate(2004, 9, 1))),
              sorted({u"1 1 10 %1 12 500"_s.arg(t), u"1 2 10 %1 15 0"_s.arg(t),
                      u"1 2 11 %1 15 0"_s.arg(t)}));
    // 'K' with a target of 8:00 books half of it as sickness, without object.
    EXPECT_EQ(sorted(recordsOf(7, QDate(2004, 9, 2))),
              sorted({u"2 1 10 %1 12 500"_s.arg(t), u"4 5 0 %1 12 0"_s.arg(t)}));
    // "krank" counts as 'K'; the object (0) is none.
    EXPECT_EQ(sorted(recordsOf(7, QDate(2004, 9, 3))),
              sorted({u"1 1 0 %1 12 500"_s.arg(t), u"2 1 0 %1 12 500"_s.arg(t),
                      u"1 2 0 %1 15 0"_s.arg(t), u"4 5 0 %1 12 0"_s.arg(t)}));
    // A holiday on a Sunday takes the bands of class 4; an unknown object is none.
    EXPECT_EQ(recordsOf(7, QDate(2004, 9, 5)), QStringList{u"1.5 7 0 %1 12 0"_s.arg(t)});
    // A vacation day without clock records books nothing.
    EXPECT_TRUE(recordsOf(7, QDate(2004, 9, 13)).isEmpty());
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 10);
    EXPECT_DOUBLE_EQ(sum(7, QDate(2004, 9, 1), "ZS_StdKrank"), 8);

    EXPECT_EQ(log.first(), u"Datum       Pnr Objekt Dauer Zeitart"_s);
    EXPECT_TRUE(log.contains(u"01.09.2004    7     10 01:00 Normalstunden"_s));
    EXPECT_TRUE(log.contains(u"02.09.2004    7      0 04:00 Krankheitsstunden"_s));
    EXPECT_TRUE(log.contains(u"05.09.2004    7      0 01:30 Leerlaufzeiten"_s));
    EXPECT_TRUE(
        log.contains(u"Für Mitarbeiter 8 wurde keine externe Jahresarbeitstabelle gefunden!"_s));
    EXPECT_TRUE(log.contains(u"Mitarbeiter    19 :Keine Exportdaten!"_s));
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{TimeFileImport::kFinished});
    EXPECT_TRUE(presenter.texts(Kind::Error).isEmpty());
    EXPECT_EQ(watch.insideTransaction, 0);
}

TEST_F(Clock, AReimportReplacesTheDaysWithRecordsAndKeepsTheOthers) {
    post(7, QDate(2004, 9, 1), 5, 10.0);
    post(7, QDate(2004, 9, 10), 3, 10.0);
    import();
    const QStringList first = sorted(recordsOf(7, QDate(2004, 9, 1)));
    const double sums = sum(7, QDate(2004, 9, 1), "ZS_EkGesamt");
    EXPECT_EQ(first.size(), 3);
    EXPECT_EQ(recordsOf(7, QDate(2004, 9, 10)).size(), 1);
    import();
    EXPECT_EQ(sorted(recordsOf(7, QDate(2004, 9, 1))), first);
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 11);
    EXPECT_EQ(count(u"Kosten.DB"_s), 11);
    EXPECT_DOUBLE_EQ(sum(7, QDate(2004, 9, 1), "ZS_EkGesamt"), sums);
}

TEST_F(Clock, AMissingPersonFileEndsTheImportAMissingTariffFileDoesNot) {
    post(7, QDate(2004, 9, 1), 5, 10.0);
    const QStringList before = snapshot();
    QFile::remove(dir + u"PERSONEN.TXT"_s);
    EXPECT_EQ(import(), TimeImportResult::Failed);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Es wurde keine externe Personaldatei gefunden!"_s});
    write(u"Personen.txt"_s, {u"1,2,17,4"_s});
    presenter.boxes.clear();
    EXPECT_EQ(import(), TimeImportResult::Failed);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Es wurden keine Einträge in der externen Personaldatei gefunden!"_s});
    EXPECT_EQ(snapshot(), before);

    QStringList fields(22, u"x"_s);
    fields[2] = u"17"_s;
    fields[20] = u"7"_s;
    write(u"Personen.txt"_s, {fields.join(u',')});
    QFile::remove(dir + u"RateStd.txt"_s);
    presenter.boxes.clear();
    EXPECT_EQ(import(), TimeImportResult::Finished);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Es wurde keine externe Tarifdatei!\r"
                          u"Alle Arbeitszeiten werden als Normalstunden gebucht."_s});
    EXPECT_EQ(recordsOf(7, QDate(2004, 9, 1)).size(), 2);
    EXPECT_DOUBLE_EQ(sum(7, QDate(2004, 9, 1), "ZS_StdUeb1"), 0);
}

TEST_F(Clock, ACancelOrAnErrorLeavesEverythingAsItWas) {
    post(7, QDate(2004, 9, 1), 5, 10.0);
    const QStringList before = snapshot();
    TimeImportProgress stopAfterFirst{{}, [](int done) { return done < 1; }, {}};
    EXPECT_EQ(import(stopAfterFirst), TimeImportResult::Cancelled);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{TimeFileImport::kCancelled});

    presenter.boxes.clear();
    failOn(u"INSERT ON Zeiterf WHEN NEW.Z_Art = 7"_s);
    EXPECT_EQ(import(), TimeImportResult::Failed);
    stopFailing();
    // The protocol names whose booking failed.
    EXPECT_TRUE(log.last().startsWith(u"Mitarbeiter 7: "_s)) << log.last().toStdString();
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{TimeFileImport::kCancelled});
    EXPECT_EQ(watch.insideTransaction, 0);
}

TEST_F(Clock, TheTariffMapComesFromTheClockAndKeepsItsUmlauts) {
    write(u"RATEDEF.TXT"_s,
          {u"00 Normal"_s, u"01 Überstunden"_s, u"02 Nacht"_s, u"03 "_s, u"04 Sonntag"_s});
    ChipDriveImportPath = dir;
    ASSERT_TRUE(LoadTariffMap(false));
    ASSERT_EQ(TariffMap().size(), 3);
    EXPECT_EQ(TariffMap()[1].name, u"Überstunden"_s);
    EXPECT_EQ(TariffMap()[1].timeType, 1);
    TariffMap()[1].timeType = 2;
    ASSERT_TRUE(SaveTariffMap());
    QFile stored(ImExDir + u"Cdtarif.txt"_s);
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), dir.toLatin1() + "\r\n00,01,Normal\r\n01,02,\xdc"
                                                 "berstunden\r\n"
                                                 "02,01,Nacht\r\n");

    ChipDriveImportPath.clear();
    TariffMap().clear();
    ASSERT_TRUE(LoadTariffMap(false));
    EXPECT_EQ(ChipDriveImportPath, dir);
    ASSERT_EQ(TariffMap().size(), 3);
    EXPECT_EQ(TariffMap()[1].name, u"Überstunden"_s);
    EXPECT_EQ(TariffToTimeType(1), 2);
    // Reading the clock's tariffs again makes every tariff normal time.
    ASSERT_TRUE(LoadTariffMap(true));
    EXPECT_EQ(TariffToTimeType(1), 1);
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(Clock, WithoutTheClocksTariffsTheMapAsksForThePath) {
    ChipDriveImportPath = path(u"nirgends/"_s);
    EXPECT_FALSE(LoadTariffMap(false));
    EXPECT_TRUE(TariffMap().isEmpty());
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Der Pfad für zur Chipdrive-Installation ist nicht korrekt\r"
                          u"Legen Sie bitte zuerst den Importpfad fest."_s});
    EXPECT_FALSE(QFile::exists(ImExDir + u"Cdtarif.txt"_s));
}

TEST_F(Clock, MonthNamesComeFromTheProgramsFile) {
    writeFile(ProgramDir + u"Monthnam.txt"_s, {u"Jän"_s, u"Februar"_s, u" Feb "_s});
    ReadClockMonthNames();
    EXPECT_EQ(ClockMonthName(1), u"Jän"_s);
    EXPECT_EQ(ClockMonthName(2), u"Feb"_s);
    EXPECT_EQ(ClockMonthName(3), u"Mrz"_s);
    writeFile(ProgramDir + u"Monthnam.txt"_s, {u"Jan"_s});
    ReadClockMonthNames();
    EXPECT_EQ(ClockMonthName(1), u"Jan"_s);
}

} // namespace
} // namespace operationstest
