#pragma once

// What the benchmarks of data runs share: a client per size with both
// databases built as a new installation builds them, the data module on the
// client being measured, and raw SQLite access to the same file with the
// program's own collation, for the comparison runs.

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/files/programdirs.h"
#include "dbstructure/tablecreator.h"
#include "dbstructure/tableschemas.h"
#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QVariant>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <string_view>
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

// A document as a run wrote it: its head and its lines (S_Ref is column 1).
struct DocumentRows {
    Row head;
    std::vector<Row> lines;
};

// Every document of a head and line table pair of the database file, heads in
// row order with their lines.
inline std::vector<DocumentRows> readDocuments(const QString& file, const QByteArray& headTable,
                                               const QByteArray& lineTable) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::vector<DocumentRows> documents;
    std::map<qint64, size_t> byId;
    for (Row& head : readAll(db, headTable)) {
        byId[head[0].second.toLongLong()] = documents.size();
        documents.push_back({std::move(head), {}});
    }
    for (Row& line : readAll(db, lineTable))
        documents[byId.at(line[1].second.toLongLong())].lines.push_back(std::move(line));
    sqlite3_close(db);
    return documents;
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

// The row changes a run made on a connection, transaction by transaction,
// noted through the engine's hooks (table and rowid per change); replayed
// with prepared statements they are the raw work the run had to do.
class ChangeRecorder {
public:
    struct Change {
        int op; // SQLITE_INSERT, SQLITE_UPDATE, SQLITE_DELETE
        QByteArray table;
        qint64 rowid;
    };
    using Transactions = std::vector<std::vector<Change>>;

    explicit ChangeRecorder(sqlite3* db) : m_db(db) {
        sqlite3_update_hook(m_db, &ChangeRecorder::onUpdate, this);
        sqlite3_commit_hook(m_db, &ChangeRecorder::onCommit, this);
        sqlite3_rollback_hook(m_db, &ChangeRecorder::onRollback, this);
    }
    ~ChangeRecorder() {
        sqlite3_update_hook(m_db, nullptr, nullptr);
        sqlite3_commit_hook(m_db, nullptr, nullptr);
        sqlite3_rollback_hook(m_db, nullptr, nullptr);
    }
    ChangeRecorder(const ChangeRecorder&) = delete;
    ChangeRecorder& operator=(const ChangeRecorder&) = delete;

    const Transactions& transactions() const { return m_done; }
    // Every table the run wrote.
    std::vector<QByteArray> tables() const {
        std::vector<QByteArray> names;
        for (const auto& tx : m_done)
            for (const Change& c : tx)
                if (std::find(names.begin(), names.end(), c.table) == names.end())
                    names.push_back(c.table);
        return names;
    }

private:
    static void onUpdate(void* self, int op, const char* db, const char* table, sqlite3_int64 id) {
        if (std::string_view(db) == "main")
            static_cast<ChangeRecorder*>(self)->m_pending.push_back({op, table, id});
    }
    static int onCommit(void* self) {
        auto* r = static_cast<ChangeRecorder*>(self);
        if (!r->m_pending.empty())
            r->m_done.push_back(std::move(r->m_pending));
        r->m_pending.clear();
        return 0;
    }
    static void onRollback(void* self) { static_cast<ChangeRecorder*>(self)->m_pending.clear(); }

    sqlite3* m_db;
    std::vector<Change> m_pending;
    Transactions m_done;
};

// The rows of a table by rowid (the rowid first, then every column).
inline std::map<qint64, Row> rowsById(sqlite3* db, const QByteArray& table) {
    std::map<qint64, Row> rows;
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, QByteArray("SELECT rowid, * FROM \"" + table + "\""), -1, &s, nullptr);
    while (sqlite3_step(s) == SQLITE_ROW) {
        Row row;
        for (int c = 1; c < sqlite3_column_count(s); ++c)
            row.emplace_back(sqlite3_column_type(s, c),
                             QByteArray(static_cast<const char*>(sqlite3_column_blob(s, c)),
                                        sqlite3_column_bytes(s, c)));
        rows[sqlite3_column_int64(s, 0)] = std::move(row);
    }
    sqlite3_finalize(s);
    return rows;
}

// The recorded changes as raw statements, one transaction each as the run
// committed them: an insert or update writes the row as it stood after the
// run (or before it, for a row the run deleted), a delete goes by rowid.
class ChangeReplay {
public:
    // before, after: the rows of every table written, read before and after the run.
    ChangeReplay(const ChangeRecorder::Transactions& transactions,
                 std::map<QByteArray, std::map<qint64, Row>> before,
                 std::map<QByteArray, std::map<qint64, Row>> after)
        : m_transactions(transactions), m_before(std::move(before)), m_after(std::move(after)) {}

    void run(const QString& file) {
        sqlite3* db = openRaw(file);
        std::map<QByteArray, Statements> statements;
        for (const auto& tx : m_transactions) {
            sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            for (const ChangeRecorder::Change& c : tx) {
                Statements& s = statements[c.table];
                if (!s.insert)
                    s = prepare(db, c.table);
                if (c.op == SQLITE_DELETE) {
                    sqlite3_bind_int64(s.remove, 1, c.rowid);
                    step(db, s.remove);
                    continue;
                }
                const Row& row = rowOf(c.table, c.rowid);
                sqlite3_stmt* st = c.op == SQLITE_INSERT ? s.insert : s.update;
                bind(st, row, 2);
                sqlite3_bind_int64(st, 1, c.rowid);
                step(db, st);
            }
            if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
                throw std::runtime_error(sqlite3_errmsg(db));
        }
        for (auto& [name, s] : statements)
            for (sqlite3_stmt* st : {s.insert, s.update, s.remove})
                sqlite3_finalize(st);
        sqlite3_close(db);
    }

private:
    struct Statements {
        sqlite3_stmt* insert = nullptr;
        sqlite3_stmt* update = nullptr;
        sqlite3_stmt* remove = nullptr;
    };

    static Statements prepare(sqlite3* db, const QByteArray& table) {
        sqlite3_stmt* probe = nullptr;
        sqlite3_prepare_v2(db, QByteArray("SELECT * FROM \"" + table + "\""), -1, &probe, nullptr);
        QByteArray names, marks, sets;
        for (int c = 0; c < sqlite3_column_count(probe); ++c) {
            const QByteArray name = QByteArray("\"") + sqlite3_column_name(probe, c) + "\"";
            names += "," + name;
            marks += ",?";
            sets += (c ? "," : "") + name + "=?" + QByteArray::number(c + 2);
        }
        sqlite3_finalize(probe);
        Statements s;
        const QByteArray quoted = "\"" + table + "\"";
        const QByteArray insert =
            "INSERT INTO " + quoted + "(rowid" + names + ") VALUES(?" + marks + ")";
        const QByteArray update = "UPDATE " + quoted + " SET " + sets + " WHERE rowid=?1";
        const QByteArray remove = "DELETE FROM " + quoted + " WHERE rowid=?";
        sqlite3_prepare_v2(db, insert.constData(), -1, &s.insert, nullptr);
        sqlite3_prepare_v2(db, update.constData(), -1, &s.update, nullptr);
        sqlite3_prepare_v2(db, remove.constData(), -1, &s.remove, nullptr);
        if (!s.insert || !s.update || !s.remove)
            throw std::runtime_error(sqlite3_errmsg(db));
        return s;
    }

    const Row& rowOf(const QByteArray& table, qint64 rowid) const {
        for (const auto* rows : {&m_after, &m_before}) {
            const auto t = rows->find(table);
            if (t == rows->end())
                continue;
            if (const auto r = t->second.find(rowid); r != t->second.end())
                return r->second;
        }
        // Made and deleted again within the run: any row of the table has its shape.
        for (const auto* rows : {&m_after, &m_before})
            if (const auto t = rows->find(table); t != rows->end() && !t->second.empty())
                return t->second.begin()->second;
        throw std::runtime_error("no row to replay");
    }

    static void bind(sqlite3_stmt* st, const Row& row, int first) {
        for (int c = 0; c < int(row.size()); ++c) {
            const auto& [type, bytes] = row[c];
            const int at = first + c;
            switch (type) {
            case SQLITE_INTEGER:
                sqlite3_bind_int64(st, at, bytes.toLongLong());
                break;
            case SQLITE_FLOAT:
                sqlite3_bind_double(st, at, bytes.toDouble());
                break;
            case SQLITE_TEXT:
                sqlite3_bind_text(st, at, bytes.constData(), int(bytes.size()), SQLITE_STATIC);
                break;
            case SQLITE_BLOB:
                sqlite3_bind_blob(st, at, bytes.constData(), int(bytes.size()), SQLITE_STATIC);
                break;
            default:
                sqlite3_bind_null(st, at);
            }
        }
    }

    static void step(sqlite3* db, sqlite3_stmt* st) {
        if (sqlite3_step(st) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(db));
        sqlite3_reset(st);
    }

    const ChangeRecorder::Transactions& m_transactions;
    std::map<QByteArray, std::map<qint64, Row>> m_before, m_after;
};
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

// The main of a benchmark program: without a filter of its own only the
// benchmarks that defaultFilter names run (the small sizes).
inline int runMain(int argc, char** argv, const char* defaultFilter) {
    QCoreApplication app(argc, argv);
    std::vector<char*> args(argv, argv + argc);
    static std::string filter;
    filter = std::string("--benchmark_filter=") + defaultFilter;
    if (std::none_of(args.begin(), args.end(), [](const char* a) {
            return std::string_view(a).starts_with("--benchmark_filter");
        }))
        args.push_back(filter.data());
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The engine's run against the raw run of the same work, in turns, each
// after the reset that puts the data back; the iteration time is the
// engine's, "raw_ms" the raw run's and "ratio" engine over raw.
// Puts the tables back as they were filled.
inline void restoreTables(const std::vector<QByteArray>& tables, const QString& pristine) {
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

inline std::map<QByteArray, std::map<qint64, Row>>
readTables(const std::vector<QByteArray>& tables) {
    sqlite3* db = table::aliases::database(QStringLiteral("LumoDB"))->connection().handle();
    std::map<QByteArray, std::map<qint64, Row>> rows;
    for (const QByteArray& t : tables)
        rows[t] = rowsById(db, t);
    return rows;
}

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
