#pragma once

#include "commercial/documents/textplaceholders.h"
#include "operations/termfilter.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QFont;

// What the print buttons of the daily-list form read: the range of the
// period print, the daily lists of a range, their special functions with
// the values the list view fills in, and the appointments of a day. Every
// read goes through cursors of its own; no shared table moves.

struct PrintRange {
    QDate from, to;
};
// "Dr&uck": from the first to the last date of any daily list (a list
// without date counting as the empty date), the start cut to the last
// date - 182 days; none when there is no daily list.
std::optional<PrintRange> ProposedPrintRange();
// The days of a range, both ends counted.
qint64 RangeDays(const PrintRange& range);
// A range of 32 days or more is printed only after a "Ja".
inline bool PrintRangeNeedsQuestion(const PrintRange& range) {
    return RangeDays(range) >= 32;
}
QString PrintRangeQuestion(const PrintRange& range);

// One daily list as the prints name it.
struct DailyListHead {
    int tglTourId = 0;
    QDate date;
    int tourNr = 0;
    QString persName;   // A_PersName
    QString dateText;   // "dd.mm.yyyy"
    QString tourNrText; // the number without blanks
};
// The daily lists dated from .. to, by date and tour number.
QList<DailyListHead> DailyListsInRange(const PrintRange& range);

// A special function of the generated activities (Tglfunc.db).
struct DailyListFunction {
    int type = 0; // 1 a form file, 2 a reminder line
    QString param;
    int objektNr = 0;
};
bool HasDailyListFunctions(int tourNr, const QDate& date);
// In the order of the index "I_DTOT".
QList<DailyListFunction> DailyListFunctionsOf(int tourNr, const QDate& date);
// Whether the activity of the daily list has a special function on its date.
bool ActivityHasFunction(int tglTourId, int objektNr, int taetigNr);

// The values the list view puts into a form file or reminder list: the
// object (none for 0), the customer of the daily list's object row (the
// object's own customer when that row names none), today, the daily list
// of tourNr on date and the object's times on it.
TTemplateValues ListViewValues(int tourNr, const QDate& date, int objektNr, const QDate& today);

// The reminder list of a daily list: the bold heading "Erinnerungsliste
// Tour N für den dd.mm.yyyy", an empty line and one line a reminder, each
// line's markers filled with the values of its own object. Empty when there
// are no reminder functions.
QByteArray ReminderListRtf(int tourNr, const QDate& date, const QDate& today, const QFont& font);

// "Ansehen": one line an appointment of the day in table order (object
// number in 6, name and short text cut or filled to 30, " LS" for one with
// a delivery note).
QStringList AppointmentLinesOfDay(const QDate& day);

// The work sheets of the day's appointments: one an appointment, in table
// order, each of its object's open appointments of the day, with the
// appointment's delivery note (0 for none).
struct DayWorkSheet {
    TermWorkSheet sheet;
    int lsId = 0;
};
QList<DayWorkSheet> AppointmentWorkSheetsOfDay(const QDate& day);

// The delivery note with key lsId: its stored print form (0 for none);
// nullopt when the note does not exist.
std::optional<int> DeliveryNotePrintForm(int lsId);
// The note is being printed: its print and delivery dates become today.
void MarkDeliveryNotePrinted(int lsId, const QDate& today);
