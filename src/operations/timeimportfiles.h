#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <utility>

// The time-record import files that another program or the user leaves in
// the client's import/export directory: "Zeiterf.dat", the records of one
// month by day of the month, its first line the period ("2024/03"); and
// "Zewtag.dat", a weekly pattern (first field the ISO weekday) applied to
// every day of a chosen period. Every line: day or weekday; personnel
// number; object number (0 none); time type 1 to 8; hours; the line's
// whole wage amount; and the rest of the line as text.

inline constexpr const char16_t* kZeiterfDat = u"Zeiterf.dat";
inline constexpr const char16_t* kZewtagDat = u"Zewtag.dat";

// Cut the text up to the first ";" together with that ";" from line and
// read it. Without any ";" left nothing is cut and the field reads -1.
// Integers as StrToIntZero reads them (0 when no number). Hours and amounts
// take "," or "." as decimal point and blanks are ignored; an empty field is
// 0 and a text that is no number reads as NaN, which no check accepts.
int TakeIntField(QString& line);
double TakeFloatField(QString& line);

struct TimeImportLine {
    int day = -1; // day of the month, or weekday 1 = Monday ... 7 = Sunday
    int persNr = -1;
    int objNr = -1;
    int art = -1;
    double hours = -1;
    double amount = -1;
    QString text; // the rest after the sixth ";", which may hold ";" itself
};
TimeImportLine ParseTimeImportLine(QString line);

// Year and month of the first line of "Zeiterf.dat" (characters 1 to 4, and
// from character 6 on); nullopt unless the month is 1 to 12 and the year has
// four digits (1000 to 9999).
std::optional<std::pair<int, int>> ParseZeiterfHeader(const QString& header);

// The progress of the writing: start with the number of records, step after
// each (false: the user cancelled), finish before any closing box.
struct TimeImportProgress {
    std::function<void(int total)> start;
    std::function<bool(int done)> step;
    std::function<void()> finish;
};

enum class TimeImportResult {
    Finished,  // everything written ("Der Datenimport ist beendet.")
    Cancelled, // the user stopped; nothing changed
    Failed,    // refused or an error; nothing changed
};

// One run of either file. load... reads the file (its box tells when it is
// missing, unreadable or its header refused); run checks every line first,
// asking for each bad one whether to stop, and only then writes in one
// transaction: the deletion of the period (when asked for), every record
// with its cost entry, and the monthly sums of every employee-month touched,
// rebuilt once. A cancel, a "Ja" to a bad line or an error leaves the data
// as it was. No box shows while the transaction is open.
class TimeFileImport {
public:
    static const QString kFinished;  // "Der Datenimport ist beendet."
    static const QString kCancelled; // "Der Datenimport wurde abgebrochen. ..."

    explicit TimeFileImport(TimeImportProgress progress = {});

    // "Zeiterf.dat": false after its box (not found, unreadable, a refused
    // header) or, for an empty file, after "beendet" (nothing to do).
    bool loadZeiterfDat();
    // "Zewtag.dat" for the days from to to.
    bool loadZewtagDat(const QDate& from, const QDate& to);
    TimeImportResult run(bool deleteExisting);

    // The file held nothing at all: the load said "beendet" and nothing is to run.
    bool nothingToDo() const { return m_nothingToDo; }
    // The records the last run wrote.
    int written() const { return m_written; }
    QDate periodFrom() const { return m_from; }
    QDate periodTo() const { return m_to; }

private:
    struct Planned;
    bool readFile(const QString& name);

    TimeImportProgress m_progress;
    QStringList m_lines; // Zeiterf.dat without its header
    bool m_byWeekday = false;
    bool m_nothingToDo = false;
    QDate m_from, m_to;
    int m_written = 0;
};

class TimeRecordBatch;
class TimeRecordService;
// The writing of an import: the batch's transaction, `total` reported to the
// progress, write doing the work (false: the user cancelled), the commit;
// once the transaction has ended, the box "beendet", or the error and
// "abgebrochen" (the written result says which).
TimeImportResult WriteInOneTransaction(TimeRecordService& service,
                                       const TimeImportProgress& progress, int total,
                                       const std::function<bool(TimeRecordBatch&)>& write);

// The whole import without a window, for "Import 1" and "Import 2" once
// the user has answered the deletion question.
TimeImportResult ImportZeiterfDat(bool deleteExisting, const TimeImportProgress& progress = {});
TimeImportResult ImportZewtagDat(bool deleteExisting, const QDate& from, const QDate& to,
                                 const TimeImportProgress& progress = {});
