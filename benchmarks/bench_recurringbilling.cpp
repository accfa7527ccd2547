// The recurring-invoice run for one month over a client with 1,000 and
// 10,000 objects (one template an object with a fixed line, a line
// multiplied by the tour visits and a text line; every fifth object with an
// open delivery note of two lines), against inserting the very heads and
// lines it writes with raw prepared SQLite statements, one transaction per
// invoice as the run commits them. Both write into the same database file
// with the program's own settings (rollback journal, synchronous writes);
// the run also has the workstation session and the record rules of the
// program. Run with
//   --benchmark_enable_random_interleaving=true --benchmark_repetitions=5
// so that both kinds share the machine's ups and downs.
#include "benchclient.h"
#include "commercial/commercialrules.h"
#include "commercial/recurringbilling.h"
#include "core/data/recordrules.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

#include <QCoreApplication>
#include <QDate>
#include <benchmark/benchmark.h>

namespace {

const QDate kToday(2026, 3, 2);
const QDate kFrom(2026, 3, 1);
const QDate kTo(2026, 3, 31);

using benchclient::Row;

void fillMasters(int objects) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    table::Transaction tx(*db);
    std::map<QString, std::unique_ptr<table::Table>> cursors;
    auto append = [&](const char* file, const QList<std::pair<const char*, QVariant>>& values) {
        auto& t = cursors[QString::fromLatin1(file)];
        if (!t) {
            t = std::make_unique<table::Table>(db, QString::fromLatin1(file));
            t->open();
        }
        t->append();
        for (const auto& [name, value] : values)
            t->field(QString::fromLatin1(name)).setValue(value);
        t->post();
    };
    const QString rich = QStringLiteral("{\\rtf1\\ansi\\deff0 {\\fonttbl {\\f0 Arial;}}\\f0\\fs20 "
                                        "Reinigung des Treppenhauses, der Fenster im Erdgeschoss "
                                        "und der Kellerräume laut Leistungsverzeichnis.\\par }");
    for (int nr = 1; nr <= objects / 10; ++nr)
        append("Touren.db", {{"TO_ID", nr},
                             {"TO_Nr", nr},
                             {"TO_Beschreibung", QStringLiteral("Tour %1").arg(nr)},
                             {"TO_Wochentag", (nr - 1) % 5 + 1},
                             {"TO_ServPatt", QStringLiteral("*")},
                             {"TO_Kind", 0}});
    int line = 0;
    for (int nr = 1; nr <= objects; ++nr) {
        const QString match = QStringLiteral("Objekt %1").arg(nr);
        append("Kunden.DB", {{"K_ID", nr}, {"K_Nr", nr}, {"K_Match", match}});
        append(
            "Objekte.DB",
            {{"O_ID", nr}, {"O_Nr", nr}, {"O_Match", match}, {"O_Kunde", nr}, {"O_Aktiv", true}});
        append("TourObj.db",
               {{"T_TourID", nr}, {"TO_TourNr", (nr - 1) / 10 + 1}, {"TO_Objekt", nr}});
        append("Rgvkopf.db", {{"R_ID", nr},
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
        append("RgvSatz.DB", {{"S_ID", ++line},
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
        append("RgvSatz.DB", {{"S_ID", ++line},
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
        append("RgvSatz.DB", {{"S_ID", ++line},
                              {"S_Ref", nr},
                              {"S_PosNr", 3000000},
                              {"S_Posart", 3},
                              {"S_Text", rich}});
        if (nr % 5 == 0) {
            append("LSkopf.DB", {{"R_ID", nr},
                                 {"R_Nr", QStringLiteral("LS%1").arg(nr)},
                                 {"R_ObjektNr", nr},
                                 {"R_AutoLS", true},
                                 {"R_LiefDatum", kToday}});
            for (int i = 1; i <= 2; ++i)
                append("LSsatz.DB", {{"S_ID", 2 * nr + i},
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

// Back to before the run: no invoices, the delivery notes open again.
void resetRun() {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    db->emptyTable(QStringLiteral("Rechkopf.DB"));
    db->emptyTable(QStringLiteral("Rechsatz.db"));
    db->execSql(QStringLiteral("UPDATE %1 SET S_MengeGeliefert = 0")
                    .arg(table::physicalName(QStringLiteral("LSsatz.DB"))));
}

struct Invoice {
    Row head;
    std::vector<Row> lines;
};

// What the run wrote, one entry per invoice with its lines (S_Ref is column 1).
std::vector<Invoice> capture(const QString& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::vector<Invoice> invoices;
    std::map<qint64, size_t> byId;
    for (Row& head : benchclient::readAll(db, physical("Rechkopf.DB"))) {
        byId[head[0].second.toLongLong()] = invoices.size();
        invoices.push_back({std::move(head), {}});
    }
    for (Row& line : benchclient::readAll(db, physical("Rechsatz.db")))
        invoices[byId.at(line[1].second.toLongLong())].lines.push_back(std::move(line));
    sqlite3_close(db);
    return invoices;
}

void insertRaw(const QString& file, const std::vector<Invoice>& invoices) {
    sqlite3* db = benchclient::openRaw(file);
    sqlite3_stmt* heads = benchclient::prepareInsert(db, physical("Rechkopf.DB"));
    sqlite3_stmt* lines = benchclient::prepareInsert(db, physical("Rechsatz.db"));
    for (const Invoice& invoice : invoices) {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        benchclient::insertRow(db, heads, invoice.head);
        for (const Row& line : invoice.lines)
            benchclient::insertRow(db, lines, line);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(heads);
    sqlite3_finalize(lines);
    sqlite3_close(db);
}

void BM_RecurringBilling(benchmark::State& state) {
    const int objects = int(state.range(0));
    clientOf(objects);
    int invoices = 0;
    for (auto _ : state) {
        state.PauseTiming();
        clientOf(objects);
        resetRun();
        state.ResumeTiming();
        invoices =
            ProcessRecurringBilling(DataModule1(), RecurringCreateInvoices, kFrom, kTo, kToday, {});
    }
    state.counters["invoices"] = invoices;
    state.counters["objects"] = objects;
}

void BM_RawSqliteInserts(benchmark::State& state) {
    const int objects = int(state.range(0));
    static std::map<int, std::vector<Invoice>> rows;
    benchclient::Client& client = clientOf(objects);
    const QString file = table::Database::fileIn(client.data);
    if (!rows.count(objects)) {
        resetRun();
        ProcessRecurringBilling(DataModule1(), RecurringCreateInvoices, kFrom, kTo, kToday, {});
        rows[objects] = capture(file);
    }
    for (auto _ : state) {
        state.PauseTiming();
        clientOf(objects);
        resetRun();
        state.ResumeTiming();
        insertRaw(file, rows[objects]);
    }
    state.counters["invoices"] = double(rows[objects].size());
    state.counters["objects"] = objects;
}

} // namespace

BENCHMARK(BM_RecurringBilling)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawSqliteInserts)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
