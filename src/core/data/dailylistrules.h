#pragma once

class QDate;
class QString;
class TDataModule1;

// The daily lists: the tours of a day (TglTour.DB), the objects of each such
// tour (TglObj.DB) and the activities to do at each object (TglTaet.DB).
// The rules of their shared table objects decide what a delete may remove:
// only rows the daily-list generation made itself go, so that work entered
// by hand is never lost. The operations below work on cursors of their own
// and bypass those rules; they are what the appointment rules and the
// daily-list modules call.

// Where a daily activity row came from (A_Source).
enum DailyActivitySource {
    SourceAutomatic = 0, // made by the daily-list generation; may be removed again
    SourceManual = 1,
    SourceMoved = 2,
    SourceAppointment = 3, // entered from an appointment
};

// Binds the rules of the daily lists, the special functions, the cost tables
// and the appointments, now and on every new set of table objects.
void InstallDailyListRules(TDataModule1& dm);

// The daily tour of the tour on that date; created from the tour when there
// is none. 0 when the tour does not exist.
int GetOrCreateTglTour(TDataModule1& dm, int tourNr, const QDate& date);
// The object row of the daily tour; created from the object (found on the
// shared object table, which moves to it) when there is none. A delivery
// note is given to a row that has none yet. 0 when the object does not exist.
int GetOrCreateTglObjekt(TDataModule1& dm, int tourNr, int tglTourId, int objektNr, int lsId);
void SetTglObjektBez(int tglObjektId, const QString& text);
// Appends the activity row of the data module's current appointment.
int AddTerminTglTaetig(TDataModule1& dm, int tglTourId, int objektNr, int terminId);
// Points the activity row at the daily tour and object and takes the current
// appointment's texts; an object row and tour it leaves empty behind go.
// False when the row no longer exists.
bool RewriteTerminTglTaetig(TDataModule1& dm, int tglTaetigId, int tglTourId, int objektNr,
                            int terminId);
// Deletes the activity row; an object row left without activities goes too,
// and a daily tour left without objects after it. Nothing for an unknown id.
void DeleteTglTaetig(int tglTaetigId);
void DeleteTglObjekt(int tglTourId, int objektNr, bool dropEmptyTour);
void DeleteTglTourById(int tglTourId);

// The text of activity rows entered from an appointment ("Terminauftrag").
QString AppointmentActivityText();
