#pragma once

#include "operations/monthtour.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The changes the monthly tour overview makes to the daily lists. Each
// action is one transaction on cursors of its own: an error undoes it and
// goes on as a DbError whose text starts with the action's German message.
// Appointment entries (source 3) are never changed, deleted or moved here.

// "Sie können Termineinträge in der Monatsplanung nicht manipulieren! ..."
QString MonthAppointmentRefusal();

// A cell of the overview: the daily list of tour on date, the object and
// the activity in it.
struct MonthCell {
    int tourNr = 0;
    QDate date;
    int objektNr = 0;
    int taetigNr = 0;
};

enum class MonthEdit { Done, NotFound, Appointment };

// "Termin erledigt setzen" (4), "Termin offen setzen" (0), "Termin auslassen" (2).
MonthEdit SetTaetigState(const MonthCell& cell, int state);
// The open rows of the object's day become done; appointment rows stay. The
// number of appointment rows met (the caller reports the object once).
int SetOpenTaetigDone(const MonthCell& cell);

// The row of activity for the object on the tour's list of date: the backlog
// of a listed row raised by backlog + 1 (1); a new row, source "Manuell",
// state open, service "*", texts of the activity master (1), with the
// object's row first when the list lacks it (2); 0 when the tour has no
// list that day or the activity is not in the master. Runs inside the
// caller's change.
int AddTaetigToDay(int tourNr, int objektNr, int backlog, int taetigNr, const QDate& date);
// "Termin einfügen": AddTaetigToDay with backlog 0 as one change.
int InsertTaetig(const MonthCell& cell);

enum class TaetigDelete { NotFound, Appointment, Deleted, DeletedWithObject };
// "Termin löschen": the row, and its object row when it was the last one.
TaetigDelete DeleteTaetig(const MonthCell& cell);

enum class ObjektInsert { Added, AlreadyListed, Failed };
// "Objekt einfügen": every activity of the object (its ObjTaet.db rows).
// Failed (nothing written) when the list is missing or nothing could be added.
ObjektInsert InsertObjekt(const MonthCell& cell);
// "Objekt löschen": the object's generated rows (source 0); the object row
// goes when no row is left. False when the object is not on the list.
bool DeleteObjekt(const MonthCell& cell);

// "Lieferschein": the object row of the day and the number of its note: the
// open note of A_LsID, else the object's first open note of the daily-list
// kind, else empty for a new one. Nothing when the object is not listed.
struct DayDeliveryNote {
    int toid = 0;
    QString nr;
};
std::optional<DayDeliveryNote> DeliveryNoteOfDay(const MonthCell& cell);
void StoreDeliveryNoteId(int toid, int lsId);

// A picked-up cell waiting for its drop.
struct MonthPick {
    MonthGrid grid = MonthGrid::Tours;
    int tourNr = 0;
    QDate date;
    int objektNr = 0;
    int taetigNr = 0;
    // The picked object's activities in the source tour, kept for the move.
    QList<int> objectActivities;
};

struct MonthDrop {
    MonthGrid grid = MonthGrid::Tours;
    int tourNr = 0; // of the target row on the tour grid, else the selected tour
    QDate date;
    int column = 0;
    bool targetHasList = false; // the target row's tour has a list on the day
};

enum class DropVerdict { Same, Refused, Accepted };
// The drop test; messages receives what the user is told, in order
// ("Ungültige Auswahl!" last for a refusal).
DropVerdict CheckMonthDrop(const MonthPick& pick, const MonthDrop& drop, int todayCol,
                           QStringList& messages);

enum class MonthMove { Moved, NotMoved, TourNotFound, TaetigNotFound };
// "Möchten Sie wirklich die gesamte Tour verlegen?" is the caller's: the
// list (with its special functions) gets the target date.
MonthMove MonMoveTour(const MonthPick& pick, const QDate& targetDate);
MonthMove MonMoveObjekt(const MonthPick& pick, int targetTourNr, const QDate& targetDate);
MonthMove MonMoveTaetig(const MonthPick& pick, int targetTourNr, const QDate& targetDate);
