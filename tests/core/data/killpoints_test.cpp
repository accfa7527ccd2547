// The start-up killed with -9 at its file-changing calls: a preloaded library
// counts every call that changes a file below the test's directory and kills
// the child at the chosen one; the next start must find complete clients.
#include "childrun.h"
#include "core/clientupgrade.h"
#include "core/files/databasefile.h"
#include "core/files/programdirs.h"
#include "core/framefixture.h"
#include "core/rights/rights.h"
#include "core/settings/programsettings.h"
#include "core/settings/settingsfiles.h"
#include "core/startup.h"
#include "dbstructure/upgrade.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "startupsteps.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <atomic>
#include <cstdio>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kCustomers = 250;
const char* const kChild = "KillPointChild.DISABLED_StartUp";

// The start-up as the program's main runs it up to the activated client,
// then (DOMVERA_KILLCHILD_CREATE) the creation of another client from the
// client menu. Every error box fails the run.
TEST(KillPointChild, DISABLED_StartUp) {
    const QString prog = qEnvironmentVariable("DOMVERA_KILLCHILD");
    if (prog.isEmpty())
        GTEST_SKIP() << "only meaningful as the child of the kill-point tests";
    startuptest::RunStartupAsChild(prog, qEnvironmentVariableIntValue("DOMVERA_KILLCHILD_CREATE"));
}

struct Call {
    long number;
    QString kind;
    QString path;
};

using startuptest::ChildRun;

class KillPoints : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        m_dir = QDir(m_root.path()).canonicalPath();
    }

    QString golden() const { return m_dir + u"/golden"_s; }
    QString trial() const { return m_dir + u"/trial"_s; }
    static QString prog(const QString& base) { return base + u"/prog/"_s; }

    ChildRun runChild(const QString& base, long killAt = 0, const QString& log = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"DOMVERA_KILLCHILD"_s, prog(base));
        env.insert(u"DOMVERA_WINDIR"_s, base + u"/win"_s);
        if (m_create)
            env.insert(u"DOMVERA_KILLCHILD_CREATE"_s, QString::number(m_create));
        if (killAt > 0 || !log.isEmpty()) {
            env.insert(u"LD_PRELOAD"_s, QStringLiteral(DOMVERA_KILLPOINT_LIBRARY));
            env.insert(u"DOMVERA_KILL_ROOT"_s, base);
            if (killAt > 0)
                env.insert(u"DOMVERA_KILL_AT"_s, QString::number(killAt));
            if (!log.isEmpty())
                env.insert(u"DOMVERA_KILL_LOG"_s, log);
        }
        return startuptest::RunChildTest(kChild, env);
    }

    void startNormally(const QString& base) {
        const ChildRun run = runChild(base);
        ASSERT_FALSE(run.killed);
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    }

    // The file-changing calls of one start from the golden state.
    QList<Call> countCalls() {
        copyTree(golden(), trial());
        const QString log = m_dir + u"/calls.log"_s;
        QFile::remove(log);
        const ChildRun run = runChild(trial(), 0, log);
        EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
        QList<Call> calls;
        QFile file(log);
        if (!file.open(QIODevice::ReadOnly))
            return calls;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() >= 2)
                calls.append({parts[0].toLong(), QString::fromLatin1(parts[1]),
                              QString::fromUtf8(line.mid(parts[0].size() + parts[1].size() + 2))});
        }
        return calls;
    }

    // Where a call changes something: the work directories of the upgrade
    // driver (scratch until swapped in), the directory swaps, the lock
    // registry with the session marker, the rest.
    static QString areaOf(const QString& path) {
        static const QRegularExpression scratch(u"/(DataTemp|AblgTemp)"_s);
        static const QRegularExpression swap(u"\\.(neu|alt)|Austausch|\\.[0-9]{3}(/|$)"_s);
        if (scratch.match(path).hasMatch())
            return u"scratch"_s;
        // The session marker goes with the lock registry's last writes at
        // the end of a run.
        if (path.contains(u"/Netdir/"_s) || path.endsWith(u"/SITZUNG.DSF"_s))
            return u"registry"_s;
        return swap.match(path).hasMatch() ? u"swap"_s : u"other"_s;
    }

    // Every kind of call at its first occurrence, every area at its first
    // and last call, renames of the directory swaps (the steps of a commit)
    // and points spread over the whole run. DOMVERA_KILLPOINTS=n spreads n
    // points instead of 8 for a closer look.
    static QList<long> chooseKillPoints(const QList<Call>& calls) {
        const int spread = qEnvironmentVariableIsSet("DOMVERA_KILLPOINTS")
                               ? qEnvironmentVariableIntValue("DOMVERA_KILLPOINTS")
                               : 8;
        QSet<long> chosen;
        QSet<QString> kindsSeen;
        QMap<QString, QList<long>> areas;
        QList<long> swapRenames;
        for (const Call& call : calls) {
            const QString area = areaOf(call.path);
            if (!kindsSeen.contains(call.kind)) {
                kindsSeen.insert(call.kind);
                chosen.insert(call.number);
            }
            areas[area].append(call.number);
            if (call.kind == u"rename" && area == u"swap" && !call.path.contains(u"Austausch"_s))
                swapRenames.append(call.number);
        }
        auto spreadOver = [&](const QList<long>& numbers, int count) {
            count = std::min<int>(count, int(numbers.size()));
            for (int i = 0; i < count; ++i)
                chosen.insert(numbers[count == 1 ? 0 : i * (numbers.size() - 1) / (count - 1)]);
        };
        for (const QList<long>& numbers : areas)
            spreadOver(numbers, 2);
        spreadOver(swapRenames, std::max(8, spread));
        if (!swapRenames.isEmpty())
            chosen.insert(swapRenames.last() + 1); // the clean-up after the last swap
        QList<long> all;
        for (const Call& call : calls)
            all.append(call.number);
        spreadOver(all, spread);
        QList<long> points(chosen.cbegin(), chosen.cend());
        std::sort(points.begin(), points.end());
        return points;
    }

    // One trial: a start from the golden state killed at the call, then the
    // next start, which must succeed and leave complete clients.
    void trialAt(long point, const Call& call, const QString& dir,
                 const std::function<void(const QString& prog)>& expectComplete) {
        SCOPED_TRACE(QStringLiteral("killed at call %1 (%2 %3)")
                         .arg(point)
                         .arg(call.kind, QString(call.path).remove(m_dir))
                         .toStdString());
        copyTree(golden(), dir);
        const ChildRun killed = runChild(dir, point);
        // How often the lock registry is written at the end of a run varies
        // with timing: a point among those writes may lie beyond this run.
        if (!killed.killed) {
            ASSERT_TRUE(killed.exitCode == 0 && point >= m_registryTail)
                << killed.output.toStdString();
        }
        const ChildRun next = runChild(dir);
        ASSERT_FALSE(next.killed);
        ASSERT_EQ(next.exitCode, 0) << next.output.toStdString();
        expectComplete(prog(dir));
        expectNoSwapLeftovers(prog(dir));
    }

    // Kills a start from the golden state at each chosen call, two trials at
    // a time (much of a trial waits for the disk).
    void killAtEveryPoint(const std::function<void(const QString& prog)>& expectComplete) {
        const QList<Call> calls = countCalls();
        ASSERT_FALSE(calls.isEmpty());
        m_registryTail = calls.size() + 1;
        while (m_registryTail > 1 && areaOf(calls.at(m_registryTail - 2).path) == u"registry")
            --m_registryTail;
        QSet<QString> kinds;
        for (const Call& call : calls)
            kinds.insert(call.kind);
        for (const char* kind :
             {"open", "write", "sync", "rename", "unlink", "mkdir", "rmdir", "link", "chmod"})
            EXPECT_TRUE(kinds.contains(QLatin1String(kind))) << kind;
        const QList<long> points = chooseKillPoints(calls);
        std::fprintf(stderr, "%lld file-changing calls, %lld kill points\n",
                     qlonglong(calls.size()), qlonglong(points.size()));
        std::atomic<int> next{0};
        std::atomic<bool> failed{false};
        auto worker = [&](int w) {
            const QString dir = trial() + QString::number(w);
            for (int i = next++; i < points.size() && !failed; i = next++) {
                trialAt(points[i], calls.at(points[i] - 1), dir, expectComplete);
                if (::testing::Test::HasFailure())
                    failed = true;
            }
        };
        std::thread second(worker, 1);
        worker(0);
        second.join();
    }

    static void copyTree(const QString& from, const QString& to) {
        QDir(to).removeRecursively();
        QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        QDir().mkpath(to);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString target = to + path.mid(from.size());
            if (it.fileInfo().isDir())
                QDir().mkpath(target);
            else
                QFile::copy(path, target);
        }
    }

    static std::shared_ptr<table::Database> openDb(const QString& dir) {
        table::Database::Options options;
        options.create = false;
        return table::Database::open(dir, options);
    }

    static int rows(table::Database& db, const QString& name) {
        if (!db.exists(name))
            return -1;
        table::Table t(std::shared_ptr<table::Database>(std::shared_ptr<void>(), &db), name);
        t.open();
        return t.recordCount();
    }

    // All tables of both databases, the company record, the 13 cost types,
    // the postal-code table, the version file and (when given) every
    // customer.
    static void expectCompleteClient(const QString& prog, int mandant,
                                     const QStringList& customers = {}) {
        SCOPED_TRACE("client " + std::to_string(mandant));
        const QString suffix = QString::number(mandant).rightJustified(4, u'0');
        const QString data = prog + u"Data"_s + suffix;
        const QString archive = prog + u"Ablg"_s + suffix;
        ASSERT_EQ(InspectDatabaseFile(data, true).state, DatabaseFileState::Present);
        ASSERT_TRUE(dbstructure::HasCurrentStructure(data, archive));
        const DbVersionFile version = ReadDbVersionFile(data);
        EXPECT_EQ(version.state, DbVersionFile::Valid);
        EXPECT_EQ(version.version, CurrentDbVersion);
        auto db = openDb(data);
        EXPECT_EQ(rows(*db, u"Firmen.DB"_s), 1);
        EXPECT_EQ(rows(*db, u"Kostart.DB"_s), 13);
        EXPECT_GE(rows(*db, u"Plz.DB"_s), 0);
        if (customers.isEmpty())
            return;
        table::Table kunden(db, u"Kunden.DB"_s);
        kunden.open();
        QStringList names;
        for (kunden.first(); !kunden.eof(); kunden.next())
            names.append(kunden.field(u"K_Name1"_s).asString());
        names.sort();
        EXPECT_EQ(names, customers);
    }

    static void expectNoSwapLeftovers(const QString& prog) {
        for (const QString& name : QDir(prog).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            EXPECT_FALSE(name.contains(u".neu"_s) || name.contains(u".alt"_s) ||
                         name == u"Austausch.dat")
                << name.toStdString();
        }
    }

    // Client 1 of the golden state gets its customers.
    static QStringList addCustomers(const QString& prog) {
        auto db = table::Database::open(prog + u"Data0001"_s);
        table::Table kunden(db, u"Kunden.DB"_s);
        kunden.open();
        QStringList names;
        table::Transaction tx(*db);
        for (int i = 1; i <= kCustomers; ++i) {
            const QString name = u"Kunde %1"_s.arg(i, 4, 10, QChar(u'0'));
            kunden.append();
            kunden.field(u"K_ID"_s).setValue(i);
            kunden.field(u"K_Nr"_s).setValue(1000 + i);
            kunden.field(u"K_Name1"_s).setValue(name);
            kunden.post();
            names.append(name);
        }
        tx.commit();
        names.sort();
        return names;
    }

    int m_create = 0;
    long m_registryTail = 0; // the first call of the registry writes that end a run

private:
    QTemporaryDir m_root;
    QString m_dir;
};

TEST_F(KillPoints, NewInstallation) {
    QDir().mkpath(prog(golden()));
    killAtEveryPoint([](const QString& prog) {
        expectCompleteClient(prog, 0);
        expectCompleteClient(prog, 1);
    });
}

TEST_F(KillPoints, UpgradeOfAnOldClient) {
    QDir().mkpath(prog(golden()));
    startNormally(golden());
    const QStringList customers = addCustomers(prog(golden()));
    QFile version(prog(golden()) + u"Data0001/Version.Dat"_s);
    ASSERT_TRUE(version.open(QIODevice::WriteOnly));
    version.write("230\r\n");
    version.close();
    killAtEveryPoint([&](const QString& prog) {
        expectCompleteClient(prog, 0);
        expectCompleteClient(prog, 1, customers);
    });
}

TEST_F(KillPoints, ClientCreation) {
    QDir().mkpath(prog(golden()));
    startNormally(golden());
    const QStringList customers = addCustomers(prog(golden()));
    m_create = 2;
    killAtEveryPoint([&](const QString& prog) {
        expectCompleteClient(prog, 1, customers);
        // The new client exists completely or not at all (then it is created
        // again by this start).
        expectCompleteClient(prog, 2);
    });
}

} // namespace
