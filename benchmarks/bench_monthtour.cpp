// The monthly tour overview over clients of 1,000 and 10,000 daily tours
// (ten tours a day, three objects a list, two activities an object; March
// holds the same 300 lists in both, the other months the rest): building the
// month's three lists as the window opens, against reading the same rows
// with raw prepared SQLite statements; and filling the plan print table,
// against raw prepared inserts of the same rows. Run with
//   --benchmark_enable_random_interleaving=true --benchmark_repetitions=5
#include "benchclient.h"
#include "core/data/worktable.h"
#include "operations/monthplantable.h"
#include "operations/monthtour.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

#include <QCoreApplication>
#include <QDate>
#include <benchmark/benchmark.h>
#include <optional>

namespace {

const QDate kMarch(2026, 3, 1);
constexpr int kMarchLists = 300;

void fillLists(int tours) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    table::Transaction tx(*db);
    benchclient::RowWriter rows(db);
    for (int nr = 1; nr <= 30; ++nr)
        rows.append("Objekte.DB", {{"O_ID", nr},
                                   {"O_Nr", nr},
                                   {"O_Match", QStringLiteral("Objekt %1").arg(nr)},
                                   {"O_Aktiv", true}});
    int objId = 0, rowId = 0;
    for (int id = 1; id <= tours; ++id) {
        // March first, then the days before it, ten lists a day.
        const int day = (id - 1) / 10;
        const QDate date = id <= kMarchLists ? kMarch.addDays(day)
                                             : kMarch.addDays(-1 - (id - kMarchLists - 1) / 10);
        const int tourNr = (id - 1) % 10 + 1;
        rows.append("TglTour.DB", {{"A_TourID", id},
                                   {"A_Date", date},
                                   {"A_TourNr", tourNr},
                                   {"A_Bezeichnung", QStringLiteral("Tour %1").arg(tourNr)}});
        for (int o = 1; o <= 3; ++o) {
            const int objektNr = tourNr * 3 - 3 + o;
            rows.append("TglObj.DB", {{"A_TOID", ++objId},
                                      {"A_TourID", id},
                                      {"A_ObjektNr", objektNr},
                                      {"A_VonUhr", QTime(8, 0)},
                                      {"A_BisUhr", QTime(9, 15)}});
            for (int a = 1; a <= 2; ++a)
                rows.append("TglTaet.DB",
                            {{"A_TOTID", ++rowId},
                             {"A_TourID", id},
                             {"A_ObjNr", objektNr},
                             {"A_TaetigNr", a},
                             {"A_Source", 0},
                             {"A_State", 0},
                             {"A_Rueckstand", 0},
                             {"A_ZusatzText", QStringLiteral("Tätigkeit %1").arg(a)}});
        }
    }
    tx.commit();
}

QString fileOf(int tours) {
    return table::Database::fileIn(benchclient::clientOf(tours, fillLists).data);
}

void BM_MonthLists(benchmark::State& state) {
    const int tours = int(state.range(0));
    fileOf(tours);
    int entries = 0;
    for (auto _ : state) {
        MonthTourModel model;
        model.setMonth(kMarch.year(), kMarch.month(), kMarch);
        model.reload();
        entries = int(model.tours().size() + model.objects().size() + model.activities().size());
    }
    state.counters["entries"] = entries;
    state.counters["tours"] = tours;
}

// The same rows through prepared statements: the month's lists by date, the
// object count of each, the object rows of the first tour's lists and the
// activity rows of its first object.
void BM_RawMonthReads(benchmark::State& state) {
    const int tours = int(state.range(0));
    sqlite3* db = benchclient::openRaw(fileOf(tours));
    sqlite3_stmt* lists = benchclient::prepare(
        db, "SELECT A_TourID, A_TourNr, A_Date, A_Bezeichnung FROM TglTour "
            "WHERE A_Date >= ? COLLATE DE AND A_Date <= ? COLLATE DE ORDER BY A_Date COLLATE DE, A_TourNr COLLATE DE");
    sqlite3_stmt* objects = benchclient::prepare(
        db, "SELECT A_ObjektNr, A_VonUhr, A_BisUhr FROM TglObj WHERE A_TourID = ? COLLATE DE");
    sqlite3_stmt* activities = benchclient::prepare(
        db, "SELECT A_TaetigNr, A_State, A_Rueckstand, A_ZusatzText FROM TglTaet "
            "WHERE A_TourID = ? COLLATE DE AND A_ObjNr = ? COLLATE DE");
    const QByteArray from = kMarch.toString(Qt::ISODate).toUtf8();
    const QByteArray to = kMarch.addMonths(1).addDays(-1).toString(Qt::ISODate).toUtf8();
    qint64 read = 0;
    for (auto _ : state) {
        read = 0;
        std::vector<std::pair<int, int>> ids;
        sqlite3_bind_text(lists, 1, from.constData(), int(from.size()), SQLITE_STATIC);
        sqlite3_bind_text(lists, 2, to.constData(), int(to.size()), SQLITE_STATIC);
        while (sqlite3_step(lists) == SQLITE_ROW) {
            ids.emplace_back(sqlite3_column_int(lists, 0), sqlite3_column_int(lists, 1));
            benchmark::DoNotOptimize(sqlite3_column_text(lists, 3));
        }
        sqlite3_reset(lists);
        // The tour list, then the first tour's objects and activities.
        for (int pass = 0; pass < 3; ++pass)
            for (const auto& [id, nr] : ids) {
                if (pass > 0 && nr != 1)
                    continue;
                if (pass < 2) {
                    sqlite3_bind_int(objects, 1, id);
                    while (sqlite3_step(objects) == SQLITE_ROW) {
                        benchmark::DoNotOptimize(sqlite3_column_text(objects, 1));
                        ++read;
                    }
                    sqlite3_reset(objects);
                } else {
                    sqlite3_bind_int(activities, 1, id);
                    sqlite3_bind_int(activities, 2, 1);
                    while (sqlite3_step(activities) == SQLITE_ROW) {
                        benchmark::DoNotOptimize(sqlite3_column_text(activities, 3));
                        ++read;
                    }
                    sqlite3_reset(activities);
                }
            }
    }
    for (sqlite3_stmt* s : {lists, objects, activities})
        sqlite3_finalize(s);
    sqlite3_close(db);
    state.counters["rows"] = double(read);
    state.counters["tours"] = tours;
}

QList<MonthPlanRow> planRows() {
    QList<MonthPlanRow> rows;
    for (int nr = 1; nr <= 1000; ++nr) {
        MonthPlanRow row{nr, QStringLiteral("Objekt %1").arg(nr), {}};
        for (int d = 1; d <= 31; ++d)
            row.days[d] = (nr + d) % 3 ? 75 : 0;
        rows.append(row);
    }
    return rows;
}

void BM_FillPlanTable(benchmark::State& state) {
    fileOf(1000);
    const QList<MonthPlanRow> rows = planRows();
    for (auto _ : state) {
        state.PauseTiming();
        std::optional<WorkTable> work;
        work.emplace(QStringLiteral("LumoDB"), MonthPlanTableDef());
        state.ResumeTiming();
        FillMonthPlanTable(*work, rows);
        state.PauseTiming();
        work.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = double(rows.size());
}

void BM_RawPlanInserts(benchmark::State& state) {
    const QString file = fileOf(1000);
    const QList<MonthPlanRow> rows = planRows();
    for (auto _ : state) {
        state.PauseTiming();
        std::optional<WorkTable> work;
        work.emplace(QStringLiteral("LumoDB"), MonthPlanTableDef());
        sqlite3* db = benchclient::openRaw(file);
        sqlite3_stmt* insert =
            benchclient::prepareInsert(db, table::physicalName(work->name()).toUtf8());
        state.ResumeTiming();
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (int i = 0; i < rows.size(); ++i) {
            sqlite3_bind_int(insert, 1, i);
            sqlite3_bind_int(insert, 2, rows[i].nr);
            const QByteArray name = rows[i].text.toUtf8();
            sqlite3_bind_text(insert, 3, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            for (int d = 1; d <= 31; ++d)
                sqlite3_bind_int(insert, 3 + d, rows[i].days[d]);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        state.PauseTiming();
        sqlite3_finalize(insert);
        sqlite3_close(db);
        work.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = double(rows.size());
}

} // namespace

BENCHMARK(BM_MonthLists)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawMonthReads)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillPlanTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawPlanInserts)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
