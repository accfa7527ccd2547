// The report engine on a 10,000-row customer list (the test fixture's list
// over a customer table of the real width, date-time fields included):
// pagination in one pass and with "Seite x von y" (a counting pass first),
// alternating in each round, and the PDF of the paginated list.
#include "platform/report/paginator.h"
#include "platform/report/pdfwriter.h"
#include "platform/report/report.h"
#include "platform/report/reportreader.h"
#include "platform/table/table.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 10000;

struct Shared {
    QTemporaryDir dir;
    std::shared_ptr<table::Database> db;
    std::shared_ptr<const report::ReportDefinition> definition;

    Shared() {
        for (const char* f :
             {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "LiberationSans-Italic.ttf"})
            QFontDatabase::addApplicationFont(
                QStringLiteral("/usr/share/fonts/truetype/liberation2/") + QLatin1String(f));
        using table::FieldType;
        table::Database::Options o;
        o.syncToDisk = false;
        table::aliases::define(QStringLiteral("ReportDB"), dir.path(), o);
        db = table::aliases::database(QStringLiteral("ReportDB"));
        table::TableDef kunden;
        kunden.name = QStringLiteral("Kunden.DB");
        kunden.fields = {
            {"K_Nr", FieldType::Integer, 0},         {"K_Match", FieldType::String, 40},
            {"K_Name1", FieldType::String, 40},      {"K_Name2", FieldType::String, 40},
            {"K_Strasse", FieldType::String, 40},    {"K_Plz", FieldType::String, 10},
            {"K_Ort", FieldType::String, 30},        {"K_Tel1", FieldType::String, 25},
            {"K_Email", FieldType::String, 60},      {"K_Gruppe", FieldType::Integer, 0},
            {"K_Umsatz", FieldType::Currency, 0},    {"K_UmsLetzt", FieldType::Currency, 0},
            {"K_Seit", FieldType::Date, 0},          {"K_Erfasst", FieldType::DateTime, 0},
            {"K_Geaendert", FieldType::DateTime, 0}, {"K_Aktiv", FieldType::Boolean, 0},
            {"K_Zahlart", FieldType::Smallint, 0},   {"K_Notiz", FieldType::FmtMemo, 0}};
        kunden.indexes = {{"K_IMatch", {"K_Match"}, true, false, false}};
        db->createTable(kunden);
        table::TableDef gruppen;
        gruppen.name = QStringLiteral("Gruppen.DB");
        gruppen.fields = {{"G_Nr", FieldType::Integer, 0}, {"G_Text", FieldType::String, 40}};
        db->createTable(gruppen);
        table::Table g(db, QStringLiteral("Gruppen.DB"));
        g.open();
        for (int i = 1; i <= 20; ++i)
            g.appendRecord({i, QStringLiteral("Gruppe %1").arg(i)});
        table::Table t(db, QStringLiteral("Kunden.DB"));
        t.open();
        table::Transaction tx(*db);
        const QDateTime start(QDate(2020, 1, 1), QTime(8, 0));
        for (int i = 1; i <= kRows; ++i) {
            t.append();
            t["K_Nr"] = i;
            t["K_Match"] =
                QStringLiteral("Kunde %1").arg((i * 7919) % kRows, 5, 10, QLatin1Char('0'));
            t["K_Name1"] = QStringLiteral("Hausverwaltung Nr. %1").arg(i);
            t["K_Strasse"] = QStringLiteral("Lindenstraße %1").arg(i % 200);
            t["K_Plz"] = QString::number(50000 + i % 999);
            t["K_Ort"] = i % 2 ? QStringLiteral("Köln") : QStringLiteral("Mönchengladbach");
            t["K_Tel1"] = QStringLiteral("0221 %1").arg(100000 + i);
            t["K_Gruppe"] = i % 20 + 1;
            t["K_Umsatz"] = i * 13.37;
            t["K_Seit"] = QDate(2000, 1, 1).addDays(i % 9000);
            t["K_Erfasst"] = start.addSecs(i * 600);
            t["K_Geaendert"] = start.addSecs(i * 900);
            t["K_Aktiv"] = i % 3 != 0;
            t.post();
        }
        tx.commit();
        QFile f(
            QStringLiteral(DOMVERA_SOURCE_DIR "/tests/platform/report/fixtures/kundenliste.json"));
        if (!f.open(QIODevice::ReadOnly))
            qFatal("fixture missing");
        definition = std::make_shared<report::ReportDefinition>(
            report::readReportDefinition(f.readAll(), f.fileName()));
    }
};

Shared& shared() {
    static Shared s;
    return s;
}

report::Report listReport(bool pageCount) {
    report::Report rep(shared().definition);
    if (!pageCount)
        rep.component(QStringLiteral("QRSeite")).expression =
            QStringLiteral("'Seite ' + STR(PAGENUMBER)");
    return rep;
}

// Both paginations per round, the first one first in every other round, so
// both see the same machine; each one's time is a counter.
void BM_Paginate(benchmark::State& state) {
    const report::Report onePass = listReport(false);
    const report::Report twoPasses = listReport(true);
    double onePassMs = 0, twoPassesMs = 0;
    size_t pages = 0;
    int round = 0;
    auto timed = [](const report::Report& rep, double& total) {
        QElapsedTimer timer;
        timer.start();
        const size_t n = report::paginate(rep).pages.size();
        total += double(timer.nsecsElapsed()) / 1e6;
        return n;
    };
    for (auto _ : state) {
        if (round++ % 2 == 0) {
            pages = timed(onePass, onePassMs);
            timed(twoPasses, twoPassesMs);
        } else {
            timed(twoPasses, twoPassesMs);
            pages = timed(onePass, onePassMs);
        }
    }
    state.counters["pages"] = double(pages);
    state.counters["onePass_ms"] = onePassMs / double(state.iterations());
    state.counters["withPageCount_ms"] = twoPassesMs / double(state.iterations());
}
BENCHMARK(BM_Paginate)->Unit(benchmark::kMillisecond);

void BM_WritePdf(benchmark::State& state) {
    const report::Document doc = report::paginate(listReport(true));
    const QString file = shared().dir.filePath(QStringLiteral("liste.pdf"));
    for (auto _ : state)
        report::writePdf(doc, file);
    state.counters["KB"] = double(QFile(file).size()) / 1024;
}
BENCHMARK(BM_WritePdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
