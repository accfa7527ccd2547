#include "operations/monthtour.h"

#include "core/data/dbhelpers.h"
#include "core/data/lookups.h"
#include "core/values/calendar.h"
#include "core/values/conversions.h"
#include "operations/dailylistedits.h"
#include "platform/table/database.h"
#include "platform/table/query.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

#include <QHash>
#include <QTime>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString kDb = u"LumoDB"_s;
const QString kTours = u"TglTour.DB"_s;
const QString kObjects = u"TglObj.DB"_s;
const QString kActivities = u"TglTaet.DB"_s;

template <typename Entry> Entry& findOrAppend(QList<Entry>& list, int nr, const QString& text) {
    for (Entry& e : list)
        if (e.nr == nr)
            return e;
    Entry e;
    e.nr = nr;
    e.text = text;
    list.append(e);
    return list.last();
}

// The object names of one build, read once per object.
class ObjectNames {
public:
    QString operator()(int nr) {
        auto it = m_names.constFind(nr);
        if (it == m_names.constEnd())
            it = m_names.insert(nr, GetObjektMatchByNr(nr));
        return *it;
    }

private:
    QHash<int, QString> m_names;
};

// The object rows of the daily tours, by tour id, through one cursor.
class ObjectRows {
public:
    ObjectRows() : m_rows(OpenTempTable(kDb, kObjects, u"I_TourID"_s)) {}
    table::Table& of(int tglTourId) {
        m_rows->setRange({tglTourId}, {tglTourId});
        m_rows->first();
        return *m_rows;
    }
    bool more() { return !m_rows->eof() && !m_rows->isEmpty(); }

private:
    std::unique_ptr<table::Table> m_rows;
};

void addObjectDay(QList<MonthEntry>& list, ObjectNames& names, table::Table& o, int day) {
    const int nr = FieldInt(o, u"A_ObjektNr"_s);
    MonthEntry& e = findOrAppend(list, nr, names(nr));
    e.days[day] =
        PlannedMinutes(o.field(u"A_VonUhr"_s).isNull() ? QTime() : o.field(u"A_VonUhr"_s).asTime(),
                       o.field(u"A_BisUhr"_s).isNull() ? QTime() : o.field(u"A_BisUhr"_s).asTime());
}

void addActivityDays(QList<MonthActivityEntry>& list, table::Table& rows, int tglTourId,
                     int objektNr, int day) {
    rows.setRange({tglTourId, objektNr}, {tglTourId, objektNr});
    for (rows.first(); !rows.eof() && !rows.isEmpty(); rows.next()) {
        MonthActivityEntry& e =
            findOrAppend(list, FieldInt(rows, u"A_TaetigNr"_s), FieldText(rows, u"A_ZusatzText"_s));
        const int backlog = FieldInt(rows, u"A_Rueckstand"_s);
        e.backlogs[day] = backlog;
        e.letters[day] = TaetigLetter(FieldInt(rows, u"A_State"_s), backlog);
    }
}

int indexOfNr(const auto& list, int nr) {
    for (int i = 0; i < list.size(); ++i)
        if (list[i].nr == nr)
            return i;
    return 0;
}

} // namespace

QChar TaetigLetter(int state, int backlog) {
    switch (state) {
    case StateOpen:
        return backlog > 0 ? u'R' : u'O';
    case StateMoved:
    case StateTransferred:
        return u'V';
    case StateSkipped:
        return u'A';
    case StateDone:
        return u'E';
    case StatePrinted:
        return u'B';
    case StateArchived:
        return u'X';
    default:
        return u' ';
    }
}

int PlannedMinutes(const QTime& von, const QTime& bis) {
    const QTime from = von.isValid() ? von : QTime(0, 0);
    const QTime to = bis.isValid() ? bis : QTime(0, 0);
    const int minutes = from.secsTo(to) / 60;
    return minutes > 0 ? minutes : 1;
}

bool MonthPopupItems::any() const {
    return allToursDone || allOpenDone || setDone || setOpen || skip || insertTaetig ||
           deleteTaetig || insertObjekt || deleteObjekt;
}

MonthPopupItems MonthPopupFor(MonthGrid grid, const QDate& date, QChar letter, const QDate& today) {
    MonthPopupItems items;
    if (letter == u' ' || letter.isNull())
        return items;
    const bool past = date <= today;
    const bool tours = grid == MonthGrid::Tours;
    const bool objects = grid == MonthGrid::Objects;
    const bool activities = grid == MonthGrid::Activities;
    items.allToursDone = tours && past;
    items.allOpenDone = (tours || objects) && past;
    items.setDone = activities && past && (letter == u'O' || letter == u'A');
    items.setOpen = activities && past && (letter == u'E' || letter == u'A');
    items.skip = activities && past && (letter == u'O' || letter == u'E');
    items.insertTaetig = objects && !past;
    items.deleteTaetig =
        activities && !past && (letter == u'O' || letter == u'V' || letter == u'R');
    items.insertObjekt = tours && !past;
    items.deleteObjekt = objects && !past;
    return items;
}

bool MonthHasDailyLists(int year, int month) {
    const QDate first(year, month, 1);
    if (!first.isValid())
        return false;
    auto tours = OpenTempTable(kDb, kTours, u"I_DateTour"_s);
    tours->setRange({first}, {first.addMonths(1).addDays(-1)});
    tours->first();
    return !tours->eof() && !tours->isEmpty();
}

void MonthTourModel::setMonth(int year, int month, const QDate& today) {
    m_year = year;
    m_month = month;
    m_first = QDate(year, month, 1);
    m_last = m_first.addMonths(1).addDays(-1);
    m_days = DaysOfMonth(year, month);
    m_todayCol = today >= m_first && today <= m_last ? today.day() : 0;
    const QDate before = m_first.addDays(-1);
    const QDate after = m_last.addDays(1);
    m_hasPrevious = MonthHasDailyLists(before.year(), before.month());
    m_hasNext = MonthHasDailyLists(after.year(), after.month());
}

void MonthTourModel::previousMonth(const QDate& today) {
    const QDate d = m_first.addMonths(-1);
    setMonth(d.year(), d.month(), today);
}

void MonthTourModel::nextMonth(const QDate& today) {
    const QDate d = m_first.addMonths(1);
    setMonth(d.year(), d.month(), today);
}

QString MonthTourModel::caption() const {
    return u"Tourenübersicht für "_s + GetMonthName(m_month) + IntToStrWidth(m_year, 5);
}

QString MonthTourModel::weekdayInitials() const {
    QString initials;
    for (int d = 1; d <= m_days; ++d)
        initials += GetDayShortName(WeekdayOfYMD(m_year, m_month, d)).left(1);
    return initials;
}

class MonthTourModel::WalkScope {
public:
    explicit WalkScope(const MonthTourModel& model) : m_model(model), m_owner(!model.m_walk) {
        if (m_owner)
            m_model.m_walk = m_model.monthTours();
    }
    ~WalkScope() {
        if (m_owner)
            m_model.m_walk.reset();
    }
    WalkScope(const WalkScope&) = delete;
    WalkScope& operator=(const WalkScope&) = delete;

private:
    const MonthTourModel& m_model;
    bool m_owner;
};

QList<MonthTourModel::DailyTour> MonthTourModel::monthTours() const {
    if (m_walk)
        return *m_walk;
    QList<DailyTour> result;
    // One statement for the month's lists, read whole: the range walk of a
    // cursor costs several times the rows.
    table::Query tours(table::aliases::database(kDb),
                       u"SELECT A_TourID, A_TourNr, A_Date, A_Bezeichnung FROM TglTour.DB "
                       u"WHERE A_Date >= '%1' AND A_Date <= '%2' ORDER BY A_Date, A_TourNr"_s.arg(
                           m_first.toString(u"dd.MM.yyyy"_s), m_last.toString(u"dd.MM.yyyy"_s)));
    tours.open();
    result.reserve(tours.recordCount());
    for (tours.first(); !tours.eof(); tours.next())
        result.append({tours.value(0).toInt(), tours.value(1).toInt(), tours.value(2).toDate(),
                       tours.value(3).toString()});
    // Read by date through the range; the tour order is the same walk
    // through the tour-and-date index.
    if (!orderByDate)
        std::stable_sort(result.begin(), result.end(), [](const DailyTour& a, const DailyTour& b) {
            return a.tourNr < b.tourNr;
        });
    return result;
}

void MonthTourModel::buildTourList() {
    m_tours.clear();
    m_objects.clear();
    m_activities.clear();
    // One prepared count a list: a cursor per list would cost more than the rows.
    auto db = table::aliases::database(kDb);
    const QString count = u"SELECT COUNT(*) FROM "_s +
                          table::quoted(table::physicalName(kObjects)) +
                          u" WHERE \"A_TourID\" = ? COLLATE DE"_s;
    for (const DailyTour& t : monthTours()) {
        MonthEntry& e = findOrAppend(m_tours, t.tourNr, t.text);
        const int objects = db->selectValue(count, {t.id}).toInt();
        e.days[t.date.day()] = objects > 0 ? objects : 1;
    }
}

void MonthTourModel::buildObjektList(int tourNr) {
    m_objects.clear();
    ObjectNames names;
    ObjectRows objects;
    for (const DailyTour& t : monthTours()) {
        if (t.tourNr != tourNr)
            continue;
        for (table::Table& o = objects.of(t.id); objects.more(); o.next())
            addObjectDay(m_objects, names, o, t.date.day());
    }
}

void MonthTourModel::buildTaetigList(int tourNr, int objektNr) {
    m_activities.clear();
    auto rows = OpenTempTable(kDb, kActivities, u"I_TourObjTaetig"_s);
    for (const DailyTour& t : monthTours())
        if (t.tourNr == tourNr)
            addActivityDays(m_activities, *rows, t.id, objektNr, t.date.day());
}

QList<MonthEntry> MonthTourModel::objectsOfAllTours() const {
    QList<MonthEntry> list;
    ObjectNames names;
    ObjectRows objects;
    for (const DailyTour& t : monthTours())
        for (table::Table& o = objects.of(t.id); objects.more(); o.next())
            addObjectDay(list, names, o, t.date.day());
    return list;
}

QList<MonthActivityEntry> MonthTourModel::activitiesOfAllTours(int objektNr) const {
    QList<MonthActivityEntry> list;
    auto rows = OpenTempTable(kDb, kActivities, u"I_TourObjTaetig"_s);
    for (const DailyTour& t : monthTours())
        addActivityDays(list, *rows, t.id, objektNr, t.date.day());
    return list;
}

int MonthTourModel::selectedTourNr() const {
    return selTour < m_tours.size() ? m_tours[selTour].nr : 0;
}
QString MonthTourModel::selectedTourText() const {
    return selTour < m_tours.size() ? m_tours[selTour].text : QString();
}
int MonthTourModel::selectedObjektNr() const {
    return selObj < m_objects.size() ? m_objects[selObj].nr : 0;
}
QString MonthTourModel::selectedObjektText() const {
    return selObj < m_objects.size() ? m_objects[selObj].text : QString();
}
int MonthTourModel::selectedTaetigNr() const {
    return selTaetig < m_activities.size() ? m_activities[selTaetig].nr : 0;
}

void MonthTourModel::selectTour(int row) {
    const WalkScope walk(*this);
    selTour = row >= 0 && row < m_tours.size() ? row : 0;
    buildObjektList(selectedTourNr());
    selectObjekt(0);
}

void MonthTourModel::selectObjekt(int row) {
    const WalkScope walk(*this);
    selObj = row >= 0 && row < m_objects.size() ? row : 0;
    selTaetig = 0;
    if (m_objects.isEmpty())
        m_activities.clear();
    else
        buildTaetigList(selectedTourNr(), selectedObjektNr());
}

void MonthTourModel::rememberSelection() {
    setRemembered(selectedTourNr(), selectedObjektNr(), selectedTaetigNr());
}

void MonthTourModel::setRemembered(int tourNr, int objektNr, int taetigNr) {
    m_rememberTour = tourNr;
    m_rememberObj = objektNr;
    m_rememberTaetig = taetigNr;
}

bool MonthTourModel::reload() {
    const WalkScope walk(*this);
    buildTourList();
    if (m_tours.isEmpty()) {
        selTour = selObj = selTaetig = 0;
        return false;
    }
    selTour = indexOfNr(m_tours, m_rememberTour);
    buildObjektList(selectedTourNr());
    selObj = indexOfNr(m_objects, m_rememberObj);
    selTaetig = 0;
    if (!m_objects.isEmpty()) {
        buildTaetigList(selectedTourNr(), selectedObjektNr());
        selTaetig = indexOfNr(m_activities, m_rememberTaetig);
    }
    return true;
}

bool MonthTourModel::resortByDay(int day) {
    orderByDate = true;
    if (day < 1 || day > 31)
        return false;
    const bool any = std::any_of(m_tours.cbegin(), m_tours.cend(),
                                 [day](const MonthEntry& e) { return e.days[day] != 0; });
    if (!any)
        return false;
    const int selected = selectedTourNr();
    std::stable_partition(m_tours.begin(), m_tours.end(),
                          [day](const MonthEntry& e) { return e.days[day] != 0; });
    selTour = indexOfNr(m_tours, selected);
    return true;
}

bool MonthTourModel::resortByNumber() {
    orderByDate = false;
    const int selected = selectedTourNr();
    QList<MonthEntry> sorted = m_tours;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const MonthEntry& a, const MonthEntry& b) { return a.nr < b.nr; });
    bool changed = false;
    for (int i = 0; i < sorted.size(); ++i)
        changed = changed || sorted[i].nr != m_tours[i].nr;
    if (!changed)
        return false;
    m_tours = sorted;
    selTour = indexOfNr(m_tours, selected);
    return true;
}

bool MonthTourModel::tourHasList(int tourNr, int day) const {
    if (day < 1 || day > 31)
        return false;
    for (const MonthEntry& e : m_tours)
        if (e.nr == tourNr)
            return e.days[day] != 0;
    return false;
}
