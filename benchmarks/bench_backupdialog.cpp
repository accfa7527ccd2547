// A database backup as the backup dialog runs it (the automatic backup of a
// data run: the timer work paused, every cursor of the client database
// posted, closed and opened again, the existing archives listed, both
// archives written) against WriteBackupArchive alone on the same two
// directories, for a client with 1,000 and with 10,000 customers, each with
// an object, three invoices of three lines and an archived invoice. Each
// iteration times both, in turns first; "ratio" is the dialog's time over
// the engine's, "per_customer" the dialog's time per customer (equal at both
// sizes when the backup is linear in the data).
#include "benchclient.h"
#include "core/messages/messages.h"
#include "core/rights/rights.h"
#include "datasafety/archivewriter.h"
#include "datasafety/backupdialog.h"
#include "datasafety/backupentries.h"
#include "datasafety/backupobserver.h"
#include "datasafety/datasafety.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>

namespace {

using Clock = std::chrono::steady_clock;

double secondsOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Answers every question with "Ja" ("Ablagedaten sichern?").
class YesPresenter : public MessagePresenter {
public:
    bool show(Kind kind, const QString& text, int, int) override {
        if (kind == Kind::Error)
            throw std::runtime_error(text.toStdString());
        return true;
    }
};

void fillClient(int customers) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    {
        table::Transaction tx(*db);
        benchclient::RowWriter rows(db);
        int head = 0;
        int line = 0;
        for (int nr = 1; nr <= customers; ++nr) {
            const QString match = QStringLiteral("Kunde %1").arg(nr);
            rows.append("Kunden.DB",
                        {{"K_ID", nr},
                         {"K_Nr", nr},
                         {"K_Match", match},
                         {"K_Name1", QStringLiteral("Hausverwaltung %1").arg(nr)},
                         {"K_Strasse", QStringLiteral("Lindenstraße %1").arg(nr)},
                         {"K_Plz", QStringLiteral("10115")},
                         {"K_Ort", QStringLiteral("Berlin")},
                         {"K_LastAccess", QDateTime(QDate(2026, 3, 2), QTime(9, nr % 60))}});
            rows.append("Objekte.DB", {{"O_ID", nr},
                                       {"O_Nr", nr},
                                       {"O_Match", match},
                                       {"O_Kunde", nr},
                                       {"O_Aktiv", true}});
            for (int i = 0; i < 3; ++i) {
                ++head;
                rows.append("Rechkopf.DB",
                            {{"R_ID", head},
                             {"R_Nr", QStringLiteral("RE-%1").arg(head, 6, 10, QLatin1Char('0'))},
                             {"R_KundenNr", nr},
                             {"R_ObjektNr", nr},
                             {"R_Kname1", QStringLiteral("Hausverwaltung %1").arg(nr)},
                             {"R_Netto", 100.0 + i},
                             {"R_Brutto", 119.0 + i},
                             {"R_DatumDruck", QDate(2026, 1 + i, 10)}});
                for (int l = 0; l < 3; ++l)
                    rows.append("Rechsatz.db",
                                {{"S_ID", ++line},
                                 {"S_Ref", head},
                                 {"S_PosNr", 100 * (l + 1)},
                                 {"S_Menge", 1.0 + l},
                                 {"S_EPreis", 33.33},
                                 {"S_KurzText", QStringLiteral("Treppenhausreinigung")}});
            }
        }
        tx.commit();
    }
    auto archive = table::aliases::database(QStringLiteral("AblageDB"));
    table::Transaction tx(*archive);
    benchclient::RowWriter rows(archive);
    for (int nr = 1; nr <= customers; ++nr)
        rows.append("Rechkopf.DB",
                    {{"R_ID", nr},
                     {"R_Nr", QStringLiteral("AR-%1").arg(nr, 6, 10, QLatin1Char('0'))},
                     {"R_KundenNr", nr},
                     {"R_Brutto", 238.0},
                     {"R_DatumDruck", QDate(2025, 12, 10)}});
    tx.commit();
}

void removeArchives(const QString& dir) {
    for (const QString& name : QDir(dir).entryList({QStringLiteral("FB*")}, QDir::Files))
        QFile::remove(QDir(dir).filePath(name));
}

void BM_BackupDialogVsWriter(benchmark::State& state) {
    const int customers = int(state.range(0));
    benchclient::Client& client = benchclient::clientOf(customers, &fillClient);
    QTemporaryDir backups;
    BackupDir = backups.path() + QLatin1Char('/');
    YesPresenter presenter;
    MessagePresenter* previous = SetMessagePresenter(&presenter);
    CurrentUser.rights.set(48, rbView | rbCreate);
    struct Quiet : BackupDialogView {
    } view;
    DataSafetyWindowsRegistry().backupDialog = [&view](const BackupDialogArgs& args) {
        BackupDialog dialog(args, view);
        dialog.open();
        dialog.start();
    };
    // The cursors a working program has open on the client database.
    for (table::Table* t : DataModule1().tables())
        if (!t->isOpen())
            DataModule1().OpenDataTable(*t);
    double dialogTotal = 0;
    double engineTotal = 0;
    int round = 0;
    for (auto _ : state) {
        double dialog = 0;
        double engine = 0;
        const auto viaDialog = [&] {
            dialog = secondsOf([] { BackupDatabases(LocalBackup, QStringLiteral("Benchmark")); });
            if (GetBackupResult() != 0)
                state.SkipWithError("the dialog's backup failed");
            removeArchives(BackupDir);
        };
        const auto viaEngine = [&] {
            BackupObserver observer;
            engine = secondsOf([&] {
                WriteBackupArchive(QStringLiteral("*.*"), client.data,
                                   QStringLiteral("FB01.01.2026v000.CCB"),
                                   QStringLiteral("Benchmark"), BackupDir, 240, observer);
                WriteBackupArchive(QStringLiteral("*.*"), client.archive,
                                   QStringLiteral("FB01.01.2026v000.CCA"),
                                   QStringLiteral("Benchmark"), BackupDir, 240, observer);
            });
            removeArchives(BackupDir);
        };
        if (round++ % 2 == 0) {
            viaDialog();
            viaEngine();
        } else {
            viaEngine();
            viaDialog();
        }
        state.SetIterationTime(dialog);
        dialogTotal += dialog;
        engineTotal += engine;
    }
    state.counters["engine_ms"] = engineTotal * 1000 / round;
    state.counters["ratio"] = dialogTotal / engineTotal;
    state.counters["per_customer_us"] = dialogTotal * 1e6 / round / customers;
    state.counters["db_MB"] = double(QFileInfo(table::Database::fileIn(client.data)).size()) / 1e6;
    DataSafetyWindowsRegistry() = {};
    SetMessagePresenter(previous);
}

BENCHMARK(BM_BackupDialogVsWriter)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(6)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
