// Building control reports from finished daily-list rows against raw
// prepared SQLite statements doing the same writes, in turns: per row one
// transaction with the report line inserted and the daily-list row deleted.
#include "benchclient.h"
#include "operations/controlreports.h"
#include "platform/table/values.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kObjects = 100;
const QDate kFirstDay(2025, 1, 6);

using Golden = benchclient::ArchivePair;

// A client with kObjects objects in summary mode and `rows` finished daily-list
// rows: one daily tour a day with every object, five activities in turn.
Golden& goldenOf(int rows) {
    static std::map<int, std::unique_ptr<Golden>> goldens;
    auto& g = goldens[rows];
    if (g)
        return *g;
    g = std::make_unique<Golden>();
    g->data = g->root.filePath(u"data"_s);
    g->archive = g->root.filePath(u"ablage"_s);
    benchclient::buildDatabase(g->data, dbstructure::Database::Client);
    benchclient::buildDatabase(g->archive, dbstructure::Database::Archive);
    auto db = table::Database::open(g->data);
    table::Transaction tx(*db);
    table::Table objekte(db, u"Objekte.DB"_s), tours(db, u"TglTour.DB"_s),
        objects(db, u"TglObj.DB"_s), activities(db, u"TglTaet.DB"_s);
    for (table::Table* t : {&objekte, &tours, &objects, &activities})
        t->open();
    for (int o = 1; o <= kObjects; ++o) {
        objekte.append();
        objekte[u"O_ID"_s] = o;
        objekte[u"O_Nr"_s] = o;
        objekte[u"O_Match"_s] = u"OBJEKT %1"_s.arg(o);
        objekte[u"O_BerichtModus"_s] = o % 3 + 1;
        objekte.post();
    }
    for (int r = 0; r < rows; ++r) {
        const int day = r / kObjects;
        const int objekt = r % kObjects + 1;
        if (objekt == 1) {
            tours.append();
            tours[u"A_TourID"_s] = day + 1;
            tours[u"A_Date"_s] = kFirstDay.addDays(day);
            tours[u"A_TourNr"_s] = 1;
            tours[u"A_PersNr"_s] = 7;
            tours.post();
        }
        objects.append();
        objects[u"A_TOID"_s] = r + 1;
        objects[u"A_TourID"_s] = day + 1;
        objects[u"A_ObjektNr"_s] = objekt;
        objects[u"A_Kunde"_s] = 500;
        objects.post();
        activities.append();
        activities[u"A_TOTID"_s] = r + 1;
        activities[u"A_TourID"_s] = day + 1;
        activities[u"A_ObjNr"_s] = objekt;
        activities[u"A_TaetigNr"_s] = day % 5 + 1;
        activities[u"A_State"_s] = 4;
        activities[u"A_ZusatzText"_s] = u"Treppenhaus reinigen"_s;
        activities[u"A_KontrollText"_s] = u"Treppenhaus nass gewischt"_s;
        activities.post();
    }
    tx.commit();
    return *g;
}

// The same rows by hand: each row's line inserted and the row deleted in a
// transaction of its own.
void buildRaw(const QString& dir, int rows) {
    sqlite3* db = benchclient::openRaw(table::Database::fileIn(dir + u"/data"_s));
    sqlite3_stmt* insert = benchclient::prepare(
        db, "INSERT INTO BerSatz(B_SID, B_TourDatum, B_TourNr, B_PersNr, B_ObjektNr, B_TaetigNr, "
            "B_State, B_ZusatzText, B_KontrollText, B_Kunde, B_Rueckstand, B_TextModified, "
            "B_DruckTermin, B_WieOft) VALUES(?, '2025-01-06', 1, 7, ?, 1, 4, 'Treppenhaus "
            "reinigen', 'Treppenhaus nass gewischt', 500, 0, 0, '2025-01-31', 1)");
    sqlite3_stmt* remove = benchclient::prepare(db, "DELETE FROM TglTaet WHERE A_TOTID = ?");
    for (int r = 1; r <= rows; ++r) {
        benchclient::exec(db, "BEGIN IMMEDIATE");
        sqlite3_bind_int(insert, 1, r);
        sqlite3_bind_int(insert, 2, r % kObjects + 1);
        sqlite3_step(insert);
        sqlite3_reset(insert);
        sqlite3_bind_int(remove, 1, r);
        sqlite3_step(remove);
        sqlite3_reset(remove);
        benchclient::exec(db, "COMMIT");
    }
    sqlite3_finalize(insert);
    sqlite3_finalize(remove);
    sqlite3_close_v2(db);
}

void BM_BuildReportsVsRaw(benchmark::State& state) {
    const int rows = int(state.range(0));
    Golden& golden = goldenOf(rows);
    const QString engineDir = golden.root.filePath(u"engine"_s);
    const QString rawDir = golden.root.filePath(u"raw"_s);
    int taken = 0;
    table::aliases::define(u"LumoDB"_s, engineDir + u"/data"_s);
    const benchclient::TurnTimes times = benchclient::compareInTurns(
        state,
        [&] {
            table::aliases::close(u"LumoDB"_s);
            benchclient::copyPairInto(golden, engineDir);
            benchclient::copyPairInto(golden, rawDir);
            table::aliases::define(u"LumoDB"_s, engineDir + u"/data"_s);
        },
        [&] { taken = CreateBerichte(QDate(2026, 1, 1)).taken; }, [&] { buildRaw(rawDir, rows); });
    table::aliases::close(u"LumoDB"_s);
    if (taken != rows)
        state.SkipWithError("rows were left in the daily lists");
    state.counters["per_row_us"] =
        benchmark::Counter(times.engine * 1e6 / rows, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_BuildReportsVsRaw)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
