// The appointment series ("Mehrfachtermine erzeugen") of 1,000 and 10,000
// copies (100 marked objects on 10 and on 100 days), against inserting the
// very rows it writes with one raw prepared SQLite statement in one
// transaction, as the series commits them. Both write into the same
// database file with the program's own settings; the series also has the
// workstation session. Each iteration times both, in turns first; the
// reported time is the series', "raw" the inserts', "ratio" the series'
// over the inserts' and "per_copy" the series' time per copy (equal at both
// sizes when it is linear).
#include "benchclient.h"
#include "core/data/recordrules.h"
#include "operations/termseries.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

#include <QCoreApplication>
#include <QDate>
#include <benchmark/benchmark.h>

namespace {

constexpr int kObjects = 100;
const QDate kSource(2026, 3, 2);

void fillMasters(int) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    table::Transaction tx(*db);
    benchclient::RowWriter rows(db);
    for (int nr = 1; nr <= kObjects; ++nr)
        rows.append("Objekte.DB", {{"O_ID", nr},
                                   {"O_Nr", nr},
                                   {"O_Match", QStringLiteral("Objekt %1").arg(nr)},
                                   {"O_Kunde", nr},
                                   {"O_Aktiv", true},
                                   {"O_Selected", true}});
    rows.append(
        "TermObj.DB",
        {{"T_ID", 1},
         {"T_Date", kSource},
         {"T_Time", QTime(8, 30)},
         {"T_Objekt", 1},
         {"T_ObjName", QStringLiteral("Objekt 1")},
         {"T_Kunde", 1},
         {"T_Kurztext", QStringLiteral("Treppenhausreinigung mit Fenstern")},
         {"T_Text", QStringLiteral("{\\rtf1\\ansi\\deff0 {\\fonttbl {\\f0 Arial;}}\\f0\\fs20 "
                                   "Treppenhaus feucht wischen, Fenster im Erdgeschoss "
                                   "reinigen, Kellerflur fegen.\\par }")},
         {"T_PersNo", 7},
         {"T_Betreuer", QStringLiteral("Meier")},
         {"T_Erledigt", true},
         {"T_LsID", 0},
         {"T_Alarm", true},
         {"T_AlarmDate", kSource},
         {"T_AlarmTime", QTime(7, 0)}});
    tx.commit();
}

QByteArray physical() {
    return table::physicalName(QStringLiteral("TermObj.DB")).toUtf8();
}

// Back to the source appointment alone.
void resetSeries() {
    table::aliases::database(QStringLiteral("LumoDB"))
        ->execSql(QStringLiteral("DELETE FROM \"%1\" WHERE T_ID <> 1")
                      .arg(QString::fromUtf8(physical())));
}

std::vector<benchclient::Row> capture(const QString& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::vector<benchclient::Row> rows = benchclient::readAll(db, physical());
    sqlite3_close(db);
    rows.erase(rows.begin()); // the source
    return rows;
}

void insertRaw(const QString& file, const std::vector<benchclient::Row>& rows) {
    sqlite3* db = benchclient::openRaw(file);
    sqlite3_stmt* insert = benchclient::prepareInsert(db, physical());
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    for (const benchclient::Row& row : rows)
        benchclient::insertRow(db, insert, row);
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    sqlite3_finalize(insert);
    sqlite3_close(db);
}

void BM_SeriesVsRaw(benchmark::State& state) {
    const int copies = int(state.range(0));
    const QString file =
        table::Database::fileIn(benchclient::clientOf(kObjects, fillMasters, [](TDataModule1& dm) {
                                    InstallRecordRules(dm);
                                }).data);
    QList<QDate> dates;
    for (int day = 1; day <= copies / kObjects; ++day)
        dates.append(kSource.addDays(day));
    TermSeriesSource source;
    {
        table::Table t(table::aliases::database(QStringLiteral("LumoDB")),
                       QStringLiteral("TermObj.DB"));
        t.open();
        source = TermSeriesSourceOf(t);
    }
    const QList<TermSeriesObjekt> objects = MarkedSeriesObjekte();
    resetSeries();
    int made = CreateTermSeries(source, dates, objects);
    const std::vector<benchclient::Row> rows = capture(file);
    if (made != copies || int(rows.size()) != copies) {
        state.SkipWithError("the series did not make the copies asked for");
        return;
    }
    double engine = 0, raw = 0;
    int turn = 0;
    for (auto _ : state) {
        double engineNow = 0, rawNow = 0;
        auto runEngine = [&] {
            resetSeries();
            engineNow = benchclient::secondsOf(
                [&] { made = CreateTermSeries(source, dates, MarkedSeriesObjekte()); });
        };
        auto runRaw = [&] {
            resetSeries();
            rawNow = benchclient::secondsOf([&] { insertRaw(file, rows); });
        };
        benchclient::takeTurns(turn, runRaw, runEngine);
        state.SetIterationTime(engineNow);
        engine += engineNow;
        raw += rawNow;
    }
    state.counters["copies"] = made;
    state.counters["raw_ms"] = benchmark::Counter(raw * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = raw > 0 ? engine / raw : 0;
    state.counters["per_copy_us"] =
        benchmark::Counter(engine * 1e6 / copies, benchmark::Counter::kAvgIterations);
    state.counters["raw_per_copy_us"] =
        benchmark::Counter(raw * 1e6 / copies, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_SeriesVsRaw)
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
