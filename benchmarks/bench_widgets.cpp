// The data grid's model over 100,000 rows: the first look at a table (row
// count), a screen of rows read at random places, and the cursor following a
// selected row.
#include "platform/table/table.h"
#include "platform/widgets/datagridmodel.h"
#include "platform/widgets/datasource.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 100000;
constexpr int kScreenRows = 30;

struct Shared {
    QTemporaryDir dir;
    std::shared_ptr<table::Database> db;
    Shared() {
        using table::FieldType;
        table::Database::Options o;
        o.syncToDisk = false;
        db = table::Database::open(dir.path(), o);
        table::TableDef def;
        def.name = QStringLiteral("Kunden.DB");
        def.fields = {{"Nr", FieldType::Integer, 0},      {"Name", FieldType::String, 30},
                      {"Ort", FieldType::String, 30},     {"Seit", FieldType::Date, 0},
                      {"Umsatz", FieldType::Currency, 0}, {"Aktiv", FieldType::Boolean, 0}};
        def.indexes = {{"IName", {"Name"}, true, false, false}};
        db->createTable(def);
        db->execSql(
            QStringLiteral(
                "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
                "INSERT INTO Kunden(Nr, Name, Ort, Seit, Umsatz, Aktiv) SELECT x, "
                "printf('Kunde %06d', (x * 7919) % %1), 'Köln', '2024-01-02', x * 1.5, x % 2 FROM "
                "c")
                .arg(kRows));
    }
};

Shared& shared() {
    static Shared s;
    return s;
}

void BM_GridFirstLook(benchmark::State& state) {
    table::Table t(shared().db, QStringLiteral("Kunden.DB"));
    t.setIndexName(QStringLiteral("IName"));
    t.open();
    for (auto _ : state) {
        widgets::DataSource ds(t);
        widgets::DataGridModel model(ds);
        benchmark::DoNotOptimize(model.rowCount());
        benchmark::DoNotOptimize(model.index(0, 1).data());
    }
}
BENCHMARK(BM_GridFirstLook)->Unit(benchmark::kMillisecond);

void BM_GridScreenAtRandomPlace(benchmark::State& state) {
    table::Table t(shared().db, QStringLiteral("Kunden.DB"));
    t.setIndexName(QStringLiteral("IName"));
    t.open();
    widgets::DataSource ds(t);
    widgets::DataGridModel model(ds);
    auto* random = QRandomGenerator::global();
    for (auto _ : state) {
        const int top = int(random->bounded(kRows - kScreenRows));
        for (int r = top; r < top + kScreenRows; ++r)
            for (int c = 0; c < model.columnCount(); ++c)
                benchmark::DoNotOptimize(model.index(r, c).data());
    }
}
BENCHMARK(BM_GridScreenAtRandomPlace)->Unit(benchmark::kMicrosecond);

void BM_CursorFollowsSelectedRow(benchmark::State& state) {
    table::Table t(shared().db, QStringLiteral("Kunden.DB"));
    t.setIndexName(QStringLiteral("IName"));
    t.open();
    widgets::DataSource ds(t);
    widgets::DataGridModel model(ds);
    auto* random = QRandomGenerator::global();
    for (auto _ : state) {
        t.setRecNo(int(random->bounded(kRows)) + 1);
        benchmark::DoNotOptimize(model.cursorRow());
    }
}
BENCHMARK(BM_CursorFollowsSelectedRow)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
