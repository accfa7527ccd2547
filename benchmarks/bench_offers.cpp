// The offer list's delete of marked offers ("&Löschen", each offer with its
// five lines in a transaction of its own) over 1,000 and 2,000 offers, and
// the editor's copy of an offer of 200 and 400 lines into an order
// ("Vorlage", one transaction). Each is compared with the very row changes
// it made, recorded through the engine's hooks and replayed with prepared
// SQLite statements, one transaction per transaction of the run, on the same
// database file; every iteration puts the tables back and times both in
// turns. "ratio" is the run's time over the replay's, "per_row_us" the run's
// time per offer or copied line (equal at both sizes when it is linear). By
// default only the smaller sizes run; --benchmark_filter=VsRaw runs both.
#include "benchclient.h"
#include "commercial/commercialrules.h"
#include "commercial/documents/documentlists.h"
#include "commercial/documents/offerediting.h"
#include "core/data/dbhelpers.h"
#include "core/data/recordrules.h"
#include "core/messages/messages.h"
#include "platform/table/backend.h"

#include <QDate>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

const QDate kDate(2026, 3, 10);
constexpr int kCopyOffset = 1000000; // keys of the copy benchmark's clients

class Yes : public MessagePresenter {
public:
    bool show(Kind kind, const QString& text, int, int) override {
        // An error means the run did not do what is measured: say so.
        if (kind == Kind::Error)
            fprintf(stderr, "%s\n", qPrintable(text));
        return true;
    }
};

void addOffer(benchclient::RowWriter& rows, int id, int lines, int& lineId) {
    const QString match = QStringLiteral("Objekt %1").arg(id);
    rows.append("Angkopf.DB", {{"R_ID", id},
                               {"R_Nr", QStringLiteral("AN-%1").arg(id, 5, 10, QLatin1Char('0'))},
                               {"R_ObjektNr", id},
                               {"R_OMatch", match},
                               {"R_KundenNr", id},
                               {"R_KMatch", match},
                               {"R_DatumErstell", kDate},
                               {"R_DatumDruck", kDate},
                               {"R_Netto", 100.0 * lines},
                               {"R_Brutto", 119.0 * lines},
                               {"R_CalcRaten", 1},
                               {"R_CalcAufschlag", 0.0},
                               {"R_Selected", true}});
    for (int l = 1; l <= lines; ++l)
        rows.append("AngSatz.DB",
                    {{"S_ID", ++lineId},
                     {"S_Ref", id},
                     {"S_PosNr", (1 + l / 100) * 1000000 + (l % 100) * 10000},
                     {"S_PosArt", l % 7 == 0 ? 3 : 0},
                     {"S_PosTyp", l % 2},
                     {"S_MatID", l % 50 + 1},
                     {"S_Menge", 2.0},
                     {"S_EPreis", 50.0},
                     {"S_Netto", 100.0},
                     {"S_MwstKz", 1},
                     {"S_Intervall", 7},
                     {"S_Einsaetze", 1},
                     {"S_BasisVkpreis", 50.0},
                     {"S_Kurztext", QStringLiteral("Unterhaltsreinigung Treppenhaus")},
                     {"S_Text", QStringLiteral("Treppenhaus wöchentlich reinigen")}});
}

void fillClient(int key) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    table::Transaction tx(*db);
    benchclient::RowWriter rows(db);
    int lineId = 0;
    if (key < kCopyOffset) {
        for (int id = 1; id <= key; ++id)
            addOffer(rows, id, 5, lineId);
    } else {
        addOffer(rows, 1, key - kCopyOffset, lineId);
        rows.append("Auftkopf.DB", {{"R_ID", 1},
                                    {"R_Nr", QStringLiteral("AU-00001")},
                                    {"R_ObjektNr", 1},
                                    {"R_DatumErstell", kDate},
                                    {"R_DatumDruck", kDate},
                                    {"R_CalcRaten", 12}});
    }
    tx.commit();
}

benchclient::Client& clientFor(int key, QString& pristine) {
    static std::map<int, QString> pristines;
    benchclient::Client& client = benchclient::clientOf(key, fillClient, [](TDataModule1& dm) {
        InstallRecordRules(dm);
        InstallCommercialRules(dm);
    });
    QString& p = pristines[key];
    if (p.isEmpty()) {
        p = client.root.filePath(QStringLiteral("Pristine"));
        table::aliases::database(QStringLiteral("LumoDB"))->backupTo(p);
        p = table::Database::fileIn(p);
    }
    pristine = p;
    return client;
}

void restore(const std::vector<QByteArray>& tables, const QString& pristine) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    db->execSql(QStringLiteral("ATTACH DATABASE ? AS snap"), {pristine});
    for (const QByteArray& t : tables) {
        const QString name = QString::fromUtf8(t);
        db->execSql(QStringLiteral("DELETE FROM main.\"%1\"").arg(name));
        db->execSql(QStringLiteral("INSERT INTO main.\"%1\" SELECT * FROM snap.\"%1\"").arg(name));
    }
    db->execSql(QStringLiteral("DETACH DATABASE snap"));
    for (table::Table* t : DataModule1().tables())
        RefreshUnlessEditing(*t);
}

std::map<QByteArray, std::map<qint64, benchclient::Row>>
readTables(const std::vector<QByteArray>& tables) {
    sqlite3* db = table::aliases::database(QStringLiteral("LumoDB"))->connection().handle();
    std::map<QByteArray, std::map<qint64, benchclient::Row>> rows;
    for (const QByteArray& t : tables)
        rows[t] = benchclient::rowsById(db, t);
    return rows;
}

void compare(benchmark::State& state, int key, int units, const QStringList& open,
             const std::function<void()>& run) {
    QString pristine;
    benchclient::Client& client = clientFor(key, pristine);
    const QString file = table::Database::fileIn(client.data);
    Yes yes;
    MessagePresenter* previous = SetMessagePresenter(&yes);
    for (const QString& name : open)
        DataModule1().table(name).open();
    DataModule1().table(open.back()).setIndexName(QStringLiteral("S_IRef"));

    std::vector<QByteArray> tables;
    benchclient::ChangeRecorder::Transactions transactions;
    {
        auto db = table::aliases::database(QStringLiteral("LumoDB"));
        benchclient::ChangeRecorder recorder(db->connection().handle());
        run();
        transactions = recorder.transactions();
        tables = recorder.tables();
    }
    const auto after = readTables(tables);
    restore(tables, pristine);
    const auto before = readTables(tables);
    benchclient::ChangeReplay replay(transactions, before, after);

    const benchclient::TurnTimes times = benchclient::compareInTurns(
        state, [&] { restore(tables, pristine); }, run, [&] { replay.run(file); });
    restore(tables, pristine);
    for (auto it = open.rbegin(); it != open.rend(); ++it)
        DataModule1().table(*it).close();
    SetMessagePresenter(previous);

    size_t changes = 0;
    for (const auto& tx : transactions)
        changes += tx.size();
    state.counters["transactions"] = double(transactions.size());
    state.counters["rows_changed"] = double(changes);
    state.counters["per_row_us"] =
        benchmark::Counter(times.engine * 1e6 / units, benchmark::Counter::kAvgIterations);
}

void BM_DeleteMarkedOffersVsRaw(benchmark::State& state) {
    const int offers = int(state.range(0));
    compare(state, offers, offers, {QStringLiteral("TabAngKopf"), QStringLiteral("TabAngSatz")},
            [] { DeleteMarkedDocuments(DataModule1().TabAngKopf()); });
}

void BM_CopyOfferIntoOrderVsRaw(benchmark::State& state) {
    const int lines = int(state.range(0));
    compare(
        state, kCopyOffset + lines, lines,
        {QStringLiteral("TabAuftKopf"), QStringLiteral("TabAuftSatz")}, [] {
            TDataModule1& dm = DataModule1();
            table::Table& head = dm.TabAuftKopf();
            head.first();
            const TNumberedHeadKind order{TDocKind::Auftrag, false, 12, TLineCopyTarget::Auftrag};
            CopyIntoNumberedDocument(order, TDocSource::Angebot, QStringLiteral("AN-00001"), head,
                                     dm.TabAuftSatz());
        });
}

} // namespace

BENCHMARK(BM_DeleteMarkedOffersVsRaw)
    ->Arg(1000)
    ->Arg(2000)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyOfferIntoOrderVsRaw)
    ->Arg(200)
    ->Arg(400)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return benchclient::runMain(argc, argv, "VsRaw/(1000|200)/");
}
