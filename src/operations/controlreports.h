#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <functional>

// Control reports ("Kontrollberichte"): per object and report date one head
// in BerKopf.db with its lines in BerSatz.db, built from the finished rows of
// the daily lists and, by the immediate completion, from open ones.
//
// Every daily-list row taken into a report is one transaction: its line,
// its head, the row's deletion with its special function and the unlink of
// its appointment commit together, with the head and line keys drawn inside
// it. A failure leaves that row in the daily list and nothing of it in the
// reports; rows taken before it stay taken, so a repeat run counts nothing
// twice.

// Report modes (O_BerichtModus) and what a skipped activity does (O_BerichtUnerledigt).
enum ReportMode { ModeSummary = 1, ModeCounted = 2, ModeComplete = 3 };

// *Report date rules*, as plain functions of the interval's pattern.
// A day mask ("*" marks a day of the month): the first marked day on or
// after date, scanning into the following month; invalid when none.
QDate NextMarkedDay(const QString& mask, const QDate& date);
// A list of "dd.mm;" entries: the first date in list order on or after
// date, in date's year and then in the next; invalid when none.
QDate NextListedDate(const QString& list, const QDate& date);
// The report date of date under pattern: the mask's or the list's date, the
// last day of date's month when the pattern is empty or gives none.
QDate ReportDateFor(const QString& pattern, const QDate& date);
// The same under the report interval with id intervalId (ZahlIV.DB; an
// unknown interval has an empty pattern).
QDate ReportDateForInterval(int intervalId, const QDate& date);
// The report date of a daily-list row of objektNr on tourDate, under the
// object's O_BerichtIntervall (1 when empty).
QDate NextBerichtDatum(int objektNr, const QDate& tourDate);

// What building does with one daily-list row.
enum class DailyRowUse {
    Stay,    // state 0 ("Offen"): stays in the daily list
    Drop,    // any state but 0, 2 and 4: leaves the list without a line
    Count,   // counted into the existing line (B_WieOft + 1)
    NewLine, // a line of its own
};
DailyRowUse ClassifyDailyRow(int state, int mode, bool lineExists);

struct ReportBuildResult {
    int taken = 0;               // daily-list rows removed into the reports
    int oldFunctionsDeleted = 0; // special functions dated before today
    int emptyListsDeleted = 0;   // daily objects and tours left empty
};
// Called with the number of rows taken after every row; may raise to stop.
using ReportBuildProgress = std::function<void(int taken)>;

// Takes every finished row of every daily list, date by date and tour by
// tour, into the reports (rows of missing objects and open rows stay); then
// deletes the special functions dated before today and, when a row was
// taken, the daily objects and tours left empty.
ReportBuildResult CreateBerichte(const QDate& today, const ReportBuildProgress& progress = {});
// Special functions dated before today (and those without date).
int DeleteOldDailyFunctions(const QDate& today);
// Daily objects without rows, then daily tours without objects.
int DeleteEmptyDailyLists();

// One open daily-list row of a past day, as the immediate completion lists it.
struct OpenActivity {
    int totId = 0;
    QDate date;
    int tourNr = 0;
    QString tourName;
    int persNr = 0;
    int objektNr = 0;
    QString objektName;
    int interval = 1;
    int mode = 1;
    int kunde = 0;
    int taetigNr = 0;
    int tourId = 0;
    QByteArray tourText; // A_TourText as stored (rich text or plain)
};
// Every open row dated before today whose object exists, by date, tour,
// object and activity.
QList<OpenActivity> OpenActivitiesBefore(const QDate& today);

struct CompletedActivity {
    QDate completedOn; // the completion date D
    QDate reportDate;  // R
};
// Writes the row as done into the report of its object for the report date
// that its interval gives for completedOn (the row's own date when null),
// then removes it with its special function, its appointment's link and the
// daily object and tour it leaves empty. Nothing when the row is gone.
// The protocol line "   7 erledigt am :31.03.2026 Druckdatum: 31.03.2026".
CompletedActivity CompleteOpenActivity(const OpenActivity& row, const QDate& completedOn);
QString CompletionProtocolLine(int taetigNr, const CompletedActivity& done);

// The line filter of one report; with skippedIgnored (O_BerichtUnerledigt
// empty or 1) only rows done or later.
QString BerichtFilter(int objektNr, const QDate& reportDate, bool skippedIgnored);
// Form type of a report mode: 26000, 27000, 28000 (any other mode).
int BerichtFormType(int mode);

// Marks, on the heads of the working tables ("LumoDB").
int CountMarkedBerichte(const QString& alias = QStringLiteral("LumoDB"));
void SetBerichtMark(int headId, bool marked, const QString& alias = QStringLiteral("LumoDB"));
void MarkAllBerichte(bool marked);
// Every head whose object's O_BerichtModus (1 when empty) is mode.
int MarkBerichteByModus(int mode);
// Every head whose report date lies in from..to, heads without date too.
int MarkBerichteByDate(const QDate& from, const QDate& to);
// "wählen von-bis": the earliest report date, and the latest minus 365
// days but not before it; both invalid without heads.
void ProposedMarkRange(QDate& from, QDate& to);

// After printing one report: B_Gedruckt + 1, the mark cleared when asked.
void CountBerichtPrinted(int headId, bool clearMark,
                         const QString& alias = QStringLiteral("LumoDB"));
// After printing an archived report: its lines (by filter of object and
// report date) get state 5, the head loses its mark and counts the print.
void SetArchivedBerichtPrinted(int headId);

// Moving or deleting the marked reports of existing objects, one
// transaction per report. Moving goes over the attached archive database:
// the archive head (new, or the existing one of the same object and report
// date, whose B_Positionen grows by the lines added and whose period widens)
// and the lines under new keys arrive exactly when the working head and
// lines go.
struct ReportMoveResult {
    int reports = 0;
    int lines = 0;
};
using ReportMoveProgress = std::function<void(int lines)>;
ReportMoveResult MoveMarkedBerichte(const ReportMoveProgress& progress = {});
ReportMoveResult DeleteMarkedBerichte(const ReportMoveProgress& progress = {});

// The archive tables in the layout of the working ones, when missing.
void CreateArchiveBerichtTables();
// Deletes the archived heads with B_DruckDatum up to limit and their lines
// (B_DruckTermin up to limit), in one transaction. The heads deleted.
int DeleteArchivedBerichteUpTo(const QDate& limit);
// Deletes one head of the working ("LumoDB") or archive tables with its lines.
void DeleteBericht(const QString& alias, int headId);

// What the report windows list.
struct ReportObject {
    int nr = 0;
    QString match;
    QString kunde; // the customer's search name
};
struct ReportHead {
    int id = 0;
    int objektNr = 0;
    QString objektName;
    QDate reportDate, first, last;
    int positions = 0;
    int printed = 0;
    bool selected = false;
};
struct ReportLine {
    int id = 0;
    int taetigNr = 0;
    QString text;
    int wieOft = 0;
    QDate tourDate;
};
// Every object, inactive ones too, by number.
QList<ReportObject> ReportObjects();
// The heads of one object by report date, or of all objects (objektNr < 0)
// by report date and object; empty when the alias has no report tables.
QList<ReportHead> ReportHeads(const QString& alias, int objektNr);
// The lines of one report in the order of B_IObjekt.
QList<ReportLine> ReportLines(const QString& alias, int objektNr, const QDate& reportDate);
