// The invoice run's booking ("Druc&ken" without the print) and the hand-over
// to the open items ("&OP-Überg."), each over 1,000 and 10,000 invoices of as
// many objects and customers: an article line, a service line and a text
// line per invoice, every fifth invoice billing a delivery note and carrying
// an external service. Each is compared with the very row changes it made,
// recorded through the engine's hooks and replayed with prepared SQLite
// statements, one transaction per transaction of the run, on the same
// database file. Every iteration puts the tables the run writes back as they
// were and times both in turns. "ratio" is the run's time over the replay's,
// "per_invoice_us" the run's time per invoice (equal at both sizes when the
// run is linear). By default only 1,000 run;
//   --benchmark_filter=VsRaw
// runs both sizes.
#include "benchclient.h"
#include "commercial/commercialrules.h"
#include "commercial/documents/documentrules.h"
#include "commercial/invoicing/invoicebooking.h"
#include "commercial/invoicing/invoicerunhooks.h"
#include "commercial/invoicing/optransfer.h"
#include "core/data/dbhelpers.h"
#include "core/data/recordrules.h"
#include "core/messages/messages.h"
#include "datasafety/autobackup.h"
#include "platform/table/backend.h"
#include "platform/table/values.h"

#include <QCoreApplication>
#include <QDate>
#include <benchmark/benchmark.h>
#include <string_view>

namespace {

const QDate kDate(2026, 3, 10);

// Every question is answered "Ja"; nothing is shown.
class Yes : public MessagePresenter {
public:
    bool show(Kind, const QString&, int, int) override { return true; }
};

enum class State { Unbooked, Booked };

void fillClient(int invoices, State state) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    db->execSql(QStringLiteral("UPDATE %1 SET F_FormatNrRg = 'RE-00000', F_NextNrRg = 1, "
                               "F_AutoSichernRechDruck = 1, F_AutoSichernOP = 1")
                    .arg(table::physicalName(QStringLiteral("Firmen.DB"))));
    table::Transaction tx(*db);
    benchclient::RowWriter rows(db);
    for (int a = 1; a <= 50; ++a)
        rows.append("Artikel.DB", {{"A_ID", a},
                                   {"A_ArtNo", QStringLiteral("A%1").arg(a)},
                                   {"A_ObjID", 0},
                                   {"A_Bezeich1", QStringLiteral("Reinigungsmittel %1").arg(a)},
                                   {"A_Preis1", 12.5}});
    int line = 0;
    for (int nr = 1; nr <= invoices; ++nr) {
        const QString match = QStringLiteral("Objekt %1").arg(nr);
        rows.append("Kunden.DB", {{"K_ID", nr}, {"K_Nr", nr}, {"K_Match", match}});
        rows.append(
            "Objekte.DB",
            {{"O_ID", nr}, {"O_Nr", nr}, {"O_Match", match}, {"O_Kunde", nr}, {"O_Aktiv", true}});
        const bool booked = state == State::Booked;
        const double netto = 250.0 + nr % 100;
        rows.append("Rechkopf.DB",
                    {{"R_ID", nr},
                     {"R_Nr", booked ? QStringLiteral("RE-%1").arg(nr, 5, 10, QLatin1Char('0'))
                                     : QStringLiteral("*%1").arg(nr, 6, 10, QLatin1Char('0'))},
                     {"R_ObjektNr", nr},
                     {"R_OMatch", match},
                     {"R_KundenNr", nr},
                     {"R_KMatch", match},
                     {"R_Intervall", 1},
                     {"R_DatumErstell", kDate},
                     {"R_DatumDruck", kDate},
                     {"R_FaelligDatum", kDate.addDays(14)},
                     {"R_Netto", netto},
                     {"R_Netto1", netto},
                     {"R_Mwst", netto * 0.19},
                     {"R_Mwst1", netto * 0.19},
                     {"R_Brutto", netto * 1.19},
                     {"R_Buchung", booked ? 1 : 0},
                     {"R_Drucke", booked ? 1 : 0},
                     {"R_Selected", !booked},
                     {"R_ZeitraumTxt", QStringLiteral("März 2026")}});
        const QList<std::pair<const char*, QVariant>> common{{"S_Ref", nr}, {"S_MwstKz", 1}};
        auto addLine = [&](int posNr, int posArt, int posTyp, int matId, double amount, int konto) {
            QList<std::pair<const char*, QVariant>> v = common;
            v += {{"S_ID", ++line},
                  {"S_PosNr", posNr * 1000000},
                  {"S_PosArt", posArt},
                  {"S_PosTyp", posTyp},
                  {"S_MatID", matId},
                  {"S_Menge", 1.0},
                  {"S_EPreis", amount},
                  {"S_Netto", amount},
                  {"S_ErloesKonto", konto},
                  {"S_Kurztext", QStringLiteral("Hausmeisterdienst pauschal")}};
            rows.append("Rechsatz.db", v);
        };
        addLine(1, 0, 0, nr % 50 + 1, 50.0, 8400);
        addLine(2, 0, 1, 0, netto - 50.0, 8401);
        addLine(3, 3, 4, 0, 0, 0);
        if (nr % 5 == 0) {
            rows.append("LSkopf.DB", {{"R_ID", nr},
                                      {"R_Nr", QStringLiteral("LS%1").arg(nr)},
                                      {"R_ObjektNr", nr},
                                      {"R_Buchung", nr},
                                      {"R_LiefDatum", kDate}});
            rows.append("Fremdlst.db", {{"S_ID", nr}, {"S_Gebucht", nr}});
        }
    }
    tx.commit();
}

struct Size {
    benchclient::Client* client = nullptr;
    QString pristine; // a copy of the database as filled
};

Size& sizeOf(int invoices, State state) {
    static std::map<std::pair<int, State>, Size> sizes;
    // Booking and hand-over use clients of their own: the key tells them apart.
    const int key = state == State::Booked ? -invoices : invoices;
    Size& size = sizes[{invoices, state}];
    size.client = &benchclient::clientOf(
        key, [state](int k) { fillClient(k < 0 ? -k : k, state); },
        [](TDataModule1& dm) {
            InstallRecordRules(dm);
            InstallCommercialRules(dm);
        });
    if (size.pristine.isEmpty()) {
        size.pristine = size.client->root.filePath(QStringLiteral("Pristine"));
        table::aliases::database(QStringLiteral("LumoDB"))->backupTo(size.pristine);
        size.pristine = table::Database::fileIn(size.pristine);
    }
    return size;
}

void compare(benchmark::State& state, State start, const std::function<void()>& run) {
    const int invoices = int(state.range(0));
    Size& size = sizeOf(invoices, start);
    const QString file = table::Database::fileIn(size.client->data);
    Yes yes;
    MessagePresenter* previous = SetMessagePresenter(&yes);
    const AutoBackupService savedBackup = AutoBackupServiceRegistry();
    AutoBackupServiceRegistry() = {[] { return true; }, [](const QString&) {}};
    OpenRechnungTables(DataModule1(), false);

    // A first run tells which rows the run changes, transaction by transaction.
    std::vector<QByteArray> tables;
    benchclient::ChangeRecorder::Transactions transactions;
    std::map<QByteArray, std::map<qint64, benchclient::Row>> before, after;
    {
        auto db = table::aliases::database(QStringLiteral("LumoDB"));
        benchclient::ChangeRecorder recorder(db->connection().handle());
        run();
        transactions = recorder.transactions();
        tables = recorder.tables();
    }
    after = benchclient::readTables(tables);
    benchclient::restoreTables(tables, size.pristine);
    before = benchclient::readTables(tables);
    benchclient::ChangeReplay replay(transactions, before, after);

    const benchclient::TurnTimes times = benchclient::compareInTurns(
        state, [&] { benchclient::restoreTables(tables, size.pristine); }, run,
        [&] { replay.run(file); });
    benchclient::restoreTables(tables, size.pristine);
    CloseRechnungTables(DataModule1());
    AutoBackupServiceRegistry() = savedBackup;
    SetMessagePresenter(previous);

    size_t changes = 0;
    for (const auto& tx : transactions)
        changes += tx.size();
    state.counters["transactions"] = double(transactions.size());
    state.counters["rows_changed"] = double(changes);
    state.counters["per_invoice_us"] =
        benchmark::Counter(times.engine * 1e6 / invoices, benchmark::Counter::kAvgIterations);
}

void BM_BookingVsRaw(benchmark::State& state) {
    compare(state, State::Unbooked, [] { BookMarkedInvoices(DataModule1(), {}); });
}

void BM_HandOverVsRaw(benchmark::State& state) {
    compare(state, State::Booked,
            [] { TransferBookedInvoicesUpTo(DataModule1(), QDate(2026, 3, 31)); });
}

} // namespace

BENCHMARK(BM_BookingVsRaw)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HandOverVsRaw)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return benchclient::runMain(argc, argv, "VsRaw/1000/");
}
