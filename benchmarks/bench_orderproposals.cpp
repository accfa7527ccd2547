// "Er&zeugen" of the order proposals over 1,000 and 10,000 stock-kept
// articles (each with a central row, two object rows needing stock, and
// twelve months of turnover on the demand-calculated central row), against
// inserting the very proposal and stock rows it writes with raw prepared
// SQLite statements in one transaction, as the run commits them. Each
// iteration times both in turns; "ratio" is the run's time over the
// inserts', "per_article" the run's time per article (equal at both sizes
// when the run is linear).
// 10,000 articles take a while: by default only 1,000 run;
//   --benchmark_filter=BM_ProposalsVsRaw
// runs both sizes.
#include "benchclient.h"
#include "commercial/commercialrules.h"
#include "commercial/purchasing/purchaseorders.h"
#include "core/data/recordrules.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

#include <QDate>
#include <benchmark/benchmark.h>

namespace {

const QDate kToday(2026, 3, 15);

using benchclient::Row;

void fillMasters(int articles) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    table::Transaction tx(*db);
    benchclient::RowWriter rows(db);
    rows.append("Liefrnt.db", {{"K_ID", 1}, {"K_Nr", 70001}, {"K_Match", QStringLiteral("NORD")}});
    int id = 0;
    int umsatz = 0;
    for (int nr = 1; nr <= articles; ++nr) {
        const QString artNo = QStringLiteral("M%1").arg(nr, 5, 10, QLatin1Char('0'));
        rows.append("Liefart.db", {{"A_ID", nr},
                                   {"A_LieferantID", 1},
                                   {"A_ArtNo", artNo},
                                   {"A_LiefArtNo", QString(QStringLiteral("L-") + artNo)},
                                   {"A_Bezeich1", QStringLiteral("Reinigungsmittel %1").arg(nr)},
                                   {"A_EkPreis", 3.2},
                                   {"A_VerpackMenge", 6.0},
                                   {"A_BestellmengeMin", 0.0},
                                   {"A_Liefertage", 14}});
        for (int obj = 0; obj <= 2; ++obj) {
            ++id;
            rows.append("Artikel.DB",
                        {{"A_ID", id},
                         {"A_ArtNo", artNo},
                         {"A_ObjID", obj == 0 ? 0 : obj * 1000 + nr % 1000},
                         {"A_Bestandsfuehrung", true},
                         {"A_BestellModus", obj == 0 ? 1 : 0},
                         {"A_Lagermenge", 2.0},
                         {"A_SollBestand", 9.0},
                         {"A_BestellBestand", 3.0},
                         {"A_Vormerkung", 1.0},
                         {"A_Bestellt", 0.0},
                         {"A_Preis1", 4.5},
                         {"A_EkPreis", 3.2},
                         {"A_HauptLiefID", 1},
                         {"A_Bezeich1", QStringLiteral("Reinigungsmittel %1").arg(nr)}});
            if (obj == 0)
                for (int m = 1; m <= 12; ++m)
                    rows.append("AUmsatz.DB", {{"U_ID", ++umsatz},
                                               {"U_ArtikelID", id},
                                               {"U_Jahr", 2025},
                                               {"U_Monat", m},
                                               {"U_Betrag", 120.0 + m},
                                               {"U_Kosten", 80.0}});
        }
    }
    tx.commit();
}

benchclient::Client& clientOf(int articles) {
    return benchclient::clientOf(articles, fillMasters, [](TDataModule1& dm) {
        InstallRecordRules(dm);
        InstallCommercialRules(dm);
    });
}

QByteArray physical(const char* table) {
    return table::physicalName(QString::fromLatin1(table)).toUtf8();
}

void emptyLists() {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    db->emptyTable(QStringLiteral("BVliste.db"));
    db->emptyTable(QStringLiteral("BVObjekt.DB"));
}

void BM_ProposalsVsRaw(benchmark::State& state) {
    const int articles = int(state.range(0));
    const QString file = table::Database::fileIn(clientOf(articles).data);
    emptyLists();
    const ProposalRunResult first = CreateOrderProposals(DataModule1(), kToday);
    if (first.proposals != articles) {
        state.SkipWithError("the run did not make one proposal per article");
        return;
    }
    sqlite3* reader = benchclient::openRaw(file);
    const std::vector<Row> proposals = benchclient::readAll(reader, physical("BVliste.db"));
    const std::vector<Row> stockRows = benchclient::readAll(reader, physical("BVObjekt.DB"));
    sqlite3_close(reader);
    auto raw = [&] {
        sqlite3* db = benchclient::openRaw(file);
        sqlite3_stmt* bv = benchclient::prepareInsert(db, physical("BVliste.db"));
        sqlite3_stmt* bo = benchclient::prepareInsert(db, physical("BVObjekt.DB"));
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (const Row& row : proposals)
            benchclient::insertRow(db, bv, row);
        for (const Row& row : stockRows)
            benchclient::insertRow(db, bo, row);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_finalize(bv);
        sqlite3_finalize(bo);
        sqlite3_close(db);
    };
    const benchclient::TurnTimes t = benchclient::compareInTurns(
        state, emptyLists, [] { CreateOrderProposals(DataModule1(), kToday); }, raw);
    state.counters["per_article_us"] =
        benchmark::Counter(t.engine * 1e6 / articles, benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_ProposalsVsRaw)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    return benchclient::runMain(argc, argv, "BM_ProposalsVsRaw/1000");
}
