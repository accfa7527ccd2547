// The start-up from the program directory to a ready data module on client
// 1 (start markers, session mark, directories, template, version and file
// checks, data module, client activation), with 1,000 and 10,000 customers
// and 20,000 invoice lines. Every start reads the databases' headers and
// schemas only, so both sizes should start alike; the start after an unclean
// end, which checks every page, is measured beside them. Run with
//   --benchmark_enable_random_interleaving=true --benchmark_repetitions=5
#include "core/data/recordrules.h"
#include "core/data/startupsteps.h"
#include "core/files/databasefile.h"
#include "core/files/programdirs.h"
#include "core/rights/rights.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <stdexcept>

namespace {

constexpr int kInvoiceLines = 20000;
constexpr int kLinesPerInvoice = 10;

// Questions are answered "Ja", as the first start of a new installation needs.
class Silent : public MessagePresenter {
public:
    bool show(Kind kind, const QString&, int, int) override {
        if (kind == Kind::Error)
            ++errors;
        return kind == Kind::Question || kind == Kind::Warning;
    }
    int errors = 0;
};

void fill(const QString& dataDir, int customers) {
    auto db = table::Database::open(dataDir);
    table::Transaction tx(*db);
    table::Table kunden(db, QStringLiteral("Kunden.DB"));
    kunden.open();
    const QDateTime stamp(QDate(2025, 11, 3), QTime(14, 20, 5));
    for (int nr = 1; nr <= customers; ++nr) {
        kunden.append();
        kunden[QStringLiteral("K_ID")] = nr;
        kunden[QStringLiteral("K_Nr")] = 10000 + nr;
        kunden[QStringLiteral("K_Match")] = QStringLiteral("KUNDE %1").arg(nr);
        kunden[QStringLiteral("K_Name1")] = QStringLiteral("Hausverwaltung Müller %1").arg(nr);
        kunden[QStringLiteral("K_Strasse")] = QStringLiteral("Lindenstraße %1").arg(nr % 200);
        kunden[QStringLiteral("K_Plz")] = QStringLiteral("%1").arg(10000 + nr % 80000);
        kunden[QStringLiteral("K_Ort")] = QStringLiteral("Köln");
        kunden[QStringLiteral("K_LastAccess")] = stamp.addSecs(nr);
        kunden.post();
    }
    table::Table kopf(db, QStringLiteral("Rechkopf.DB"));
    table::Table satz(db, QStringLiteral("RechSatz.DB"));
    kopf.open();
    satz.open();
    for (int invoice = 1; invoice <= kInvoiceLines / kLinesPerInvoice; ++invoice) {
        kopf.append();
        kopf[QStringLiteral("R_ID")] = invoice;
        kopf[QStringLiteral("R_Nr")] = QStringLiteral("R%1").arg(invoice, 6, 10, QChar(u'0'));
        kopf[QStringLiteral("R_KundenNr")] = 10000 + invoice % customers + 1;
        kopf[QStringLiteral("R_DatumErstell")] = QDate(2025, 1, 1).addDays(invoice % 365);
        kopf.post();
        for (int pos = 1; pos <= kLinesPerInvoice; ++pos) {
            satz.append();
            satz[QStringLiteral("S_ID")] = (invoice - 1) * kLinesPerInvoice + pos;
            satz[QStringLiteral("S_Ref")] = invoice;
            satz[QStringLiteral("S_PosNr")] = pos;
            satz[QStringLiteral("S_Menge")] = 2.5;
            satz[QStringLiteral("S_EPreis")] = 31.4;
            satz[QStringLiteral("S_Netto")] = 78.5;
            satz[QStringLiteral("S_Kurztext")] = QStringLiteral("Treppenhausreinigung");
            satz.post();
        }
    }
    tx.commit();
}

// One installation per size: built by a first start, then filled.
struct Installation {
    QTemporaryDir root;
    QString prog() const { return root.filePath(QStringLiteral("prog/")); }
    QString win() const { return root.filePath(QStringLiteral("win")); }
};

Installation& installationOf(int customers) {
    static std::map<int, std::unique_ptr<Installation>> all;
    auto& inst = all[customers];
    if (!inst) {
        inst = std::make_unique<Installation>();
        qputenv("DOMVERA_WINDIR", QFile::encodeName(inst->win()));
        SetProgramDir(inst->prog());
        QDir().mkpath(ProgramDir);
        if (startuptest::RunStartup() != 0)
            throw std::runtime_error("the first start failed");
        fill(GetMandantDataDir(1), customers);
    }
    qputenv("DOMVERA_WINDIR", QFile::encodeName(inst->win()));
    SetProgramDir(inst->prog());
    return *inst;
}

void startUp(benchmark::State& state, bool afterCrash) {
    Silent silent;
    MessagePresenter* previous = SetMessagePresenter(&silent);
    CurrentUser = TUserRec();
    CurrentUser.rights.set(55, rbView | rbCreate);
    Installation& inst = installationOf(int(state.range(0)));
    const QString marker = inst.win() + u'/' + QLatin1String(SessionMarkerName);
    for (auto _ : state) {
        if (afterCrash) {
            state.PauseTiming();
            QFile(marker).open(QIODevice::WriteOnly);
            state.ResumeTiming();
        }
        if (startuptest::RunStartup() != 0 || silent.errors != 0)
            state.SkipWithError("the start failed");
    }
    SetMessagePresenter(previous);
}

void StartUpToReadyDataModule(benchmark::State& state) {
    startUp(state, false);
}
void StartUpAfterAnUncleanEnd(benchmark::State& state) {
    startUp(state, true);
}

BENCHMARK(StartUpToReadyDataModule)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(StartUpAfterAnUncleanEnd)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
