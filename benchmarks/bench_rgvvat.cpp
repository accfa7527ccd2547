// "Aktu. Mwst" of the template list over a client with 1,000 and 10,000
// invoice templates of three lines each (a normal line, a second normal line
// of the reduced rate and a text line), all with "Rechnung nicht vor" before
// 2007 and their amounts at the old rate, against writing the very rows it
// writes with raw prepared UPDATE statements, one transaction per template
// as the walk commits them. Both write into the same database file with the
// program's own settings (rollback journal, synchronous writes); the walk
// reads the templates in the list's order and recomputes each template with
// the rates of its date. Each iteration times both, in turns first; the
// reported time is the walk's, "raw" the updates', "ratio" the walk's over
// the updates' and "per_template_us" the walk's time per template (equal at
// both sizes when the walk is linear). By default only 1,000 run;
//   --benchmark_filter=BM_RgvVatVsRaw
// runs both sizes.
#include "benchclient.h"
#include "commercial/billing/rgvediting.h"
#include "commercial/commercialrules.h"
#include "core/data/recordrules.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

#include <QCoreApplication>
#include <QDate>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <string_view>

namespace {

const QDate kToday(2026, 3, 2);

using benchclient::Row;

void fillTemplates(int templates) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    table::Transaction tx(*db);
    benchclient::RowWriter rows(db);
    const QString rich = QStringLiteral("{\\rtf1\\ansi\\deff0 {\\fonttbl {\\f0 Arial;}}\\f0\\fs20 "
                                        "Reinigung des Treppenhauses laut Leistungsverzeichnis."
                                        "\\par }");
    int line = 0;
    for (int nr = 1; nr <= templates; ++nr) {
        rows.append("Rgvkopf.db", {{"R_ID", nr},
                                   {"R_Nr", QStringLiteral("RV%1_01").arg(nr)},
                                   {"R_ObjektNr", nr},
                                   {"R_Intervall", 1},
                                   {"R_OMatch", QStringLiteral("Objekt %1").arg(nr)},
                                   {"R_KundenNr", nr},
                                   {"R_KMatch", QStringLiteral("Kunde %1").arg(nr)},
                                   {"R_DatumDruck", QDate(2005, 3, 15)},
                                   {"R_DatumErstell", QDate(2006, 11, 1)},
                                   {"R_PlanDatum", QDate(2006, 12, 1)},
                                   {"R_ZahlBed", QStringLiteral("14 Tage netto")},
                                   {"R_VorspannText", rich}});
        rows.append("RgvSatz.DB", {{"S_ID", ++line},
                                   {"S_Ref", nr},
                                   {"S_PosNr", 1000000},
                                   {"S_Posart", 0},
                                   {"S_PosTyp", 4},
                                   {"S_Menge", 1.0},
                                   {"S_EPreis", 250.0 + nr % 100},
                                   {"S_MwstKz", 1},
                                   {"S_Mwst", 16.0},
                                   {"S_Kurztext", QStringLiteral("Hausmeisterdienst pauschal")},
                                   {"S_Text", rich}});
        rows.append("RgvSatz.DB", {{"S_ID", ++line},
                                   {"S_Ref", nr},
                                   {"S_PosNr", 2000000},
                                   {"S_Posart", 0},
                                   {"S_PosTyp", 0},
                                   {"S_Menge", 2.0},
                                   {"S_EPreis", 12.9},
                                   {"S_MwstKz", 2},
                                   {"S_Mwst", 7.0},
                                   {"S_Kurztext", QStringLiteral("Streusalz 25 kg")}});
        rows.append("RgvSatz.DB", {{"S_ID", ++line},
                                   {"S_Ref", nr},
                                   {"S_PosNr", 3000000},
                                   {"S_Posart", 3},
                                   {"S_Text", rich}});
    }
    // VAT code 1 at 16 % until 2006 and 19 % from 2007.
    db->emptyTable(QStringLiteral("Mwstsatz.db"));
    const struct {
        int id, code;
        double rate;
        QDate from, to;
    } rates[] = {{1, 0, 0.0, QDate(2000, 1, 1), QDate(2100, 12, 31)},
                 {2, 1, 16.0, QDate(2000, 1, 1), QDate(2006, 12, 31)},
                 {3, 1, 19.0, QDate(2007, 1, 1), QDate(2100, 12, 31)},
                 {4, 2, 7.0, QDate(2000, 1, 1), QDate(2100, 12, 31)}};
    for (const auto& r : rates)
        rows.append("Mwstsatz.db", {{"Mwst_ID", r.id},
                                    {"Mwst_Nr", r.code},
                                    {"Mwst_Satz", r.rate},
                                    {"Mwst_GueltigVon", r.from},
                                    {"Mwst_GueltigBis", r.to}});
    tx.commit();
}

benchclient::Client& clientOf(int templates) {
    return benchclient::clientOf(templates, fillTemplates, [](TDataModule1& dm) {
        InstallRecordRules(dm);
        InstallCommercialRules(dm);
    });
}

QByteArray physical(const char* table) {
    return table::physicalName(QString::fromLatin1(table)).toUtf8();
}

// Back to before the walk: the old dates and the amounts at the old rate.
void resetWalk() {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    db->execSql(QStringLiteral("UPDATE %1 SET R_DatumDruck = '2005-03-15', R_DatumErstell = "
                               "'2006-11-01', R_Netto = 0, R_Brutto = 0")
                    .arg(table::physicalName(QStringLiteral("Rgvkopf.db"))));
    db->execSql(QStringLiteral("UPDATE %1 SET S_Mwst = 16, S_MwstBetrag = 0, S_Brutto = 0 "
                               "WHERE S_MwstKz = 1")
                    .arg(table::physicalName(QStringLiteral("RgvSatz.DB"))));
}

using Template = benchclient::DocumentRows;

// What the walk wrote, one entry per template with its lines.
std::vector<Template> capture(const QString& file) {
    return benchclient::readDocuments(file, physical("Rgvkopf.db"), physical("RgvSatz.DB"));
}

// UPDATE table SET every column = ? WHERE its first column = ?.
sqlite3_stmt* prepareUpdate(sqlite3* db, const QByteArray& table) {
    sqlite3_stmt* probe = nullptr;
    sqlite3_prepare_v2(db, QByteArray("SELECT * FROM " + table), -1, &probe, nullptr);
    QByteArray sets;
    const QByteArray key = sqlite3_column_name(probe, 0);
    for (int c = 0; c < sqlite3_column_count(probe); ++c)
        sets.append((c ? ",\"" : "\"") + QByteArray(sqlite3_column_name(probe, c)) + "\"=?");
    sqlite3_finalize(probe);
    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(db,
                       QByteArray("UPDATE " + table + " SET " + sets + " WHERE \"" + key + "\"=?"),
                       -1, &update, nullptr);
    if (!update)
        throw std::runtime_error(sqlite3_errmsg(db));
    return update;
}

void updateRow(sqlite3* db, sqlite3_stmt* update, const Row& row) {
    // The row's values, then its key once more for the WHERE clause.
    Row bound = row;
    bound.push_back(row.front());
    benchclient::insertRow(db, update, bound);
}

void updateRaw(const QString& file, const std::vector<Template>& templates) {
    sqlite3* db = benchclient::openRaw(file);
    sqlite3_stmt* heads = prepareUpdate(db, physical("Rgvkopf.db"));
    sqlite3_stmt* lines = prepareUpdate(db, physical("RgvSatz.DB"));
    for (const Template& t : templates) {
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        updateRow(db, heads, t.head);
        for (const Row& line : t.lines)
            updateRow(db, lines, line);
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    sqlite3_finalize(heads);
    sqlite3_finalize(lines);
    sqlite3_close(db);
}

int runWalk() {
    table::Table shown(table::aliases::database(QStringLiteral("LumoDB")),
                       QStringLiteral("Rgvkopf.db"));
    shown.setIndexName(QStringLiteral("R_INr"));
    shown.open();
    return UpdateAllRgvVat(shown, kToday);
}

void BM_RgvVatVsRaw(benchmark::State& state) {
    const int templates = int(state.range(0));
    const QString file = table::Database::fileIn(clientOf(templates).data);
    resetWalk();
    int done = runWalk();
    const std::vector<Template> rows = capture(file);
    if (done != templates || int(rows.size()) != templates) {
        state.SkipWithError("the walk did not update every template");
        return;
    }
    const benchclient::TurnTimes times = benchclient::compareInTurns(
        state, resetWalk, [&] { done = runWalk(); }, [&] { updateRaw(file, rows); });
    state.counters["templates"] = done;
    state.counters["per_template_us"] =
        benchmark::Counter(times.engine * 1e6 / templates, benchmark::Counter::kAvgIterations);
    state.counters["raw_per_template_us"] =
        benchmark::Counter(times.raw * 1e6 / templates, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_RgvVatVsRaw)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<char*> args(argv, argv + argc);
    static char onlySmall[] = "--benchmark_filter=BM_RgvVatVsRaw/1000/";
    if (std::none_of(args.begin(), args.end(), [](const char* a) {
            return std::string_view(a).starts_with("--benchmark_filter");
        }))
        args.push_back(onlySmall);
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
