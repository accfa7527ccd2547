// Daily-list generation for 31 days over a client with 1,000 and 10,000
// objects (ten objects a tour, tours on Monday to Friday, two or three
// activities an object), against inserting the very rows it writes with raw
// prepared SQLite statements, one transaction per daily tour as the run
// commits them. Both write into the same database file with the program's
// own settings (rollback journal, synchronous writes); the run also has the
// workstation session of the program. Run with
//   --benchmark_enable_random_interleaving=true --benchmark_repetitions=5
// so that both kinds share the machine's ups and downs.
#include "benchclient.h"
#include "operations/dailylistedits.h"
#include "operations/dailylistgeneration.h"
#include "platform/table/table.h"

#include <QCoreApplication>
#include <QDate>
#include <benchmark/benchmark.h>

namespace {

const QDate kFirstDay(2026, 3, 2); // a Monday
constexpr int kDays = 31;
const char* const kListTables[] = {"TglTour", "TglObj", "TglTaet", "TglFunc"};

using benchclient::Row;

void fillMasters(int objects) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    table::Transaction tx(*db);
    benchclient::RowWriter rows(db);
    const QString rich = QStringLiteral("{\\rtf1\\ansi\\deff0 {\\fonttbl {\\f0 Arial;}}\\f0\\fs20 "
                                        "Treppenhaus reinigen, Fenster im Erdgeschoss, Geländer "
                                        "abwischen und Mülltonnen an die Straße stellen.\\par }");
    for (int nr = 1; nr <= 20; ++nr)
        rows.append("Taetig.DB", {{"T_ID", nr},
                                  {"T_Nr", nr},
                                  {"T_Match", QStringLiteral("Tätigkeit %1").arg(nr)},
                                  {"T_TextTour", rich},
                                  {"T_TextKontroll", rich}});
    for (int nr = 1; nr <= 50; ++nr)
        rows.append("Personal.DB",
                    {{"P_ID", nr}, {"P_Nr", nr}, {"P_Match", QStringLiteral("MA%1").arg(nr)}});
    const int tours = objects / 10;
    for (int nr = 1; nr <= tours; ++nr) {
        const int weekday = (nr - 1) % 5 + 1;
        rows.append("Touren.db", {{"TO_ID", nr},
                                  {"TO_Nr", nr},
                                  {"TO_Beschreibung", QStringLiteral("Tour %1").arg(nr)},
                                  {"TO_Person", nr % 50 + 1},
                                  {"TO_Wochentag", weekday},
                                  {"TO_NextDate", kFirstDay.addDays(weekday - 1)},
                                  {"TO_ServPatt", QStringLiteral("AB")},
                                  {"TO_Kind", 0}});
    }
    int activity = 0;
    for (int nr = 1; nr <= objects; ++nr) {
        rows.append("Objekte.DB", {{"O_ID", nr},
                                   {"O_Nr", nr},
                                   {"O_Match", QStringLiteral("Objekt %1").arg(nr)},
                                   {"O_Kunde", nr},
                                   {"O_Aktiv", true}});
        rows.append("TourObj.db", {{"T_TourID", nr},
                                   {"TO_TourNr", (nr - 1) / 10 + 1},
                                   {"TO_Objekt", nr},
                                   {"TO_VonUhr", QTime(8, 0).addSecs(60 * 20 * (nr % 10))},
                                   {"TO_BisUhr", QTime(8, 15).addSecs(60 * 20 * (nr % 10))}});
        const QDate start = kFirstDay.addDays(-7 * (nr % 3));
        rows.append("ObjTaet.db", {{"TS_ID", ++activity},
                                   {"TS_Objekt", nr},
                                   {"TS_Taetigkeit", nr % 20 + 1},
                                   {"TS_Modus", 1},
                                   {"TS_StartDatum", start},
                                   {"TS_ServiceID", QStringLiteral("A")}});
        rows.append("ObjTaet.db", {{"TS_ID", ++activity},
                                   {"TS_Objekt", nr},
                                   {"TS_Taetigkeit", (nr + 7) % 20 + 1},
                                   {"TS_Modus", nr % 2 ? 2 : 8},
                                   {"TS_StartDatum", start}});
        if (nr % 3 == 0)
            rows.append("ObjTaet.db", {{"TS_ID", ++activity},
                                       {"TS_Objekt", nr},
                                       {"TS_Taetigkeit", 20},
                                       {"TS_Modus", 1},
                                       {"TS_StartDatum", start},
                                       {"TS_Func", 2},
                                       {"TS_Param", QStringLiteral("Schlüssel abholen")}});
    }
    tx.commit();
}

benchclient::Client& clientOf(int objects) {
    return benchclient::clientOf(objects, fillMasters);
}

void emptyLists() {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    for (const char* t : kListTables)
        db->emptyTable(QString::fromLatin1(t));
}

qint64 integer(const Row& row, int column) {
    return row[column].second.toLongLong();
}

// The rows of one daily tour as the engine stores them.
struct DailyTourRows {
    std::vector<Row> rows[4];
};

// What the generation wrote, grouped by daily tour in the order it wrote them.
std::vector<DailyTourRows> capture(const QString& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::vector<DailyTourRows> tours;
    std::map<qint64, size_t> byId;
    std::map<std::pair<QByteArray, qint64>, size_t> byDateAndNr;
    for (const Row& r : benchclient::readAll(db, "TglTour")) {
        byId[integer(r, 0)] = tours.size();
        byDateAndNr[{r[1].second, integer(r, 2)}] = tours.size();
        tours.emplace_back();
        tours.back().rows[0].push_back(r);
    }
    for (const Row& r : benchclient::readAll(db, "TglObj"))
        tours[byId.at(integer(r, 1))].rows[1].push_back(r);
    for (const Row& r : benchclient::readAll(db, "TglTaet"))
        tours[byId.at(integer(r, 1))].rows[2].push_back(r);
    for (const Row& r : benchclient::readAll(db, "TglFunc"))
        tours[byDateAndNr.at({r[1].second, integer(r, 2)})].rows[3].push_back(r);
    sqlite3_close(db);
    return tours;
}

void insertRaw(const QString& file, const std::vector<DailyTourRows>& tours) {
    sqlite3* db = benchclient::openRaw(file);
    sqlite3_stmt* insert[4] = {};
    for (int t = 0; t < 4; ++t)
        insert[t] = benchclient::prepareInsert(db, kListTables[t]);
    for (const DailyTourRows& tour : tours) {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (int t = 0; t < 4; ++t)
            for (const Row& row : tour.rows[t])
                benchclient::insertRow(db, insert[t], row);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    for (sqlite3_stmt* s : insert)
        sqlite3_finalize(s);
    sqlite3_close(db);
}

void BM_GenerateDailyLists(benchmark::State& state) {
    const int objects = int(state.range(0));
    clientOf(objects);
    int lists = 0;
    for (auto _ : state) {
        state.PauseTiming();
        clientOf(objects);
        emptyLists();
        state.ResumeTiming();
        lists = GenerateDailyLists(DataModule1(), kFirstDay, kFirstDay.addDays(kDays - 1),
                                   kFirstDay, {});
    }
    state.counters["lists"] = lists;
    state.counters["objects"] = objects;
}

void BM_RawSqliteInserts(benchmark::State& state) {
    const int objects = int(state.range(0));
    static std::map<int, std::vector<DailyTourRows>> rows;
    benchclient::Client& client = clientOf(objects);
    const QString file = table::Database::fileIn(client.data);
    if (!rows.count(objects)) {
        emptyLists();
        GenerateDailyLists(DataModule1(), kFirstDay, kFirstDay.addDays(kDays - 1), kFirstDay, {});
        rows[objects] = capture(file);
    }
    for (auto _ : state) {
        state.PauseTiming();
        clientOf(objects);
        emptyLists();
        state.ResumeTiming();
        insertRaw(file, rows[objects]);
    }
    state.counters["lists"] = double(rows[objects].size());
    state.counters["objects"] = objects;
}

// "Alle Touren bis Datum erledigen" over 1,000 and 10,000 open rows (500 a
// day: ten daily tours of ten objects with five activities each, on past
// days), against raw prepared updates of the same rows by key, one
// transaction a day as the closing commits them. Each repetition opens the
// rows again first.
constexpr int kRowsPerDay = 500;

int closingClient(int rows) {
    return -rows; // clients of their own, apart from the generation's
}

void fillOpenRows(int size) {
    const int rows = -size;
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    table::Transaction tx(*db);
    benchclient::RowWriter writer(db);
    int tourId = 0, objId = 0, rowId = 0;
    for (int day = 0; day < rows / kRowsPerDay; ++day)
        for (int tour = 1; tour <= 10; ++tour) {
            ++tourId;
            writer.append("TglTour.DB", {{"A_TourID", tourId},
                                         {"A_Date", kFirstDay.addDays(day)},
                                         {"A_TourNr", tour},
                                         {"A_Bezeichnung", QStringLiteral("Tour %1").arg(tour)}});
            for (int object = 1; object <= 10; ++object) {
                const int objektNr = tour * 100 + object;
                writer.append("TglObj.DB",
                              {{"A_TOID", ++objId},
                               {"A_TourID", tourId},
                               {"A_ObjektNr", objektNr},
                               {"A_ObjektBez", QStringLiteral("Objekt %1").arg(objektNr)}});
                for (int activity = 1; activity <= 5; ++activity)
                    writer.append("TglTaet.DB",
                                  {{"A_TOTID", ++rowId},
                                   {"A_TourID", tourId},
                                   {"A_ObjNr", objektNr},
                                   {"A_TaetigNr", activity},
                                   {"A_Source", 0},
                                   {"A_State", 0},
                                   {"A_Rueckstand", 0},
                                   {"A_ServiceID", QStringLiteral("*")},
                                   {"A_ZusatzText", QStringLiteral("Tätigkeit %1").arg(activity)}});
            }
        }
    tx.commit();
}

void reopenRows(const QString& file) {
    sqlite3* db = benchclient::openRaw(file);
    sqlite3_exec(db, "UPDATE TglTaet SET A_State=0", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

QDate closingLimit(int rows) {
    return kFirstDay.addDays(rows / kRowsPerDay - 1);
}

void BM_CloseDailyLists(benchmark::State& state) {
    const int rows = int(state.range(0));
    const QString file =
        table::Database::fileIn(benchclient::clientOf(closingClient(rows), fillOpenRows).data);
    int changed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        benchclient::clientOf(closingClient(rows), fillOpenRows);
        reopenRows(file);
        state.ResumeTiming();
        changed = CloseDailyListsUpTo(closingLimit(rows), {});
    }
    state.counters["rows"] = rows;
    state.counters["closed"] = changed;
}

void BM_RawSqliteUpdates(benchmark::State& state) {
    const int rows = int(state.range(0));
    const QString file =
        table::Database::fileIn(benchclient::clientOf(closingClient(rows), fillOpenRows).data);
    for (auto _ : state) {
        state.PauseTiming();
        benchclient::clientOf(closingClient(rows), fillOpenRows);
        reopenRows(file);
        state.ResumeTiming();
        sqlite3* db = benchclient::openRaw(file);
        sqlite3_stmt* update = nullptr;
        sqlite3_prepare_v2(db, "UPDATE TglTaet SET A_State=4 WHERE A_TOTID=? AND A_State=0", -1,
                           &update, nullptr);
        int key = 0;
        for (int day = 0; day < rows / kRowsPerDay; ++day) {
            sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
            for (int r = 0; r < kRowsPerDay; ++r) {
                sqlite3_bind_int(update, 1, ++key);
                sqlite3_step(update);
                sqlite3_reset(update);
            }
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        }
        sqlite3_finalize(update);
        sqlite3_close(db);
    }
    state.counters["rows"] = rows;
}

} // namespace

BENCHMARK(BM_GenerateDailyLists)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawSqliteInserts)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CloseDailyLists)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawSqliteUpdates)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
