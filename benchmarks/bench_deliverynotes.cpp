// Deleting the marked delivery notes of the list ("&Löschen"), over 1,000
// and 10,000 notes of as many objects with five article lines each (the
// articles keep stock, so every line gives its quantity back), as the list
// deletes them: note by note, each in one transaction with the unlinking of
// its creating appointment, its lines and their give-backs. It is compared
// with the very row changes it made, recorded through the engine's hooks and
// replayed with prepared SQLite statements, one transaction per transaction
// of the run, on the same database file. Every iteration puts the tables
// back as they were and times both in turns. "ratio" is the run's time over
// the replay's, "per_note_us" the run's time per note (equal at both sizes
// when the deletion is linear). By default only 1,000 run;
//   --benchmark_filter=VsRaw
// runs both sizes.
#include "benchclient.h"
#include "commercial/commercialrules.h"
#include "commercial/documents/deliverynotes.h"
#include "commercial/documents/documentlists.h"
#include "core/data/dbhelpers.h"
#include "core/data/recordrules.h"
#include "platform/table/backend.h"

#include <QCoreApplication>
#include <QDate>
#include <benchmark/benchmark.h>

namespace {

const QDate kDate(2026, 3, 10);

void fillClient(int notes) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    table::Transaction tx(*db);
    benchclient::RowWriter rows(db);
    for (int a = 1; a <= 50; ++a)
        rows.append("Artikel.DB", {{"A_ID", a},
                                   {"A_ArtNo", QStringLiteral("A%1").arg(a)},
                                   {"A_ObjID", 0},
                                   {"A_Bezeich1", QStringLiteral("Reinigungsmittel %1").arg(a)},
                                   {"A_Preis1", 12.5},
                                   {"A_EkPreis", 8.0},
                                   {"A_Bestandsfuehrung", true},
                                   {"A_Lagermenge", 100000.0},
                                   {"A_Lagerwert", 800000.0},
                                   {"A_EinMengeTotal", 0.0},
                                   {"A_EinWertTotal", 0.0}});
    int line = 0;
    for (int nr = 1; nr <= notes; ++nr) {
        const QString match = QStringLiteral("Objekt %1").arg(nr);
        rows.append("Kunden.DB", {{"K_ID", nr}, {"K_Nr", nr}, {"K_Match", match}});
        rows.append(
            "Objekte.DB",
            {{"O_ID", nr}, {"O_Nr", nr}, {"O_Match", match}, {"O_Kunde", nr}, {"O_Aktiv", true}});
        rows.append("TermObj.DB",
                    {{"T_ID", nr}, {"T_Objekt", nr}, {"T_Date", kDate}, {"T_LsID", nr}});
        rows.append("LSkopf.DB", {{"R_ID", nr},
                                  {"R_Nr", QStringLiteral("LS%1").arg(nr, 6, 10, QLatin1Char('0'))},
                                  {"R_ObjektNr", nr},
                                  {"R_OMatch", match},
                                  {"R_KundenNr", nr},
                                  {"R_KMatch", match},
                                  {"R_DatumErstell", kDate},
                                  {"R_DatumDruck", kDate},
                                  {"R_Netto", 125.0},
                                  {"R_Brutto", 148.75},
                                  {"R_Selected", true},
                                  {"R_LsTyp", 2},
                                  {"R_CreatorID", nr},
                                  {"R_AutoLS", false}});
        for (int i = 1; i <= 5; ++i) {
            const int article = (nr + i) % 50 + 1;
            rows.append("LSsatz.DB", {{"S_ID", ++line},
                                      {"S_Ref", nr},
                                      {"S_PosNr", i * 1000000},
                                      {"S_PosArt", 0},
                                      {"S_PosTyp", 0},
                                      {"S_Quelle", 0},
                                      {"S_MatID", article},
                                      {"S_Menge", 2.0},
                                      {"S_MengeGeliefert", 0.0},
                                      {"S_EPreis", 12.5},
                                      {"S_MwstKz", 1},
                                      {"S_Netto", 25.0},
                                      {"S_OldMenge", 2.0},
                                      {"S_OldMatID", article},
                                      {"S_OldPosTyp", 0},
                                      {"S_OldQuelle", 0},
                                      {"S_OldRefID", 0},
                                      {"S_Kurztext", QStringLiteral("Glasreiniger 1 l")}});
        }
    }
    tx.commit();
}

struct Size {
    benchclient::Client* client = nullptr;
    QString pristine; // a copy of the database as filled
};

Size& sizeOf(int notes) {
    static std::map<int, Size> sizes;
    Size& size = sizes[notes];
    size.client = &benchclient::clientOf(notes, fillClient, [](TDataModule1& dm) {
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

// What "&Löschen" does once the question is answered: every marked note,
// each in one transaction.
int deleteMarked() {
    TDataModule1& dm = DataModule1();
    table::Table& head = dm.TabLSKopf();
    int deleted = 0;
    for (const int id : MarkedDocumentIds(head)) {
        if (!head.locate({QStringLiteral("R_ID")}, {id}))
            continue;
        DeleteDeliveryNote(head, dm.TabLSSatz());
        ++deleted;
    }
    return deleted;
}

void BM_DeleteMarkedNotesVsRaw(benchmark::State& state) {
    const int notes = int(state.range(0));
    Size& size = sizeOf(notes);
    const QString file = table::Database::fileIn(size.client->data);
    TDataModule1& dm = DataModule1();
    dm.TabLSKopf().open();
    int deleted = 0;
    const auto run = [&] { deleted = deleteMarked(); };

    // A first run tells which rows the deletion changes, transaction by transaction.
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
    if (deleted != notes) {
        state.SkipWithError("not every marked note was deleted");
        return;
    }
    after = benchclient::readTables(tables);
    benchclient::restoreTables(tables, size.pristine);
    before = benchclient::readTables(tables);
    benchclient::ChangeReplay replay(transactions, before, after);

    const benchclient::TurnTimes times = benchclient::compareInTurns(
        state, [&] { benchclient::restoreTables(tables, size.pristine); }, run,
        [&] { replay.run(file); });
    benchclient::restoreTables(tables, size.pristine);
    dm.TabLSKopf().close();

    size_t changes = 0;
    for (const auto& tx : transactions)
        changes += tx.size();
    state.counters["transactions"] = double(transactions.size());
    state.counters["rows_changed"] = double(changes);
    state.counters["per_note_us"] =
        benchmark::Counter(times.engine * 1e6 / notes, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_DeleteMarkedNotesVsRaw)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return benchclient::runMain(argc, argv, "VsRaw/1000/");
}
