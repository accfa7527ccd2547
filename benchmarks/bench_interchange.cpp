// The definition-driven import and export against raw SQLite doing the same
// work: the import of N new customers (read into the work table, merged
// through the shared customer object with its record rules) against raw
// prepared inserts of the rows it wrote; the export of N customers against a
// raw select that writes the same file. Runs interleaved in one process.

#include "benchclient.h"
#include "core/data/recordrules.h"
#include "core/files/filehelpers.h"
#include "core/messages/messages.h"
#include "datasafety/interchange/exportrun.h"
#include "datasafety/interchange/importrun.h"
#include "datasafety/shippeddefinitions.h"
#include "platform/table/values.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringEncoder>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using benchclient::Row;

namespace {

// Every question is answered "Ja"; nothing is shown.
class Yes : public MessagePresenter {
public:
    bool show(Kind, const QString&, int, int) override { return true; }
};

QByteArray physical(const char* table) {
    return table::physicalName(QString::fromLatin1(table)).toUtf8();
}

benchclient::Client& clientOf(int size) {
    return benchclient::clientOf(
        size, [](int) {},
        [](TDataModule1& dm) {
            RecordRuleHooksRegistry().checkCreateRight = [](int) { return true; };
            InstallRecordRules(dm);
        });
}

QString imexDir(benchclient::Client& client) {
    const QString dir = client.root.filePath(u"IMEX0001/"_s);
    EnsureShippedDefinitions(dir);
    return dir;
}

// The data file of N new customers in the columns of the shipped definition.
void writeCustomers(const QString& file, int count) {
    QStringList lines{u"Kundennummer;Suchbegriff;Name1;Name2;Strasse;PLZ;Ort;Telefon;Telefax;"
                      u"EMail;Bank;BLZ;Konto;Fibukonto;Kreditlimit"_s};
    for (int i = 0; i < count; ++i)
        lines << u"%1;KUNDE%1;\"Hausverwaltung %1 GmbH\";z. Hd. Frau Müller;Hauptstraße %2;"
                 u"%3;Köln;0221-%1;0221-%1-9;info%1@example.de;Sparkasse;37050198;%4;%5;"
                 u"\"1.500,00\""_s.arg(10000 + i)
                     .arg(i % 200 + 1)
                     .arg(50600 + i % 90)
                     .arg(1000000 + i)
                     .arg(10000 + i);
    WriteTextDataFile(file, lines);
}

void emptyCustomers() {
    table::aliases::database(u"LumoDB"_s)
        ->execSql(u"DELETE FROM %1"_s.arg(QString::fromUtf8(physical("Kunden.DB"))));
    DataModule1().TabKunden().refresh();
}

void insertRaw(const QString& file, const std::vector<Row>& rows) {
    sqlite3* db = benchclient::openRaw(file);
    sqlite3_stmt* insert = benchclient::prepareInsert(db, physical("Kunden.DB"));
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    for (const Row& row : rows)
        benchclient::insertRow(db, insert, row);
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    sqlite3_finalize(insert);
    sqlite3_close(db);
}

void BM_ImportVsRawInserts(benchmark::State& state) {
    const int count = int(state.range(0));
    benchclient::Client& client = clientOf(count);
    const QString dir = imexDir(client);
    writeCustomers(dir + u"Kunden.asc"_s, count);
    const QString file = table::Database::fileIn(client.data);
    Yes yes;
    MessagePresenter* previous = SetMessagePresenter(&yes);
    auto import = [&] {
        ImportRun run(DataModule1().TabKunden(), dir + u"Kunden.imp"_s, dir + u"Kunden.asc"_s,
                      u"K_Nr"_s);
        run.run();
        return run.merged();
    };
    emptyCustomers();
    if (import() != count) {
        SetMessagePresenter(previous);
        state.SkipWithError("the import did not take over every record");
        return;
    }
    sqlite3* reader = benchclient::openRaw(file);
    const std::vector<Row> rows = benchclient::readAll(reader, physical("Kunden.DB"));
    sqlite3_close(reader);
    double engine = 0, raw = 0;
    int turn = 0;
    for (auto _ : state) {
        double engineNow = 0, rawNow = 0;
        auto runEngine = [&] {
            emptyCustomers();
            engineNow = benchclient::secondsOf([&] { import(); });
        };
        auto runRaw = [&] {
            emptyCustomers();
            rawNow = benchclient::secondsOf([&] { insertRaw(file, rows); });
        };
        benchclient::takeTurns(turn, runRaw, runEngine);
        state.SetIterationTime(engineNow);
        engine += engineNow;
        raw += rawNow;
    }
    SetMessagePresenter(previous);
    state.counters["raw_ms"] = benchmark::Counter(raw * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = raw > 0 ? engine / raw : 0;
    state.counters["per_record_us"] =
        benchmark::Counter(engine * 1e6 / count, benchmark::Counter::kAvgIterations);
}

// The raw side of the export: the same columns selected in primary order and
// written as the definition writes them.
void exportRaw(const QString& file, const QString& output) {
    sqlite3* db = benchclient::openRaw(file);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db,
                       QByteArray("SELECT K_Nr, K_Match, K_Name1, K_Name2, K_Name3, K_Strasse, "
                                  "K_Plz, K_Ort, K_Tel1, K_Fax, K_Email, K_Bankname, K_Blz, "
                                  "K_Konto, K_FibuKonto, K_Kreditmax FROM " +
                                  physical("Kunden.DB") + " ORDER BY K_ID"),
                       -1, &select, nullptr);
    QStringEncoder encoder("windows-1252");
    QByteArray bytes = "\"Kundennummer\";\"Suchbegriff\";\"Name1\";\"Name2\";\"Name3\";"
                       "\"Strasse\";\"PLZ\";\"Ort\";\"Telefon\";\"Telefax\";\"EMail\";\"Bank\";"
                       "\"BLZ\";\"Konto\";\"Fibukonto\";\"Kreditlimit\";\r\n";
    while (sqlite3_step(select) == SQLITE_ROW) {
        QString line = u'"' + QString::number(sqlite3_column_int64(select, 0)) + u'"';
        for (int c = 1; c < 14; ++c)
            line += u";\""_s +
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(select, c)),
                                      sqlite3_column_bytes(select, c)) +
                    u'"';
        line += u";\""_s + QString::number(sqlite3_column_double(select, 14), 'f', 0) + u'"';
        line += u";\""_s + QString::number(sqlite3_column_double(select, 15), 'f', 2) + u'"';
        bytes += QByteArray(encoder.encode(line)) + "\r\n";
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    QFile out(output);
    out.open(QIODevice::WriteOnly);
    out.write(bytes);
}

void BM_ExportVsRawSelect(benchmark::State& state) {
    const int count = int(state.range(0));
    benchclient::Client& client = clientOf(count);
    const QString dir = imexDir(client);
    const QString file = table::Database::fileIn(client.data);
    Yes yes;
    MessagePresenter* previous = SetMessagePresenter(&yes);
    if (DataModule1().TabKunden().isOpen() && DataModule1().TabKunden().recordCount() != count) {
        writeCustomers(dir + u"Kunden.asc"_s, count);
        emptyCustomers();
        ImportRun(DataModule1().TabKunden(), dir + u"Kunden.imp"_s, dir + u"Kunden.asc"_s,
                  u"K_Nr"_s)
            .run();
    }
    double engine = 0, raw = 0;
    int turn = 0;
    int written = 0;
    for (auto _ : state) {
        double engineNow = 0, rawNow = 0;
        auto runEngine = [&] {
            engineNow = benchclient::secondsOf([&] {
                ExportRun run(DataModule1().TabKunden(), dir + u"Kunden.exp"_s,
                              dir + u"Kunden.out"_s, QString());
                run.run();
                written = run.count();
            });
        };
        auto runRaw = [&] {
            rawNow = benchclient::secondsOf([&] { exportRaw(file, dir + u"Raw.out"_s); });
        };
        benchclient::takeTurns(turn, runRaw, runEngine);
        state.SetIterationTime(engineNow);
        engine += engineNow;
        raw += rawNow;
    }
    SetMessagePresenter(previous);
    if (written != count)
        state.SkipWithError("the export did not write every customer");
    state.counters["raw_ms"] = benchmark::Counter(raw * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = raw > 0 ? engine / raw : 0;
    state.counters["per_record_us"] =
        benchmark::Counter(engine * 1e6 / count, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_ImportVsRawInserts)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportVsRawSelect)
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
