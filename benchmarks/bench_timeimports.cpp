// The import of "Zeiterf.dat" (1,000 and 10,000 lines of one month for 25
// employees at 40 objects, costs from time recording on) against raw
// prepared SQLite inserts, in one transaction, of the rows it wrote: the
// time records, their cost entries, and the cost-sum, turnover and
// monthly-sum rows it added or changed. The client already holds the
// month before, imported the same way, as a firm's client does. Each turn
// starts both from that state again; the two take turns in one process.
// "ratio" is import time over raw time; "per_line_us" shows whether the
// import grows linearly.
#include "benchclient.h"
#include "core/data/kostenauszeiterfass.h"
#include "core/data/recordrules.h"
#include "core/files/filehelpers.h"
#include "core/messages/messages.h"
#include "operations/timeimportfiles.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <algorithm>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using benchclient::Row;

namespace {

constexpr int kEmployees = 25;
constexpr int kObjects = 40;
const char* const kWritten[] = {"Zeiterf.DB",  "Kosten.DB",   "Zeitsum.DB",
                                "KostSumH.db", "KostSumD.db", "KUmsatz.DB"};

// Nothing is asked; every box is left unshown.
class Quiet : public MessagePresenter {
public:
    bool show(Kind, const QString&, int, int) override { return false; }
};

QByteArray physical(const char* table) {
    return table::physicalName(QString::fromLatin1(table)).toUtf8();
}

// Employees 1..25 (12.00 an hour, their own wage cost type 900), customers
// and objects 1..40.
void fillMasters(int) {
    auto db = table::aliases::database(u"LumoDB"_s);
    table::Transaction tx(*db);
    benchclient::RowWriter rows(db);
    rows.append("Kostart.DB",
                {{"A_ID", 900}, {"A_Nr", 900}, {"A_RubrikNr", 1}, {"A_Text", u"Löhne"_s}});
    for (int i = 1; i <= kEmployees; ++i)
        rows.append("Personal.DB", {{"P_ID", i},
                                    {"P_Nr", i},
                                    {"P_Match", u"MITARBEITER %1"_s.arg(i)},
                                    {"P_Selbstkostenpreis", 12.0},
                                    {"P_Kostart1", 900},
                                    {"P_Kostart2", 900}});
    for (int i = 1; i <= kObjects; ++i) {
        rows.append("Kunden.DB", {{"K_ID", i}, {"K_Nr", i}, {"K_Match", u"KUNDE %1"_s.arg(i)}});
        rows.append("Objekte.DB", {{"O_ID", i},
                                   {"O_Nr", i},
                                   {"O_Kunde", i},
                                   {"O_Match", u"HAUS %1"_s.arg(i)},
                                   {"O_Aktiv", true}});
    }
    tx.commit();
}

benchclient::Client& clientOf(int lines) {
    return benchclient::clientOf(lines, fillMasters, [](TDataModule1&) {
        KostenAusZeiterfassOn = true;
        RecordRuleHooksRegistry().checkCreateRight = [](int) { return true; };
    });
}

// N lines of a month of 2027 as a time clock or payroll program writes them.
void writeZeiterfDat(const QString& dir, int lines, int month) {
    QStringList text{u"2027/%1"_s.arg(month, 2, 10, QChar(u'0'))};
    for (int i = 0; i < lines; ++i)
        text << u"%1;%2;%3;%4;%5;%6;Unterhaltsreinigung Treppenhaus"_s.arg(i % 28 + 1)
                    .arg(i % kEmployees + 1)
                    .arg(i % kObjects + 1)
                    .arg(i % 7 == 0 ? 2 : 1)
                    .arg(i % 4 == 0 ? u"2,5"_s : u"1,75"_s)
                    .arg(i % 4 == 0 ? u"31,25"_s : u"21,00"_s);
    WriteTextDataFile(dir + u"Zeiterf.dat"_s, text);
}

// The month before, kept aside in copies of the tables and put back before
// each turn.
void keepBase() {
    auto db = table::aliases::database(u"LumoDB"_s);
    for (const char* table : kWritten) {
        const QString name = QString::fromUtf8(physical(table));
        db->execSql(u"DROP TABLE IF EXISTS bench_%1"_s.arg(name));
        db->execSql(u"CREATE TABLE bench_%1 AS SELECT * FROM %1"_s.arg(name));
    }
}

void restoreBase() {
    auto db = table::aliases::database(u"LumoDB"_s);
    for (const char* table : kWritten) {
        const QString name = QString::fromUtf8(physical(table));
        db->execSql(u"DELETE FROM %1"_s.arg(name));
        db->execSql(u"INSERT INTO %1 SELECT * FROM bench_%1"_s.arg(name));
    }
}

// Keys below zero: a changed row goes in beside the row it changed.
void insertRaw(const QString& file, const std::vector<std::pair<QByteArray, Row>>& rows) {
    sqlite3* db = benchclient::openRaw(file);
    std::map<QByteArray, sqlite3_stmt*> inserts;
    for (const auto& [table, row] : rows)
        if (!inserts.count(table))
            inserts[table] = benchclient::prepareInsert(db, table);
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    qint64 key = 0;
    for (const auto& [table, stored] : rows) {
        Row row = stored;
        row[0] = {SQLITE_INTEGER, QByteArray::number(--key)};
        benchclient::insertRow(db, inserts[table], row);
    }
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    for (auto& [table, s] : inserts)
        sqlite3_finalize(s);
    sqlite3_close(db);
}

// The rows of the tables that the base does not hold as they are now.
std::vector<std::pair<QByteArray, Row>> changedRows(const QString& file) {
    std::vector<std::pair<QByteArray, Row>> changed;
    sqlite3* reader = benchclient::openRaw(file);
    for (const char* table : kWritten) {
        const std::vector<Row> base = benchclient::readAll(reader, "bench_" + physical(table));
        for (Row& row : benchclient::readAll(reader, physical(table)))
            if (std::find(base.begin(), base.end(), row) == base.end())
                changed.emplace_back(physical(table), std::move(row));
    }
    sqlite3_close(reader);
    return changed;
}

void BM_ImportVsRawInserts(benchmark::State& state) {
    const int lines = int(state.range(0));
    benchclient::Client& client = clientOf(lines);
    const QString dir = client.root.filePath(u"IMEX0001/"_s);
    QDir().mkpath(dir);
    ImExDir = dir;
    const QString file = table::Database::fileIn(client.data);
    Quiet quiet;
    MessagePresenter* previous = SetMessagePresenter(&quiet);
    static std::map<int, bool> based;
    if (!based[lines]) {
        writeZeiterfDat(dir, lines, 2);
        ImportZeiterfDat(false);
        keepBase();
        based[lines] = true;
    }
    writeZeiterfDat(dir, lines, 3);
    auto import = [] { return ImportZeiterfDat(false); };
    restoreBase();
    if (import() != TimeImportResult::Finished) {
        SetMessagePresenter(previous);
        state.SkipWithError("the import did not finish");
        return;
    }
    const std::vector<std::pair<QByteArray, Row>> rows = changedRows(file);
    const benchclient::TurnTimes times = benchclient::compareInTurns(
        state, restoreBase, [&] { import(); }, [&] { insertRaw(file, rows); });
    SetMessagePresenter(previous);
    state.counters["rows"] = double(rows.size());
    state.counters["per_line_us"] =
        benchmark::Counter(times.engine * 1e6 / lines, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_ImportVsRawInserts)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(4)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
