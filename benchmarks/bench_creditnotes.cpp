// The credit-note list's "Druc&ken" with the print output replaced: every
// marked note booked (its state, the customer's turnover, the object's cost
// sums per cost type and the article turnover, one transaction per note),
// each note's print counter raised and its mark cleared, then all marks
// cleared. 1,000 and 10,000 notes of as many customers and objects with
// five lines each (two article lines, two service lines, a subtotal). The
// run is compared with the very row changes it made, recorded and replayed
// with prepared SQLite statements, one transaction per transaction of the
// run, on the same database file; both are timed in turns, the tables put
// back before each. "ratio" is the run's time over the replay's,
// "per_note_us" the run's time per note (equal at both sizes when linear).
// By default only 1,000 run; --benchmark_filter=VsRaw runs both sizes.
#include "benchclient.h"
#include "commercial/commercialrules.h"
#include "commercial/documents/documentlists.h"
#include "commercial/documents/documentrules.h"
#include "commercial/invoicing/creditnotes.h"
#include "core/data/datamodule.h"
#include "core/data/recordrules.h"
#include "platform/table/backend.h"
#include "platform/table/table.h"

#include <QDate>
#include <benchmark/benchmark.h>

namespace {

const QDate kVom(2026, 3, 15);

void fillClient(int notes) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    table::Transaction tx(*db);
    benchclient::RowWriter rows(db);
    for (int a = 1; a <= 50; ++a)
        rows.append("Artikel.DB", {{"A_ID", a},
                                   {"A_ArtNo", QStringLiteral("A%1").arg(a)},
                                   {"A_ObjID", 0},
                                   {"A_Preis1", 12.5}});
    int line = 0;
    for (int nr = 1; nr <= notes; ++nr) {
        const QString match = QStringLiteral("Objekt %1").arg(nr);
        rows.append("Kunden.DB", {{"K_ID", nr}, {"K_Nr", nr}, {"K_Match", match}});
        rows.append(
            "Objekte.DB",
            {{"O_ID", nr}, {"O_Nr", nr}, {"O_Match", match}, {"O_Kunde", nr}, {"O_Aktiv", true}});
        rows.append("GSkopf.DB", {{"R_ID", nr},
                                  {"R_Nr", QStringLiteral("GS%1").arg(nr, 5, 10, QLatin1Char('0'))},
                                  {"R_ObjektNr", nr},
                                  {"R_KundenNr", nr},
                                  {"R_PlanDatum", kVom},
                                  {"R_DatumDruck", kVom.addDays(20)},
                                  {"R_Netto", 100.0},
                                  {"R_Brutto", 119.0},
                                  {"R_Buchung", 0},
                                  {"R_Drucke", 0},
                                  {"R_Selected", true}});
        const int kinds[5][3] = {{0, 0, 8400}, {0, 0, 8401}, {0, 1, 8500}, {0, 1, 8501}, {3, 4, 0}};
        for (int i = 0; i < 5; ++i)
            rows.append("GSSatz.DB", {{"S_ID", ++line},
                                      {"S_Ref", nr},
                                      {"S_PosNr", (i + 1) * 1000000},
                                      {"S_PosArt", kinds[i][0]},
                                      {"S_PosTyp", kinds[i][1]},
                                      {"S_MatID", kinds[i][1] == 0 ? (nr + i) % 50 + 1 : 0},
                                      {"S_Menge", 1.0},
                                      {"S_Netto", 25.0},
                                      {"S_ErloesKonto", kinds[i][2]}});
    }
    tx.commit();
}

void run() {
    table::Table& heads = DataModule1().TabGsKopf();
    BookMarkedGutschriften(heads, {});
    PrintMarkedDocuments(heads, [](int, int) {}, {});
    UnmarkAllGutschriften(heads);
}

void BM_GutschriftDruckenVsRaw(benchmark::State& state) {
    const int notes = int(state.range(0));
    benchclient::Client& client = benchclient::clientOf(notes, fillClient, [](TDataModule1& dm) {
        InstallRecordRules(dm);
        InstallCommercialRules(dm);
    });
    TDataModule1& dm = DataModule1();
    dm.TabGsSatz().open();
    dm.TabGsKopf().open();
    const benchclient::ReplayOutcome outcome = benchclient::compareWithReplay(state, client, run);
    dm.TabGsKopf().close();
    dm.TabGsSatz().close();
    state.counters["per_note_us"] =
        benchmark::Counter(outcome.engineSeconds * 1e6 / notes, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_GutschriftDruckenVsRaw)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return benchclient::runMain(argc, argv, "VsRaw/1000/");
}
