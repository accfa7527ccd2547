#include "operations/dailylistedits.h"

#include "core/data/appointmentrules.h"
#include "core/data/dailylistrules.h"
#include "core/data/dbhelpers.h"
#include "core/values/rangeerrors.h"
#include "operations/dailylistwriter.h"
#include "platform/table/session.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

#include <QtNumeric>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;
using table::Table;

namespace {

const QString kDb = u"LumoDB"_s;
const QString kTours = u"TglTour.DB"_s;
const QString kObjects = u"TglObj.DB"_s;
const QString kActivities = u"TglTaet.DB"_s;
const QString kFunctions = u"Tglfunc.db"_s;
const QString kRecordGone = u"Der Eintrag der Tagesliste wurde inzwischen gelöscht."_s;

void set(Table& t, const QString& field, const QVariant& value) {
    t.field(field).setValue(value);
}

struct DailyTour {
    int id = 0;
    int tourNr = 0;
    QDate date;
};

std::optional<DailyTour> dailyTour(int id) {
    auto tours = OpenTempTable(kDb, kTours);
    if (!tours->locate({u"A_TourID"_s}, {id}))
        return std::nullopt;
    return DailyTour{id, FieldInt(*tours, u"A_TourNr"_s),
                     tours->field(u"A_Date"_s).asDateOr(QDate())};
}

// Whether another workstation holds the write lock of the activities, as a
// generation run does.
bool generatingElsewhere(table::Database& db) {
    table::Session* session = db.session();
    if (!session)
        return false;
    try {
        session->checkWritable(db.lockKey(), table::physicalName(kActivities));
    } catch (const table::TableError& e) {
        if (e.kind() == table::TableError::RecordLocked)
            return true;
        throw;
    }
    return false;
}

QString errorText(const std::exception& e) {
    if (const auto* db = dynamic_cast<const DbError*>(&e))
        return db->message();
    return QString::fromUtf8(e.what());
}

qint16 raisedBacklog(int backlog, int by) {
    int raised = 0;
    if (qAddOverflow(backlog, by, &raised) || qAddOverflow(raised, 1, &raised) ||
        raised > std::numeric_limits<qint16>::max())
        RaiseOverflowError();
    return qint16(raised);
}

// The rows of one object of a daily tour, by key.
QList<int> activityIds(int tglTourId, int objektNr) {
    auto rows = OpenTempTable(kDb, kActivities, u"I_TourObjTaetig"_s);
    rows->setRange({tglTourId, objektNr}, {tglTourId, objektNr});
    QList<int> ids;
    for (rows->first(); !rows->eof() && !rows->isEmpty(); rows->next())
        ids.append(FieldInt(*rows, u"A_TOTID"_s));
    return ids;
}

bool hasActivities(int tglTourId, int objektNr) {
    return IntPairExists(kDb, kActivities, u"A_TourID;A_ObjNr"_s, tglTourId, objektNr);
}

bool locateFunction(Table& functions, const DailyTour& tour, int objektNr, int taetigNr) {
    return functions.locate({u"FL_Date"_s, u"FL_TourNr"_s, u"FL_ObjNr"_s, u"FL_TaetigNr"_s},
                            {tour.date, tour.tourNr, objektNr, taetigNr});
}

// Removes the row the cursor stands on with its special function; its
// appointment loses the link only when asked (a moved row's appointment
// already points at the copy).
void removeActivityRow(Table& row, const DailyTour& tour, bool unlinkAppointment) {
    const int objektNr = FieldInt(row, u"A_ObjNr"_s);
    const int taetigNr = FieldInt(row, u"A_TaetigNr"_s);
    const int termId = FieldInt(row, u"A_TermID"_s);
    auto functions = OpenTempTable(kDb, kFunctions);
    if (locateFunction(*functions, tour, objektNr, taetigNr))
        functions->deleteRecord();
    if (unlinkAppointment && termId != 0)
        LinkTermObjToTaglist(termId, 0, 0, tour.date);
    row.deleteRecord();
}

// The source row (where the cursor stands) onto the object of the target
// daily tour: the backlog of the same activity there raised, or a copy.
// The key of the resulting row.
int copyActivity(Table& source, int targetTourId, int objektNr) {
    const int taetigNr = FieldInt(source, u"A_TaetigNr"_s);
    const int backlog = FieldInt(source, u"A_Rueckstand"_s);
    auto target = OpenTempTable(kDb, kActivities, u"I_TourObjTaetig"_s);
    if (taetigNr != 0 && target->findKey({targetTourId, objektNr, taetigNr})) {
        target->edit();
        set(*target, u"A_Rueckstand"_s,
            raisedBacklog(FieldInt(*target, u"A_Rueckstand"_s), backlog));
        const int termId = FieldInt(source, u"A_TermID"_s);
        if (termId != 0 && FieldInt(*target, u"A_TermID"_s) == 0)
            set(*target, u"A_TermID"_s, termId);
        target->post();
        return FieldInt(*target, u"A_TOTID"_s);
    }
    const int id = GetNextId(kDb, kActivities, u"A_TOTID"_s);
    const QString service = FieldText(source, u"A_ServiceID"_s);
    target->append();
    set(*target, u"A_TOTID"_s, id);
    set(*target, u"A_TourID"_s, targetTourId);
    set(*target, u"A_ObjNr"_s, objektNr);
    set(*target, u"A_TaetigNr"_s, taetigNr);
    set(*target, u"A_Source"_s, SourceMoved);
    set(*target, u"A_State"_s, StateOpen);
    set(*target, u"A_Rueckstand"_s, backlog);
    set(*target, u"A_LsID"_s, FieldInt(source, u"A_LsID"_s));
    set(*target, u"A_ServiceID"_s, service.isEmpty() ? u"*"_s : service);
    set(*target, u"A_TermID"_s, FieldInt(source, u"A_TermID"_s));
    for (const char* text : {"A_Param", "A_ZusatzText", "A_TourText", "A_KontrollText"})
        set(*target, QString::fromLatin1(text), source.field(QString::fromLatin1(text)).value());
    target->post();
    return id;
}

// MoveDailyActivity inside a change; false when no row resulted.
bool moveActivity(TDataModule1& dm, int totId, int tourNr, const QDate& date) {
    auto source = OpenTempTable(kDb, kActivities);
    if (!source->locate({u"A_TOTID"_s}, {totId}))
        throw DbError(kRecordGone);
    const int sourceTourId = FieldInt(*source, u"A_TourID"_s);
    const int objektNr = FieldInt(*source, u"A_ObjNr"_s);
    const std::optional<DailyTour> from = dailyTour(sourceTourId);
    if (!from)
        throw DbError(kRecordGone);
    const int targetTourId = GetOrCreateTglTour(dm, tourNr, date);
    if (targetTourId == 0 || targetTourId == sourceTourId)
        return false;
    const int targetObject = GetOrCreateTglObjekt(dm, tourNr, targetTourId, objektNr, 0);
    if (targetObject == 0)
        return false;
    auto objects = OpenTempTable(kDb, kObjects);
    if (objects->locate({u"A_TourID"_s, u"A_ObjektNr"_s}, {sourceTourId, objektNr})) {
        const QString description = FieldText(*objects, u"A_ObjektBez"_s);
        if (!description.isEmpty())
            SetTglObjektBez(targetObject, description);
    }
    const int copy = copyActivity(*source, targetTourId, objektNr);
    if (const int termId = FieldInt(*source, u"A_TermID"_s); termId != 0)
        LinkTermObjToTaglist(termId, copy, tourNr, date);
    removeActivityRow(*source, *from, false);
    source.reset();
    if (!hasActivities(sourceTourId, objektNr))
        DeleteTglObjekt(sourceTourId, objektNr, false);
    return true;
}

// The special functions of an object's rows follow it to another list.
void moveFunctions(const DailyTour& from, int objektNr, int tourNr, const QDate& date) {
    auto functions = OpenTempTable(kDb, kFunctions, u"I_DTOT"_s);
    functions->setRange({from.date, from.tourNr, objektNr}, {from.date, from.tourNr, objektNr});
    QList<table::Bookmark> marks;
    for (functions->first(); !functions->eof() && !functions->isEmpty(); functions->next())
        marks.append(functions->bookmark());
    functions->cancelRange();
    for (const table::Bookmark& mark : marks) {
        functions->gotoBookmark(mark);
        functions->edit();
        set(*functions, u"FL_Date"_s, date);
        set(*functions, u"FL_TourNr"_s, tourNr);
        functions->post();
    }
}

// The activity's master values for a manual row.
struct MasterActivityTexts {
    QString name, tourText, kontrollText;
};

std::optional<MasterActivityTexts> masterActivity(Table& activities, int taetigNr) {
    if (!activities.locate({u"T_Nr"_s}, {taetigNr}))
        return std::nullopt;
    return MasterActivityTexts{FieldText(activities, u"T_Match"_s),
                               FieldText(activities, u"T_TextTour"_s),
                               FieldText(activities, u"T_TextKontroll"_s)};
}

// The row of AddDailyListActivityTo inside a change; 0 when the object does not exist.
int addActivityRow(TDataModule1& dm, int tglTourId, const DailyActivityValues& v) {
    if (GetOrCreateTglObjekt(dm, v.tourNr, tglTourId, v.objektNr, v.lsId) == 0)
        return 0;
    auto rows = OpenTempTable(kDb, kActivities, u"I_TourObjTaetig"_s);
    if (rows->findKey({tglTourId, v.objektNr, v.taetigNr})) {
        rows->edit();
        set(*rows, u"A_Rueckstand"_s,
            raisedBacklog(FieldInt(*rows, u"A_Rueckstand"_s), v.rueckstand));
        rows->post();
        return FieldInt(*rows, u"A_TOTID"_s);
    }
    const int id = GetNextId(kDb, kActivities, u"A_TOTID"_s);
    rows->append();
    set(*rows, u"A_TOTID"_s, id);
    set(*rows, u"A_TourID"_s, tglTourId);
    set(*rows, u"A_ObjNr"_s, v.objektNr);
    set(*rows, u"A_TaetigNr"_s, v.taetigNr);
    set(*rows, u"A_Source"_s, v.source);
    set(*rows, u"A_State"_s, v.state);
    set(*rows, u"A_Rueckstand"_s, v.rueckstand);
    set(*rows, u"A_LsID"_s, 0);
    set(*rows, u"A_ServiceID"_s, v.serviceId);
    set(*rows, u"A_TermID"_s, v.termId);
    set(*rows, u"A_ZusatzText"_s, v.zusatzText);
    set(*rows, u"A_Param"_s, v.param);
    set(*rows, u"A_TourText"_s, v.tourText);
    set(*rows, u"A_KontrollText"_s, v.kontrollText);
    rows->post();
    return id;
}

// Keeps other workstations off the activities while a bulk change writes
// them past the cursors: taken only when no other workstation edits a row.
class ActivitiesLock {
public:
    ActivitiesLock() : m_rows(OpenTempTable(kDb, kActivities)) {
        try {
            m_rows->lockTable();
        } catch (const table::TableError& e) {
            if (e.kind() != table::TableError::RecordLocked)
                throw;
            if (generatingElsewhere(*m_rows->database()))
                throw DailyListsBusy();
            throw DbError(u"Einträge der Tageslisten werden gerade an einem anderen Arbeitsplatz "
                          u"bearbeitet."_s);
        }
    }
    ~ActivitiesLock() {
        try {
            m_rows->unlockTable();
        } catch (...) {
            // The lock goes with the session at the latest.
        }
    }
    ActivitiesLock(const ActivitiesLock&) = delete;
    ActivitiesLock& operator=(const ActivitiesLock&) = delete;

private:
    std::unique_ptr<Table> m_rows;
};

// Open rows of the daily tours become done, in one statement a tour.
int setOpenRowsDone(const QList<int>& tglTourIds, int objektNr) {
    auto db = table::aliases::database(kDb);
    const QString sql = u"UPDATE "_s + table::quoted(table::physicalName(kActivities)) +
                        u" SET \"A_State\" = ? WHERE \"A_TourID\" = ? AND \"A_State\" = ?"_s +
                        (objektNr != 0 ? u" AND \"A_ObjNr\" = ?"_s : QString());
    int changed = 0;
    for (const int id : tglTourIds) {
        QVariantList params{StateDone, id, StateOpen};
        if (objektNr != 0)
            params.append(objektNr);
        if (qAddOverflow(changed, db->execSql(sql, params), &changed))
            RaiseOverflowError();
    }
    return changed;
}

int bulkDone(const QString& what, const QList<int>& tglTourIds, int objektNr) {
    if (tglTourIds.isEmpty())
        return 0;
    int changed = 0;
    ChangeDailyLists(what, [&] {
        const ActivitiesLock lock;
        changed = setOpenRowsDone(tglTourIds, objektNr);
        return true;
    });
    return changed;
}

QList<int> dailyToursOf(const QDate& day) {
    auto tours = OpenTempTable(kDb, kTours, u"I_DateTour"_s);
    tours->setRange({day}, {day});
    QList<int> ids;
    for (tours->first(); !tours->eof() && !tours->isEmpty(); tours->next())
        ids.append(FieldInt(*tours, u"A_TourID"_s));
    return ids;
}

const QString kDoneFailed = u"Die offenen Positionen konnten nicht erledigt gesetzt werden."_s;

} // namespace

DailyListsBusy::DailyListsBusy()
    : DbError(u"An einem anderen Arbeitsplatz werden gerade Tageslisten erzeugt.\r"
              u"Bitte versuchen Sie es nach dem Ende der Erstellung noch einmal; "
              u"es wurde nichts geändert."_s) {}

bool ChangeDailyLists(const QString& what, const std::function<bool()>& work) {
    auto db = table::aliases::database(kDb);
    try {
        if (generatingElsewhere(*db))
            throw DailyListsBusy();
        table::Transaction tx(*db);
        if (!work())
            return false;
        tx.commit();
        return true;
    } catch (const Abort&) {
        throw;
    } catch (const DailyListsBusy&) {
        throw;
    } catch (const table::TableError& e) {
        if (e.kind() == table::TableError::RecordLocked && generatingElsewhere(*db))
            throw DailyListsBusy();
        throw DbError(what + u'\r' + e.message());
    } catch (const std::exception& e) {
        throw DbError(what + u'\r' + errorText(e));
    }
}

QDate NextTourDate(int tourNr, const QDate& date) {
    auto tours = OpenTempTable(kDb, u"Touren.DB"_s);
    if (!tours->locate({u"TO_Nr"_s}, {tourNr}))
        return date;
    const QDate stored = tours->field(u"TO_NextDate"_s).asDateOr(QDate());
    QDate next = stored.isValid() ? stored : date;
    if (next <= date)
        next = next.addDays(7 * (next.daysTo(date) / 7 + 1));
    return next;
}

bool SetDailyActivityState(int totId, int state) {
    return ChangeDailyLists(u"Der Status der Tätigkeit konnte nicht geändert werden."_s, [&] {
        auto rows = OpenTempTable(kDb, kActivities);
        if (!rows->locate({u"A_TOTID"_s}, {totId}))
            throw DbError(kRecordGone);
        if (FieldInt(*rows, u"A_State"_s) == state)
            return false;
        rows->edit();
        set(*rows, u"A_State"_s, state);
        rows->post();
        if (const int termId = FieldInt(*rows, u"A_TermID"_s); termId != 0) {
            auto appointments = OpenTempTable(kDb, u"TermObj.DB"_s);
            if (appointments->locate({u"T_ID"_s}, {termId})) {
                appointments->edit();
                set(*appointments, u"T_Erledigt"_s, state == StateSkipped || state == StateDone);
                appointments->post();
            }
        }
        return true;
    });
}

bool MoveDailyActivity(TDataModule1& dm, int totId, int tourNr, const QDate& date) {
    return ChangeDailyLists(u"Die Tätigkeit konnte nicht verlegt werden."_s,
                            [&] { return moveActivity(dm, totId, tourNr, date); });
}

ObjectMove MoveDailyObject(TDataModule1& dm, int tglTourId, int objektNr, int tourNr,
                           const QDate& date) {
    const std::optional<DailyTour> from = dailyTour(tglTourId);
    if (!from)
        throw DbError(kRecordGone);
    if (from->tourNr == tourNr && from->date == date)
        return ObjectMove::SameList;
    bool same = false;
    const bool moved = ChangeDailyLists(u"Das Objekt konnte nicht verlegt werden."_s, [&] {
        const int target = GetOrCreateTglTour(dm, tourNr, date);
        if (target == 0)
            return false;
        if (target == tglTourId) {
            same = true;
            return false;
        }
        const QList<int> ids = activityIds(tglTourId, objektNr);
        if (IntPairExists(kDb, kObjects, u"A_TourID;A_ObjektNr"_s, target, objektNr)) {
            for (const int id : ids)
                if (!moveActivity(dm, id, tourNr, date))
                    return false;
            // The object row went with its last activity; one without any goes now.
            if (!hasActivities(tglTourId, objektNr))
                DeleteTglObjekt(tglTourId, objektNr, false);
            return true;
        }
        auto objects = OpenTempTable(kDb, kObjects);
        if (!objects->locate({u"A_TourID"_s, u"A_ObjektNr"_s}, {tglTourId, objektNr}))
            throw DbError(kRecordGone);
        objects->edit();
        set(*objects, u"A_TourID"_s, target);
        objects->post();
        auto rows = OpenTempTable(kDb, kActivities);
        for (const int id : ids) {
            if (!rows->locate({u"A_TOTID"_s}, {id}))
                continue;
            rows->edit();
            set(*rows, u"A_TourID"_s, target);
            rows->post();
            if (const int termId = FieldInt(*rows, u"A_TermID"_s); termId != 0)
                LinkTermObjToTaglist(termId, id, tourNr, date);
        }
        moveFunctions(*from, objektNr, tourNr, date);
        return true;
    });
    if (same)
        return ObjectMove::SameList;
    return moved ? ObjectMove::Moved : ObjectMove::NotMoved;
}

bool AddDailyListActivityTo(TDataModule1& dm, int tglTourId, const DailyActivityValues& values) {
    return ChangeDailyLists(u"Die Tätigkeit konnte nicht in die Tagesliste übernommen werden."_s,
                            [&] { return addActivityRow(dm, tglTourId, values) != 0; });
}

ManualAdd AddObjectToDailyTour(TDataModule1& dm, int tglTourId, int objektNr) {
    if (IntPairExists(kDb, kObjects, u"A_TourID;A_ObjektNr"_s, tglTourId, objektNr))
        return ManualAdd::AlreadyListed;
    const std::optional<DailyTour> tour = dailyTour(tglTourId);
    if (!tour)
        throw DbError(kRecordGone);
    const bool added =
        ChangeDailyLists(u"Das Objekt konnte nicht in die Tagesliste übernommen werden."_s, [&] {
            if (GetOrCreateTglObjekt(dm, tour->tourNr, tglTourId, objektNr, 0) == 0)
                return false;
            auto objectActivities = OpenTempTable(kDb, u"ObjTaet.db"_s, u"I_TsObjekt"_s);
            objectActivities->setRange({objektNr}, {objektNr});
            auto master = OpenTempTable(kDb, u"Taetig.DB"_s);
            for (objectActivities->first();
                 !objectActivities->eof() && !objectActivities->isEmpty();
                 objectActivities->next()) {
                DailyActivityValues v;
                v.tourNr = tour->tourNr;
                v.objektNr = objektNr;
                v.taetigNr = FieldInt(*objectActivities, u"TS_Taetigkeit"_s);
                v.source = SourceManual;
                const QString service = FieldText(*objectActivities, u"TS_ServiceID"_s);
                v.serviceId = service.isEmpty() ? u"*"_s : service;
                v.param = FieldText(*objectActivities, u"TS_Param"_s);
                if (const auto texts = masterActivity(*master, v.taetigNr)) {
                    v.zusatzText = texts->name;
                    v.tourText = texts->tourText;
                    v.kontrollText = texts->kontrollText;
                }
                addActivityRow(dm, tglTourId, v);
            }
            return true;
        });
    return added ? ManualAdd::Added : ManualAdd::NotFound;
}

ManualAdd AddActivityToDailyObject(TDataModule1& dm, int tglTourId, int objektNr, int taetigNr) {
    if (OpenTempTable(kDb, kActivities, u"I_TourObjTaetig"_s)
            ->findKey({tglTourId, objektNr, taetigNr}))
        return ManualAdd::AlreadyListed;
    const std::optional<DailyTour> tour = dailyTour(tglTourId);
    if (!tour)
        throw DbError(kRecordGone);
    auto master = OpenTempTable(kDb, u"Taetig.DB"_s);
    const std::optional<MasterActivityTexts> texts = masterActivity(*master, taetigNr);
    if (!texts)
        return ManualAdd::NotFound;
    DailyActivityValues v;
    v.tourNr = tour->tourNr;
    v.objektNr = objektNr;
    v.taetigNr = taetigNr;
    v.source = SourceManual;
    v.serviceId = u"*"_s;
    v.zusatzText = texts->name;
    v.tourText = texts->tourText;
    v.kontrollText = texts->kontrollText;
    return AddDailyListActivityTo(dm, tglTourId, v) ? ManualAdd::Added : ManualAdd::NotFound;
}

void DeleteDailyActivity(int totId) {
    ChangeDailyLists(u"Die Tätigkeit konnte nicht gelöscht werden."_s, [&] {
        auto rows = OpenTempTable(kDb, kActivities);
        if (!rows->locate({u"A_TOTID"_s}, {totId}))
            return false;
        const int tglTourId = FieldInt(*rows, u"A_TourID"_s);
        const int objektNr = FieldInt(*rows, u"A_ObjNr"_s);
        const std::optional<DailyTour> tour = dailyTour(tglTourId);
        removeActivityRow(*rows, tour.value_or(DailyTour{tglTourId, 0, QDate()}), true);
        rows.reset();
        if (!hasActivities(tglTourId, objektNr))
            DeleteTglObjekt(tglTourId, objektNr, true);
        return true;
    });
}

int SetDayDone(const QDate& day) {
    return bulkDone(kDoneFailed, dailyToursOf(day), 0);
}

int SetDailyTourDone(int tglTourId) {
    return bulkDone(kDoneFailed, {tglTourId}, 0);
}

int SetDailyObjectDone(int tglTourId, int objektNr) {
    return bulkDone(kDoneFailed, {tglTourId}, objektNr);
}

QDate FirstDailyListDate(const QDate& today) {
    auto tours = OpenTempTable(kDb, kTours, u"I_DateTour"_s);
    for (tours->first(); !tours->eof() && !tours->isEmpty(); tours->next()) {
        const QDate date = tours->field(u"A_Date"_s).asDateOr(QDate());
        if (date.isValid())
            return date;
    }
    return today;
}

QDate ClosingLimit(const QDate& chosen, const QDate& today) {
    const QDate latest = today.addDays(-2);
    return chosen > latest ? latest : chosen;
}

int CloseDailyListsUpTo(const QDate& limit, const std::function<void(const QDate&)>& showDay) {
    // The days and their lists, read before anything changes.
    QList<std::pair<QDate, QList<int>>> days;
    {
        auto tours = OpenTempTable(kDb, kTours, u"I_DateTour"_s);
        for (tours->first(); !tours->eof() && !tours->isEmpty(); tours->next()) {
            const QDate date = tours->field(u"A_Date"_s).asDateOr(QDate());
            if (!date.isValid())
                continue;
            if (date > limit)
                break;
            if (days.isEmpty() || days.last().first != date)
                days.append({date, {}});
            days.last().second.append(FieldInt(*tours, u"A_TourID"_s));
        }
    }
    int changed = 0;
    for (const auto& [date, ids] : std::as_const(days)) {
        if (showDay)
            showDay(date);
        const int n =
            bulkDone(u"Die Tageslisten vom %1 konnten nicht erledigt gesetzt werden."_s.arg(
                         date.toString(u"dd.MM.yyyy"_s)),
                     ids, 0);
        if (qAddOverflow(changed, n, &changed))
            RaiseOverflowError();
    }
    return changed;
}
