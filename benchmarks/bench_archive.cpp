// Moving documents into the archive database against raw prepared SQLite
// statements doing the same: per document one transaction over both
// databases that reads the head and its lines, inserts them into the archive
// under new keys and deletes them from the working tables. Runs alternate.
#include "benchclient.h"
#include "datasafety/documentarchive/archiveconnection.h"
#include "datasafety/documentarchive/documentmove.h"

#include <QCoreApplication>
#include <QFile>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kLines = 4;

using Golden = benchclient::ArchivePair;

// A client with `documents` marked offers of four lines each, with the
// dates, amounts and rich texts documents carry.
Golden& goldenOf(int documents) {
    static std::map<int, std::unique_ptr<Golden>> goldens;
    auto& g = goldens[documents];
    if (g)
        return *g;
    g = std::make_unique<Golden>();
    g->data = g->root.filePath(u"data"_s);
    g->archive = g->root.filePath(u"ablage"_s);
    benchclient::buildDatabase(g->data, dbstructure::Database::Client);
    benchclient::buildDatabase(g->archive, dbstructure::Database::Archive);
    auto db = table::Database::open(g->data);
    table::Transaction tx(*db);
    table::Table head(db, u"Angkopf.DB"_s), lines(db, u"AngSatz.DB"_s);
    head.open();
    lines.open();
    const QString rtf = u"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Sehr geehrte Damen "
                        "und Herren,\\par wir bieten Ihnen an:\\par}"_s;
    int lineId = 0;
    for (int d = 1; d <= documents; ++d) {
        head.append();
        head[u"R_ID"_s] = d;
        head[u"R_Nr"_s] = u"AN-%1"_s.arg(d);
        head[u"R_Selected"_s] = true;
        head[u"R_KundenNr"_s] = d % 500 + 1;
        head[u"R_KMatch"_s] = u"Kunde %1"_s.arg(d);
        head[u"R_OMatch"_s] = u"Objekt %1"_s.arg(d);
        head[u"R_DatumErstell"_s] = QDate(2024, 1, 1).addDays(d % 365);
        head[u"R_DatumDruck"_s] = QDate(2024, 1, 2).addDays(d % 365);
        head[u"R_Netto"_s] = d * 10.0;
        head[u"R_Mwst"_s] = d * 1.9;
        head[u"R_Brutto"_s] = d * 11.9;
        head[u"R_KopfText"_s] = rtf;
        head.post();
        for (int p = 1; p <= kLines; ++p) {
            lines.append();
            lines[u"S_ID"_s] = ++lineId;
            lines[u"S_Ref"_s] = d;
            lines[u"S_PosNr"_s] = p * 10;
            lines[u"S_Kurztext"_s] = u"Unterhaltsreinigung Treppenhaus %1"_s.arg(p);
            lines[u"S_Text"_s] = rtf;
            lines[u"S_Menge"_s] = 2.5;
            lines[u"S_EPreis"_s] = 12.4;
            lines[u"S_Netto"_s] = 31.0;
            lines.post();
        }
    }
    tx.commit();
    return *g;
}

// The same rows moved by hand: read, insert under the next keys, delete.
void moveRaw(const QString& dir) {
    sqlite3* db = benchclient::openRaw(table::Database::fileIn(dir + u"/data"_s));
    benchclient::exec(db, QByteArray("ATTACH DATABASE '" +
                                     table::Database::fileIn(dir + u"/ablage"_s).toUtf8() +
                                     "' AS ablage")
                              .constData());
    sqlite3_stmt* marked =
        benchclient::prepare(db, "SELECT R_ID FROM Angkopf WHERE R_Selected = 1 ORDER BY 1");
    std::vector<qint64> ids;
    while (sqlite3_step(marked) == SQLITE_ROW)
        ids.push_back(sqlite3_column_int64(marked, 0));
    sqlite3_finalize(marked);
    sqlite3_stmt* head = benchclient::prepare(db, "SELECT * FROM main.Angkopf WHERE R_ID = ?");
    sqlite3_stmt* lines = benchclient::prepare(
        db, "SELECT * FROM main.AngSatz WHERE S_Ref COLLATE DE = ? ORDER BY S_PosNr, S_ID");
    sqlite3_stmt* maxHead = benchclient::prepare(db, "SELECT max(R_ID) FROM ablage.Angkopf");
    sqlite3_stmt* maxLine = benchclient::prepare(db, "SELECT max(S_ID) FROM ablage.AngSatz");
    sqlite3_stmt* insertHead = benchclient::prepareInsert(db, "ablage.Angkopf");
    sqlite3_stmt* insertLine = benchclient::prepareInsert(db, "ablage.AngSatz");
    sqlite3_stmt* deleteLines =
        benchclient::prepare(db, "DELETE FROM main.AngSatz WHERE S_Ref COLLATE DE = ?");
    sqlite3_stmt* deleteHead = benchclient::prepare(db, "DELETE FROM main.Angkopf WHERE R_ID = ?");
    const auto scalar = [](sqlite3_stmt* s) {
        sqlite3_step(s);
        const qint64 v = sqlite3_column_int64(s, 0);
        sqlite3_reset(s);
        return v;
    };
    for (qint64 id : ids) {
        benchclient::exec(db, "BEGIN IMMEDIATE");
        sqlite3_bind_int64(head, 1, id);
        sqlite3_step(head);
        benchclient::Row row = benchclient::rowOf(head);
        sqlite3_reset(head);
        const qint64 newId = scalar(maxHead) + 1;
        row[0] = {SQLITE_INTEGER, QByteArray::number(newId)};
        benchclient::insertRow(db, insertHead, row);
        qint64 lineId = scalar(maxLine);
        sqlite3_bind_int64(lines, 1, id);
        while (sqlite3_step(lines) == SQLITE_ROW) {
            benchclient::Row line = benchclient::rowOf(lines);
            line[0] = {SQLITE_INTEGER, QByteArray::number(++lineId)};
            line[1] = {SQLITE_INTEGER, QByteArray::number(newId)};
            benchclient::insertRow(db, insertLine, line);
        }
        sqlite3_reset(lines);
        sqlite3_bind_int64(deleteLines, 1, id);
        sqlite3_step(deleteLines);
        sqlite3_reset(deleteLines);
        sqlite3_bind_int64(deleteHead, 1, id);
        sqlite3_step(deleteHead);
        sqlite3_reset(deleteHead);
        benchclient::exec(db, "COMMIT");
    }
    for (sqlite3_stmt* s :
         {head, lines, maxHead, maxLine, insertHead, insertLine, deleteLines, deleteHead})
        sqlite3_finalize(s);
    sqlite3_close_v2(db);
}

int moveEngine(const QString& dir) {
    ArchiveConnection connection(dir + u"/data"_s, dir + u"/ablage"_s);
    return int(
        MoveSelectedDocuments(connection, ArchiveTablesOf(ArchiveFamily::Offers)).movedIds.size());
}

void BM_MoveVsRaw(benchmark::State& state) {
    const int documents = int(state.range(0));
    Golden& golden = goldenOf(documents);
    // Each side moves in a directory of its own, both put back before each run.
    const QString engineDir = golden.root.filePath(u"engine"_s);
    const QString rawDir = golden.root.filePath(u"raw"_s);
    int moved = 0;
    const benchclient::TurnTimes times = benchclient::compareInTurns(
        state,
        [&] {
            benchclient::copyPairInto(golden, engineDir);
            benchclient::copyPairInto(golden, rawDir);
        },
        [&] { moved = moveEngine(engineDir); }, [&] { moveRaw(rawDir); });
    if (moved != documents)
        state.SkipWithError("the move left documents behind");
    state.counters["per_doc_us"] =
        benchmark::Counter(times.engine * 1e6 / documents, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_MoveVsRaw)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
