#pragma once

#include "operations/timeimportfiles.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <map>
#include <vector>

// The import from an outside chip-card time clock ("Chipdrive"): its
// software leaves text files in its installation directory (the import
// path): persons, tariff names and time bands, holidays, daily targets,
// absence codes and the clock records of each person and month. Every clock
// record is split over the tariff bands of its day class, each tariff turned
// into a time type through the tariff map the user keeps, and absence days
// are booked from their codes. The files and folders are found under any
// case of their names.

// One tariff of the clock and the time type it books.
struct TReflistEntry {
    int tariff = 0;
    QString name;
    int timeType = 1;
};

// The tariff map of the process, kept in ImExDir "Cdtarif.txt": line 1 the
// import path, then "01,02,Überstunden" (tariff, time type, name).
QList<TReflistEntry>& TariffMap();
// The clock's installation directory, with a trailing separator once set.
extern QString ChipDriveImportPath;

inline constexpr const char16_t* kTariffMapFile = u"Cdtarif.txt";

// Fills the map from "Cdtarif.txt" or, when that is missing or reload is
// set, from the clock's "Ratedef.Txt" (every tariff normal time 1), then
// saved. False after the box that asks for the import path when
// "Ratedef.Txt" cannot be read; the map is then empty.
bool LoadTariffMap(bool reload);
// Rewrites "Cdtarif.txt" (Windows-1252, CR LF); false after its box.
bool SaveTariffMap();

// The time type a tariff books: its map entry's, else 1 -> 2, 2 -> 3,
// 3 -> 4, 4 -> 7 and any other -> 1.
int TariffToTimeType(int tariff);

// The three-letter month names of the clock's file names, "Jan" ... "Dez"
// unless ProgramDir "Monthnam.txt" names them (lines of exactly three
// characters, in order); "xxx" outside 1 to 12.
void ReadClockMonthNames();
QString ClockMonthName(int month);

// The file of a clock person's records of a month: "Export/" + the clock
// number right-aligned in 4 + "_" + yymm + "_" + the month's name + ".txt".
QString ClockRecordFileName(int clockNr, int year, int month);
// The absence file: "Url_krnk/" + the clock number right-aligned in 4 + "_UK.txt".
QString ClockAbsenceFileName(int clockNr);

// A tariff band of a day class (0 Monday to Friday, 1 Saturday, 2 Sunday,
// 3 a holiday on Monday to Saturday, 4 a holiday on a Sunday), in minutes.
struct TariffBand {
    int dayClass = 0;
    int start = 0;
    int end = 0;
    int tariff = 0;
};
// "RateStd.txt": "CC;hh:mm tt,hh:mm tt,..." per line of more than 10 characters.
QList<TariffBand> ParseRateBands(const QStringList& lines);
// The last band of the class (in file order) that starts at or before the
// minute; -1 when none does.
int FindTariffBand(const QList<TariffBand>& bands, int dayClass, int minute);
int DayClassOf(const QDate& day, bool holiday);

// One piece of a clock record or an absence, as it is booked.
struct ClockBooking {
    int objNr = 0;
    int timeType = 1;
    int minutes = 0;
};
// The pieces of a record from start lasting duration minutes: minutes before
// the class's first band book as tariff 0, then each band's share with its
// tariff, the rest with the tariff of the band the record ends in.
std::vector<ClockBooking> SplitClockRecord(const QList<TariffBand>& bands, int dayClass, int start,
                                           int duration, int objNr);

// The import month; the arrows step it by one month.
struct ClockMonth {
    int year = 0;
    int month = 0;
    void step(int months);
};

struct ClockImportObserver {
    TimeImportProgress progress; // counts persons
    std::function<void(const QString& line)> protocol;
};

// One import of a month from the clock's files in importPath. Missing files
// are told as the clock's documentation wants; the bookings are written in
// one transaction (all persons or none), and a re-import replaces the
// person's records of every day that has clock records.
class ClockImport {
public:
    ClockImport(QString importPath, int year, int month, ClockImportObserver observer = {});
    TimeImportResult run();
    // The records written by the last run.
    int written() const { return m_written; }

private:
    struct Person;
    QString file(const QString& relative) const;
    bool readLines(const QString& relative, QStringList& lines) const;
    void importPerson(TimeRecordService& service, TimeRecordBatch& batch, const Person& person);
    void protocol(const QString& line) const;
    // The long text of a time type, "???" for a type without row.
    QString langtext(int timeType);

    QString m_path;
    int m_year;
    int m_month;
    ClockImportObserver m_observer;
    QList<TariffBand> m_bands;
    QStringList m_holidays;
    QStringList m_targets;
    std::map<int, QString> m_langtexts;
    int m_written = 0;
};
