// The time-record archive run and the monthly list of the time views, each
// against raw prepared SQLite statements doing the same work, in turns.
//
// Archive: every record up to the limit read in date order, inserted into the
// archive under the next number, deleted from the client, and its cost entry
// deleted, all in one transaction over both databases.
// Month list: the month's records read once, summed per object, and one row
// per object written into a temporary table.
#include "benchclient.h"
#include "datasafety/documentarchive/archiveconnection.h"
#include "operations/monthtimesums.h"
#include "operations/timerecordarchive.h"
#include "platform/table/values.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

const QDate kLimit(2025, 12, 31);
const TimeViewMonth kMonth{2025, 6};

using Golden = benchclient::ArchivePair;

// A client with `objects` objects and `records` time records spread over
// 2025 and them (each with its cost entry), written through the table layer
// with the values time entry writes.
Golden& goldenOf(int records, int objects) {
    static std::map<std::pair<int, int>, std::unique_ptr<Golden>> goldens;
    auto& g = goldens[{records, objects}];
    if (g)
        return *g;
    g = std::make_unique<Golden>();
    g->data = g->root.filePath(u"data"_s);
    g->archive = g->root.filePath(u"ablage"_s);
    benchclient::buildDatabase(g->data, dbstructure::Database::Client);
    benchclient::buildDatabase(g->archive, dbstructure::Database::Archive);
    auto db = table::Database::open(g->data);
    table::Transaction tx(*db);
    table::Table objekte(db, u"Objekte.DB"_s), zeiterf(db, u"Zeiterf.DB"_s),
        kosten(db, u"Kosten.DB"_s);
    objekte.open();
    zeiterf.open();
    kosten.open();
    for (int o = 1; o <= objects; ++o) {
        objekte.append();
        objekte[u"O_ID"_s] = o;
        objekte[u"O_Nr"_s] = o;
        objekte[u"O_Match"_s] = u"OBJEKT %1"_s.arg(o);
        objekte.post();
    }
    for (int r = 1; r <= records; ++r) {
        const QDate day = QDate(2025, 1, 1).addDays(r % 365);
        zeiterf.append();
        zeiterf[u"Z_ID"_s] = r;
        zeiterf[u"Z_Datum"_s] = day;
        zeiterf[u"Z_PersNr"_s] = r % 40 + 1;
        zeiterf[u"Z_ObjNr"_s] = r % objects + 1;
        zeiterf[u"Z_Art"_s] = r % 3 + 1;
        zeiterf[u"Z_Text"_s] = u"Unterhaltsreinigung"_s;
        zeiterf[u"Z_Stunden"_s] = 2.5;
        zeiterf[u"Z_EkPreis"_s] = 14.5;
        zeiterf[u"Z_Aufschlag"_s] = 1.0;
        zeiterf[u"Z_Kostart"_s] = 500;
        zeiterf[u"Z_KostID"_s] = r;
        zeiterf.post();
        kosten.append();
        kosten[u"K_ID"_s] = r;
        kosten[u"K_Menge"_s] = 2.5;
        kosten[u"K_Betrag"_s] = 36.25;
        kosten[u"K_ObjID"_s] = r % objects + 1;
        kosten[u"K_Datum"_s] = day;
        kosten[u"K_KostArt"_s] = 500;
        kosten.post();
    }
    tx.commit();
    return *g;
}

void bindDate(sqlite3_stmt* s, int index, const QDate& day) {
    // As the table layer stores a date, so both sides compare alike.
    static const table::FieldDef date{u"Z_Datum"_s, table::FieldType::Date};
    const QByteArray text = table::toStored(date, day).toString().toUtf8();
    sqlite3_bind_text(s, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

// The same records moved by hand.
void archiveRaw(const QString& dir) {
    sqlite3* db = benchclient::openRaw(table::Database::fileIn(dir + u"/data"_s));
    benchclient::exec(db, QByteArray("ATTACH DATABASE '" +
                                     table::Database::fileIn(dir + u"/ablage"_s).toUtf8() +
                                     "' AS ablage")
                              .constData());
    benchclient::exec(db, "BEGIN IMMEDIATE");
    sqlite3_stmt* select =
        benchclient::prepare(db, "SELECT * FROM main.Zeiterf WHERE Z_Datum IS NULL OR "
                                 "Z_Datum <= ? ORDER BY Z_Datum, Z_PersNr, Z_ObjNr, rowid");
    bindDate(select, 1, kLimit);
    std::vector<benchclient::Row> rows;
    while (sqlite3_step(select) == SQLITE_ROW)
        rows.push_back(benchclient::rowOf(select));
    sqlite3_finalize(select);
    sqlite3_stmt* maxId =
        benchclient::prepare(db, "SELECT COALESCE(MAX(Z_ID), 0) FROM ablage.Zeiterf");
    sqlite3_step(maxId);
    qint64 nextId = sqlite3_column_int64(maxId, 0);
    sqlite3_finalize(maxId);
    sqlite3_stmt* insert = benchclient::prepareInsert(db, "ablage.Zeiterf");
    sqlite3_stmt* remove = benchclient::prepare(db, "DELETE FROM main.Zeiterf WHERE Z_ID = ?");
    sqlite3_stmt* removeCost = benchclient::prepare(db, "DELETE FROM main.Kosten WHERE K_ID = ?");
    for (benchclient::Row& row : rows) {
        const QByteArray id = row[0].second;
        row[0] = {SQLITE_INTEGER, QByteArray::number(++nextId)};
        benchclient::insertRow(db, insert, row);
        sqlite3_bind_int64(remove, 1, id.toLongLong());
        sqlite3_step(remove);
        sqlite3_reset(remove);
    }
    for (const benchclient::Row& row : rows) {
        sqlite3_bind_int64(removeCost, 1, row[13].second.toLongLong()); // Z_KostID
        sqlite3_step(removeCost);
        sqlite3_reset(removeCost);
    }
    benchclient::exec(db, "COMMIT");
    for (sqlite3_stmt* s : {insert, remove, removeCost})
        sqlite3_finalize(s);
    sqlite3_close_v2(db);
}

int archiveEngine(const QString& dir) {
    ArchiveConnection connection(dir + u"/data"_s, dir + u"/ablage"_s);
    return ArchiveZeiterf(connection, kLimit).moved;
}

void BM_ArchiveVsRaw(benchmark::State& state) {
    const int records = int(state.range(0));
    Golden& golden = goldenOf(records, 100);
    const QString engineDir = golden.root.filePath(u"engine"_s);
    const QString rawDir = golden.root.filePath(u"raw"_s);
    int moved = 0;
    const benchclient::TurnTimes times = benchclient::compareInTurns(
        state,
        [&] {
            benchclient::copyPairInto(golden, engineDir);
            benchclient::copyPairInto(golden, rawDir);
        },
        [&] { moved = archiveEngine(engineDir); }, [&] { archiveRaw(rawDir); });
    if (moved != records)
        state.SkipWithError("the run left records behind");
    state.counters["per_record_us"] =
        benchmark::Counter(times.engine * 1e6 / records, benchmark::Counter::kAvgIterations);
}

// The month list by hand: the month's records once, summed per object in
// memory, the objects in number order, one row each into a temporary table.
int monthListRaw(sqlite3* db) {
    benchclient::exec(
        db, "CREATE TEMP TABLE IF NOT EXISTS RawSum(ZS_ID INTEGER PRIMARY KEY, ZS_ObjektNo "
            "INTEGER, ZS_Monat INTEGER, ZS_Jahr INTEGER, H1 REAL, H2 REAL, H3 REAL, H4 REAL, "
            "H5 REAL, H6 REAL, H7 REAL, H8 REAL, HG REAL, C1 REAL, C2 REAL, C3 REAL, C4 REAL, "
            "C5 REAL, C6 REAL, C7 REAL, C8 REAL, CG REAL)");
    struct Sums {
        double h[9] = {}, c[9] = {};
    };
    QHash<int, Sums> perObject;
    sqlite3_stmt* select =
        benchclient::prepare(db, "SELECT Z_ObjNr, Z_Stunden, Z_EkPreis, Z_Art, Z_Aufschlag "
                                 "FROM Zeiterf WHERE Z_Datum >= ? AND Z_Datum <= ?");
    bindDate(select, 1, kMonth.first());
    bindDate(select, 2, kMonth.last());
    while (sqlite3_step(select) == SQLITE_ROW) {
        Sums& s = perObject[sqlite3_column_int(select, 0)];
        const double h = sqlite3_column_double(select, 1);
        const double c = h * sqlite3_column_double(select, 2) * sqlite3_column_double(select, 4);
        const int art = sqlite3_column_int(select, 3);
        if (art >= 1 && art <= 8) {
            s.h[art - 1] += h;
            s.c[art - 1] += c;
        }
        s.h[8] += h;
        s.c[8] += c;
    }
    sqlite3_finalize(select);
    benchclient::exec(db, "BEGIN");
    benchclient::exec(db, "DELETE FROM temp.RawSum");
    sqlite3_stmt* objects = benchclient::prepare(db, "SELECT O_Nr FROM Objekte ORDER BY O_Nr");
    sqlite3_stmt* insert =
        benchclient::prepare(db, "INSERT INTO temp.RawSum VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,"
                                 "?,?,?,?,?,?,?,?,?)");
    int id = 0;
    const Sums none;
    while (sqlite3_step(objects) == SQLITE_ROW) {
        const int nr = sqlite3_column_int(objects, 0);
        const auto it = perObject.constFind(nr);
        const Sums& s = it == perObject.cend() ? none : *it;
        int i = 1;
        sqlite3_bind_int(insert, i++, ++id);
        sqlite3_bind_int(insert, i++, nr);
        sqlite3_bind_int(insert, i++, kMonth.month);
        sqlite3_bind_int(insert, i++, kMonth.year);
        for (double v : s.h)
            sqlite3_bind_double(insert, i++, v);
        for (double v : s.c)
            sqlite3_bind_double(insert, i++, v);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(objects);
    sqlite3_finalize(insert);
    benchclient::exec(db, "COMMIT");
    return id;
}

void BM_MonthListVsRaw(benchmark::State& state) {
    const int objects = int(state.range(0));
    // Three records per object in the month on average.
    Golden& golden = goldenOf(objects * 36, objects);
    auto db = table::Database::open(golden.data);
    MonthSumTable sums(db);
    sqlite3* raw = benchclient::openRaw(table::Database::fileIn(golden.data));
    int engineRows = 0, rawRows = 0;
    const benchclient::TurnTimes times = benchclient::compareInTurns(
        state, [] {},
        [&] { engineRows = BuildMonthList(sums, *db, *db, TimeViewMaster::Objekt, kMonth); },
        [&] { rawRows = monthListRaw(raw); });
    sqlite3_close_v2(raw);
    if (engineRows != objects || rawRows != objects)
        state.SkipWithError("a list without a row per object");
    state.counters["per_object_us"] =
        benchmark::Counter(times.engine * 1e6 / objects, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_ArchiveVsRaw)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthListVsRaw)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
