// Creating the long-lived list forms at start-up over a client with 1,000
// and 10,000 customers, against reading the customer table once in full
// through a cursor. The creation reads only what its grids show, so its time
// stays flat while the full read grows with the table. Run with
//   --benchmark_enable_random_interleaving=true --benchmark_repetitions=5
// so that both kinds share the machine's ups and downs.
#include "benchclient.h"
#include "core/data/recordrules.h"
#include "masterdata/gui/listforms.h"
#include "platform/table/table.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

namespace {

// Customers as a firm keeps them: names, addresses, a turnover, the stamp of
// the last change, and twelve month rows of the current year each.
void fillCustomers(int customers) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    table::Transaction tx(*db);
    table::Table k(db, QStringLiteral("Kunden.DB"));
    table::Table u(db, QStringLiteral("KUmsatz.DB"));
    k.open();
    u.open();
    const QDateTime stamp(QDate(2026, 3, 2), QTime(9, 30));
    int month = 0;
    for (int i = 1; i <= customers; ++i) {
        const QString n = QString::number(i);
        k.append();
        k[QStringLiteral("K_ID")] = i;
        k[QStringLiteral("K_Nr")] = i;
        k[QStringLiteral("K_Match")] = QStringLiteral("KUNDE") + n;
        k[QStringLiteral("K_Name1")] = QStringLiteral("Hausverwaltung ") + n;
        k[QStringLiteral("K_Name2")] = QStringLiteral("Abteilung Objekte");
        k[QStringLiteral("K_Strasse")] = QStringLiteral("Hauptstraße ") + n;
        k[QStringLiteral("K_Plz")] = QString::number(10000 + i % 89999);
        k[QStringLiteral("K_Ort")] = QStringLiteral("Bonn");
        k[QStringLiteral("K_UmsGesamt")] = 1234.56 * (i % 17);
        k[QStringLiteral("K_UmsLetztDat")] = QDate(2026, 1 + i % 12, 1 + i % 28);
        k[QStringLiteral("K_Aktjahr")] = 2026;
        k[QStringLiteral("K_LastAccess")] = stamp.addSecs(i);
        k.post();
        for (int m = 1; m <= 12; ++m) {
            u.append();
            u[QStringLiteral("U_ID")] = ++month;
            u[QStringLiteral("U_Kunde")] = i;
            u[QStringLiteral("U_Jahr")] = 2026;
            u[QStringLiteral("U_Monat")] = m;
            u[QStringLiteral("U_Betrag")] = 100.0 * m;
            u[QStringLiteral("U_Kosten")] = 40.0 * m;
            u.post();
        }
    }
    tx.commit();
}

// The window state goes to the client's own folder, not the user's home.
void useClient(int customers) {
    benchclient::Client& client = benchclient::clientOf(
        customers, fillCustomers, [](TDataModule1& dm) { InstallRecordRules(dm); });
    const QString win = client.root.filePath(QStringLiteral("win"));
    QDir().mkpath(win);
    qputenv("DOMVERA_WINDIR", QFile::encodeName(win));
}

void BM_CreateLongLivedForms(benchmark::State& state) {
    const int customers = int(state.range(0));
    useClient(customers);
    for (auto _ : state) {
        LongLivedForms forms;
        benchmark::DoNotOptimize(FindListForm(QStringLiteral("TF_Kunden")));
    }
    state.counters["customers"] = customers;
}

void BM_ReadCustomersInFull(benchmark::State& state) {
    const int customers = int(state.range(0));
    useClient(customers);
    for (auto _ : state) {
        table::Table k(table::aliases::database(QStringLiteral("LumoDB")),
                       QStringLiteral("Kunden.DB"));
        k.open();
        double sum = 0;
        for (k.first(); !k.eof(); k.next())
            sum += k[QStringLiteral("K_UmsGesamt")].asFloatOr(0);
        benchmark::DoNotOptimize(sum);
    }
    state.counters["customers"] = customers;
}

} // namespace

BENCHMARK(BM_CreateLongLivedForms)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCustomersInFull)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
