// The DATEV export's preparation of the booking table (journal rows into the
// work table, each journal row's mark written) against raw prepared SQLite
// statements doing the same writes, and a whole bookings run, at 1,000 and
// 10,000 journal rows. The compared runs take turns in one process.
#include "benchclient.h"
#include "core/messages/messages.h"
#include "datasafety/datev/datevexport.h"

#include <QCoreApplication>
#include <QDate>
#include <benchmark/benchmark.h>
#include <chrono>

using namespace Qt::StringLiterals;

namespace {

class QuietPresenter : public MessagePresenter {
public:
    bool show(Kind, const QString&, int, int) override { return false; }
};

QTemporaryDir& targetDir() {
    static QTemporaryDir dir;
    return dir;
}

void fill(int rows) {
    benchclient::RowWriter w(table::aliases::database(u"LumoDB"_s));
    for (int k = 1; k <= rows; ++k)
        w.append("Kunden.DB", {{"K_ID", k},
                               {"K_Nr", 10000 + k},
                               {"K_Match", u"KUNDE %1"_s.arg(k)},
                               {"K_FibuKonto", 20000 + k},
                               {"K_Plz", u"50667"_s},
                               {"K_Ort", u"Köln"_s},
                               {"K_Strasse", u"Domplatz %1"_s.arg(k)}});
    for (int r = 1; r <= rows; ++r) {
        const double b1 = 100.0 + r % 97, b2 = r % 3 == 0 ? 20.0 : 0.0;
        w.append("raliste.db", {{"R_ID", r},
                                {"R_Nr", u"RE-%1"_s.arg(r, 6, 10, QChar(u'0'))},
                                {"R_NrNum", r},
                                {"R_KundenNr", 10000 + r},
                                {"R_KMatch", u"KUNDE %1"_s.arg(r)},
                                {"R_ObjektNr", r},
                                {"R_DatumDruck", QDate(2026, 3, 1 + r % 28)},
                                {"R_FaelligDatum", QDate(2026, 3, 15 + r % 14)},
                                {"R_Netto", b1 + b2},
                                {"R_Brutto", b1 + b2},
                                {"R_Brutto1", b1},
                                {"R_Brutto2", b2},
                                {"R_Satzart", r % 10 == 0 ? 2 : 0},
                                {"R_Buchtext", QString()},
                                {"R_Exported", false},
                                {"R_Selected", false}});
    }
    w.append("ExpStamm.DB", {{"E_ID", 1},
                             {"E_DatevNamensKuerzel", u"HM"_s},
                             {"E_DatevBeraterNr", 1234567},
                             {"E_DatevMandantenNr", 12345},
                             {"E_DatevKontoNrLaenge", 4},
                             {"E_DatevEKonto16", 8400},
                             {"E_DatevEKonto7", 8300},
                             {"E_DatevEKonto0", 8100},
                             {"E_DatevDatumVon", QDate(2026, 3, 1)},
                             {"E_DatevDatumBis", QDate(2026, 3, 31)},
                             {"E_DatevDoBuchungen", true},
                             {"E_DatevPfad", targetDir().path()}});
}

QString dataFile(int rows) {
    return table::Database::fileIn(benchclient::clientOf(rows, fill).data);
}

void clearMarks(const QString& file) {
    sqlite3* db = benchclient::openRaw(file);
    sqlite3_exec(db, "UPDATE RAListe SET R_Selected = 0, R_Exported = 0", nullptr, nullptr,
                 nullptr);
    sqlite3_close(db);
}

// The same writes as the preparation: a work table of the same columns, one
// insert per journal row taken and one update of each row's mark, in one
// transaction; the journal is read in key order as the export reads it.
void prepareRaw(const QString& file) {
    sqlite3* db = benchclient::openRaw(file);
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_exec(db,
                 "CREATE TABLE RawTmppr(X_ID INTEGER PRIMARY KEY, X_Bkz INTEGER, X_Nr TEXT, "
                 "X_NrNum INTEGER, X_KundenNr INTEGER, X_RgDatum TEXT, X_KontoNr INTEGER, "
                 "X_KontoNrRg INTEGER, X_Kostenstelle1 INTEGER, X_Kostenstelle2 INTEGER, "
                 "X_Buchtext TEXT, X_Split INTEGER, X_StKz INTEGER, X_Faelligdatum TEXT, "
                 "Y_Brutto REAL, Y_Brutto0 REAL, Y_Brutto1 REAL, Y_Brutto2 REAL)",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT rowid, R_Satzart, R_Nr, R_NrNum, R_KundenNr, R_DatumDruck, "
                       "R_FKontoNr, R_FibuKonto2, R_KKostenstelle1, R_KKostenstelle2, "
                       "R_Buchtext, R_FaelligDatum, R_Brutto, R_Brutto0, R_Brutto1, R_Brutto2 "
                       "FROM RAListe ORDER BY R_ID",
                       -1, &read, nullptr);
    sqlite3_stmt* account = nullptr;
    sqlite3_prepare_v2(db, "SELECT K_FibuKonto FROM Kunden WHERE K_Nr = ? COLLATE DE", -1, &account,
                       nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO RawTmppr VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", -1,
                       &insert, nullptr);
    sqlite3_stmt* mark = nullptr;
    sqlite3_prepare_v2(db, "UPDATE RAListe SET R_Selected = 1 WHERE rowid = ?", -1, &mark, nullptr);
    int id = 0;
    while (sqlite3_step(read) == SQLITE_ROW) {
        sqlite3_bind_int64(account, 1, sqlite3_column_int64(read, 4));
        sqlite3_step(account);
        const qint64 konto = sqlite3_column_int64(account, 0);
        sqlite3_reset(account);
        sqlite3_bind_int(insert, 1, ++id);
        for (int c = 1; c <= 5; ++c)
            sqlite3_bind_value(insert, c + 1, sqlite3_column_value(read, c));
        sqlite3_bind_int64(insert, 7, konto);
        for (int c = 7; c <= 10; ++c)
            sqlite3_bind_value(insert, c + 1, sqlite3_column_value(read, c));
        sqlite3_bind_int(insert, 12, 0);
        sqlite3_bind_int(insert, 13, 1);
        for (int c = 11; c <= 15; ++c)
            sqlite3_bind_value(insert, c + 3, sqlite3_column_value(read, c));
        sqlite3_step(insert);
        sqlite3_reset(insert);
        sqlite3_bind_int64(mark, 1, sqlite3_column_int64(read, 0));
        sqlite3_step(mark);
        sqlite3_reset(mark);
    }
    for (sqlite3_stmt* s : {read, account, insert, mark})
        sqlite3_finalize(s);
    sqlite3_exec(db, "DROP TABLE RawTmppr", nullptr, nullptr, nullptr);
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    sqlite3_close(db);
}

int prepareEngine() {
    datev::DatevExport exporter({});
    table::Table settings(table::aliases::database(u"LumoDB"_s), u"ExpStamm.DB"_s);
    settings.open();
    settings.first();
    if (!exporter.loadSettings(settings))
        return -1;
    return exporter.prepareBookingTable();
}

void BM_PrepareVsRaw(benchmark::State& state) {
    const int rows = int(state.range(0));
    const QString file = dataFile(rows);
    double engine = 0, raw = 0;
    int turn = 0, taken = 0;
    for (auto _ : state) {
        double engineNow = 0, rawNow = 0;
        auto runEngine = [&] {
            clearMarks(file);
            engineNow = benchclient::secondsOf([&] { taken = prepareEngine(); });
        };
        auto runRaw = [&] {
            clearMarks(file);
            rawNow = benchclient::secondsOf([&] { prepareRaw(file); });
        };
        benchclient::takeTurns(turn, runRaw, runEngine);
        state.SetIterationTime(engineNow);
        engine += engineNow;
        raw += rawNow;
    }
    if (taken != rows)
        state.SkipWithError("the preparation did not take every journal row");
    state.counters["raw_ms"] = benchmark::Counter(raw * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = raw > 0 ? engine / raw : 0;
    state.counters["per_row_us"] =
        benchmark::Counter(engine * 1e6 / rows, benchmark::Counter::kAvgIterations);
}

// A whole run with bookings and debtors: files written, counters and marks.
void BM_WholeRun(benchmark::State& state) {
    const int rows = int(state.range(0));
    const QString file = dataFile(rows);
    QuietPresenter quiet;
    MessagePresenter* previous = SetMessagePresenter(&quiet);
    double total = 0;
    for (auto _ : state) {
        clearMarks(file);
        datev::DatevExport exporter({});
        table::Table settings(table::aliases::database(u"LumoDB"_s), u"ExpStamm.DB"_s);
        settings.open();
        settings.first();
        settings.edit();
        settings.field(u"E_DatevDoDebitoren"_s).setValue(true);
        settings.post();
        bool ok = false;
        const double s = benchclient::secondsOf([&] { ok = exporter.execute(settings); });
        if (!ok)
            state.SkipWithError("the run failed");
        state.SetIterationTime(s);
        total += s;
    }
    SetMessagePresenter(previous);
    state.counters["per_row_us"] =
        benchmark::Counter(total * 1e6 / rows, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_PrepareVsRaw)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeRun)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
