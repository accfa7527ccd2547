// The work table of the KHK and Lexware invoice exports (the month's journal
// rows into the work table, each row's mark written) against raw prepared
// SQLite statements doing the same writes, at 1,000 and 10,000 journal rows.
// The compared runs take turns in one process.
#include "benchclient.h"
#include "datasafety/accounting/invoiceexporttable.h"

#include <QCoreApplication>
#include <QDate>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

const QDate kFrom(2026, 3, 1), kTo(2026, 3, 31);

void fill(int rows) {
    benchclient::RowWriter w(table::aliases::database(u"LumoDB"_s));
    for (int r = 1; r <= rows; ++r) {
        const double n1 = 100.0 + r % 97, n2 = r % 3 == 0 ? 20.0 : 0.0;
        w.append("raliste.db", {{"R_ID", r},
                                {"R_Nr", u"RE-%1"_s.arg(r, 6, 10, QChar(u'0'))},
                                {"R_NrNum", r},
                                {"R_KundenNr", 10000 + r},
                                {"R_KMatch", u"KUNDE %1"_s.arg(r)},
                                {"R_ObjektNr", r},
                                {"R_DatumDruck", QDate(2026, 3, 1 + r % 28)},
                                {"R_FaelligDatum", QDate(2026, 3, 15 + r % 14)},
                                {"R_Netto", n1 + n2},
                                {"R_Netto1", n1},
                                {"R_Netto2", n2},
                                {"R_Mwst", n1 * 0.19 + n2 * 0.07},
                                {"R_Mwst1", n1 * 0.19},
                                {"R_Mwst2", n2 * 0.07},
                                {"R_Brutto", n1 * 1.19 + n2 * 1.07},
                                {"R_Brutto1", n1 * 1.19},
                                {"R_Brutto2", n2 * 1.07},
                                {"R_FKontoNr", 20000 + r},
                                {"R_KKostenstelle1", r % 5},
                                {"R_ZahlbedTage", 8},
                                {"R_ZahlbedSkonto", 2.5},
                                {"R_ZahlbedNettoTage", 30},
                                {"R_Satzart", r % 10 == 0 ? 2 : 0},
                                {"R_Exported", false},
                                {"R_Selected", false}});
    }
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

// The same writes: a work table of the same 37 columns, one insert per
// journal row taken and one update of its mark, in one transaction; the
// journal read in key order, the table dropped at the end.
void buildRaw(const QString& file) {
    sqlite3* db = benchclient::openRaw(file);
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_exec(db,
                 "CREATE TABLE RawTmppr(X_ID INTEGER PRIMARY KEY, X_Bkz INTEGER, X_Nr TEXT, "
                 "X_NrNum INTEGER, X_KundenNr INTEGER, X_RgDatum TEXT, X_Netto REAL, "
                 "X_Netto1 REAL, X_Netto2 REAL, X_Brutto REAL, X_Brutto1 REAL, X_Brutto2 REAL, "
                 "X_Mwst REAL, X_Mwst1 REAL, X_Mwst2 REAL, X_KontoNr INTEGER, "
                 "X_Kostenstelle1 INTEGER, X_Kostenstelle2 INTEGER, X_Split INTEGER, "
                 "X_StKz INTEGER, X_Skontotage1 INTEGER, X_SkontoProz1 REAL, "
                 "X_SkontoProzInt1 INTEGER, X_Skontotage2 INTEGER, X_SkontoProz2 REAL, "
                 "X_SkontoProzInt2 INTEGER, X_NettoTage INTEGER, X_Faelligdatum TEXT, "
                 "Y_Netto REAL, Y_Netto1 REAL, Y_Netto2 REAL, Y_Brutto REAL, Y_Brutto1 REAL, "
                 "Y_Brutto2 REAL, Y_Mwst REAL, Y_Mwst1 REAL, Y_Mwst2 REAL)",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT rowid, R_Satzart, R_Nr, R_NrNum, R_KundenNr, R_DatumDruck, "
                       "R_Netto, R_Netto1, R_Netto2, R_Brutto, R_Brutto1, R_Brutto2, R_Mwst, "
                       "R_Mwst1, R_Mwst2, R_FKontoNr, R_KKostenstelle1, R_KKostenstelle2, "
                       "R_ZahlbedTage, R_ZahlbedSkonto, R_ZahlbedTage2, R_ZahlbedSkonto2, "
                       "R_ZahlbedNettoTage, R_FaelligDatum, R_Exported "
                       "FROM RAListe ORDER BY R_ID",
                       -1, &read, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO RawTmppr VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,"
                       "?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &insert, nullptr);
    sqlite3_stmt* mark = nullptr;
    sqlite3_prepare_v2(db, "UPDATE RAListe SET R_Selected = 1 WHERE rowid = ?", -1, &mark, nullptr);
    int id = 0;
    while (sqlite3_step(read) == SQLITE_ROW) {
        const int sign = sqlite3_column_int(read, 1) == 0 ? 1 : -1;
        int c = 1;
        sqlite3_bind_int(insert, c++, ++id);
        for (int col = 1; col <= 17; ++col)
            sqlite3_bind_value(insert, c++, sqlite3_column_value(read, col));
        const bool b1 = sqlite3_column_double(read, 10) != 0,
                   b2 = sqlite3_column_double(read, 11) != 0;
        sqlite3_bind_int(insert, c++, b1 && b2);
        sqlite3_bind_int(insert, c++, b1 && !b2);
        sqlite3_bind_value(insert, c++, sqlite3_column_value(read, 18));
        sqlite3_bind_value(insert, c++, sqlite3_column_value(read, 19));
        sqlite3_bind_int(insert, c++, int(sqlite3_column_double(read, 19) * 100 + 0.5));
        sqlite3_bind_value(insert, c++, sqlite3_column_value(read, 20));
        sqlite3_bind_value(insert, c++, sqlite3_column_value(read, 21));
        sqlite3_bind_int(insert, c++, int(sqlite3_column_double(read, 21) * 100 + 0.5));
        sqlite3_bind_value(insert, c++, sqlite3_column_value(read, 22));
        sqlite3_bind_value(insert, c++, sqlite3_column_value(read, 23));
        for (int col = 6; col <= 14; ++col)
            sqlite3_bind_double(insert, c++, sign * sqlite3_column_double(read, col));
        sqlite3_step(insert);
        sqlite3_reset(insert);
        sqlite3_bind_int64(mark, 1, sqlite3_column_int64(read, 0));
        sqlite3_step(mark);
        sqlite3_reset(mark);
    }
    for (sqlite3_stmt* s : {read, insert, mark})
        sqlite3_finalize(s);
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    sqlite3_exec(db, "DROP TABLE RawTmppr", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void BM_InvoiceExportTableVsRaw(benchmark::State& state) {
    const int rows = int(state.range(0));
    const QString file = dataFile(rows);
    int taken = 0;
    const benchclient::TurnTimes times = benchclient::compareInTurns(
        state, [&file] { clearMarks(file); },
        // The work table is dropped with the result, inside the measure.
        [&taken] { taken = BuildInvoiceExportTable(u"LumoDB"_s, kFrom, kTo).count; },
        [&file] { buildRaw(file); });
    if (taken != rows)
        state.SkipWithError("the work table did not take every journal row");
    state.counters["per_row_us"] =
        benchmark::Counter(times.engine * 1e6 / rows, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_InvoiceExportTableVsRaw)
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
