// Daily-list generation for 31 days over a client with 1,000 and 10,000
// objects (ten objects a tour, tours on Monday to Friday, two or three
// activities an object), against inserting the very rows it writes with raw
// prepared SQLite statements, one transaction per daily tour as the run
// commits them. Both write into the same database file with the program's
// own settings (rollback journal, synchronous writes); the run also has the
// workstation session of the program. Run with
//   --benchmark_enable_random_interleaving=true --benchmark_repetitions=5
// so that both kinds share the machine's ups and downs.
#include "core/data/datamodule.h"
#include "core/programdirs.h"
#include "dbstructure/tablecreator.h"
#include "dbstructure/tableschemas.h"
#include "operations/dailylistgeneration.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <sqlite3.h>

namespace {

const QDate kFirstDay(2026, 3, 2); // a Monday
constexpr int kDays = 31;
const char* const kListTables[] = {"TglTour", "TglObj", "TglTaet", "TglFunc"};

void buildDatabase(const QString& dir, dbstructure::Database which) {
    const auto& schemas = dbstructure::TableSchemas::builtIn();
    auto db = table::Database::open(dir);
    for (const dbstructure::CreationStep& step : schemas.creationOrder(which)) {
        dbstructure::CreateTable(*db, step.table, false, schemas);
        if (step.rows != dbstructure::RowsRule::Copy &&
            step.rows != dbstructure::RowsRule::CopyWithFillIn)
            dbstructure::FillDefaults(*db, step.table, schemas);
    }
}

void fillMasters(int objects) {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    table::Transaction tx(*db);
    auto append = [&db](const char* file, const QList<std::pair<const char*, QVariant>>& values) {
        static std::map<QString, std::unique_ptr<table::Table>> cursors;
        auto& t = cursors[QString::fromLatin1(file)];
        if (!t || t->database() != db.get()) {
            t = std::make_unique<table::Table>(db, QString::fromLatin1(file));
            t->open();
        }
        t->append();
        for (const auto& [name, value] : values)
            t->field(QString::fromLatin1(name)).setValue(value);
        t->post();
    };
    const QString rich = QStringLiteral("{\\rtf1\\ansi\\deff0 {\\fonttbl {\\f0 Arial;}}\\f0\\fs20 "
                                        "Treppenhaus reinigen, Fenster im Erdgeschoss, Geländer "
                                        "abwischen und Mülltonnen an die Straße stellen.\\par }");
    for (int nr = 1; nr <= 20; ++nr)
        append("Taetig.DB", {{"T_ID", nr},
                             {"T_Nr", nr},
                             {"T_Match", QStringLiteral("Tätigkeit %1").arg(nr)},
                             {"T_TextTour", rich},
                             {"T_TextKontroll", rich}});
    for (int nr = 1; nr <= 50; ++nr)
        append("Personal.DB",
               {{"P_ID", nr}, {"P_Nr", nr}, {"P_Match", QStringLiteral("MA%1").arg(nr)}});
    const int tours = objects / 10;
    for (int nr = 1; nr <= tours; ++nr) {
        const int weekday = (nr - 1) % 5 + 1;
        append("Touren.db", {{"TO_ID", nr},
                             {"TO_Nr", nr},
                             {"TO_Beschreibung", QStringLiteral("Tour %1").arg(nr)},
                             {"TO_Person", nr % 50 + 1},
                             {"TO_Wochentag", weekday},
                             {"TO_NextDate", kFirstDay.addDays(weekday - 1)},
                             {"TO_ServPatt", QStringLiteral("AB")},
                             {"TO_Kind", 0}});
    }
    int activity = 0;
    for (int nr = 1; nr <= objects; ++nr) {
        append("Objekte.DB", {{"O_ID", nr},
                              {"O_Nr", nr},
                              {"O_Match", QStringLiteral("Objekt %1").arg(nr)},
                              {"O_Kunde", nr},
                              {"O_Aktiv", true}});
        append("TourObj.db", {{"T_TourID", nr},
                              {"TO_TourNr", (nr - 1) / 10 + 1},
                              {"TO_Objekt", nr},
                              {"TO_VonUhr", QTime(8, 0).addSecs(60 * 20 * (nr % 10))},
                              {"TO_BisUhr", QTime(8, 15).addSecs(60 * 20 * (nr % 10))}});
        const QDate start = kFirstDay.addDays(-7 * (nr % 3));
        append("ObjTaet.db", {{"TS_ID", ++activity},
                              {"TS_Objekt", nr},
                              {"TS_Taetigkeit", nr % 20 + 1},
                              {"TS_Modus", 1},
                              {"TS_StartDatum", start},
                              {"TS_ServiceID", QStringLiteral("A")}});
        append("ObjTaet.db", {{"TS_ID", ++activity},
                              {"TS_Objekt", nr},
                              {"TS_Taetigkeit", (nr + 7) % 20 + 1},
                              {"TS_Modus", nr % 2 ? 2 : 8},
                              {"TS_StartDatum", start}});
        if (nr % 3 == 0)
            append("ObjTaet.db", {{"TS_ID", ++activity},
                                  {"TS_Objekt", nr},
                                  {"TS_Taetigkeit", 20},
                                  {"TS_Modus", 1},
                                  {"TS_StartDatum", start},
                                  {"TS_Func", 2},
                                  {"TS_Param", QStringLiteral("Schlüssel abholen")}});
    }
    tx.commit();
}

// One client per size, kept for the whole run; the data module and the
// aliases point at the size being measured.
struct Client {
    QTemporaryDir root;
    QString data, archive;
};

Client& clientOf(int objects) {
    static std::map<int, std::unique_ptr<Client>> clients;
    static std::unique_ptr<TDataModule1> dm;
    static int active = 0;
    auto& client = clients[objects];
    const bool fresh = !client;
    if (fresh) {
        client = std::make_unique<Client>();
        client->data = client->root.filePath(QStringLiteral("Data0001/"));
        client->archive = client->root.filePath(QStringLiteral("Ablg0001/"));
        buildDatabase(client->data, dbstructure::Database::Client);
        buildDatabase(client->archive, dbstructure::Database::Archive);
        QDir().mkpath(client->root.filePath(QStringLiteral("Netdir")));
        QDir().mkpath(client->root.filePath(QStringLiteral("Data0000")));
    }
    if (active != objects) {
        dm.reset();
        DataDir = client->data;
        AblageDir = client->archive;
        NetDir = client->root.filePath(QStringLiteral("Netdir/"));
        TemplateDataDir = client->root.filePath(QStringLiteral("Data0000/"));
        LogFileName = client->root.filePath(QStringLiteral("Syslog.txt"));
        table::aliases::define(QStringLiteral("LumoDB"), DataDir);
        table::aliases::define(QStringLiteral("AblageDB"), AblageDir);
        if (fresh)
            fillMasters(objects);
        dm = std::make_unique<TDataModule1>();
        dm->DataModuleCreate();
        active = objects;
    }
    return *client;
}

void emptyLists() {
    auto db = table::aliases::database(QStringLiteral("LumoDB"));
    for (const char* t : kListTables)
        db->emptyTable(QString::fromLatin1(t));
}

// The rows of one daily tour as the engine stores them.
struct StoredRow {
    std::vector<std::pair<int, QByteArray>> columns; // SQLite type and bytes
    qint64 integer(int column) const { return columns[column].second.toLongLong(); }
};
struct DailyTourRows {
    std::vector<StoredRow> rows[4];
};

std::vector<StoredRow> readAll(sqlite3* db, const char* table) {
    std::vector<StoredRow> rows;
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, QByteArray("SELECT * FROM ").append(table).append(" ORDER BY rowid"), -1,
                       &s, nullptr);
    while (sqlite3_step(s) == SQLITE_ROW) {
        StoredRow row;
        for (int c = 0; c < sqlite3_column_count(s); ++c) {
            const int type = sqlite3_column_type(s, c);
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(s, c));
            row.columns.emplace_back(type, QByteArray(bytes, sqlite3_column_bytes(s, c)));
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(s);
    return rows;
}

// What the generation wrote, grouped by daily tour in the order it wrote them.
std::vector<DailyTourRows> capture(const QString& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::vector<DailyTourRows> tours;
    std::map<qint64, size_t> byId;
    std::map<std::pair<QByteArray, qint64>, size_t> byDateAndNr;
    for (const StoredRow& r : readAll(db, "TglTour")) {
        byId[r.integer(0)] = tours.size();
        byDateAndNr[{r.columns[1].second, r.integer(2)}] = tours.size();
        tours.emplace_back();
        tours.back().rows[0].push_back(r);
    }
    for (const StoredRow& r : readAll(db, "TglObj"))
        tours[byId.at(r.integer(1))].rows[1].push_back(r);
    for (const StoredRow& r : readAll(db, "TglTaet"))
        tours[byId.at(r.integer(1))].rows[2].push_back(r);
    for (const StoredRow& r : readAll(db, "TglFunc"))
        tours[byDateAndNr.at({r.columns[1].second, r.integer(2)})].rows[3].push_back(r);
    sqlite3_close(db);
    return tours;
}

// The indexes are ordered as the program orders texts: German, case-insensitive.
int compareGerman(void* arg, int lenA, const void* a, int lenB, const void* b) {
    const int r =
        static_cast<QCollator*>(arg)->compare(QString::fromUtf8(static_cast<const char*>(a), lenA),
                                              QString::fromUtf8(static_cast<const char*>(b), lenB));
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

void insertRaw(const QString& file, const std::vector<DailyTourRows>& tours) {
    static QCollator collator = [] {
        QCollator c(QLocale(QLocale::German, QLocale::Germany));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_create_collation_v2(db, "DE", SQLITE_UTF8, &collator, compareGerman, nullptr);
    sqlite3_stmt* insert[4] = {};
    for (int t = 0; t < 4; ++t) {
        sqlite3_stmt* probe = nullptr;
        sqlite3_prepare_v2(db, QByteArray("SELECT * FROM ").append(kListTables[t]), -1, &probe,
                           nullptr);
        QByteArray marks;
        for (int c = 0; c < sqlite3_column_count(probe); ++c)
            marks.append(c ? ",?" : "?");
        sqlite3_finalize(probe);
        sqlite3_prepare_v2(db,
                           QByteArray("INSERT INTO ")
                               .append(kListTables[t])
                               .append(" VALUES(")
                               .append(marks)
                               .append(")"),
                           -1, &insert[t], nullptr);
        if (!insert[t])
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    for (const DailyTourRows& tour : tours) {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (int t = 0; t < 4; ++t) {
            for (const StoredRow& row : tour.rows[t]) {
                for (int c = 0; c < int(row.columns.size()); ++c) {
                    const auto& [type, bytes] = row.columns[c];
                    switch (type) {
                    case SQLITE_INTEGER:
                        sqlite3_bind_int64(insert[t], c + 1, bytes.toLongLong());
                        break;
                    case SQLITE_FLOAT:
                        sqlite3_bind_double(insert[t], c + 1, bytes.toDouble());
                        break;
                    case SQLITE_TEXT:
                        sqlite3_bind_text(insert[t], c + 1, bytes.constData(), int(bytes.size()),
                                          SQLITE_STATIC);
                        break;
                    case SQLITE_BLOB:
                        sqlite3_bind_blob(insert[t], c + 1, bytes.constData(), int(bytes.size()),
                                          SQLITE_STATIC);
                        break;
                    default:
                        sqlite3_bind_null(insert[t], c + 1);
                    }
                }
                if (sqlite3_step(insert[t]) != SQLITE_DONE)
                    throw std::runtime_error(sqlite3_errmsg(db));
                sqlite3_reset(insert[t]);
            }
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    for (sqlite3_stmt* s : insert)
        sqlite3_finalize(s);
    sqlite3_close(db);
}

void BM_GenerateDailyLists(benchmark::State& state) {
    const int objects = int(state.range(0));
    clientOf(objects);
    int lists = 0;
    for (auto _ : state) {
        state.PauseTiming();
        clientOf(objects);
        emptyLists();
        state.ResumeTiming();
        lists = GenerateDailyLists(DataModule1(), kFirstDay, kFirstDay.addDays(kDays - 1),
                                   kFirstDay, {});
    }
    state.counters["lists"] = lists;
    state.counters["objects"] = objects;
}

void BM_RawSqliteInserts(benchmark::State& state) {
    const int objects = int(state.range(0));
    static std::map<int, std::vector<DailyTourRows>> rows;
    Client& client = clientOf(objects);
    const QString file = table::Database::fileIn(client.data);
    if (!rows.count(objects)) {
        emptyLists();
        GenerateDailyLists(DataModule1(), kFirstDay, kFirstDay.addDays(kDays - 1), kFirstDay, {});
        rows[objects] = capture(file);
    }
    for (auto _ : state) {
        state.PauseTiming();
        clientOf(objects);
        emptyLists();
        state.ResumeTiming();
        insertRaw(file, rows[objects]);
    }
    state.counters["lists"] = double(rows[objects].size());
    state.counters["objects"] = objects;
}

} // namespace

BENCHMARK(BM_GenerateDailyLists)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawSqliteInserts)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
