#include "operations/monthtimesums.h"

#include "core/values/money.h"
#include "platform/errors.h"
#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/values.h"

#include <QHash>
#include <atomic>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString kZeiterf = u"Zeiterf.DB"_s;
const QString kLayout = u"ZeitsumO.DB"_s;

// The record of one master as the sums read it.
struct RecordFigures {
    double stunden = 0;
    double ekPreis = 0; // 0 when empty
    double aufschlag = 1.0;
    int art = 0; // 0 when empty
};

RecordFigures figuresOf(const table::Statement& s, int first) {
    RecordFigures r;
    r.stunden = s.isNull(first) ? 0.0 : s.real(first);
    r.ekPreis = s.isNull(first + 1) ? 0.0 : s.real(first + 1);
    r.art = s.isNull(first + 2) ? 0 : int(s.int64(first + 2));
    r.aufschlag = s.isNull(first + 3) ? 1.0 : s.real(first + 3);
    return r;
}

// One record into the accumulators; typeColumns: whether a type outside 1
// to 8 counts as normal time (panel) or adds to the totals only (list).
void addRecord(ZeitsumValues& sums, const RecordFigures& r, bool withAufschlag,
               bool otherTypesAsNormal) {
    const double h = RoundCents(r.stunden);
    if (h == 0)
        return;
    const double c = RoundCents(withAufschlag ? r.ekPreis * h * r.aufschlag : h * r.ekPreis);
    int type = r.art;
    if ((type < 1 || type > 8) && otherTypesAsNormal)
        type = 1;
    if (type >= 1 && type <= 8) {
        sums.hours[size_t(type - 1)] += h;
        sums.costs[size_t(type - 1)] += c;
    }
    sums.totalHours += h;
    sums.totalCosts += c;
}

QString physical(table::Database& db, const QString& name) {
    return table::quoted(table::physicalName(db.tableDef(name).name));
}

const table::FieldDef& dateField() {
    static const table::FieldDef date{u"Z_Datum"_s, table::FieldType::Date};
    return date;
}

QString masterTable(TimeViewMaster master) {
    return master == TimeViewMaster::Objekt ? u"Objekte.DB"_s : u"Personal.DB"_s;
}

QString masterNumberField(TimeViewMaster master) {
    return master == TimeViewMaster::Objekt ? u"O_Nr"_s : u"P_Nr"_s;
}

// The nine hour columns (types 1 to 8, total), then the nine cost columns.
QStringList sumColumns() {
    QStringList columns;
    for (int type = 1; type <= 8; ++type)
        columns << table::quoted(ZeitsumHoursField(type));
    columns << u"\"ZS_StdGesamt\""_s;
    for (int type = 1; type <= 8; ++type)
        columns << table::quoted(ZeitsumCostsField(type));
    columns << u"\"ZS_EkGesamt\""_s;
    return columns;
}

// Each work table gets a name no other of this connection has.
QString nextWorkName() {
    static std::atomic<int> counter{0};
    return u"TmpZeitsumO%1"_s.arg(++counter);
}

} // namespace

QString TimeViewRecordField(TimeViewMaster master) {
    return master == TimeViewMaster::Objekt ? u"Z_ObjNr"_s : u"Z_PersNr"_s;
}

QString TimeViewMonth::text() const {
    return u"Monat %1/%2"_s.arg(month).arg(year);
}

QString TimeViewMonth::filter() const {
    return u"Z_Datum>=%1 AND Z_Datum<=%2"_s.arg(first().toString(u"dd.MM.yyyy"_s),
                                                last().toString(u"dd.MM.yyyy"_s));
}

TimeViewMonth TimeViewMonthAt(const TimeViewMonth& shown, int position) {
    TimeViewMonth m = shown;
    if (position > 12) {
        m.month = 1;
        ++m.year;
    } else if (position < 1) {
        m.month = 12;
        --m.year;
    } else {
        m.month = position;
    }
    return m;
}

// Writes rows into the work table through one prepared statement.
class MonthSumWriter {
public:
    explicit MonthSumWriter(MonthSumTable& table) : m_table(table) {
        const QStringList columns =
            QStringList{u"\"ZS_ID\""_s, u"\"ZS_ObjektNo\""_s, u"\"ZS_Monat\""_s, u"\"ZS_Jahr\""_s} +
            sumColumns();
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks << u"?"_s;
        m_insert =
            table.database().connection().prepare(u"INSERT INTO temp.%1(%2) VALUES(%3)"_s.arg(
                table::quoted(table.name()), columns.join(u','), marks.join(u',')));
    }
    ~MonthSumWriter() { m_table.database().noteTableWritten(m_table.name()); }
    MonthSumWriter(const MonthSumWriter&) = delete;
    MonthSumWriter& operator=(const MonthSumWriter&) = delete;

    void empty() {
        m_table.database().execSql(u"DELETE FROM temp.%1"_s.arg(table::quoted(m_table.name())));
    }

    void write(int nr, const TimeViewMonth& month, const ZeitsumValues& sums) {
        table::Statement& s = *m_insert;
        int i = 1;
        s.bindInt64(i++, ++m_id);
        s.bindInt64(i++, nr);
        s.bindInt64(i++, month.month);
        s.bindInt64(i++, month.year);
        for (size_t t = 0; t < 8; ++t)
            s.bindDouble(i++, RoundCents(sums.hours[t]));
        s.bindDouble(i++, RoundCents(sums.totalHours));
        for (size_t t = 0; t < 8; ++t)
            s.bindDouble(i++, RoundCents(sums.costs[t]));
        s.bindDouble(i++, RoundCents(sums.totalCosts));
        s.step();
        s.reset();
    }

private:
    MonthSumTable& m_table;
    std::unique_ptr<table::Statement> m_insert;
    qint64 m_id = 0;
};

MonthSumTable::MonthSumTable() : MonthSumTable(table::aliases::database(u"LumoDB"_s)) {}

MonthSumTable::MonthSumTable(std::shared_ptr<table::Database> db) : m_db(std::move(db)) {
    table::TableDef def = m_db->tableDef(kLayout);
    def.name = nextWorkName();
    m_db->createTemporaryTable(def);
    m_name = def.name;
}

MonthSumTable::~MonthSumTable() {
    try {
        m_db->dropTable(m_name);
    } catch (const std::exception&) {
        // The table ends with the connection anyway.
    }
}

void MonthSumTable::writeOnly(int nr, const TimeViewMonth& month, const ZeitsumValues& sums) {
    table::Transaction tx(*m_db, table::TransactionLock::Deferred);
    MonthSumWriter writer(*this);
    writer.empty();
    writer.write(nr, month, sums);
    tx.commit();
}

std::optional<ZeitsumValues> MonthSumTable::row(int nr) {
    const QStringList columns = sumColumns();
    auto s = m_db->connection().prepare(
        u"SELECT %1 FROM temp.%2 WHERE \"ZS_ObjektNo\" = ? ORDER BY \"ZS_ID\" LIMIT 1"_s.arg(
            columns.join(u','), table::quoted(m_name)));
    s->bindInt64(1, nr);
    if (!s->step())
        return std::nullopt;
    const auto value = [&](int column) { return s->isNull(column) ? 0.0 : s->real(column); };
    ZeitsumValues sums;
    for (int t = 0; t < 8; ++t)
        sums.hours[size_t(t)] = value(t);
    sums.totalHours = value(8);
    for (int t = 0; t < 8; ++t)
        sums.costs[size_t(t)] = value(9 + t);
    sums.totalCosts = value(17);
    return sums;
}

int MonthSumTable::rowCount() {
    return m_db->selectValue(u"SELECT COUNT(*) FROM temp.%1"_s.arg(table::quoted(m_name))).toInt();
}

ZeitsumValues PanelMonthSums(table::Database& records, TimeViewMaster master, int nr,
                             const TimeViewMonth& month) {
    ZeitsumValues sums;
    if (nr == 0)
        return sums;
    auto s = records.connection().prepare(
        u"SELECT \"Z_Stunden\", \"Z_EkPreis\", \"Z_Art\", \"Z_Aufschlag\" FROM %1 "
        "WHERE %2 = ? AND \"Z_Datum\" >= ? AND \"Z_Datum\" <= ?"_s.arg(
            physical(records, kZeiterf), table::quoted(TimeViewRecordField(master))));
    s->bindInt64(1, nr);
    table::bindTyped(*s, 2, dateField(), month.first());
    table::bindTyped(*s, 3, dateField(), month.last());
    while (s->step())
        addRecord(sums, figuresOf(*s, 0), false, true);
    return sums;
}

int BuildMonthList(MonthSumTable& sums, table::Database& records, table::Database& masters,
                   TimeViewMaster master, const TimeViewMonth& month) {
    // The month's records once, summed per master.
    QHash<int, ZeitsumValues> perMaster;
    {
        auto s = records.connection().prepare(
            u"SELECT %1, \"Z_Stunden\", \"Z_EkPreis\", \"Z_Art\", \"Z_Aufschlag\" FROM %2 "
            "WHERE \"Z_Datum\" >= ? AND \"Z_Datum\" <= ?"_s.arg(
                table::quoted(TimeViewRecordField(master)), physical(records, kZeiterf)));
        table::bindTyped(*s, 1, dateField(), month.first());
        table::bindTyped(*s, 2, dateField(), month.last());
        while (s->step()) {
            const int nr = s->isNull(0) ? 0 : int(s->int64(0));
            addRecord(perMaster[nr], figuresOf(*s, 1), true, false);
        }
    }
    std::vector<int> numbers;
    {
        const QString field = table::quoted(masterNumberField(master));
        auto s = masters.connection().prepare(
            u"SELECT %1 FROM %2 ORDER BY %1"_s.arg(field, physical(masters, masterTable(master))));
        while (s->step())
            numbers.push_back(s->isNull(0) ? 0 : int(s->int64(0)));
    }
    table::Transaction tx(sums.database(), table::TransactionLock::Deferred);
    MonthSumWriter writer(sums);
    writer.empty();
    const ZeitsumValues none;
    for (const int nr : numbers) {
        const auto it = perMaster.constFind(nr);
        writer.write(nr, month, it == perMaster.cend() ? none : *it);
    }
    tx.commit();
    return int(numbers.size());
}
