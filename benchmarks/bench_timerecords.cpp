// One time record posted for an employee who already has 1,000 and 10,000
// records (with their cost entries) in other months, against inserting the
// rows such a post writes with raw prepared SQLite statements: the record,
// its cost entry, the twelve cost-sum rows and the sum row, one transaction
// per post as the post commits them. Both write into the same database file
// with the program's own settings. Run with
//   --benchmark_enable_random_interleaving=true --benchmark_repetitions=5
// so that both kinds share the machine's ups and downs.
#include "benchclient.h"
#include "core/data/kostenauszeiterfass.h"
#include "core/data/recordrules.h"
#include "operations/timerecordservice.h"
#include "platform/table/table.h"

#include <QCoreApplication>
#include <QDate>
#include <benchmark/benchmark.h>

namespace {

using benchclient::Row;

const QDate kFirstOther(2020, 1, 6);
const QDate kMonth(2027, 1, 1); // the months posted into: 2027, one after the other

// Employee 1 (12.00 an hour), cost type 900, customer 1 with object 1,
// and the employee's records with their cost entries, spread over the
// months before kMonth.
void fillMasters(int records) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    table::Transaction tx(*db);
    benchclient::RowWriter rows(db);
    rows.append("Personal.DB", {{"P_ID", 1},
                                {"P_Nr", 1},
                                {"P_Match", QStringLiteral("BERG")},
                                {"P_Selbstkostenpreis", 12.0},
                                {"P_Kostart1", 900}});
    rows.append("Kostart.DB",
                {{"A_ID", 900}, {"A_Nr", 900}, {"A_RubrikNr", 2}, {"A_Text", QStringLiteral("X")}});
    rows.append("Kunden.DB", {{"K_ID", 1}, {"K_Nr", 1}, {"K_Match", QStringLiteral("KUNDE")}});
    rows.append("Objekte.DB", {{"O_ID", 1},
                               {"O_Nr", 1},
                               {"O_Kunde", 1},
                               {"O_Match", QStringLiteral("HAUS")},
                               {"O_Aktiv", true}});
    for (int i = 1; i <= records; ++i) {
        const QDate day = kFirstOther.addDays(i % 2000);
        rows.append("Kosten.DB", {{"K_ID", i},
                                  {"K_Menge", 4.0},
                                  {"K_Betrag", 48.0},
                                  {"K_MatID", 0},
                                  {"K_ObjID", 1},
                                  {"K_Datum", day},
                                  {"K_KostArt", 900}});
        rows.append("Zeiterf.DB", {{"Z_ID", i},
                                   {"Z_Datum", day},
                                   {"Z_PersNr", 1},
                                   {"Z_ObjNr", 1},
                                   {"Z_Art", 1},
                                   {"Z_Text", QStringLiteral("Treppenhaus")},
                                   {"Z_Stunden", 4.0},
                                   {"Z_EkPreis", 12.0},
                                   {"Z_Kostart", 900},
                                   {"Z_KostID", i}});
    }
    tx.commit();
}

void setup(TDataModule1&) {
    KostenAusZeiterfassOn = true;
    RecordRuleHooksRegistry().checkCreateRight = [](int) { return true; };
}

benchclient::Client& clientOf(int records) {
    return benchclient::clientOf(records, fillMasters, setup);
}

TimeRecordValues nextRecord(int n) {
    TimeRecordValues v;
    v.datum = kMonth.addMonths(n % 12).addDays(n % 28);
    v.persNr = 1;
    v.objNr = 1;
    v.art = 1;
    v.stunden = 3.5;
    v.ekPreis = 12.0;
    v.text = QStringLiteral("Treppenhaus und Keller");
    v.kostart = 900;
    return v;
}

void BM_PostTimeRecord(benchmark::State& state) {
    const int records = int(state.range(0));
    clientOf(records);
    static int posted = 0;
    // The time-entry window keeps its cursor open from post to post.
    TimeRecordCursor cursor;
    cursor.table().open();
    for (auto _ : state) {
        state.PauseTiming();
        const TimeRecordValues v = nextRecord(posted++);
        state.ResumeTiming();
        cursor.append(v);
    }
    state.counters["records"] = records;
}

// The rows one post writes, as the engine stored them.
struct PostRows {
    std::vector<std::pair<QByteArray, Row>> rows;
};

PostRows capture(const QString& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr);
    PostRows post;
    const auto last = [&](const QByteArray& table, size_t count) {
        std::vector<Row> all = benchclient::readAll(db, table);
        for (size_t i = all.size() - std::min(count, all.size()); i < all.size(); ++i)
            post.rows.emplace_back(table, all[i]);
    };
    last("Zeiterf", 1);
    last("Kosten", 1);
    last("KostSumH", 9);
    last("KostSumD", 3);
    last("Zeitsum", 1);
    sqlite3_close(db);
    return post;
}

void BM_RawSqliteInserts(benchmark::State& state) {
    const int records = int(state.range(0));
    static std::map<int, PostRows> rows;
    benchclient::Client& client = clientOf(records);
    const QString file = table::Database::fileIn(client.data);
    if (!rows.count(records)) {
        TimeRecordCursor cursor;
        cursor.append(nextRecord(0));
        rows[records] = capture(file);
    }
    sqlite3* db = benchclient::openRaw(file);
    std::map<QByteArray, sqlite3_stmt*> inserts;
    for (const auto& [table, row] : rows[records].rows)
        if (!inserts.count(table))
            inserts[table] = benchclient::prepareInsert(db, table);
    // Keys below zero: the program's next keys (last key + 1) never meet them.
    static qint64 key = 0;
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (const auto& [table, stored] : rows[records].rows) {
            Row row = stored;
            row[0] = {SQLITE_INTEGER, QByteArray::number(--key)};
            benchclient::insertRow(db, inserts[table], row);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    for (auto& [table, s] : inserts)
        sqlite3_finalize(s);
    // The copies go again, so that the posts measured next find the tables
    // as a firm has them.
    for (const auto& [table, s] : inserts)
        sqlite3_exec(db, QByteArray("DELETE FROM " + table + " WHERE rowid < 0"), nullptr, nullptr,
                     nullptr);
    sqlite3_close(db);
    state.counters["records"] = records;
}

} // namespace

BENCHMARK(BM_PostTimeRecord)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawSqliteInserts)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
