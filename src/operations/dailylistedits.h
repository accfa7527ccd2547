#pragma once

#include "platform/errors.h"

#include <QDate>
#include <QString>
#include <functional>

class TDataModule1;
struct DailyActivityValues;

// The changes the daily-list form makes to the daily lists (TglTour.DB,
// TglObj.DB, TglTaet.DB, Tglfunc.db): states, moves, transfers, manual
// additions, bulk completion and deletion. Each is one transaction on
// cursors of its own with its keys drawn inside it: a failure leaves every
// table as it was and goes on as a DbError that names the change. While
// another workstation generates daily lists (it holds the write lock of
// TglTaet.DB) every change is refused with DailyListsBusy and nothing is
// written.

// Work states of a daily activity row (A_State).
enum DailyActivityState {
    StateOpen = 0,
    StateMoved = 1,
    StateSkipped = 2,
    StateTransferred = 3,
    StateDone = 4,
    StatePrinted = 5,
    StateArchived = 6,
};

// A change refused because another workstation generates daily lists.
class DailyListsBusy : public DbError {
public:
    DailyListsBusy();
};

// Runs work as one change of the daily lists; work returns false to undo
// what it wrote and report that nothing changed. True when committed.
bool ChangeDailyLists(const QString& what, const std::function<bool()>& work);

// The tour's next execution date after date: TO_NextDate (date when empty)
// advanced by whole weeks until it lies after date; date when the tour does
// not exist.
QDate NextTourDate(int tourNr, const QDate& date);

// "A", "E", "O": the row's state, and the done mark (T_Erledigt) of its
// appointment: set for "Ausgelassen" and "Erledigt", cleared otherwise.
// False when the row already had the state (nothing written).
bool SetDailyActivityState(int totId, int state);

// "V" and the transfer: the row goes onto the daily list of tourNr on date
// (made when missing), into the object's row there (made when missing, with
// the source object's description). An activity already on that list raises
// its backlog by the row's backlog + 1; otherwise a copy with source
// "Umgelegt", state open and the row's backlog, texts, delivery note and
// appointment is made, and the appointment is linked to it. The source row
// and its special function then go, the source object with it when it has
// no rows left. False, and nothing changed, when the tour or the object
// does not exist or the target is the row's own list.
bool MoveDailyActivity(TDataModule1& dm, int totId, int tourNr, const QDate& date);

enum class ObjectMove { Moved, SameList, NotMoved };
// "Objekt verlegen": onto the list of tourNr on date. When that list already
// holds the object every row moves as MoveDailyActivity moves it and the
// emptied object row goes; otherwise the object row and all its rows, with
// their special functions, move unchanged and their appointments are linked
// to the new tour and date.
ObjectMove MoveDailyObject(TDataModule1& dm, int tglTourId, int objektNr, int tourNr,
                           const QDate& date);

enum class ManualAdd { Added, AlreadyListed, NotFound };
// "Objekt hinzufügen": the object's row and every activity of the object
// (due or not, source "Manuell", no special functions).
ManualAdd AddObjectToDailyTour(TDataModule1& dm, int tglTourId, int objektNr);
// "Tätigkeit hinzufügen": the activity of the master with its name and texts,
// service "*", source "Manuell".
ManualAdd AddActivityToDailyObject(TDataModule1& dm, int tglTourId, int objektNr, int taetigNr);
// One row for the daily tour: the object's row found or made, then the row
// appended, or the backlog of the activity's row raised by rueckstand + 1.
// False when the object does not exist (nothing written).
bool AddDailyListActivityTo(TDataModule1& dm, int tglTourId, const DailyActivityValues& values);

// The navigator's delete on the activity grid: the row with its special
// function and its appointment's link, then its object when it has no rows
// left and the daily tour when it has no objects left.
void DeleteDailyActivity(int totId);

// Bulk completion: open rows (state 0) become done; other rows and the
// appointments stay as they are. The number of rows changed.
int SetDayDone(const QDate& day);                    // every daily tour of the day
int SetDailyTourDone(int tglTourId);                 // one daily tour
int SetDailyObjectDone(int tglTourId, int objektNr); // one object of it

// "Alle Touren bis Datum erledigen".
// The oldest date of a daily list; today when there is none.
QDate FirstDailyListDate(const QDate& today);
// The limit the user chose, lowered to the day before yesterday.
QDate ClosingLimit(const QDate& chosen, const QDate& today);
// Every day with daily lists up to limit, oldest first, one transaction a
// day; showDay learns each day before it is changed. The rows changed.
int CloseDailyListsUpTo(const QDate& limit, const std::function<void(const QDate&)>& showDay);
