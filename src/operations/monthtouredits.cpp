#include "operations/monthtouredits.h"

#include "commercial/documents/deliverynoteentries.h"
#include "core/data/dailylistrules.h"
#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/values/rangeerrors.h"
#include "operations/dailylistedits.h"
#include "platform/table/table.h"

#include <QtNumeric>
#include <limits>

using namespace Qt::StringLiterals;
using table::Table;

namespace {

const QString kDb = u"LumoDB"_s;
const QString kTours = u"TglTour.DB"_s;
const QString kObjects = u"TglObj.DB"_s;
const QString kActivities = u"TglTaet.DB"_s;
const QString kFunctions = u"Tglfunc.db"_s;
const QString kInvalid = u"Ungültige Auswahl!"_s;
const QString kMoveFailed = u"Bei der Datenübertragung sind Fehler aufgetreten!"_s;

void set(Table& t, const QString& field, const QVariant& value) {
    t.field(field).setValue(value);
}

// The id of the tour's daily list on date; 0 when there is none.
int dailyTourId(int tourNr, const QDate& date) {
    auto tours = OpenTempTable(kDb, kTours, u"I_DateTour"_s);
    if (!tours->findKey({date, tourNr}))
        return 0;
    return FieldInt(*tours, u"A_TourID"_s);
}

// A cursor on the activity rows of one object of a daily list.
std::unique_ptr<Table> activityRows(int tglTourId, int objektNr) {
    auto rows = OpenTempTable(kDb, kActivities, u"I_TourObjTaetig"_s);
    rows->setRange({tglTourId, objektNr}, {tglTourId, objektNr});
    return rows;
}

// The activity row of a cell, the cursor standing on it; null when missing.
std::unique_ptr<Table> locateActivity(int tglTourId, int objektNr, int taetigNr) {
    auto rows = OpenTempTable(kDb, kActivities, u"I_TourObjTaetig"_s);
    if (tglTourId == 0 || !rows->findKey({tglTourId, objektNr, taetigNr}))
        return nullptr;
    return rows;
}

bool isAppointment(Table& row) {
    return FieldInt(row, u"A_Source"_s) == SourceAppointment;
}

bool objectHasAppointments(int tglTourId, int objektNr) {
    auto rows = activityRows(tglTourId, objektNr);
    for (rows->first(); !rows->eof() && !rows->isEmpty(); rows->next())
        if (isAppointment(*rows))
            return true;
    return false;
}

bool hasActivities(int tglTourId, int objektNr) {
    auto rows = activityRows(tglTourId, objektNr);
    rows->first();
    return !rows->eof() && !rows->isEmpty();
}

bool tourHasAppointments(int tglTourId) {
    auto rows = OpenTempTable(kDb, kActivities, u"I_TourObjTaetig"_s);
    rows->setRange({tglTourId}, {tglTourId});
    for (rows->first(); !rows->eof() && !rows->isEmpty(); rows->next())
        if (isAppointment(*rows))
            return true;
    return false;
}

// Removes the row under the cursor with its special function.
void removeActivity(Table& row, int tourNr, const QDate& date) {
    auto functions = OpenTempTable(kDb, kFunctions, u"I_DTOT"_s);
    if (functions->findKey(
            {date, tourNr, FieldInt(row, u"A_ObjNr"_s), FieldInt(row, u"A_TaetigNr"_s)}))
        functions->deleteRecord();
    row.deleteRecord();
}

// The object row goes with its last activity; true when it went.
bool dropEmptyObject(int tglTourId, int objektNr) {
    if (hasActivities(tglTourId, objektNr))
        return false;
    DeleteTglObjekt(tglTourId, objektNr, false);
    return true;
}

qint16 raisedBacklog(int backlog, int by) {
    int raised = 0;
    if (qAddOverflow(backlog, by, &raised) || qAddOverflow(raised, 1, &raised) ||
        raised > std::numeric_limits<qint16>::max())
        RaiseOverflowError();
    return qint16(raised);
}

bool appendObjectRow(int tglTourId, int objektNr) {
    auto objects = OpenTempTable(kDb, kObjects);
    objects->append();
    set(*objects, u"A_TOID"_s, GetNextId(kDb, kObjects, u"A_TOID"_s));
    set(*objects, u"A_TourID"_s, tglTourId);
    set(*objects, u"A_ObjektNr"_s, objektNr);
    set(*objects, u"A_Kunde"_s, GetObjektKundeByNr(objektNr));
    set(*objects, u"A_LsID"_s, 0);
    set(*objects, u"A_ObjektBez"_s, GetObjektMatchByNr(objektNr).left(40));
    objects->post();
    return true;
}

bool appendActivityRow(int tglTourId, int objektNr, int backlog, int taetigNr) {
    auto master = OpenTempTable(kDb, u"Taetig.DB"_s);
    if (!master->locate({u"T_Nr"_s}, {taetigNr}))
        return false;
    if (backlog < std::numeric_limits<qint16>::min() ||
        backlog > std::numeric_limits<qint16>::max())
        RaiseOverflowError();
    auto rows = OpenTempTable(kDb, kActivities);
    rows->append();
    set(*rows, u"A_TOTID"_s, GetNextId(kDb, kActivities, u"A_TOTID"_s));
    set(*rows, u"A_TourID"_s, tglTourId);
    set(*rows, u"A_ObjNr"_s, objektNr);
    set(*rows, u"A_TaetigNr"_s, taetigNr);
    set(*rows, u"A_Source"_s, SourceManual);
    set(*rows, u"A_State"_s, StateOpen);
    set(*rows, u"A_Rueckstand"_s, backlog);
    set(*rows, u"A_LsID"_s, 0);
    set(*rows, u"A_TermID"_s, 0);
    set(*rows, u"A_ServiceID"_s, u"*"_s);
    set(*rows, u"A_ZusatzText"_s, FieldText(*master, u"T_Match"_s));
    set(*rows, u"A_TourText"_s, master->field(u"T_TextTour"_s).value());
    set(*rows, u"A_KontrollText"_s, master->field(u"T_TextKontroll"_s).value());
    rows->post();
    return true;
}

MonthMove moved(bool done) {
    return done ? MonthMove::Moved : MonthMove::NotMoved;
}

} // namespace

QString MonthAppointmentRefusal() {
    return u"Sie können Termineinträge in der Monatsplanung nicht manipulieren!\r"
           u"Verwenden Sie dazu bitte die Standard-Tageslistenverwaltung."_s;
}

MonthEdit SetTaetigState(const MonthCell& cell, int state) {
    MonthEdit result = MonthEdit::NotFound;
    ChangeDailyLists(u"Der Status der Tätigkeit konnte nicht geändert werden."_s, [&] {
        auto row =
            locateActivity(dailyTourId(cell.tourNr, cell.date), cell.objektNr, cell.taetigNr);
        if (!row)
            return false;
        if (isAppointment(*row)) {
            result = MonthEdit::Appointment;
            return false;
        }
        row->edit();
        set(*row, u"A_State"_s, state);
        row->post();
        result = MonthEdit::Done;
        return true;
    });
    return result;
}

int SetOpenTaetigDone(const MonthCell& cell) {
    int appointments = 0;
    ChangeDailyLists(u"Die offenen Termine konnten nicht erledigt gesetzt werden."_s, [&] {
        const int tourId = dailyTourId(cell.tourNr, cell.date);
        if (tourId == 0)
            return false;
        auto rows = activityRows(tourId, cell.objektNr);
        QList<table::Bookmark> open;
        for (rows->first(); !rows->eof() && !rows->isEmpty(); rows->next()) {
            if (isAppointment(*rows))
                ++appointments;
            else if (FieldInt(*rows, u"A_State"_s) == StateOpen)
                open.append(rows->bookmark());
        }
        for (const table::Bookmark& mark : std::as_const(open)) {
            rows->gotoBookmark(mark);
            rows->edit();
            set(*rows, u"A_State"_s, StateDone);
            rows->post();
        }
        return !open.isEmpty();
    });
    return appointments;
}

int AddTaetigToDay(int tourNr, int objektNr, int backlog, int taetigNr, const QDate& date) {
    const int tourId = dailyTourId(tourNr, date);
    if (tourId == 0)
        return 0;
    if (auto row = locateActivity(tourId, objektNr, taetigNr)) {
        row->edit();
        set(*row, u"A_Rueckstand"_s, raisedBacklog(FieldInt(*row, u"A_Rueckstand"_s), backlog));
        row->post();
        return 1;
    }
    if (IntPairExists(kDb, kObjects, u"A_TourID;A_ObjektNr"_s, tourId, objektNr))
        return appendActivityRow(tourId, objektNr, backlog, taetigNr) ? 1 : 0;
    appendObjectRow(tourId, objektNr);
    return appendActivityRow(tourId, objektNr, backlog, taetigNr) ? 2 : 0;
}

int InsertTaetig(const MonthCell& cell) {
    int result = 0;
    ChangeDailyLists(u"Beim Einfügen von Datensätzen ist ein Fehler aufgetreten!"_s, [&] {
        result = AddTaetigToDay(cell.tourNr, cell.objektNr, 0, cell.taetigNr, cell.date);
        return result != 0;
    });
    return result;
}

TaetigDelete DeleteTaetig(const MonthCell& cell) {
    TaetigDelete result = TaetigDelete::NotFound;
    ChangeDailyLists(u"Beim Löschen von Datensätzen ist ein Fehler aufgetreten!"_s, [&] {
        const int tourId = dailyTourId(cell.tourNr, cell.date);
        auto row = locateActivity(tourId, cell.objektNr, cell.taetigNr);
        if (!row)
            return false;
        if (isAppointment(*row)) {
            result = TaetigDelete::Appointment;
            return false;
        }
        removeActivity(*row, cell.tourNr, cell.date);
        row.reset();
        result = dropEmptyObject(tourId, cell.objektNr) ? TaetigDelete::DeletedWithObject
                                                        : TaetigDelete::Deleted;
        return true;
    });
    return result;
}

ObjektInsert InsertObjekt(const MonthCell& cell) {
    const int tourId = dailyTourId(cell.tourNr, cell.date);
    if (tourId != 0 &&
        IntPairExists(kDb, kObjects, u"A_TourID;A_ObjektNr"_s, tourId, cell.objektNr))
        return ObjektInsert::AlreadyListed;
    int best = 0;
    ChangeDailyLists(u"Beim Einfügen von Datensätzen ist ein Fehler aufgetreten!"_s, [&] {
        if (tourId == 0)
            return false;
        // A cursor of its own: the object form's activities keep their record.
        auto objectActivities = OpenTempTable(kDb, u"ObjTaet.db"_s, u"I_TsObjekt"_s);
        objectActivities->setRange({cell.objektNr}, {cell.objektNr});
        QList<int> taetigNrs;
        for (objectActivities->first(); !objectActivities->eof() && !objectActivities->isEmpty();
             objectActivities->next())
            taetigNrs.append(FieldInt(*objectActivities, u"TS_Taetigkeit"_s));
        for (const int nr : std::as_const(taetigNrs)) {
            const int r = AddTaetigToDay(cell.tourNr, cell.objektNr, 0, nr, cell.date);
            if (r == 0) {
                best = 0;
                return false;
            }
            best = std::max(best, r);
        }
        return best != 0;
    });
    return best != 0 ? ObjektInsert::Added : ObjektInsert::Failed;
}

bool DeleteObjekt(const MonthCell& cell) {
    bool found = false;
    ChangeDailyLists(u"Beim Löschen von Datensätzen ist ein Fehler aufgetreten!"_s, [&] {
        const int tourId = dailyTourId(cell.tourNr, cell.date);
        if (tourId == 0 ||
            !IntPairExists(kDb, kObjects, u"A_TourID;A_ObjektNr"_s, tourId, cell.objektNr))
            return false;
        found = true;
        auto rows = activityRows(tourId, cell.objektNr);
        QList<table::Bookmark> generated;
        for (rows->first(); !rows->eof() && !rows->isEmpty(); rows->next())
            if (FieldInt(*rows, u"A_Source"_s) == SourceAutomatic)
                generated.append(rows->bookmark());
        for (const table::Bookmark& mark : std::as_const(generated)) {
            rows->gotoBookmark(mark);
            removeActivity(*rows, cell.tourNr, cell.date);
        }
        rows.reset();
        dropEmptyObject(tourId, cell.objektNr);
        return true;
    });
    return found;
}

std::optional<DayDeliveryNote> DeliveryNoteOfDay(const MonthCell& cell) {
    const int tourId = dailyTourId(cell.tourNr, cell.date);
    auto objects = OpenTempTable(kDb, kObjects);
    if (tourId == 0 || !objects->locate({u"A_TourID"_s, u"A_ObjektNr"_s}, {tourId, cell.objektNr}))
        return std::nullopt;
    DayDeliveryNote note;
    note.toid = FieldInt(*objects, u"A_TOID"_s);
    if (const int lsId = FieldInt(*objects, u"A_LsID"_s); lsId != 0)
        note.nr = GetOpenLSNrById(lsId);
    if (note.nr.isEmpty())
        FindOpenLSOfObjekt(cell.objektNr, kLsTypTageslisten, note.nr);
    return note;
}

void StoreDeliveryNoteId(int toid, int lsId) {
    ChangeDailyLists(u"Der Lieferschein konnte nicht in der Tagesliste vermerkt werden."_s, [&] {
        auto objects = OpenTempTable(kDb, kObjects);
        if (!objects->locate({u"A_TOID"_s}, {toid}))
            return false;
        objects->edit();
        set(*objects, u"A_LsID"_s, lsId);
        objects->post();
        return true;
    });
}

DropVerdict CheckMonthDrop(const MonthPick& pick, const MonthDrop& drop, int todayCol,
                           QStringList& messages) {
    const int targetTour = drop.grid == MonthGrid::Tours ? drop.tourNr : pick.tourNr;
    if (targetTour == pick.tourNr && drop.date == pick.date)
        return DropVerdict::Same;
    const auto refuse = [&messages](const QString& why = {}) {
        if (!why.isEmpty())
            messages.append(why);
        messages.append(kInvalid);
        return DropVerdict::Refused;
    };
    if (drop.grid != MonthGrid::Tours || drop.column < todayCol)
        return refuse();
    if (pick.grid != MonthGrid::Tours && !drop.targetHasList)
        return refuse();
    const int sourceId = dailyTourId(pick.tourNr, pick.date);
    switch (pick.grid) {
    case MonthGrid::Tours:
        // A list keeps its tour number, staff and pattern: only its date may change.
        if (drop.tourNr != pick.tourNr)
            return refuse();
        if (drop.targetHasList || dailyTourId(drop.tourNr, drop.date) != 0)
            return refuse(u"Diese Tour existiert bereits zum angegebenen Datum!"_s);
        if (sourceId != 0 && tourHasAppointments(sourceId))
            return refuse(u"In der Tour sind nicht manipulierbare Termineinträge enthalten!"_s);
        break;
    case MonthGrid::Objects:
        // Nothing to carry: an object without rows on that day.
        if (sourceId == 0 || !hasActivities(sourceId, pick.objektNr))
            return refuse();
        if (objectHasAppointments(sourceId, pick.objektNr))
            return refuse(u"Im Objekt sind nicht manipulierbare Termineinträge enthalten!"_s);
        break;
    case MonthGrid::Activities: {
        auto row = locateActivity(sourceId, pick.objektNr, pick.taetigNr);
        if (!row || isAppointment(*row))
            return refuse(MonthAppointmentRefusal());
        break;
    }
    }
    return DropVerdict::Accepted;
}

MonthMove MonMoveTour(const MonthPick& pick, const QDate& targetDate) {
    MonthMove result = MonthMove::TourNotFound;
    ChangeDailyLists(kMoveFailed, [&] {
        auto tours = OpenTempTable(kDb, kTours, u"I_DateTour"_s);
        if (!tours->findKey({pick.date, pick.tourNr}))
            return false;
        tours->edit();
        set(*tours, u"A_Date"_s, targetDate);
        tours->post();
        // The special functions of its rows are keyed by date and follow it.
        auto functions = OpenTempTable(kDb, kFunctions, u"I_DTOT"_s);
        functions->setRange({pick.date, pick.tourNr}, {pick.date, pick.tourNr});
        QList<table::Bookmark> marks;
        for (functions->first(); !functions->eof() && !functions->isEmpty(); functions->next())
            marks.append(functions->bookmark());
        functions->cancelRange();
        for (const table::Bookmark& mark : std::as_const(marks)) {
            functions->gotoBookmark(mark);
            functions->edit();
            set(*functions, u"FL_Date"_s, targetDate);
            functions->post();
        }
        result = MonthMove::Moved;
        return true;
    });
    return result;
}

MonthMove MonMoveObjekt(const MonthPick& pick, int targetTourNr, const QDate& targetDate) {
    bool any = false;
    ChangeDailyLists(kMoveFailed, [&] {
        const int sourceId = dailyTourId(pick.tourNr, pick.date);
        if (sourceId == 0)
            return false;
        for (const int taetigNr : pick.objectActivities) {
            auto row = locateActivity(sourceId, pick.objektNr, taetigNr);
            if (!row)
                continue;
            const int backlog = FieldInt(*row, u"A_Rueckstand"_s);
            if (AddTaetigToDay(targetTourNr, pick.objektNr, backlog, taetigNr, targetDate) == 0)
                continue;
            row = locateActivity(sourceId, pick.objektNr, taetigNr);
            removeActivity(*row, pick.tourNr, pick.date);
            any = true;
        }
        dropEmptyObject(sourceId, pick.objektNr);
        return any;
    });
    return moved(any);
}

MonthMove MonMoveTaetig(const MonthPick& pick, int targetTourNr, const QDate& targetDate) {
    MonthMove result = MonthMove::NotMoved;
    ChangeDailyLists(kMoveFailed, [&] {
        if (dailyTourId(targetTourNr, targetDate) == 0) {
            result = MonthMove::TourNotFound;
            return false;
        }
        const int sourceId = dailyTourId(pick.tourNr, pick.date);
        auto row = locateActivity(sourceId, pick.objektNr, pick.taetigNr);
        if (!row) {
            result = MonthMove::TaetigNotFound;
            return false;
        }
        const int n = FieldInt(*row, u"A_Rueckstand"_s);
        row.reset();
        int added = 0;
        if (n == 0) {
            added = AddTaetigToDay(targetTourNr, pick.objektNr, 0, pick.taetigNr, targetDate);
            if (added != 0) {
                row = locateActivity(sourceId, pick.objektNr, pick.taetigNr);
                removeActivity(*row, pick.tourNr, pick.date);
                row.reset();
                dropEmptyObject(sourceId, pick.objektNr);
            }
        } else {
            const bool later = targetDate > pick.date;
            row = locateActivity(sourceId, pick.objektNr, pick.taetigNr);
            row->edit();
            set(*row, u"A_Rueckstand"_s, later ? n - 1 : 0);
            row->post();
            row.reset();
            added = AddTaetigToDay(targetTourNr, pick.objektNr, later ? 0 : n - 1, pick.taetigNr,
                                   targetDate);
        }
        // A target that takes nothing would lose executions: nothing changes then.
        if (added == 0)
            return false;
        result = MonthMove::Moved;
        return true;
    });
    return result;
}
