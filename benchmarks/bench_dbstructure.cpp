// A new client's databases from scratch: every table of the client and the
// archive database with all indexes and default rows, in a fresh directory.
#include "dbstructure/databasebuilder.h"
#include "dbstructure/tableschemas.h"
#include "platform/table/database.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void buildClient(const QString& root, bool syncToDisk) {
    table::Database::Options options;
    options.syncToDisk = syncToDisk;
    QDir(root).mkpath(QStringLiteral("Daten"));
    QDir(root).mkpath(QStringLiteral("Ablage"));
    auto data = table::Database::open(root + QStringLiteral("/Daten"), options);
    auto archive = table::Database::open(root + QStringLiteral("/Ablage"), options);
    dbstructure::CreateDatabaseTables(*data, dbstructure::Database::Client);
    dbstructure::CreateDatabaseTables(*archive, dbstructure::Database::Archive);
}

// As client creation does it: written safely to disk.
void BM_NewClientDatabases(benchmark::State& state) {
    const bool sync = state.range(0) != 0;
    dbstructure::TableSchemas::builtIn(); // parsing the definitions is a one-off per run
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        state.ResumeTiming();
        buildClient(dir.path(), sync);
        state.PauseTiming();
        dir.remove();
        state.ResumeTiming();
    }
}

void BM_ReadDefinitions(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            dbstructure::TableSchemas::fromDirectory(QStringLiteral(":/schema")));
}

} // namespace

BENCHMARK(BM_NewClientDatabases)
    ->ArgName("syncToDisk")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDefinitions)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
