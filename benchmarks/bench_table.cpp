// The table layer side by side with raw prepared SQLite statements on the
// same rows: append, scan in index order, FindKey, range scan, Locate.
#include "platform/table/table.h"

#include <QCollator>
#include <QCoreApplication>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int kRows = 100000;
const char* const kCities[] = {"Köln",  "Bonn",    "Aachen", "Düsseldorf",
                               "Essen", "Münster", "Siegen", "Trier"};

table::TableDef benchDef(const QString& name) {
    using table::FieldType;
    table::TableDef def;
    def.name = name;
    def.fields = {{"Nr", FieldType::Integer, 0},    {"Name", FieldType::String, 30},
                  {"Ort", FieldType::String, 30},   {"Strasse", FieldType::String, 40},
                  {"Seit", FieldType::Date, 0},     {"Umsatz", FieldType::Currency, 0},
                  {"Aktiv", FieldType::Boolean, 0}, {"Anzahl", FieldType::Smallint, 0}};
    def.indexes = {{"IName", {"Name"}, true, false, false},
                   {"IOrtName", {"Ort", "Name"}, true, false, false}};
    return def;
}

QString nameOf(int i) {
    return QStringLiteral("Kunde %1").arg((i * 7919) % kRows, 6, 10, QLatin1Char('0'));
}

// One database with the filled table, built once for all read benchmarks.
struct Shared {
    QTemporaryDir dir;
    std::shared_ptr<table::Database> db;
    sqlite3* raw = nullptr;
    QCollator collator{QLocale(QLocale::German, QLocale::Germany)};

    Shared() {
        table::Database::Options o;
        o.syncToDisk = false;
        db = table::Database::open(dir.path(), o);
        db->createTable(benchDef("Kunden"));
        table::Table t(db, "Kunden");
        t.open();
        table::Transaction tx(*db);
        for (int i = 1; i <= kRows; ++i) {
            t.append();
            t["Nr"] = i;
            t["Name"] = nameOf(i);
            t["Ort"] = QString::fromUtf8(kCities[i % 8]);
            t["Strasse"] = QStringLiteral("Hauptstraße %1").arg(i % 300);
            t["Seit"] = QDate(2000, 1, 1).addDays(i % 9000);
            t["Umsatz"] = i * 1.5;
            t["Aktiv"] = i % 3 != 0;
            t["Anzahl"] = i % 1000;
            t.post();
        }
        tx.commit();
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        sqlite3_open_v2(table::Database::fileIn(dir.path()).toUtf8().constData(), &raw,
                        SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_create_collation(raw, "DE", SQLITE_UTF8, &collator,
                                 [](void* c, int la, const void* a, int lb, const void* b) {
                                     return static_cast<QCollator*>(c)->compare(
                                         QString::fromUtf8(static_cast<const char*>(a), la),
                                         QString::fromUtf8(static_cast<const char*>(b), lb));
                                 });
    }
    ~Shared() { sqlite3_close_v2(raw); }
};

Shared& shared() {
    static Shared s;
    return s;
}

// Reads every column of the current row the way a caller of the raw API would.
QVariant readColumn(sqlite3_stmt* s, int c) {
    switch (sqlite3_column_type(s, c)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(s, c));
    case SQLITE_FLOAT:
        return sqlite3_column_double(s, c);
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, c)),
                                 sqlite3_column_bytes(s, c));
    default:
        return {};
    }
}

void readRow(sqlite3_stmt* s, QVariantList& row) {
    for (int c = 0; c < 8; ++c)
        row[c] = readColumn(s, c);
}

void readRow(table::Table& t, QVariantList& row) {
    for (int c = 0; c < 8; ++c)
        row[c] = t.field(c).value();
}

sqlite3_stmt* prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
    return s;
}

void BM_Raw_Append(benchmark::State& state) {
    Shared& sh = shared(); // built before timing starts
    for (auto _ : state) {
        QTemporaryDir dir;
        auto db = table::Database::open(dir.path(), {std::nullopt, 5000, true, false});
        db->createTable(benchDef("Kunden"));
        sqlite3* raw = nullptr;
        sqlite3_open(table::Database::fileIn(dir.path()).toUtf8().constData(), &raw);
        sqlite3_exec(raw, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
        sqlite3_create_collation(raw, "DE", SQLITE_UTF8, &sh.collator,
                                 [](void* c, int la, const void* a, int lb, const void* b) {
                                     return static_cast<QCollator*>(c)->compare(
                                         QString::fromUtf8(static_cast<const char*>(a), la),
                                         QString::fromUtf8(static_cast<const char*>(b), lb));
                                 });
        sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* ins = prepare(raw, "INSERT INTO Kunden VALUES(?,?,?,?,?,?,?,?)");
        for (int i = 1; i <= kRows; ++i) {
            const QByteArray name = nameOf(i).toUtf8();
            const QByteArray ort = QByteArray(kCities[i % 8]);
            const QByteArray str = QStringLiteral("Hauptstraße %1").arg(i % 300).toUtf8();
            const QByteArray seit =
                QDate(2000, 1, 1).addDays(i % 9000).toString(Qt::ISODate).toUtf8();
            sqlite3_bind_int(ins, 1, i);
            sqlite3_bind_text(ins, 2, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(ins, 3, ort.constData(), int(ort.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(ins, 4, str.constData(), int(str.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(ins, 5, seit.constData(), int(seit.size()), SQLITE_TRANSIENT);
            sqlite3_bind_double(ins, 6, i * 1.5);
            sqlite3_bind_int(ins, 7, i % 3 != 0);
            sqlite3_bind_int(ins, 8, i % 1000);
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
        sqlite3_finalize(ins);
        sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Table_Append(benchmark::State& state) {
    for (auto _ : state) {
        QTemporaryDir dir;
        auto db = table::Database::open(dir.path(), {std::nullopt, 5000, true, false});
        db->createTable(benchDef("Kunden"));
        table::Table t(db, "Kunden");
        t.open();
        table::Transaction tx(*db);
        for (int i = 1; i <= kRows; ++i) {
            t.append();
            t["Nr"] = i;
            t["Name"] = nameOf(i);
            t["Ort"] = QString::fromUtf8(kCities[i % 8]);
            t["Strasse"] = QStringLiteral("Hauptstraße %1").arg(i % 300);
            t["Seit"] = QDate(2000, 1, 1).addDays(i % 9000);
            t["Umsatz"] = i * 1.5;
            t["Aktiv"] = i % 3 != 0;
            t["Anzahl"] = i % 1000;
            t.post();
        }
        tx.commit();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Raw_ScanIndexOrder(benchmark::State& state) {
    Shared& sh = shared();
    sqlite3_stmt* s = prepare(sh.raw, "SELECT * FROM Kunden ORDER BY Name COLLATE DE, rowid");
    QVariantList row(8);
    for (auto _ : state) {
        int n = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            readRow(s, row);
            ++n;
        }
        sqlite3_reset(s);
        benchmark::DoNotOptimize(n);
    }
    sqlite3_finalize(s);
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Table_ScanIndexOrder(benchmark::State& state) {
    table::Table t(shared().db, "Kunden");
    t.open();
    t.setIndexName("IName");
    QVariantList row(8);
    for (auto _ : state) {
        t.refresh(); // a fresh view every time: the order is read again
        int n = 0;
        for (t.first(); !t.eof(); t.next()) {
            readRow(t, row);
            ++n;
        }
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Raw_FindKey(benchmark::State& state) {
    Shared& sh = shared();
    sqlite3_stmt* s = prepare(sh.raw, "SELECT * FROM Kunden WHERE Nr = ?");
    QVariantList row(8);
    QRandomGenerator rnd(42);
    for (auto _ : state) {
        sqlite3_bind_int(s, 1, int(rnd.bounded(kRows)) + 1);
        if (sqlite3_step(s) == SQLITE_ROW)
            readRow(s, row);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
}

void BM_Table_FindKey(benchmark::State& state) {
    table::Table t(shared().db, "Kunden");
    t.open();
    QVariantList row(8);
    QRandomGenerator rnd(42);
    for (auto _ : state) {
        if (t.findKey({int(rnd.bounded(kRows)) + 1}))
            readRow(t, row);
    }
}

void BM_Raw_RangeScan(benchmark::State& state) {
    Shared& sh = shared();
    sqlite3_stmt* s =
        prepare(sh.raw, "SELECT * FROM Kunden WHERE Ort COLLATE DE >= ? AND Ort COLLATE DE <= ? "
                        "ORDER BY Ort COLLATE DE, Name COLLATE DE, rowid");
    QVariantList row(8);
    int i = 0;
    for (auto _ : state) {
        const QByteArray ort(kCities[i++ % 8]);
        sqlite3_bind_text(s, 1, ort.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 2, ort.constData(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(s) == SQLITE_ROW)
            readRow(s, row);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    state.SetItemsProcessed(state.iterations() * kRows / 8);
}

void BM_Table_RangeScan(benchmark::State& state) {
    table::Table t(shared().db, "Kunden");
    t.open();
    t.setIndexName("IOrtName");
    QVariantList row(8);
    int i = 0;
    for (auto _ : state) {
        const QString ort = QString::fromUtf8(kCities[i++ % 8]);
        t.setRange({ort}, {ort});
        for (t.first(); !t.eof(); t.next())
            readRow(t, row);
    }
    state.SetItemsProcessed(state.iterations() * kRows / 8);
}

void BM_Raw_Locate(benchmark::State& state) {
    Shared& sh = shared();
    sqlite3_stmt* s =
        prepare(sh.raw, "SELECT * FROM Kunden WHERE Name = ? COLLATE DE ORDER BY Nr LIMIT 1");
    QVariantList row(8);
    QRandomGenerator rnd(7);
    for (auto _ : state) {
        const QByteArray name = nameOf(int(rnd.bounded(kRows)) + 1).toUtf8();
        sqlite3_bind_text(s, 1, name.constData(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(s) == SQLITE_ROW)
            readRow(s, row);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
}

void BM_Table_Locate(benchmark::State& state) {
    table::Table t(shared().db, "Kunden");
    t.open();
    QVariantList row(8);
    QRandomGenerator rnd(7);
    for (auto _ : state) {
        if (t.locate({"Name"}, {nameOf(int(rnd.bounded(kRows)) + 1)}, {true, false}))
            readRow(t, row);
    }
}

} // namespace

BENCHMARK(BM_Raw_Append)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Table_Append)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Raw_ScanIndexOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Table_ScanIndexOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Raw_FindKey)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Table_FindKey)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Raw_RangeScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Table_RangeScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Raw_Locate)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Table_Locate)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
