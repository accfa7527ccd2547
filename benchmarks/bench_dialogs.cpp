// The record lookup over 100,000 customers of the real customer table: the
// dialog opened on the list sorted by search word, and typing into its search
// field (each key moves the list to the nearest key and repaints the grid),
// on the text index and on the number index in turn.
#include "dbstructure/tablecreator.h"
#include "masterdata/dialogs/selectrecord.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "platform/table/table.h"

#include <QApplication>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kCustomers = 100000;

const LookupGrid kGrid{{{QStringLiteral("K_Nr"), QStringLiteral("Kd-Nr."), 7},
                        {QStringLiteral("K_Match"), QStringLiteral("Matchcode"), 16},
                        {QStringLiteral("K_Name1"), QStringLiteral("Name 1"), 26},
                        {QStringLiteral("K_Plz"), QStringLiteral("Plz"), 6},
                        {QStringLiteral("K_Ort"), QStringLiteral("Ort"), 18}},
                       0,
                       400};

struct Customers {
    QTemporaryDir dir;
    Customers() {
        table::Database::Options o;
        o.syncToDisk = false;
        table::aliases::define(QStringLiteral("LumoDB"), dir.path(), o);
        auto db = table::aliases::database(QStringLiteral("LumoDB"));
        dbstructure::CreateTable(*db, QStringLiteral("Kunden.DB"), false);
        // Search words spread over the alphabet, every customer with its dates.
        db->execSql(
            QStringLiteral(
                "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
                "INSERT INTO Kunden(K_ID, K_Nr, K_Match, K_Name1, K_Plz, K_Ort, K_UmsLetztDat, "
                "K_LastAccess) "
                "SELECT x, x, printf('%s%s%06d', char(65 + (x * 7919) % 26), char(65 + (x * "
                "104729) % 26), "
                "(x * 7919) % %1), printf('Kunde %06d GmbH', x), '50667', 'Köln', '2024-01-02', "
                "'2024-01-02T10:00:00.000' FROM c")
                .arg(kCustomers));
    }
};

Customers& customers() {
    static Customers c;
    return c;
}

void openLookup(TF_DbSelect& dialog, const QString& sortField) {
    dialog.openLookup(QStringLiteral("LumoDB"), QStringLiteral("Kunden.DB"), QString());
    dialog.showLookup(kGrid, 0, 0, QString(), QString());
    dialog.sortBy(sortField);
    dialog.positionOn(QStringLiteral("K_Nr"), 50000, QString(), QString());
    dialog.show();
    QCoreApplication::processEvents();
}

void BM_LookupOpen(benchmark::State& state) {
    customers();
    for (auto _ : state) {
        TF_DbSelect dialog;
        openLookup(dialog, QStringLiteral("K_Match"));
        dialog.closeLookup();
    }
}
BENCHMARK(BM_LookupOpen)->Unit(benchmark::kMillisecond);

// One key typed: arg 0 searches the search-word index, arg 1 the number index.
void BM_LookupTypeKey(benchmark::State& state) {
    customers();
    const bool byNumber = state.range(0) == 1;
    TF_DbSelect dialog;
    openLookup(dialog, byNumber ? QStringLiteral("K_Nr") : QStringLiteral("K_Match"));
    auto* random = QRandomGenerator::global();
    QString typed;
    for (auto _ : state) {
        if (typed.size() >= 4)
            typed.clear();
        typed += byNumber ? QChar(u'0' + int(random->bounded(10)))
                          : QChar(u'A' + int(random->bounded(26)));
        dialog.editSearch()->setText(typed);
        QCoreApplication::processEvents();
    }
    dialog.closeLookup();
}
BENCHMARK(BM_LookupTypeKey)->Arg(0)->Arg(1)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
