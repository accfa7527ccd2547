// The recurring-invoice run for one month over a client with 1,000 and
// 10,000 objects (one template an object with a fixed line, a line
// multiplied by the tour visits and a text line; every fifth object with an
// open delivery note of two lines), against inserting the very heads and
// lines it writes with raw prepared SQLite statements, one transaction per
// invoice as the run commits them. Both write into the same database file
// with the program's own settings (rollback journal, synchronous writes);
// the run also has the workstation session and the record rules of the
// program. Each iteration times both, in turns first, so they share the
// machine's ups and downs; the reported time is the run's, "raw" the
// inserts', "ratio" the run's over the inserts' and "per_object" the run's
// time per object (equal at both sizes when the run is linear in objects).
// 10,000 objects take minutes to set up and run: by default only 1,000 run;
//   --benchmark_filter=BM_RecurringVsRaw
// runs both sizes.
#include "benchclient.h"
#include "commercial/billing/recurringbilling.h"
#include "commercial/commercialrules.h"
#include "core/data/recordrules.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

#include <QCoreApplication>
#include <QDate>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>
#include <string_view>

namespace {

const QDate kToday(2026, 3, 2);
const QDate kFrom(2026, 3, 1);
const QDate kTo(2026, 3, 31);

using benchclient::Row;

void fillMasters(int objects) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    table::Transaction tx(*db);
    benchclient::RowWriter rows(db);
    const QString rich = QStringLiteral("{\\rtf1\\ansi\\deff0 {\\fonttbl {\\f0 Arial;}}\\f0\\fs20 "
                                        "Reinigung des Treppenhauses, der Fenster im Erdgeschoss "
                                        "und der Kellerräume laut Leistungsverzeichnis.\\par }");
    for (int nr = 1; nr <= objects / 10; ++nr)
        rows.append("Touren.db", {{"TO_ID", nr},
                                  {"TO_Nr", nr},
                                  {"TO_Beschreibung", QStringLiteral("Tour %1").arg(nr)},
                                  {"TO_Wochentag", (nr - 1) % 5 + 1},
                                  {"TO_ServPatt", QStringLiteral("*")},
                                  {"TO_Kind", 0}});
    int line = 0;
    for (int nr = 1; nr <= objects; ++nr) {
        const QString match = QStringLiteral("Objekt %1").arg(nr);
        rows.append("Kunden.DB", {{"K_ID", nr}, {"K_Nr", nr}, {"K_Match", match}});
        rows.append(
            "Objekte.DB",
            {{"O_ID", nr}, {"O_Nr", nr}, {"O_Match", match}, {"O_Kunde", nr}, {"O_Aktiv", true}});
        rows.append("TourObj.db",
                    {{"T_TourID", nr}, {"TO_TourNr", (nr - 1) / 10 + 1}, {"TO_Objekt", nr}});
        rows.append("Rgvkopf.db", {{"R_ID", nr},
                                   {"R_Nr", QStringLiteral("RV%1_01").arg(nr)},
                                   {"R_ObjektNr", nr},
                                   {"R_Intervall", 1},
                                   {"R_OMatch", match},
                                   {"R_OName1", QStringLiteral("Wohnanlage %1").arg(nr)},
                                   {"R_OStrasse", QStringLiteral("Lindenstraße %1").arg(nr)},
                                   {"R_OPlz", QStringLiteral("10115")},
                                   {"R_OOrt", QStringLiteral("Berlin")},
                                   {"R_KundenNr", nr},
                                   {"R_KMatch", match},
                                   {"R_Kname1", QStringLiteral("Hausverwaltung %1").arg(nr)},
                                   {"R_ZahlBedID", 1},
                                   {"R_ZahlBed", QStringLiteral("14 Tage netto")},
                                   {"R_ZahlBedNettoTage", 14},
                                   {"R_AutoLS", nr % 5 == 0},
                                   {"R_VorspannText", rich}});
        rows.append("RgvSatz.DB", {{"S_ID", ++line},
                                   {"S_Ref", nr},
                                   {"S_PosNr", 1000000},
                                   {"S_Posart", 0},
                                   {"S_PosTyp", 4},
                                   {"S_Menge", 1.0},
                                   {"S_EPreis", 250.0 + nr % 100},
                                   {"S_MwstKz", 1},
                                   {"S_ErloesKonto", 8400},
                                   {"S_Kurztext", QStringLiteral("Hausmeisterdienst pauschal")},
                                   {"S_Text", rich}});
        rows.append("RgvSatz.DB",
                    {{"S_ID", ++line},
                     {"S_Ref", nr},
                     {"S_PosNr", 2000000},
                     {"S_Posart", 0},
                     {"S_PosTyp", 1},
                     {"S_Rechmode", 1},
                     {"S_Menge", 1.5},
                     {"S_EPreis", 18.5},
                     {"S_MwstKz", 1},
                     {"S_ErloesKonto", 8401},
                     {"S_MengBez", QStringLiteral("Std.")},
                     {"S_Kurztext", QStringLiteral("Treppenhausreinigung je Anfahrt")}});
        rows.append("RgvSatz.DB", {{"S_ID", ++line},
                                   {"S_Ref", nr},
                                   {"S_PosNr", 3000000},
                                   {"S_Posart", 3},
                                   {"S_Text", rich}});
        if (nr % 5 == 0) {
            rows.append("LSkopf.DB", {{"R_ID", nr},
                                      {"R_Nr", QStringLiteral("LS%1").arg(nr)},
                                      {"R_ObjektNr", nr},
                                      {"R_AutoLS", true},
                                      {"R_LiefDatum", kToday}});
            for (int i = 1; i <= 2; ++i)
                rows.append("LSsatz.DB", {{"S_ID", 2 * nr + i},
                                          {"S_Ref", nr},
                                          {"S_PosNr", i * 1000000},
                                          {"S_PosTyp", 4},
                                          {"S_Menge", 4.0 * i},
                                          {"S_MengeGeliefert", 0.0},
                                          {"S_EPreis", 12.9},
                                          {"S_MwstKz", 1},
                                          {"S_Kurztext", QStringLiteral("Streusalz 25 kg")}});
        }
    }
    tx.commit();
}

benchclient::Client& clientOf(int objects) {
    return benchclient::clientOf(objects, fillMasters, [](TDataModule1& dm) {
        InstallRecordRules(dm);
        InstallCommercialRules(dm);
    });
}

QByteArray physical(const char* table) {
    return table::physicalName(QString::fromLatin1(table)).toUtf8();
}

// Back to before the run: no invoices, the delivery notes open again and the
// templates without the dates a run stores.
void resetRun() {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    db->emptyTable(QStringLiteral("Rechkopf.DB"));
    db->emptyTable(QStringLiteral("Rechsatz.db"));
    db->execSql(QStringLiteral("UPDATE %1 SET S_MengeGeliefert = 0")
                    .arg(table::physicalName(QStringLiteral("LSsatz.DB"))));
    db->execSql(QStringLiteral("UPDATE %1 SET R_Buchung = NULL, R_RechNr = NULL, R_BuchDat = NULL")
                    .arg(table::physicalName(QStringLiteral("LSkopf.DB"))));
    db->execSql(QStringLiteral("UPDATE %1 SET R_DatumErstell = NULL, R_PlanDatum = NULL")
                    .arg(table::physicalName(QStringLiteral("Rgvkopf.db"))));
}

using Invoice = benchclient::DocumentRows;

// What the run wrote, one entry per invoice with its lines.
std::vector<Invoice> capture(const QString& file) {
    return benchclient::readDocuments(file, physical("Rechkopf.DB"), physical("Rechsatz.db"));
}

void insertRaw(const QString& file, const std::vector<Invoice>& invoices) {
    sqlite3* db = benchclient::openRaw(file);
    sqlite3_stmt* heads = benchclient::prepareInsert(db, physical("Rechkopf.DB"));
    sqlite3_stmt* lines = benchclient::prepareInsert(db, physical("Rechsatz.db"));
    for (const Invoice& invoice : invoices) {
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        benchclient::insertRow(db, heads, invoice.head);
        for (const Row& line : invoice.lines)
            benchclient::insertRow(db, lines, line);
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    sqlite3_finalize(heads);
    sqlite3_finalize(lines);
    sqlite3_close(db);
}

void BM_RecurringVsRaw(benchmark::State& state) {
    const int objects = int(state.range(0));
    const QString file = table::Database::fileIn(clientOf(objects).data);
    resetRun();
    int invoices =
        ProcessRecurringBilling(DataModule1(), RecurringCreateInvoices, kFrom, kTo, kToday, {});
    const std::vector<Invoice> rows = capture(file);
    if (invoices != objects || int(rows.size()) != objects) {
        state.SkipWithError("the run did not make one invoice per object");
        return;
    }
    double engine = 0, raw = 0;
    int turn = 0;
    for (auto _ : state) {
        double engineNow = 0, rawNow = 0;
        auto runEngine = [&] {
            resetRun();
            engineNow = benchclient::secondsOf([&] {
                invoices = ProcessRecurringBilling(DataModule1(), RecurringCreateInvoices, kFrom,
                                                   kTo, kToday, {});
            });
        };
        auto runRaw = [&] {
            resetRun();
            rawNow = benchclient::secondsOf([&] { insertRaw(file, rows); });
        };
        benchclient::takeTurns(turn, runRaw, runEngine);
        state.SetIterationTime(engineNow);
        engine += engineNow;
        raw += rawNow;
    }
    state.counters["invoices"] = invoices;
    state.counters["raw_ms"] = benchmark::Counter(raw * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = raw > 0 ? engine / raw : 0;
    state.counters["per_object_us"] =
        benchmark::Counter(engine * 1e6 / objects, benchmark::Counter::kAvgIterations);
    state.counters["raw_per_object_us"] =
        benchmark::Counter(raw * 1e6 / objects, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_RecurringVsRaw)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return benchclient::runMain(argc, argv, "BM_RecurringVsRaw/1000/");
}
