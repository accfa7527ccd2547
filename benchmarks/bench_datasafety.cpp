// Backup archives of a client directory against the plain zlib loops that do
// the same compression work: each iteration runs the engine and its plain
// loop one after the other (in alternating order), so both see the same
// machine state. The database snapshot the writer takes first is measured
// beside and taken out of the ratio.
#include "datasafety/archiveformat.h"
#include "datasafety/archiverestore.h"
#include "datasafety/archivewriter.h"
#include "datasafety/backupobserver.h"
#include "datasafety/databasesnapshot.h"
#include "platform/table/database.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>
#include <zlib.h>

namespace {

using Clock = std::chrono::steady_clock;

double secondsOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs both, the first one first in every other round.
void inTurns(int round, const std::function<void()>& first, const std::function<void()>& second) {
    if (round % 2 == 0) {
        first();
        second();
    } else {
        second();
        first();
    }
}

// A client directory: the database with document tables of the real shape
// (texts, numbers, money, dates and date-times, memos) and the small files
// that lie beside it.
class ClientDirectory {
public:
    ClientDirectory() {
        data = root.filePath(QStringLiteral("Daten"));
        table::Database::Options options;
        options.syncToDisk = false;
        auto db = table::Database::open(data, options);
        using table::FieldType;
        db->createTable({QStringLiteral("Rechkopf.DB"),
                         {{QStringLiteral("R_ID"), FieldType::Integer},
                          {QStringLiteral("R_Nr"), FieldType::String, 20},
                          {QStringLiteral("R_KundenNr"), FieldType::Integer},
                          {QStringLiteral("R_Kname1"), FieldType::String, 40},
                          {QStringLiteral("R_KStrasse"), FieldType::String, 40},
                          {QStringLiteral("R_KOrt"), FieldType::String, 30},
                          {QStringLiteral("R_PlanDatum"), FieldType::Date},
                          {QStringLiteral("R_DatumDruck"), FieldType::Date},
                          {QStringLiteral("R_Erfasst"), FieldType::DateTime},
                          {QStringLiteral("R_Netto"), FieldType::Currency},
                          {QStringLiteral("R_Brutto"), FieldType::Currency},
                          {QStringLiteral("R_Text"), FieldType::Memo}},
                         {}});
        table::Transaction transaction(*db);
        const QDate first(2024, 1, 1);
        for (int i = 0; i < 40000; ++i) {
            const QDate day = first.addDays(i % 900);
            db->execSql(
                QStringLiteral("INSERT INTO Rechkopf VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"),
                {i, QStringLiteral("RE-%1").arg(i, 6, 10, QChar(u'0')), 10000 + i % 700,
                 QStringLiteral("Hausverwaltung Muster %1 GmbH").arg(i % 700),
                 QStringLiteral("Musterstraße %1").arg(i % 120), QStringLiteral("Köln"), day,
                 day.addDays(3), QDateTime(day, QTime(8 + i % 9, i % 60, i % 60)),
                 1000.0 + (i % 5000) * 1.37, (1000.0 + (i % 5000) * 1.37) * 1.19,
                 QStringLiteral("Unterhaltsreinigung Treppenhaus und Außenanlagen, Objekt %1")
                     .arg(i % 300)});
        }
        transaction.commit();
        db.reset();
        for (int i = 0; i < 40; ++i) {
            QByteArray layout;
            for (int line = 0; line < 400; ++line)
                layout += "Band " + QByteArray::number(line) +
                          " Feld R_Kname1 Left=" + QByteArray::number(line * 7 % 500) +
                          " Font=Arial 10\r\n";
            write(QStringLiteral("ORM%1.qfd").arg(10000 + i), layout);
        }
    }

    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(QDir(data).filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
    QStringList files() const { return QDir(data).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir root;
    QString data;
};

ClientDirectory& client() {
    static ClientDirectory directory;
    return directory;
}

// What the writer does, without the engine: read each file whole, compress it
// at level 9, append it to one file.
void plainCompressLoop(const QString& dir, const QStringList& files, const QString& out) {
    QFile target(out);
    target.open(QIODevice::WriteOnly | QIODevice::Truncate);
    for (const QString& name : files) {
        QFile in(QDir(dir).filePath(name));
        in.open(QIODevice::ReadOnly);
        const QByteArray bytes = in.readAll();
        uLongf length = compressBound(uLong(bytes.size()));
        QByteArray packed(qsizetype(length), Qt::Uninitialized);
        compress2(reinterpret_cast<Bytef*>(packed.data()), &length,
                  reinterpret_cast<const Bytef*>(bytes.constData()), uLong(bytes.size()), 9);
        target.write(packed.constData(), qint64(length));
    }
}

// What the restore does, without the engine: inflate each stream of the
// archive and write its file.
void plainInflateLoop(const QString& archive, const QString& dir) {
    QFile in(archive);
    in.open(QIODevice::ReadOnly);
    TheaderArray header;
    ReadArchiveHeader(in, header);
    for (qsizetype i = 1; i < header.size(); ++i) {
        const QByteArray packed = in.read(header[i].packedSize);
        QByteArray bytes(header[i].fileSize, Qt::Uninitialized);
        uLongf length = uLongf(bytes.size());
        uncompress(reinterpret_cast<Bytef*>(bytes.data()), &length,
                   reinterpret_cast<const Bytef*>(packed.constData()), uLong(packed.size()));
        QFile out(QDir(dir).filePath(header[i].fileName));
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        out.write(bytes.constData(), qint64(length));
    }
}

void BM_WriteArchiveVsPlainLoop(benchmark::State& state) {
    ClientDirectory& c = client();
    QTemporaryDir out;
    BackupObserver observer;
    double write = 0;
    double snapshot = 0;
    double plain = 0;
    int round = 0;
    for (auto _ : state) {
        const QString name =
            QStringLiteral("FB08.12.2026v%1.CCB").arg(round % 1000, 3, 10, QChar(u'0'));
        const auto engine = [&] {
            write += secondsOf([&] {
                WriteBackupArchive(QStringLiteral("*.*"), c.data, name, QStringLiteral("Benchmark"),
                                   out.path(), 240, observer);
            });
            QFile::remove(QDir(out.path()).filePath(name));
        };
        const auto loop = [&] {
            plain += secondsOf([&] {
                plainCompressLoop(c.data, c.files(), out.filePath(QStringLiteral("plain")));
            });
        };
        inTurns(round++, engine, loop);
        snapshot += secondsOf([&] { DatabaseSnapshot copy(c.data, out.path()); });
    }
    const double n = double(state.iterations());
    state.counters["engine_ms"] = write / n * 1000;
    state.counters["snapshot_ms"] = snapshot / n * 1000;
    state.counters["plain_ms"] = plain / n * 1000;
    state.counters["ratio_without_snapshot"] = (write - snapshot) / plain;
    qint64 bytes = 0;
    for (const QString& name : c.files())
        bytes += QFileInfo(QDir(c.data).filePath(name)).size();
    state.counters["source_MB"] = double(bytes) / 1e6;
}

void BM_RestoreArchiveVsPlainLoop(benchmark::State& state) {
    ClientDirectory& c = client();
    QTemporaryDir out;
    BackupObserver observer;
    const QString archiveName = QStringLiteral("FB08.12.2026v999.CCB");
    WriteBackupArchive(QStringLiteral("*.*"), c.data, archiveName, QStringLiteral("Benchmark"),
                       out.path(), 240, observer);
    const QString archive = QDir(out.path()).filePath(archiveName);
    const QString target = out.filePath(QStringLiteral("Ziel"));
    const QString plainTarget = out.filePath(QStringLiteral("Plain"));
    QDir().mkpath(plainTarget);
    double restore = 0;
    double plain = 0;
    int round = 0;
    for (auto _ : state) {
        const auto engine = [&] {
            restore += secondsOf([&] { RestoreBackupArchive(target, archive, observer); });
        };
        const auto loop = [&] {
            plain += secondsOf([&] { plainInflateLoop(archive, plainTarget); });
        };
        inTurns(round++, engine, loop);
    }
    const double n = double(state.iterations());
    state.counters["engine_ms"] = restore / n * 1000;
    state.counters["plain_ms"] = plain / n * 1000;
    state.counters["ratio"] = restore / plain;
}

} // namespace

BENCHMARK(BM_WriteArchiveVsPlainLoop)->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_RestoreArchiveVsPlainLoop)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
