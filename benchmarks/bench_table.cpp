// The table layer side by side with raw prepared SQLite statements on the
// same rows, in the program's own journal and synchronous settings.
//
// The table has the customers table's kinds of fields (text, numbers, money,
// a flag, a date and a date-time). Every value is prepared before the timed
// part. Each benchmark runs the raw side and the layer alternately in the
// same iterations and reports both times and their ratio ("layer/raw");
// the median over the repetitions is the figure to read.
//
// BM_DataRun grows the table instead: 10,000 times find a row by key, change
// it, post and move on, at 1,000 and at 100,000 rows; "layer_us/post" must
// stay flat where the keys come from the same 1,000 rows.
#include "platform/table/table.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <sqlite3.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRows = 100000;
constexpr int kFinds = 10000;
constexpr int kUpdates = 10000;
constexpr int kPlzCount = 100; // a range on one postal code holds about 1,000 rows
constexpr int kColumns = 20;

const char* const kCities[] = {"Köln",  "Bonn",    "Aachen", "Düsseldorf",
                               "Essen", "Münster", "Siegen", "Trier"};

table::TableDef customerDef() {
    using table::FieldType;
    table::TableDef def;
    def.name = QStringLiteral("Kunden.DB");
    def.fields = {{"K_ID", FieldType::Integer, 0},          {"K_Nr", FieldType::Integer, 0},
                  {"K_Match", FieldType::String, 40},       {"K_Name1", FieldType::String, 40},
                  {"K_Name2", FieldType::String, 40},       {"K_Name3", FieldType::String, 40},
                  {"K_Tel1", FieldType::String, 22},        {"K_Email", FieldType::String, 80},
                  {"K_Strasse", FieldType::String, 40},     {"K_Plz", FieldType::String, 10},
                  {"K_Ort", FieldType::String, 30},         {"K_Memo", FieldType::FmtMemo, 240},
                  {"K_RechBed", FieldType::Smallint, 0},    {"K_FibuKonto", FieldType::Float, 0},
                  {"K_Mahnsperre", FieldType::Boolean, 0},  {"K_Kreditmax", FieldType::Currency, 0},
                  {"K_UmsGesamt", FieldType::Currency, 0},  {"K_UmsLetztDat", FieldType::Date, 0},
                  {"K_LastAccess", FieldType::DateTime, 0}, {"K_Zahlart", FieldType::Smallint, 0}};
    def.indexes = {{"K_IMatch", {"K_Match"}, true, false, false},
                   {"K_IPlzOrt", {"K_Plz", "K_Ort"}, true, false, false},
                   {"K_INr", {"K_Nr"}, true, true, false}};
    return def;
}

QString plzOf(int i) {
    return QStringLiteral("5%1").arg(i % kPlzCount * 7 % kPlzCount, 4, 10, QLatin1Char('0'));
}

QDateTime lastAccessOf(int i) {
    return QDateTime(QDate(2015, 1, 1).addDays(i % 3000), QTime(7, 0).addSecs(i * 37 % 40000));
}

QString storedDateTime(const QDateTime& dt) {
    return dt.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
}

// One row, in the layer's typed values and in the bytes the raw side binds.
struct Row {
    QVariantList typed;
    QList<QByteArray> text; // per column; empty where the column is a number
    QList<int> filled;      // the columns with a value, which the layer sets
};

Row makeRow(int i) {
    const int id = i + 1;
    const QString match =
        QStringLiteral("KUNDE%1").arg((id * 7919) % kRows, 6, 10, QLatin1Char('0'));
    const QDate since = QDate(2000, 1, 1).addDays(id % 9000);
    const QDateTime access = lastAccessOf(id);
    Row r;
    r.typed = {id,
               100000 + id,
               match,
               QStringLiteral("Gebäudereinigung %1 GmbH").arg(id % 5000),
               QStringLiteral("Abteilung %1").arg(id % 17),
               QString(),
               QStringLiteral("0221/%1").arg(id * 13 % 1000000),
               QStringLiteral("info%1@beispiel.de").arg(id),
               QStringLiteral("Hauptstraße %1").arg(id % 300),
               plzOf(id),
               QString::fromUtf8(kCities[id % 8]),
               id % 10 == 0 ? QStringLiteral("{\\rtf1 Hinweis %1}").arg(id) : QString(),
               id % 4,
               double(10000 + id % 900),
               id % 3 == 0,
               double(id % 50) * 1000.0,
               id * 1.25,
               since,
               access,
               id % 3};
    for (int c = 0; c < kColumns; ++c)
        if (r.typed[c].isValid() &&
            !(r.typed[c].typeId() == QMetaType::QString && r.typed[c].toString().isEmpty()))
            r.filled.append(c);
    for (const QVariant& v : r.typed) {
        switch (v.typeId()) {
        case QMetaType::QString:
            r.text.append(v.toString().isEmpty() ? QByteArray() : v.toString().toUtf8());
            break;
        case QMetaType::QDate:
            r.text.append(v.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8());
            break;
        case QMetaType::QDateTime:
            r.text.append(storedDateTime(v.toDateTime()).toUtf8());
            break;
        default:
            r.text.append(QByteArray());
        }
    }
    return r;
}

const std::vector<Row>& rows() {
    static const std::vector<Row> all = [] {
        std::vector<Row> v;
        v.reserve(kRows);
        for (int i = 0; i < kRows; ++i)
            v.push_back(makeRow(i));
        return v;
    }();
    return all;
}

const QStringList& fieldNames() {
    static const QStringList names = [] {
        QStringList n;
        for (const auto& f : customerDef().fields)
            n.append(f.name);
        return n;
    }();
    return names;
}

int compareGerman(void* c, int la, const void* a, int lb, const void* b) {
    return static_cast<QCollator*>(c)->compare(QString::fromUtf8(static_cast<const char*>(a), la),
                                               QString::fromUtf8(static_cast<const char*>(b), lb));
}

QCollator& collator() {
    static QCollator c = [] {
        QCollator x{QLocale(QLocale::German, QLocale::Germany)};
        x.setCaseSensitivity(Qt::CaseInsensitive);
        return x;
    }();
    return c;
}

// A raw connection as a careful caller would keep it: the collation of the
// indexes registered, statements prepared once.
struct Raw {
    sqlite3* db = nullptr;
    explicit Raw(const QString& file) {
        sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_create_collation(db, "DE", SQLITE_UTF8, &collator(), compareGerman);
    }
    ~Raw() { sqlite3_close_v2(db); }
    sqlite3_stmt* prepare(const char* sql) const {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        return s;
    }
    void exec(const char* sql) const { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
};

void bindRow(sqlite3_stmt* s, const Row& r) {
    for (int c = 0; c < kColumns; ++c) {
        const QVariant& v = r.typed[c];
        switch (v.typeId()) {
        case QMetaType::Int:
            sqlite3_bind_int(s, c + 1, v.toInt());
            break;
        case QMetaType::Bool:
            sqlite3_bind_int(s, c + 1, v.toBool() ? 1 : 0);
            break;
        case QMetaType::Double:
            sqlite3_bind_double(s, c + 1, v.toDouble());
            break;
        default:
            if (r.text[c].isEmpty())
                sqlite3_bind_null(s, c + 1);
            else
                sqlite3_bind_text(s, c + 1, r.text[c].constData(), int(r.text[c].size()),
                                  SQLITE_STATIC);
        }
    }
}

// Every column of the current row as a caller of the raw API reads it.
void readRow(sqlite3_stmt* s, QVariantList& row) {
    for (int c = 0; c < kColumns; ++c) {
        switch (sqlite3_column_type(s, c)) {
        case SQLITE_INTEGER:
            row[c] = qint64(sqlite3_column_int64(s, c));
            break;
        case SQLITE_FLOAT:
            row[c] = sqlite3_column_double(s, c);
            break;
        case SQLITE_TEXT:
            row[c] = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, c)),
                                       sqlite3_column_bytes(s, c));
            break;
        default:
            row[c] = QVariant();
        }
    }
}

void readRow(table::Table& t, QVariantList& row) {
    for (int c = 0; c < kColumns; ++c)
        row[c] = t.field(c).value();
}

void appendRows(table::Table& t, int count) {
    const QStringList& names = fieldNames();
    for (int i = 0; i < count; ++i) {
        const Row& r = rows()[size_t(i)];
        t.append();
        for (int c : r.filled)
            t[names[c]] = r.typed[c];
        t.post();
    }
}

// A filled customers table in the program's settings.
struct Filled {
    QTemporaryDir dir;
    std::shared_ptr<table::Database> db;
    explicit Filled(int count) {
        db = table::Database::open(dir.path());
        db->createTable(customerDef());
        table::Table t(db, "Kunden");
        t.open();
        table::Transaction tx(*db);
        appendRows(t, count);
        tx.commit();
    }
    QString file() const { return table::Database::fileIn(dir.path()); }
};

Filled& shared() {
    static Filled f(kRows);
    return f;
}

// Runs both sides in alternating order and reports their times; each side's
// setup runs untimed before it.
template <typename RawSetup, typename RawFn, typename LayerSetup, typename LayerFn>
void compare(benchmark::State& state, RawSetup rawSetup, RawFn raw, LayerSetup layerSetup,
             LayerFn layer) {
    double rawSeconds = 0, layerSeconds = 0;
    bool rawFirst = true;
    auto timed = [](auto& setup, auto& fn) {
        setup();
        const auto start = Clock::now();
        fn();
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    for (auto _ : state) {
        double r = 0, l = 0;
        if (rawFirst) {
            r = timed(rawSetup, raw);
            l = timed(layerSetup, layer);
        } else {
            l = timed(layerSetup, layer);
            r = timed(rawSetup, raw);
        }
        rawFirst = !rawFirst;
        rawSeconds += r;
        layerSeconds += l;
        state.SetIterationTime(l);
    }
    const double n = double(state.iterations());
    state.counters["raw_ms"] = rawSeconds / n * 1000.0;
    state.counters["layer_ms"] = layerSeconds / n * 1000.0;
    state.counters["layer/raw"] = layerSeconds / rawSeconds;
}

template <typename RawFn, typename LayerFn>
void compare(benchmark::State& state, RawFn raw, LayerFn layer) {
    auto none = [] {};
    compare(state, none, raw, none, layer);
}

void BM_Append(benchmark::State& state) {
    rows();
    std::unique_ptr<QTemporaryDir> rawDir, layerDir;
    std::unique_ptr<Raw> r;
    std::shared_ptr<table::Database> db;
    auto fresh = [](std::unique_ptr<QTemporaryDir>& dir) {
        dir = std::make_unique<QTemporaryDir>();
        auto created = table::Database::open(dir->path());
        created->createTable(customerDef());
        return created;
    };
    compare(
        state,
        [&] {
            r.reset();
            fresh(rawDir);
            r = std::make_unique<Raw>(table::Database::fileIn(rawDir->path()));
        },
        [&] {
            r->exec("BEGIN IMMEDIATE");
            sqlite3_stmt* ins =
                r->prepare("INSERT INTO Kunden VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
            for (const Row& row : rows()) {
                bindRow(ins, row);
                sqlite3_step(ins);
                sqlite3_reset(ins);
            }
            sqlite3_finalize(ins);
            r->exec("COMMIT");
        },
        [&] {
            db.reset();
            db = fresh(layerDir);
        },
        [&] {
            table::Table t(db, "Kunden");
            t.open();
            table::Transaction tx(*db);
            appendRows(t, kRows);
            tx.commit();
        });
}

// Every row in the order of an index ("" the primary one), read whole.
void scan(benchmark::State& state, const char* rawSql, const QString& index) {
    Raw r(shared().file());
    sqlite3_stmt* s = r.prepare(rawSql);
    table::Table t(shared().db, "Kunden");
    t.open();
    t.setIndexName(index);
    QVariantList row(kColumns);
    compare(
        state,
        [&] {
            while (sqlite3_step(s) == SQLITE_ROW)
                readRow(s, row);
            sqlite3_reset(s);
        },
        [&] {
            for (t.first(); !t.eof(); t.next())
                readRow(t, row);
        });
    sqlite3_finalize(s);
}

void BM_ScanPrimaryOrder(benchmark::State& state) {
    scan(state, "SELECT * FROM Kunden ORDER BY K_ID", QString());
}

void BM_ScanIndexOrder(benchmark::State& state) {
    scan(state, "SELECT * FROM Kunden ORDER BY K_Match COLLATE DE, rowid",
         QStringLiteral("K_IMatch"));
}

// `count` keys between 1 and `range`.
std::vector<int> randomKeys(int count, int range, quint32 seed) {
    QRandomGenerator rnd(seed);
    std::vector<int> keys;
    keys.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        keys.push_back(int(rnd.bounded(range)) + 1);
    return keys;
}

void BM_FindKey(benchmark::State& state) {
    Raw r(shared().file());
    sqlite3_stmt* s = r.prepare("SELECT * FROM Kunden WHERE K_ID = ?");
    table::Table t(shared().db, "Kunden");
    t.open();
    const std::vector<int> keys = randomKeys(kFinds, kRows, 42);
    QVariantList row(kColumns);
    compare(
        state,
        [&] {
            for (int k : keys) {
                sqlite3_bind_int(s, 1, k);
                if (sqlite3_step(s) == SQLITE_ROW)
                    readRow(s, row);
                sqlite3_reset(s);
            }
        },
        [&] {
            for (int k : keys)
                if (t.findKey({k}))
                    readRow(t, row);
        });
    sqlite3_finalize(s);
}

void BM_RangeScan(benchmark::State& state) {
    Raw r(shared().file());
    sqlite3_stmt* s =
        r.prepare("SELECT * FROM Kunden WHERE K_Plz COLLATE DE >= ? AND K_Plz COLLATE DE <= ? "
                  "ORDER BY K_Plz COLLATE DE, K_Ort COLLATE DE, rowid");
    table::Table t(shared().db, "Kunden");
    t.open();
    t.setIndexName("K_IPlzOrt");
    std::vector<QString> plz;
    std::vector<QByteArray> plzBytes;
    for (int i = 0; i < kPlzCount; ++i) {
        plz.push_back(plzOf(i));
        plzBytes.push_back(plz.back().toUtf8());
    }
    QVariantList row(kColumns);
    compare(
        state,
        [&] {
            for (const QByteArray& p : plzBytes) {
                sqlite3_bind_text(s, 1, p.constData(), int(p.size()), SQLITE_STATIC);
                sqlite3_bind_text(s, 2, p.constData(), int(p.size()), SQLITE_STATIC);
                while (sqlite3_step(s) == SQLITE_ROW)
                    readRow(s, row);
                sqlite3_reset(s);
            }
        },
        [&] {
            for (const QString& p : plz) {
                t.setRange({p}, {p});
                for (t.first(); !t.eof(); t.next())
                    readRow(t, row);
            }
        });
    sqlite3_finalize(s);
}

// Reads a row by key and writes two changed fields, as a raw caller would.
struct RawUpdate {
    const Raw& raw;
    sqlite3_stmt* read = raw.prepare("SELECT * FROM Kunden WHERE K_ID = ?");
    sqlite3_stmt* write =
        raw.prepare("UPDATE Kunden SET K_UmsGesamt = ?, K_LastAccess = ? WHERE K_ID = ?");
    QVariantList row = QVariantList(kColumns);

    explicit RawUpdate(const Raw& r) : raw(r) {}
    ~RawUpdate() {
        sqlite3_finalize(read);
        sqlite3_finalize(write);
    }
    bool operator()(int key, double amount, const QByteArray& stamp) {
        sqlite3_bind_int(read, 1, key);
        const bool found = sqlite3_step(read) == SQLITE_ROW;
        if (found)
            readRow(read, row);
        sqlite3_reset(read);
        if (!found)
            return false;
        sqlite3_bind_double(write, 1, amount);
        sqlite3_bind_text(write, 2, stamp.constData(), int(stamp.size()), SQLITE_STATIC);
        sqlite3_bind_int(write, 3, key);
        sqlite3_step(write);
        sqlite3_reset(write);
        return true;
    }
};

// The same through the layer.
bool layerUpdate(table::Table& t, int key, double amount, const QDateTime& stamp) {
    static const QString ums = QStringLiteral("K_UmsGesamt"),
                         access = QStringLiteral("K_LastAccess");
    if (!t.findKey({key}))
        return false;
    t.edit();
    t[ums] = amount;
    t[access] = stamp;
    t.post();
    return true;
}

// Find a row by key, change two fields, write them back; all in one transaction.
void BM_UpdateByKey(benchmark::State& state) {
    Raw r(shared().file());
    RawUpdate update(r);
    table::Table t(shared().db, "Kunden");
    t.open();
    const std::vector<int> keys = randomKeys(kUpdates, kRows, 7);
    std::vector<QDateTime> stamps;
    std::vector<QByteArray> stampText;
    for (int i = 0; i < kUpdates; ++i) {
        stamps.push_back(lastAccessOf(i * 11));
        stampText.push_back(storedDateTime(stamps.back()).toUtf8());
    }
    compare(
        state,
        [&] {
            r.exec("BEGIN IMMEDIATE");
            for (int i = 0; i < kUpdates; ++i)
                update(keys[size_t(i)], i * 0.5, stampText[size_t(i)]);
            r.exec("COMMIT");
        },
        [&] {
            table::Transaction tx(*shared().db);
            for (int i = 0; i < kUpdates; ++i)
                layerUpdate(t, keys[size_t(i)], i * 0.5, stamps[size_t(i)]);
            tx.commit();
        });
}

// A data run's shape: find a row by key, change two fields, post, move on to
// the next row; 10,000 times in one transaction. The keys come from the first
// `spread` rows: with the same spread at 1,000 and 100,000 rows the engine
// touches the same pages, so what grows with the table is the layer's part.
void BM_DataRun(benchmark::State& state) {
    const int count = int(state.range(0));
    const int spread = int(state.range(1));
    rows();
    Filled filled(count);
    Raw r(filled.file());
    RawUpdate update(r);
    sqlite3_stmt* following =
        r.prepare("SELECT * FROM Kunden WHERE K_ID > ? ORDER BY K_ID LIMIT 1");
    table::Table t(filled.db, "Kunden");
    t.open();
    const std::vector<int> keys = randomKeys(kUpdates, spread, 11);
    const QDateTime stamp = lastAccessOf(5);
    const QByteArray stampText = storedDateTime(stamp).toUtf8();
    compare(
        state,
        [&] {
            r.exec("BEGIN IMMEDIATE");
            for (int i = 0; i < kUpdates; ++i) {
                if (!update(keys[size_t(i)], i * 0.5, stampText))
                    continue;
                sqlite3_bind_int(following, 1, keys[size_t(i)]);
                if (sqlite3_step(following) == SQLITE_ROW)
                    readRow(following, update.row);
                sqlite3_reset(following);
            }
            r.exec("COMMIT");
        },
        [&] {
            table::Transaction tx(*filled.db);
            for (int i = 0; i < kUpdates; ++i)
                if (layerUpdate(t, keys[size_t(i)], i * 0.5, stamp))
                    t.next();
            tx.commit();
        });
    state.counters["raw_us/post"] = state.counters["raw_ms"].value * 1000.0 / kUpdates;
    state.counters["layer_us/post"] = state.counters["layer_ms"].value * 1000.0 / kUpdates;
    sqlite3_finalize(following);
}

} // namespace

#define COMPARED(fn)                                                                               \
    BENCHMARK(fn)                                                                                  \
        ->UseManualTime()                                                                          \
        ->Iterations(2)                                                                            \
        ->Repetitions(5)                                                                           \
        ->ReportAggregatesOnly(true)                                                               \
        ->Unit(benchmark::kMillisecond)

COMPARED(BM_Append);
COMPARED(BM_ScanPrimaryOrder);
COMPARED(BM_ScanIndexOrder);
COMPARED(BM_FindKey);
COMPARED(BM_RangeScan);
COMPARED(BM_UpdateByKey);
BENCHMARK(BM_DataRun)
    ->Args({1000, 1000})
    ->Args({kRows, 1000})
    ->Args({kRows, kRows})
    ->UseManualTime()
    ->Iterations(2)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
