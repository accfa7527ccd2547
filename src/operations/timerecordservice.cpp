#include "operations/timerecordservice.h"

#include "commercial/bookings/costbookings.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/kostenauszeiterfass.h"
#include "core/data/pendingtransactions.h"
#include "core/data/recordrules.h"
#include "core/messages/messages.h"
#include "core/rights/rights.h"
#include "core/values/conversions.h"
#include "core/values/money.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <map>
#include <set>
#include <stdexcept>
#include <tuple>

using namespace Qt::StringLiterals;
using table::Table;

namespace {

const QString kZeiterf = u"Zeiterf.DB"_s;
const QString kPersDatObj = u"I_PersDatObj"_s;
const QString kId = u"Z_ID"_s;
const QString kDatum = u"Z_Datum"_s;
const QString kPersNr = u"Z_PersNr"_s;
const QString kObjNr = u"Z_ObjNr"_s;
const QString kArt = u"Z_Art"_s;
const QString kText = u"Z_Text"_s;
const QString kStunden = u"Z_Stunden"_s;
const QString kEkPreis = u"Z_EkPreis"_s;
const QString kKostart = u"Z_Kostart"_s;
const QString kKostId = u"Z_KostID"_s;

// The hours and cost columns of Zeitsum.DB for the time types 1 to 8.
const char* const kSumHours[] = {"ZS_StdNormal",   "ZS_StdUeb1",    "ZS_StdUeb2",
                                 "ZS_StdUeb3",     "ZS_StdKrank",   "ZS_StdUrlaub",
                                 "ZS_StdLeerlauf", "ZS_StdFreizeit"};
const char* const kSumCosts[] = {"ZS_EkNormal", "ZS_EkUeb1",   "ZS_EkUeb2",     "ZS_EkUeb3",
                                 "ZS_EkKrank",  "ZS_EkUrlaub", "ZS_EkLeerlauf", "ZS_EkFreizeit"};

QDate firstOfMonth(const QDate& day) {
    return QDate(day.year(), day.month(), 1);
}

QDate dateOf(Table& t) {
    const table::Field& f = t.field(kDatum);
    return f.isNull() ? QDate() : f.asDate();
}

// The figures of a record that the sums read.
TimeRecordValues figuresOf(Table& t) {
    TimeRecordValues v;
    v.datum = dateOf(t);
    v.persNr = FieldInt(t, kPersNr);
    v.art = FieldInt(t, kArt);
    v.stunden = FieldFloat(t, kStunden);
    v.ekPreis = FieldFloat(t, kEkPreis);
    return v;
}

// One record into the accumulators: hours and rate rounded to cents, a type
// outside 1 to 8 counted as normal time, a record without hours and rate left out.
void addToSums(ZeitsumValues& sums, double stunden, double ekPreis, int art) {
    const double h = RoundCents(stunden);
    const double r = RoundCents(ekPreis);
    if (h == 0 && r == 0)
        return;
    const int type = art >= 1 && art <= 8 ? art : 1;
    const double c = h * r;
    sums.hours[size_t(type - 1)] += h;
    sums.costs[size_t(type - 1)] += c;
    sums.totalHours += h;
    sums.totalCosts += c;
}

bool sameMonth(const QDate& a, const QDate& b) {
    return a.isValid() && b.isValid() && a.year() == b.year() && a.month() == b.month();
}

[[noreturn]] void refuse(const QString& text) {
    ShowError(text);
    throw Abort{};
}

// A lookup remembered for the run when map is given (a batch), else made anew.
template <typename Map, typename Compute>
typename Map::mapped_type remembered(Map* map, const typename Map::key_type& key, Compute compute) {
    if (!map)
        return compute();
    auto it = map->find(key);
    if (it == map->end())
        it = map->emplace(key, compute()).first;
    return it->second;
}

// The values of a new record; rate and cost type after the type, whose
// rule on a bound cursor proposes them.
void setValues(Table& t, const TimeRecordValues& v) {
    t[kDatum] = v.datum;
    t[kPersNr] = v.persNr;
    t[kStunden] = v.stunden;
    t[kObjNr] = v.objNr;
    t[kArt] = v.art;
    t[kText] = v.text.left(40);
    t[kEkPreis] = v.ekPreis;
    t[kKostart] = v.kostart;
}

const QString kObjektRefused = u"Unbekanntes Objekt!"_s;
const QString kKostartRefused = u"Kostenart: Sie müssen eine gültige Nummer eingeben"_s;

} // namespace

QString ZeitsumHoursField(int type) {
    if (type < 1 || type > 8)
        throw std::out_of_range("ZeitsumHoursField");
    return QString::fromLatin1(kSumHours[size_t(type - 1)]);
}

QString ZeitsumCostsField(int type) {
    if (type < 1 || type > 8)
        throw std::out_of_range("ZeitsumCostsField");
    return QString::fromLatin1(kSumCosts[size_t(type - 1)]);
}

QString WeekDayHoursText(double hours) {
    return FloatToStrFix(6, 2, hours) + u" Std"_s;
}

struct TimeRecordService::Cursors {
    explicit Cursors(const std::shared_ptr<table::Database>& db)
        : records(db, kZeiterf), recordById(db, kZeiterf), sums(db, u"Zeitsum.DB"_s),
          staff(db, u"Personal.DB"_s), types(db, u"Zeitart.DB"_s), objects(db, u"Objekte.DB"_s),
          costTypes(db, u"Kostart.DB"_s) {
        records.setIndexName(kPersDatObj);
        staff.setIndexName(u"P_INr"_s);
        objects.setIndexName(u"O_INr"_s);
        costTypes.setIndexName(u"ANr"_s);
        for (Table* t : {&records, &recordById, &staff, &types, &objects, &costTypes})
            t->setReadOnly(true);
    }
    Table& open(Table& t) {
        if (!t.isOpen())
            t.open();
        return t;
    }
    // The records of one employee from one day to another.
    Table& recordsOf(int persNr, const QDate& from, const QDate& to) {
        open(records).setRange({persNr, from}, {persNr, to});
        records.first();
        return records;
    }
    Table* employee(int persNr) {
        return open(staff).locate({u"P_Nr"_s}, {persNr}) ? &staff : nullptr;
    }
    Table* zeitart(int type) {
        return open(types).locate({u"ZA_Type"_s}, {type}) ? &types : nullptr;
    }

    Table records;
    Table recordById;
    Table sums;
    Table staff;
    Table types;
    Table objects;
    Table costTypes;
};

// The transaction of a record's post or delete, begun before its own write
// and ended with it, and the cost-entry id the record had before.
struct TimeRecordService::Pending {
    PendingTransactions<QVariant> writes;
};

// The cost journal and the cost sums stay open while the service books into
// them, instead of being opened and closed again for every record.
struct TimeRecordService::CostTables {
    CostTables() : kosten(DataModule1().TabKosten()) { OpenKostSumTables(); }
    ~CostTables() { CloseKostSumTables(); }
    OpenForCall kosten;
};

// The answers of the lookups while they are remembered.
struct TimeRecordService::Lookups {
    std::map<int, std::optional<int>> objektIds;
    std::map<int, bool> kostarts;
    std::map<int, bool> employees;
    std::map<std::pair<int, int>, int> personalKostart;
    std::map<std::pair<int, int>, double> stundensatz;
};

// What a batch keeps: the employee-months to rebuild at its end and the
// cursor its records are appended through.
struct TimeRecordService::Batch {
    std::set<std::pair<int, QDate>> touched;
    std::unique_ptr<Table> records;
    std::unique_ptr<Table> sums; // holds the lock of the sums' table
    int nextId = 0;
    bool ownLookups = false;
};

TimeRecordService::TimeRecordService() : TimeRecordService(table::aliases::database(u"LumoDB"_s)) {}

TimeRecordService::TimeRecordService(std::shared_ptr<table::Database> db)
    : m_db(std::move(db)), m_pending(std::make_unique<Pending>()) {}

TimeRecordService::~TimeRecordService() = default;

void TimeRecordService::holdCostTables() {
    if (!m_costTables)
        m_costTables = std::make_unique<CostTables>();
}

TimeRecordService::Cursors& TimeRecordService::cursors() {
    if (!m_cursors)
        m_cursors = std::make_unique<Cursors>(m_db);
    return *m_cursors;
}

double TimeRecordService::CalcStundensatz(int persNr, int zeitart) {
    return remembered(m_lookups ? &m_lookups->stundensatz : nullptr, {persNr, zeitart}, [&] {
        double factor = 1.0;
        if (Table* type = cursors().zeitart(zeitart))
            factor = FieldFloat(*type, u"ZA_Aufschlag"_s);
        double price = 0;
        if (Table* staff = cursors().employee(persNr))
            price = FieldFloat(*staff, u"P_Selbstkostenpreis"_s);
        return RoundCents(factor * price);
    });
}

int TimeRecordService::GetPersonalKostart(int persNr, int zeitart) {
    return remembered(m_lookups ? &m_lookups->personalKostart : nullptr, {persNr, zeitart}, [&] {
        Table* staff = cursors().employee(persNr);
        if (!staff)
            return 0;
        if (const table::Field* own = staff->findField(u"P_Kostart"_s + QString::number(zeitart));
            own && !own->isNull())
            return own->asInteger();
        if (Table* type = cursors().zeitart(zeitart))
            return FieldInt(*type, u"ZA_Kostart"_s);
        return 0;
    });
}

std::optional<int> TimeRecordService::objektIdOf(int objNr) {
    return remembered(m_lookups ? &m_lookups->objektIds : nullptr, objNr,
                      [&]() -> std::optional<int> {
                          Table& objects = cursors().open(cursors().objects);
                          if (!objects.locate({u"O_Nr"_s}, {objNr}))
                              return std::nullopt;
                          return FieldInt(objects, u"O_ID"_s);
                      });
}

bool TimeRecordService::objektExists(int objNr) {
    return objNr == 0 || objektIdOf(objNr).has_value();
}

bool TimeRecordService::kostartExists(int kostart) {
    return kostart == 0 || remembered(m_lookups ? &m_lookups->kostarts : nullptr, kostart, [&] {
               return cursors().open(cursors().costTypes).locate({u"A_Nr"_s}, {kostart});
           });
}

bool TimeRecordService::employeeExists(int persNr) {
    return remembered(m_lookups ? &m_lookups->employees : nullptr, persNr,
                      [&] { return cursors().employee(persNr) != nullptr; });
}

void TimeRecordService::rememberLookups(bool on) {
    if (!on)
        m_lookups.reset();
    else if (!m_lookups)
        m_lookups = std::make_unique<Lookups>();
}

bool TimeRecordService::mayCreateRecords() {
    const auto& hook = RecordRuleHooksRegistry().checkCreateRight;
    return hook ? hook(kZeiterfRight) : CheckCreateRight(kZeiterfRight);
}

ZeitsumValues TimeRecordService::sumMonth(int persNr, const QDate& day, int excludeId,
                                          const TimeRecordValues* extra) {
    ZeitsumValues sums;
    const QDate first = firstOfMonth(day);
    Table& t = cursors().recordsOf(persNr, first, first.addMonths(1).addDays(-1));
    for (; !t.eof(); t.next()) {
        if (excludeId != 0 && FieldInt(t, kId) == excludeId)
            continue;
        addToSums(sums, FieldFloat(t, kStunden), FieldFloat(t, kEkPreis), FieldInt(t, kArt));
    }
    if (extra)
        addToSums(sums, extra->stunden, extra->ekPreis, extra->art);
    return sums;
}

void TimeRecordService::writeMonthSums(int persNr, const QDate& day, const ZeitsumValues& sums) {
    Table& t = cursors().open(cursors().sums);
    CancelEditOnError(t, [&] {
        if (t.locate({u"ZS_PersNo"_s, u"ZS_Jahr"_s, u"ZS_Monat"_s},
                     {persNr, day.year(), day.month()})) {
            t.edit();
        } else {
            t.append();
            t[u"ZS_ID"_s] = GetNextId(t, u"ZS_ID"_s);
        }
        t[u"ZS_PersNo"_s] = persNr;
        t[u"ZS_Monat"_s] = day.month();
        t[u"ZS_Jahr"_s] = day.year();
        for (size_t type = 0; type < 8; ++type) {
            t.field(QString::fromLatin1(kSumHours[type])).setValue(RoundCents(sums.hours[type]));
            t.field(QString::fromLatin1(kSumCosts[type])).setValue(RoundCents(sums.costs[type]));
        }
        t[u"ZS_StdGesamt"_s] = RoundCents(sums.totalHours);
        t[u"ZS_EkGesamt"_s] = RoundCents(sums.totalCosts);
        t.post();
    });
}

void TimeRecordService::rebuildExcept(int persNr, const QDate& day, int excludeId,
                                      const TimeRecordValues* extra) {
    if (persNr == 0 || !day.isValid())
        return;
    // A batch rebuilds each employee-month once, at its end.
    if (m_batch) {
        m_batch->touched.insert({persNr, firstOfMonth(day)});
        return;
    }
    writeMonthSums(persNr, day, sumMonth(persNr, day, excludeId, extra));
}

void TimeRecordService::RebuildMonthSums(int persNr, const QDate& day) {
    table::Transaction tx(*m_db);
    rebuildExcept(persNr, day, 0, nullptr);
    tx.commit();
}

std::optional<ZeitsumValues> TimeRecordService::monthSums(int persNr, const QDate& day) {
    if (persNr == 0 || !day.isValid())
        return std::nullopt;
    Table& t = cursors().open(cursors().sums);
    if (!t.locate({u"ZS_PersNo"_s, u"ZS_Jahr"_s, u"ZS_Monat"_s}, {persNr, day.year(), day.month()}))
        return std::nullopt;
    ZeitsumValues sums;
    for (size_t type = 0; type < 8; ++type) {
        sums.hours[type] = FieldFloat(t, QString::fromLatin1(kSumHours[type]));
        sums.costs[type] = FieldFloat(t, QString::fromLatin1(kSumCosts[type]));
    }
    sums.totalHours = FieldFloat(t, u"ZS_StdGesamt"_s);
    sums.totalCosts = FieldFloat(t, u"ZS_EkGesamt"_s);
    return sums;
}

WeekDayHours TimeRecordService::weekDayHours(int persNr, const QDate& day) {
    WeekDayHours hours;
    if (persNr == 0 || !day.isValid())
        return hours;
    if (Table* staff = cursors().employee(persNr)) {
        hours.weekLimit = FieldFloat(*staff, u"P_StundenWocheMax"_s);
        hours.dayLimit = FieldFloat(*staff, u"P_StundenProTag"_s);
    }
    const QDate monday = day.addDays(1 - day.dayOfWeek());
    Table& t = cursors().recordsOf(persNr, monday, monday.addDays(6));
    for (; !t.eof(); t.next()) {
        const double stunden = FieldFloat(t, kStunden);
        const int art = FieldInt(t, kArt);
        if (stunden == 0 || art < 1 || art > 8)
            continue;
        hours.week += stunden;
        if (dateOf(t) == day)
            hours.day += stunden;
    }
    return hours;
}

void TimeRecordService::DeleteZeiterfRange(const QDate& from, const QDate& to) {
    if (!from.isValid() || !to.isValid() || from > to)
        return;
    Table records(m_db, kZeiterf);
    records.setIndexName(u"I_DatPersObj"_s);
    records.open();
    records.setRange({from}, {to});
    deleteShown(records);
}

void TimeRecordService::deleteShown(Table& records) {
    table::Transaction tx(*m_db);
    // Employee and first day of each month the range emptied.
    std::set<std::pair<int, QDate>> touched;
    for (records.first(); !records.eof() && !records.isEmpty(); records.first()) {
        const int persNr = FieldInt(records, kPersNr);
        touched.insert({persNr, firstOfMonth(dateOf(records))});
        // No cost entry outlives its record, whatever the company switch says now.
        if (const int kostId = FieldInt(records, kKostId); kostId != 0)
            DeleteKostenEntry(kostId);
        records.deleteRecord();
    }
    for (const auto& [persNr, month] : touched)
        rebuildExcept(persNr, month, 0, nullptr);
    tx.commit();
}

void TimeRecordService::bindRules(Table& zeiterf, const TimeRecordOptions& options) {
    zeiterf.onNewRecord += [this, options](Table& t) { newRecord(t, options); };
    // A refused number keeps the value the field had.
    zeiterf.field(kObjNr).onValidate += [this](table::Field& f) {
        if (!objektExists(f.asIntegerOr(0)))
            refuse(kObjektRefused);
    };
    zeiterf.field(kKostart).onValidate += [this](table::Field& f) {
        if (!kostartExists(f.asIntegerOr(0)))
            refuse(kKostartRefused);
    };
    // The type decides rate and cost type; a cost type that the employee's
    // record names but that no longer exists refuses the type.
    zeiterf.field(kArt).onValidate += [this](table::Field& f) {
        const int kostart = GetPersonalKostart(FieldInt(f.table(), kPersNr), f.asIntegerOr(0));
        if (!kostartExists(kostart))
            refuse(kKostartRefused);
    };
    zeiterf.field(kArt).onChange += [this](table::Field& f) {
        Table& t = f.table();
        const int persNr = FieldInt(t, kPersNr);
        const int art = f.asIntegerOr(0);
        t[kEkPreis] = CalcStundensatz(persNr, art);
        t[kKostart] = GetPersonalKostart(persNr, art);
    };
    zeiterf.beforePost += [this](Table& t) { beforePost(t); };
    zeiterf.afterPost += [this](Table& t) { finishPending(t, true); };
    zeiterf.postFailed += [this](Table& t) { finishPending(t, false); };
    zeiterf.beforeDelete += [this](Table& t) { beforeDelete(t); };
    zeiterf.afterDelete += [this](Table& t) { finishPending(t, true); };
    zeiterf.deleteFailed += [this](Table& t) { finishPending(t, false); };
    // A write given up (cancel, close) ends what its rules began.
    for (auto* event : {&zeiterf.beforeCancel, &zeiterf.beforeClose})
        *event += [this](Table& t) { finishPending(t, false); };
}

void TimeRecordService::newRecord(Table& t, const TimeRecordOptions& options) {
    if (!mayCreateRecords())
        throw Abort{};
    t[kId] = GetNextId(t, kId);
    if (options.newRecordDay)
        if (const QDate day = options.newRecordDay(); day.isValid())
            t[kDatum] = day;
    t[kStunden] = 0.0;
    t[kEkPreis] = 0.0;
    t[kKostId] = 0;
    t[kKostart] = 0;
    t[kObjNr] = 0;
    t[kArt] = 1;
}

void TimeRecordService::beforePost(Table& t) {
    finishPending(t, false); // left over from a write that failed
    m_pending->writes.start(t).extra = t.field(kKostId).value();
    const TimeRecordValues now = figuresOf(t);
    const int id = FieldInt(t, kId);
    if (KostenAusZeiterfassOn) {
        holdCostTables();
        if (const int oldId = FieldInt(t, kKostId); oldId != 0)
            DeleteKostenEntry(oldId);
        TimeRecordValues booked = now;
        booked.objNr = FieldInt(t, kObjNr);
        booked.kostart = FieldInt(t, kKostart);
        t[kKostId] = addCostEntry(booked);
    }
    // The record's stored place, when it moves to another employee or month.
    if (t.state() == table::TableState::Edit) {
        Table& stored = cursors().open(cursors().recordById);
        if (stored.locate({kId}, {id})) {
            const int oldPers = FieldInt(stored, kPersNr);
            const QDate oldDay = dateOf(stored);
            if (oldPers != now.persNr || !sameMonth(oldDay, now.datum))
                rebuildExcept(oldPers, oldDay, id, nullptr);
        }
    }
    rebuildExcept(now.persNr, now.datum, id, &now);
}

int TimeRecordService::addCostEntry(const TimeRecordValues& v) {
    const int objektId = v.objNr != 0 ? objektIdOf(v.objNr).value_or(0) : 0;
    // Dated on the record's own day, so a record entered for another day
    // than the one shown books its costs into its own month.
    return AddKostenEntry(QString(), 0, objektId, v.datum, v.stunden,
                          RoundCents(v.ekPreis * v.stunden), v.kostart, true);
}

void TimeRecordService::beforeDelete(Table& t) {
    finishPending(t, false);
    m_pending->writes.start(t);
    // The entry goes with its record also while the switch is off.
    if (const int kostId = FieldInt(t, kKostId); kostId != 0)
        DeleteKostenEntry(kostId);
    rebuildExcept(FieldInt(t, kPersNr), dateOf(t), FieldInt(t, kId), nullptr);
}

void TimeRecordService::finishPending(Table& t, bool commit) {
    const std::optional<QVariant> oldKostId = m_pending->writes.finish(t, commit);
    // The record keeps its old entry's id when its write was undone.
    if (oldKostId && !commit && t.isEditing())
        t.field(kKostId).setValue(*oldKostId);
}

TimeRecordCursor::TimeRecordCursor(const TimeRecordOptions& options)
    : m_table(std::make_unique<Table>(table::aliases::database(u"LumoDB"_s), kZeiterf)) {
    m_service.bindRules(*m_table, options);
}

TimeRecordCursor::~TimeRecordCursor() {
    // Closing gives up a write still pending while the service exists.
    m_table.reset();
}

void TimeRecordCursor::showDay(int persNr, const QDate& day) {
    if (m_table->indexName() != kPersDatObj)
        m_table->setIndexName(kPersDatObj);
    if (!m_table->isOpen())
        m_table->open();
    m_table->setRange({persNr, day}, {persNr, day});
    m_table->first();
}

void TimeRecordCursor::append(const TimeRecordValues& v) {
    Table& t = *m_table;
    if (!t.isOpen())
        t.open();
    t.append();
    CancelEditOnError(t, [&] {
        setValues(t, v);
        t.post();
    });
}

TimeRecordBatch::TimeRecordBatch(TimeRecordService& service) : m_service(service) {
    if (m_service.m_batch)
        throw std::logic_error("TimeRecordBatch: one batch per service at a time");
    if (!m_service.mayCreateRecords())
        throw Abort{};
    m_tx = std::make_unique<table::Transaction>(m_service.database());
    m_costs = std::make_unique<KostSumBatch>();
    m_state = std::make_unique<TimeRecordService::Batch>();
    // The monthly sums are written at the end, row by row, under this
    // table lock instead of a record lock each.
    // The records and the monthly sums are held for the run (and given up
    // when their cursors close): other workstations wait for the run's end
    // anyway, and no row written or deleted need ask whether one of them
    // holds the table or lock the row on its own.
    for (auto [cursor, file] :
         {std::pair{&m_state->records, kZeiterf}, std::pair{&m_state->sums, u"Zeitsum.DB"_s}}) {
        *cursor = std::make_unique<Table>(m_service.m_db, file);
        (*cursor)->open();
        (*cursor)->lockTable();
    }
    m_state->ownLookups = !m_service.m_lookups;
    m_service.rememberLookups(true);
    m_service.m_batch = m_state.get();
}

TimeRecordBatch::~TimeRecordBatch() {
    if (m_service.m_batch == m_state.get())
        m_service.m_batch = nullptr;
    if (m_state && m_state->ownLookups)
        m_service.rememberLookups(false);
    // The cursors go before the transaction is rolled back.
    m_state.reset();
    m_costs.reset();
    m_tx.reset();
}

void TimeRecordBatch::deleteRange(const QDate& from, const QDate& to) {
    m_service.DeleteZeiterfRange(from, to);
}

void TimeRecordBatch::deleteDay(int persNr, const QDate& day) {
    Table records(m_service.m_db, kZeiterf);
    records.setIndexName(kPersDatObj);
    records.open();
    records.setRange({persNr, day}, {persNr, day});
    m_service.deleteShown(records);
}

void TimeRecordBatch::append(const TimeRecordValues& v) {
    TimeRecordService& s = m_service;
    if (!s.objektExists(v.objNr))
        throw DbError(kObjektRefused);
    if (!s.kostartExists(v.kostart))
        throw DbError(kKostartRefused);
    TimeRecordService::Batch& b = *m_state;
    if (b.nextId == 0)
        b.nextId = GetNextId(*b.records, kId);
    const int kostId = KostenAusZeiterfassOn ? s.addCostEntry(v) : 0;
    Table& t = *b.records;
    CancelEditOnError(t, [&] {
        t.append();
        t[kId] = b.nextId;
        setValues(t, v);
        t[kKostId] = kostId;
        t.post();
    });
    ++b.nextId;
    s.rebuildExcept(v.persNr, v.datum, 0, nullptr);
}

void TimeRecordBatch::commit() {
    TimeRecordService& s = m_service;
    const std::set<std::pair<int, QDate>> touched = std::move(m_state->touched);
    s.m_batch = nullptr;
    for (const auto& [persNr, month] : touched)
        s.writeMonthSums(persNr, month, s.sumMonth(persNr, month, 0, nullptr));
    m_costs->finish();
    m_state->records.reset();
    m_state->sums.reset();
    m_tx->commit();
}
