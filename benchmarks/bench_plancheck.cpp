// The planning check over a client with 1,000 and 10,000 objects (three
// activities an object, each object on two of the tours), against reading
// the same rows with raw prepared SQLite statements in the same orders and
// judging them with the same rule. Both read the same database file; the
// check runs on the data module's object table with the object form's
// filter (active objects). Run with
//   --benchmark_enable_random_interleaving=true --benchmark_repetitions=5
// so that both kinds share the machine's ups and downs.
#include "benchclient.h"
#include "operations/plancheck.h"
#include "platform/table/table.h"

#include <QCoreApplication>
#include <QHash>
#include <benchmark/benchmark.h>

namespace {

void fillMasters(int objects) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    table::Transaction tx(*db);
    benchclient::RowWriter rows(db);
    const int tours = objects / 10;
    for (int nr = 1; nr <= tours; ++nr)
        rows.append("Touren.db",
                    {{"TO_ID", nr},
                     {"TO_Nr", nr},
                     {"TO_Beschreibung", QStringLiteral("Tour %1").arg(nr)},
                     {"TO_Wochentag", (nr - 1) % 5 + 1},
                     {"TO_NextDate", QDate(2026, 3, 2)},
                     {"TO_ServPatt", nr % 3 ? QStringLiteral("AB") : QStringLiteral("*")},
                     {"TO_Kind", 0}});
    int visit = 0;
    int activity = 0;
    const QString patterns[] = {QStringLiteral("135"), QString(), QStringLiteral("24"),
                                QStringLiteral("6"), QStringLiteral("*")};
    const QString services[] = {QStringLiteral("A"), QString(), QStringLiteral("C")};
    for (int nr = 1; nr <= objects; ++nr) {
        rows.append("Objekte.DB", {{"O_ID", nr},
                                   {"O_Nr", nr},
                                   {"O_Match", QStringLiteral("Objekt %1").arg(nr)},
                                   {"O_Aktiv", nr % 50 != 0}});
        const int first = (nr - 1) / 10 + 1;
        for (int tour : {first, (first - 1 + tours / 2) % tours + 1})
            rows.append("TourObj.db", {{"T_TourID", ++visit},
                                       {"TO_TourNr", tour},
                                       {"TO_Objekt", nr},
                                       {"TO_VonUhr", QTime(8, 0).addSecs(60 * 20 * (nr % 10))},
                                       {"TO_BisUhr", QTime(8, 15).addSecs(60 * 20 * (nr % 10))}});
        for (int a = 0; a < 3; ++a)
            rows.append("ObjTaet.db", {{"TS_ID", ++activity},
                                       {"TS_Objekt", nr},
                                       {"TS_Taetigkeit", a + 1},
                                       {"TS_Modus", 1},
                                       {"TS_StartDatum", QDate(2026, 3, 2)},
                                       {"TS_Wtag", patterns[(nr + a) % 5]},
                                       {"TS_ServiceID", services[(nr * 7 + a) % 3]}});
    }
    tx.commit();
}

table::Table& shownObjects(int objects) {
    benchclient::clientOf(objects, fillMasters);
    table::Table& t = DataModule1().TabObjekt();
    if (!t.isOpen())
        t.open();
    t.setFilter(QStringLiteral("O_Aktiv='true'"));
    t.setFiltered(true);
    return t;
}

QString text(sqlite3_stmt* s, int column) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, column)),
                             sqlite3_column_bytes(s, column));
}

// The same rows in the same orders through prepared statements, judged by
// the same rule.
QStringList rawPlanCheck(sqlite3* db) {
    const auto prepare = [db](const char* sql) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
        return s;
    };
    QHash<int, PlanCheckTour> tourByNr;
    sqlite3_stmt* s = prepare("SELECT TO_Nr, TO_Wochentag, TO_ServPatt FROM Touren ORDER BY rowid");
    while (sqlite3_step(s) == SQLITE_ROW)
        tourByNr.insert(sqlite3_column_int(s, 0), {sqlite3_column_int(s, 1), text(s, 2)});
    sqlite3_finalize(s);
    QHash<int, QList<PlanCheckTour>> toursOf;
    s = prepare("SELECT TO_Objekt, TO_TourNr FROM TourObj ORDER BY rowid");
    while (sqlite3_step(s) == SQLITE_ROW)
        toursOf[sqlite3_column_int(s, 0)].append(tourByNr.value(sqlite3_column_int(s, 1)));
    sqlite3_finalize(s);
    struct Activity {
        int taetigNr;
        QString wtag, service;
    };
    QHash<int, QList<Activity>> activitiesOf;
    s = prepare("SELECT TS_Objekt, TS_Taetigkeit, TS_Wtag, TS_ServiceID FROM ObjTaet "
                "ORDER BY TS_Objekt, rowid");
    while (sqlite3_step(s) == SQLITE_ROW)
        activitiesOf[sqlite3_column_int(s, 0)].append(
            {sqlite3_column_int(s, 1), text(s, 2), text(s, 3)});
    sqlite3_finalize(s);
    QStringList lines = PlanCheckHeading();
    s = prepare("SELECT O_Nr FROM Objekte WHERE O_Aktiv = 1 ORDER BY O_Nr");
    while (sqlite3_step(s) == SQLITE_ROW) {
        const int nr = sqlite3_column_int(s, 0);
        const QList<PlanCheckTour> tours = toursOf.value(nr);
        for (const Activity& a : activitiesOf.value(nr)) {
            const QString reason = PlanCheckReason(tours, a.wtag, a.service);
            if (!reason.isEmpty())
                lines.append(PlanCheckLine(nr, a.taetigNr, reason));
        }
    }
    sqlite3_finalize(s);
    return lines;
}

void BM_PlanCheck(benchmark::State& state) {
    const int objects = int(state.range(0));
    qsizetype lines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        table::Table& shown = shownObjects(objects);
        state.ResumeTiming();
        lines = RunPlanCheck(shown).size();
    }
    state.counters["lines"] = double(lines);
    state.counters["objects"] = objects;
}

void BM_RawSqliteReads(benchmark::State& state) {
    const int objects = int(state.range(0));
    benchclient::Client& client = benchclient::clientOf(objects, fillMasters);
    sqlite3* db = benchclient::openRaw(table::Database::fileIn(client.data));
    static std::map<int, bool> checked;
    if (!checked[objects]) {
        // The comparison is only fair when both give the same list.
        if (rawPlanCheck(db) != RunPlanCheck(shownObjects(objects)))
            state.SkipWithError("the raw reading gives another list");
        checked[objects] = true;
    }
    qsizetype lines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        benchclient::clientOf(objects, fillMasters);
        state.ResumeTiming();
        lines = rawPlanCheck(db).size();
    }
    sqlite3_close(db);
    state.counters["lines"] = double(lines);
    state.counters["objects"] = objects;
}

} // namespace

BENCHMARK(BM_PlanCheck)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawSqliteReads)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
