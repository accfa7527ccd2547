#pragma once

// What the benchmarks of data runs share: a client per size with both
// databases built as a new installation builds them, the data module on the
// client being measured, and raw SQLite access to the same file with the
// program's own collation, for the comparison runs.

#include "core/data/datamodule.h"
#include "core/files/programdirs.h"
#include "dbstructure/tablecreator.h"
#include "dbstructure/tableschemas.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QVariant>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <sqlite3.h>
#include <stdexcept>
#include <vector>

namespace benchclient {

inline void buildDatabase(const QString& dir, dbstructure::Database which) {
    const auto& schemas = dbstructure::TableSchemas::builtIn();
    auto db = table::Database::open(dir);
    for (const dbstructure::CreationStep& step : schemas.creationOrder(which)) {
        dbstructure::CreateTable(*db, step.table, false, schemas);
        if (step.rows != dbstructure::RowsRule::Copy &&
            step.rows != dbstructure::RowsRule::CopyWithFillIn)
            dbstructure::FillDefaults(*db, step.table, schemas);
    }
}

struct Client {
    QTemporaryDir root;
    QString data, archive;
};

// One client per size, kept for the whole run; the data module and the
// aliases point at the size being measured. fill writes the masters of a new
// client; setup prepares each new data module (rules).
inline Client& clientOf(int size, const std::function<void(int size)>& fill,
                        const std::function<void(TDataModule1&)>& setup = {}) {
    static std::map<int, std::unique_ptr<Client>> clients;
    static std::unique_ptr<TDataModule1> dm;
    static int active = 0;
    auto& client = clients[size];
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
    if (active != size) {
        dm.reset();
        DataDir = client->data;
        AblageDir = client->archive;
        NetDir = client->root.filePath(QStringLiteral("Netdir/"));
        TemplateDataDir = client->root.filePath(QStringLiteral("Data0000/"));
        LogFileName = client->root.filePath(QStringLiteral("Syslog.txt"));
        table::aliases::define(QStringLiteral("LumoDB"), DataDir);
        table::aliases::define(QStringLiteral("AblageDB"), AblageDir);
        if (fresh)
            fill(size);
        dm = std::make_unique<TDataModule1>();
        dm->DataModuleCreate();
        if (setup)
            setup(*dm);
        active = size;
    }
    return *client;
}

// Writes the masters of a new client through one open cursor per table.
class RowWriter {
public:
    explicit RowWriter(std::shared_ptr<table::Database> db) : m_db(std::move(db)) {}

    void append(const char* file, const QList<std::pair<const char*, QVariant>>& values) {
        auto& t = m_cursors[QString::fromLatin1(file)];
        if (!t) {
            t = std::make_unique<table::Table>(m_db, QString::fromLatin1(file));
            t->open();
        }
        t->append();
        for (const auto& [name, value] : values)
            t->field(QString::fromLatin1(name)).setValue(value);
        t->post();
    }

private:
    std::shared_ptr<table::Database> m_db;
    std::map<QString, std::unique_ptr<table::Table>> m_cursors;
};

// A stored row: SQLite type and bytes per column.
using Row = std::vector<std::pair<int, QByteArray>>;

inline std::vector<Row> readAll(sqlite3* db, const QByteArray& table) {
    std::vector<Row> rows;
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, QByteArray("SELECT * FROM " + table + " ORDER BY rowid"), -1, &s,
                       nullptr);
    while (sqlite3_step(s) == SQLITE_ROW) {
        Row row;
        for (int c = 0; c < sqlite3_column_count(s); ++c)
            row.emplace_back(sqlite3_column_type(s, c),
                             QByteArray(static_cast<const char*>(sqlite3_column_blob(s, c)),
                                        sqlite3_column_bytes(s, c)));
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(s);
    return rows;
}

// The indexes are ordered as the program orders texts: German, case-insensitive.
inline int compareGerman(void* arg, int lenA, const void* a, int lenB, const void* b) {
    const int r =
        static_cast<QCollator*>(arg)->compare(QString::fromUtf8(static_cast<const char*>(a), lenA),
                                              QString::fromUtf8(static_cast<const char*>(b), lenB));
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

inline sqlite3* openRaw(const QString& file) {
    static QCollator collator = [] {
        QCollator c(QLocale(QLocale::German, QLocale::Germany));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_create_collation_v2(db, "DE", SQLITE_UTF8, &collator, compareGerman, nullptr);
    return db;
}

// INSERT INTO table with one parameter per column.
inline sqlite3_stmt* prepareInsert(sqlite3* db, const QByteArray& table) {
    sqlite3_stmt* probe = nullptr;
    sqlite3_prepare_v2(db, QByteArray("SELECT * FROM " + table), -1, &probe, nullptr);
    QByteArray marks;
    for (int c = 0; c < sqlite3_column_count(probe); ++c)
        marks.append(c ? ",?" : "?");
    sqlite3_finalize(probe);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, QByteArray("INSERT INTO " + table + " VALUES(" + marks + ")"), -1,
                       &insert, nullptr);
    if (!insert)
        throw std::runtime_error(sqlite3_errmsg(db));
    return insert;
}

inline void insertRow(sqlite3* db, sqlite3_stmt* insert, const Row& row) {
    for (int c = 0; c < int(row.size()); ++c) {
        const auto& [type, bytes] = row[c];
        switch (type) {
        case SQLITE_INTEGER:
            sqlite3_bind_int64(insert, c + 1, bytes.toLongLong());
            break;
        case SQLITE_FLOAT:
            sqlite3_bind_double(insert, c + 1, bytes.toDouble());
            break;
        case SQLITE_TEXT:
            sqlite3_bind_text(insert, c + 1, bytes.constData(), int(bytes.size()), SQLITE_STATIC);
            break;
        case SQLITE_BLOB:
            sqlite3_bind_blob(insert, c + 1, bytes.constData(), int(bytes.size()), SQLITE_STATIC);
            break;
        default:
            sqlite3_bind_null(insert, c + 1);
        }
    }
    if (sqlite3_step(insert) != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(db));
    sqlite3_reset(insert);
}

// A client's working and archive databases built once, kept on a memory file
// system where there is one: the synced writes of a commit then cost little,
// and what is compared is the work of both sides.
struct ArchivePair {
    QTemporaryDir root{QDir(QStringLiteral("/dev/shm")).exists()
                           ? QStringLiteral("/dev/shm/domvera-bench-XXXXXX")
                           : QDir::tempPath() + QStringLiteral("/domvera-bench-XXXXXX")};
    QString data, archive;
};

// Both databases of the pair copied into dir + "/data" and dir + "/ablage".
inline void copyPairInto(const ArchivePair& pair, const QString& dir) {
    for (const auto& [from, to] : {std::pair{pair.data, dir + QStringLiteral("/data")},
                                   std::pair{pair.archive, dir + QStringLiteral("/ablage")}}) {
        QDir().mkpath(to);
        QFile::remove(table::Database::fileIn(to));
        QFile::copy(table::Database::fileIn(from), table::Database::fileIn(to));
    }
}

inline void exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
}

inline sqlite3_stmt* prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    return s;
}

// The current row of a statement as stored.
inline Row rowOf(sqlite3_stmt* s) {
    Row row;
    for (int c = 0; c < sqlite3_column_count(s); ++c)
        row.emplace_back(sqlite3_column_type(s, c),
                         QByteArray(static_cast<const char*>(sqlite3_column_blob(s, c)),
                                    sqlite3_column_bytes(s, c)));
    return row;
}

// Wall-clock seconds of one piece of work.
inline double secondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs the two compared runs in turns, the first one first on even turns, so
// neither always meets a warm or a cold cache.
inline void takeTurns(int& turn, const std::function<void()>& a, const std::function<void()>& b) {
    if (turn++ % 2 == 0) {
        a();
        b();
    } else {
        b();
        a();
    }
}

// The engine's run against the raw run of the same work, in turns, each
// after the reset that puts the data back; the iteration time is the
// engine's, "raw_ms" the raw run's and "ratio" engine over raw.
struct TurnTimes {
    double engine = 0, raw = 0;
};
inline TurnTimes compareInTurns(benchmark::State& state, const std::function<void()>& reset,
                                const std::function<void()>& engine,
                                const std::function<void()>& raw) {
    TurnTimes total;
    int turn = 0;
    for (auto _ : state) {
        double engineNow = 0, rawNow = 0;
        auto runEngine = [&] {
            reset();
            engineNow = secondsOf(engine);
        };
        auto runRaw = [&] {
            reset();
            rawNow = secondsOf(raw);
        };
        takeTurns(turn, runRaw, runEngine);
        state.SetIterationTime(engineNow);
        total.engine += engineNow;
        total.raw += rawNow;
    }
    state.counters["raw_ms"] =
        benchmark::Counter(total.raw * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = total.raw > 0 ? total.engine / total.raw : 0;
    return total;
}

} // namespace benchclient
