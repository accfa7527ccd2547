#include "operations/dailylistwriter.h"

#include "core/data/dbhelpers.h"
#include "core/values/calendar.h"
#include "core/values/rangeerrors.h"
#include "operations/dailylistmasters.h"
#include "platform/table/table.h"
#include "platform/table/tableerror.h"

#include <QtNumeric>
#include <initializer_list>
#include <vector>

using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");
const QString kTours = QStringLiteral("TglTour.DB");
const QString kObjects = QStringLiteral("TglObj.DB");
const QString kActivities = QStringLiteral("TglTaet.DB");
const QString kFunctions = QStringLiteral("Tglfunc.db");

QString name(const char* latin1) {
    return QString::fromLatin1(latin1);
}

} // namespace

// Appends rows whose fields are named once: values come in the order of the names.
class DailyListWriter::Appender {
public:
    Appender(Table& table, std::initializer_list<const char*> fields) : m_table(table) {
        for (const char* f : fields)
            m_columns.push_back(table.field(name(f)).index());
    }
    void append(std::initializer_list<QVariant> values) {
        QVariantList row(m_table.fieldCount());
        auto value = values.begin();
        for (int column : m_columns)
            row[column] = *value++;
        m_table.appendRecord(row);
    }

private:
    Table& m_table;
    std::vector<int> m_columns;
};

namespace {

bool scanForAutomatic(Table& ranged) {
    for (ranged.first(); !ranged.eof() && !ranged.isEmpty(); ranged.next())
        if (FieldInt(ranged, QStringLiteral("A_Source")) == 0)
            return true;
    return false;
}

std::unique_ptr<Table> rangedCursor(const QString& file, const QString& index) {
    return OpenTempTable(kDb, file, index);
}

} // namespace

// The next primary key of a table: its last key plus one, taken up again at
// every sync from what other workstations appended meanwhile.
class DailyListWriter::KeyCounter {
public:
    KeyCounter(const QString& file, const char* keyField)
        : m_cursor(OpenTempTable(kDb, file)), m_key(name(keyField)) {
        m_cursor->last();
        m_next = m_cursor->isEmpty() ? 1 : plusOne(FieldInt(*m_cursor, m_key));
    }
    void sync() {
        m_cursor->setRange({m_next}, {});
        if (m_cursor->isEmpty())
            return;
        m_cursor->last();
        m_next = qMax(m_next, plusOne(FieldInt(*m_cursor, m_key)));
    }
    int take() {
        const int key = m_next;
        m_next = plusOne(m_next);
        return key;
    }

private:
    static int plusOne(int key) {
        int next = 0;
        if (qAddOverflow(key, 1, &next))
            RaiseOverflowError();
        return next;
    }
    std::unique_ptr<Table> m_cursor;
    QString m_key;
    int m_next = 1;
};

bool HasAutomaticRows(int tglTourId) {
    auto rows = rangedCursor(kActivities, QStringLiteral("I_TourObjTaetig"));
    rows->setRange({tglTourId}, {tglTourId});
    return scanForAutomatic(*rows);
}

int CountGeneratedDailyLists(const QDate& from, const QDate& to) {
    auto tours = OpenTempTable(kDb, kTours);
    auto activities = rangedCursor(kActivities, QStringLiteral("I_TourObjTaetig"));
    const TDateTime first = DateTimeOfDate(from);
    const TDateTime last = DateTimeOfDate(to);
    int count = 0;
    for (; !tours->eof() && !tours->isEmpty(); tours->next()) {
        const TDateTime date =
            DateTimeOfDate(tours->field(QStringLiteral("A_Date")).asDateOr(QDate()));
        if (!DateInRange(date, first, last))
            continue;
        const int id = FieldInt(*tours, QStringLiteral("A_TourID"));
        activities->setRange({id}, {id});
        if (scanForAutomatic(*activities) && qAddOverflow(count, 1, &count))
            RaiseOverflowError();
    }
    return count;
}

DailyListWriter::DailyListWriter(const DailyListMasters& masters)
    : m_masters(masters), m_tours(OpenTempTable(kDb, kTours)),
      m_objects(OpenTempTable(kDb, kObjects)), m_activities(OpenTempTable(kDb, kActivities)),
      m_functions(OpenTempTable(kDb, kFunctions)),
      m_dayTours(rangedCursor(kTours, QStringLiteral("I_DateTour"))),
      m_tourActivities(rangedCursor(kActivities, QStringLiteral("I_TourObjTaetig"))),
      m_tourObjects(rangedCursor(kObjects, QStringLiteral("I_TourID"))),
      m_startDates(OpenTempTable(kDb, QStringLiteral("ObjTaet.db"))),
      m_tourKeys(std::make_unique<KeyCounter>(kTours, "A_TourID")),
      m_objectKeys(std::make_unique<KeyCounter>(kObjects, "A_TOID")),
      m_activityKeys(std::make_unique<KeyCounter>(kActivities, "A_TOTID")),
      m_functionKeys(std::make_unique<KeyCounter>(kFunctions, "FL_ID")),
      m_newTour(std::make_unique<Appender>(
          *m_tours,
          std::initializer_list<const char*>{"A_TourID", "A_TourNr", "A_Date", "A_PersNr",
                                             "A_PersName", "A_Bezeichnung", "A_Pattern"})),
      m_newObject(std::make_unique<Appender>(
          *m_objects,
          std::initializer_list<const char*>{"A_TOID", "A_TourID", "A_ObjektNr", "A_ObjektBez",
                                             "A_Kunde", "A_LsID", "A_VonUhr", "A_BisUhr"})),
      m_newActivity(std::make_unique<Appender>(
          *m_activities,
          std::initializer_list<const char*>{"A_TOTID", "A_TourID", "A_ObjNr", "A_TaetigNr",
                                             "A_Source", "A_State", "A_Rueckstand", "A_LsID",
                                             "A_ServiceID", "A_TermID", "A_ZusatzText", "A_Param",
                                             "A_TourText", "A_KontrollText"})),
      m_newFunction(std::make_unique<Appender>(
          *m_functions, std::initializer_list<const char*>{"FL_ID", "FL_Date", "FL_TourNr",
                                                           "FL_ObjNr", "FL_TaetigNr", "FL_Type",
                                                           "FL_Param", "FL_Included"})) {}

DailyListWriter::~DailyListWriter() {
    unlockActivities();
}

void DailyListWriter::lockActivities() {
    try {
        m_activities->lockTable();
    } catch (const table::TableError& e) {
        if (e.kind() != table::TableError::RecordLocked)
            throw;
        throw DbError(QStringLiteral("An einem anderen Arbeitsplatz werden gerade Tageslisten "
                                     "erzeugt (TglTaet.DB ist gesperrt).\r"
                                     "Es wurden keine Tageslisten erstellt."));
    }
    m_locked = true;
}

void DailyListWriter::unlockActivities() {
    if (m_locked)
        m_activities->unlockTable();
    m_locked = false;
}

void DailyListWriter::setDay(const QDate& day) {
    m_day = day;
    m_dayTours->setRange({day}, {day});
}

void DailyListWriter::syncKeys() {
    for (KeyCounter* keys :
         {m_tourKeys.get(), m_objectKeys.get(), m_activityKeys.get(), m_functionKeys.get()})
        keys->sync();
}

bool DailyListWriter::TakeDailyTour(const MasterTour& tour) {
    m_tourNr = tour.plan.nr;
    m_object = nullptr;
    m_listedObjects.clear();
    m_listedActivities.clear();
    if (m_dayTours->findKey({m_day, m_tourNr})) {
        const int id = FieldInt(*m_dayTours, QStringLiteral("A_TourID"));
        m_tourActivities->setRange({id}, {id});
        if (scanForAutomatic(*m_tourActivities))
            return false;
        m_tourId = id;
        m_tourIsNew = false;
        loadExistingRows();
        return true;
    }
    m_tourId = m_tourKeys->take();
    m_tourIsNew = true;
    m_newTour->append({m_tourId, m_tourNr, m_day, tour.person,
                       m_masters.staffMatch.value(tour.person), tour.description,
                       tour.plan.servicePattern});
    return true;
}

void DailyListWriter::loadExistingRows() {
    m_tourObjects->setRange({m_tourId}, {m_tourId});
    for (; !m_tourObjects->eof() && !m_tourObjects->isEmpty(); m_tourObjects->next())
        m_listedObjects.insert(FieldInt(*m_tourObjects, QStringLiteral("A_ObjektNr")));
    m_tourActivities->setRange({m_tourId}, {m_tourId});
    for (; !m_tourActivities->eof() && !m_tourActivities->isEmpty(); m_tourActivities->next())
        m_listedActivities.insert({FieldInt(*m_tourActivities, QStringLiteral("A_ObjNr")),
                                   FieldInt(*m_tourActivities, QStringLiteral("A_TaetigNr"))});
}

void DailyListWriter::beginObject(const MasterTourObject& object) {
    m_object = &object;
    m_objectListed = m_listedObjects.contains(object.objektNr);
}

bool DailyListWriter::AddDailyListActivity(const DailyActivityValues& v) {
    if (!m_objectListed) {
        const auto object = m_masters.objects.constFind(v.objektNr);
        if (object == m_masters.objects.cend())
            return false;
        const bool known = m_object && m_object->objektNr == v.objektNr;
        m_newObject->append({m_objectKeys->take(), m_tourId, v.objektNr, object->match,
                             object->kunde, v.lsId, known ? m_object->von : QTime(0, 0),
                             known ? m_object->bis : QTime(0, 0)});
        m_listedObjects.insert(v.objektNr);
        m_objectListed = true;
    }
    const std::pair<int, int> key{v.objektNr, v.taetigNr};
    if (m_listedActivities.contains(key)) {
        raiseBacklog(v.objektNr, v.taetigNr, v.rueckstand);
        return true;
    }
    m_newActivity->append({m_activityKeys->take(), m_tourId, v.objektNr, v.taetigNr, v.source,
                           v.state, v.rueckstand, 0, v.serviceId, v.termId, v.zusatzText, v.param,
                           v.tourText, v.kontrollText});
    m_listedActivities.insert(key);
    return true;
}

void DailyListWriter::raiseBacklog(int objektNr, int taetigNr, int rueckstand) {
    m_tourActivities->setRange({m_tourId}, {m_tourId});
    if (!m_tourActivities->locate({QStringLiteral("A_ObjNr"), QStringLiteral("A_TaetigNr")},
                                  {objektNr, taetigNr}))
        throw DbError(QStringLiteral("Der Datensatz wurde von einem anderen Benutzer gelöscht."));
    CancelEditOnError(*m_tourActivities, [&] {
        m_tourActivities->edit();
        table::Field& backlog = m_tourActivities->field(QStringLiteral("A_Rueckstand"));
        int raised = 0;
        if (qAddOverflow(backlog.asIntegerOr(0), rueckstand, &raised) ||
            qAddOverflow(raised, 1, &raised) || raised > std::numeric_limits<qint16>::max())
            RaiseOverflowError();
        backlog.setValue(raised);
        m_tourActivities->post();
    });
}

bool DailyListWriter::functionExists(int tourNr, int objektNr, int taetigNr) {
    return m_functions->locate({QStringLiteral("FL_Date"), QStringLiteral("FL_TourNr"),
                                QStringLiteral("FL_ObjNr"), QStringLiteral("FL_TaetigNr")},
                               {m_day, tourNr, objektNr, taetigNr});
}

void DailyListWriter::AddDailyListFunction(int tourNr, int objektNr, int taetigNr, int type,
                                           const QString& param) {
    // A list completed by the run may already hold the function of an
    // activity whose backlog rose: it is not written a second time.
    if (!m_tourIsNew && functionExists(tourNr, objektNr, taetigNr))
        return;
    m_newFunction->append(
        {m_functionKeys->take(), m_day, tourNr, objektNr, taetigNr, type, param, false});
}

void DailyListWriter::storeStartDate(int tsId, TDateTime start) {
    m_startDates->setRange({tsId}, {tsId});
    if (m_startDates->isEmpty())
        return;
    CancelEditOnError(*m_startDates, [&] {
        m_startDates->edit();
        m_startDates->field(QStringLiteral("TS_StartDatum")).setValue(DateOfDateTime(start));
        m_startDates->post();
    });
}
