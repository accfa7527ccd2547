#include "platform/table/session.h"

#include "platform/table/backend.h"
#include "platform/table/filelock.h"
#include "platform/table/tableerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTimer>
#include <cerrno>
#include <signal.h>

namespace table {

namespace {

const QString kTableKey = QStringLiteral("*");

// Runs a registry change in one write transaction so two sessions never
// both see a key as free.
template <typename F> auto writeTransaction(Connection& db, F&& body) {
    db.exec(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        if constexpr (std::is_void_v<decltype(body())>) {
            body();
            db.exec(QStringLiteral("COMMIT"));
        } else {
            auto result = body();
            db.exec(QStringLiteral("COMMIT"));
            return result;
        }
    } catch (...) {
        db.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

} // namespace

Session::Session(const QString& registryDirectory, const QString& userName)
    : Session(registryDirectory, userName, Options{}) {}

Session::Session(const QString& registryDirectory, const QString& userName, Options options)
    : m_user(userName.left(15)), m_options(std::move(options)) {
    if (!m_options.clock)
        m_options.clock = [] { return QDateTime::currentDateTimeUtc(); };
    if (m_options.pid == 0)
        m_options.pid = QCoreApplication::applicationPid();
    if (m_options.host.isEmpty())
        m_options.host = QSysInfo::machineHostName();
    QDir().mkpath(registryDirectory);
    // The registry only matters while processes live: after a power failure
    // every session is dead anyway, so it need not be synced to disk, and a
    // damaged file is simply started anew.
    const QString file =
        QDir(registryDirectory).filePath(QStringLiteral("domvera.sessions.sqlite"));
    auto openRegistry = [&] {
        m_db = std::make_unique<Connection>(file, m_options.busyTimeoutMs, true);
        m_db->exec(QStringLiteral("PRAGMA synchronous=OFF;"
                                  "CREATE TABLE IF NOT EXISTS sessions(number INTEGER PRIMARY KEY, "
                                  "user TEXT, host TEXT, pid INTEGER, "
                                  "heartbeat INTEGER);"
                                  "CREATE TABLE IF NOT EXISTS locks(db TEXT, tab TEXT COLLATE "
                                  "NOCASE, key TEXT, session INTEGER, "
                                  "PRIMARY KEY(db, tab, key));"
                                  "CREATE TABLE IF NOT EXISTS opens(session INTEGER, db TEXT, tab "
                                  "TEXT COLLATE NOCASE, exclusive "
                                  "INTEGER);"));
    };
    // Every live session holds the presence lock shared; the system drops it
    // when a process ends however it ends. A damaged registry is started anew
    // only by a session that gets the lock alone: while another workstation
    // is connected, its record locks would be lost.
    m_presence = std::make_unique<FileLock>(
        QDir(registryDirectory).filePath(QStringLiteral("domvera.sessions.lck")));
    try {
        openRegistry();
    } catch (const TableError& e) {
        if (e.kind() != TableError::Damaged)
            throw;
        m_db.reset();
        if (!m_presence->tryLockExclusive())
            throw TableError(
                TableError::Damaged,
                QStringLiteral("Die Sperrverwaltung \"%1\" ist beschädigt.\r"
                               "Sie wird erst neu angelegt, wenn kein anderer Arbeitsplatz mehr "
                               "angemeldet ist. Bitte beenden Sie das Programm an allen anderen "
                               "Arbeitsplätzen und starten Sie es dann erneut.")
                    .arg(QDir::toNativeSeparators(file)));
        QFile::remove(file);
        QFile::remove(file + QStringLiteral("-journal"));
        openRegistry();
    }
    m_presence->lockShared();
    purgeDead();
    // The lowest free number, so numbers stay small as sessions come and go.
    m_number = writeTransaction(*m_db, [&] { return insertSelf(); });

    const int interval =
        m_options.autoBeatMs < 0 ? m_options.staleAfterSeconds * 250 : m_options.autoBeatMs;
    if (interval > 0 && QCoreApplication::instance()) {
        m_timer = std::make_unique<QTimer>();
        m_timer->setInterval(interval);
        m_timer->callOnTimeout([this] {
            try {
                beat();
            } catch (const std::exception&) {
                // The registry was busy: the next tick tries again, and a
                // session that others purged meanwhile joins again on beat().
            }
        });
        m_timer->start();
    }
}

Session::~Session() {
    m_timer.reset();
    try {
        writeTransaction(*m_db, [&] {
            for (const char* sql :
                 {"DELETE FROM locks WHERE session = ?", "DELETE FROM opens WHERE session = ?",
                  "DELETE FROM sessions WHERE number = ?"}) {
                StatementUse s(m_db->cached(QLatin1String(sql)));
                s->bind(1, m_number);
                s->step();
            }
        });
    } catch (const std::exception&) {
        // Leaving cannot fail loudly from a destructor; the entry then ages out
        // like a crashed session's.
    }
}

qint64 Session::nowMs() const {
    return m_options.clock().toMSecsSinceEpoch();
}

bool Session::alive(qint64 heartbeatMs, const QString& host, qint64 pid) const {
    if (nowMs() - heartbeatMs > qint64(m_options.staleAfterSeconds) * 1000)
        return false;
    if (host == m_options.host && pid > 0 && pid != m_options.pid) {
        if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            return false;
    }
    return true;
}

void Session::beat() {
    {
        StatementUse s(
            m_db->cached(QStringLiteral("UPDATE sessions SET heartbeat = ? WHERE number = ?")));
        s->bindAll({nowMs(), m_number});
        s->step();
    }
    if (m_db->changes() > 0)
        return;
    // Others took this session for dead (e.g. after a long pause without
    // beats): join again, under a new number when the old one is taken.
    m_number = writeTransaction(*m_db, [&] { return insertSelf(); });
}

int Session::insertSelf() {
    int number = 1;
    {
        StatementUse taken(
            m_db->cached(QStringLiteral("SELECT number FROM sessions ORDER BY number")));
        while (taken->step() && taken->int64(0) == number)
            ++number;
    }
    StatementUse ins(m_db->cached(QStringLiteral("INSERT INTO sessions VALUES(?, ?, ?, ?, ?)")));
    ins->bindAll({number, m_user, m_options.host, m_options.pid, nowMs()});
    ins->step();
    return number;
}

void Session::purgeDead() {
    QList<int> dead;
    {
        StatementUse s(
            m_db->cached(QStringLiteral("SELECT number, heartbeat, host, pid FROM sessions")));
        while (s->step()) {
            if (int(s->int64(0)) != m_number &&
                !alive(s->int64(1), s->value(2).toString(), s->int64(3)))
                dead.append(int(s->int64(0)));
        }
    }
    writeTransaction(*m_db, [&] {
        // Leftovers of sessions that are gone (e.g. a crashed one's entry removed by hand).
        m_db->exec(
            QStringLiteral("DELETE FROM locks WHERE session NOT IN (SELECT number FROM sessions);"
                           "DELETE FROM opens WHERE session NOT IN (SELECT number FROM sessions)"));
        for (int number : dead) {
            for (const char* sql :
                 {"DELETE FROM locks WHERE session = ?", "DELETE FROM opens WHERE session = ?",
                  "DELETE FROM sessions WHERE number = ?"}) {
                StatementUse s(m_db->cached(QLatin1String(sql)));
                s->bind(1, number);
                s->step();
            }
        }
    });
}

QList<SessionInfo> Session::users() {
    purgeDead();
    QList<SessionInfo> result;
    StatementUse s(m_db->cached(
        QStringLiteral("SELECT number, user, host, pid FROM sessions ORDER BY number")));
    while (s->step())
        result.append(
            {int(s->int64(0)), s->value(1).toString(), s->value(2).toString(), s->int64(3)});
    return result;
}

int Session::otherHolder(const QString& database, const QString& table, const QString& key) {
    StatementUse s(
        m_db->cached(QStringLiteral("SELECT session FROM locks WHERE db = ? AND tab = ? AND (key = "
                                    "? OR key = '*' OR ? = '*') AND session <> ? "
                                    "LIMIT 1")));
    s->bindAll({database, table, key, key, m_number});
    return s->step() ? int(s->int64(0)) : 0;
}

void Session::lockRecord(const QString& database, const QString& table, const QString& key) {
    beat(); // a lock must never belong to a session the others think dead
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool taken = writeTransaction(*m_db, [&] {
            if (otherHolder(database, table, key) != 0)
                return false;
            StatementUse ins(
                m_db->cached(QStringLiteral("INSERT OR IGNORE INTO locks VALUES(?, ?, ?, ?)")));
            ins->bindAll({database, table, key, m_number});
            ins->step();
            return true;
        });
        if (taken)
            return;
        if (attempt == 0)
            purgeDead(); // the holder may have crashed
    }
    throw TableError(
        TableError::RecordLocked,
        key == kTableKey
            ? QStringLiteral("Die Tabelle %1 ist von einem anderen Benutzer gesperrt.").arg(table)
            : QStringLiteral("Der Datensatz ist von einem anderen Benutzer gesperrt."));
}

void Session::unlockRecord(const QString& database, const QString& table, const QString& key) {
    StatementUse s(m_db->cached(
        QStringLiteral("DELETE FROM locks WHERE db = ? AND tab = ? AND key = ? AND session = ?")));
    s->bindAll({database, table, key, m_number});
    s->step();
}

void Session::lockTable(const QString& database, const QString& table) {
    lockRecord(database, table, kTableKey);
}

void Session::unlockTable(const QString& database, const QString& table) {
    unlockRecord(database, table, kTableKey);
}

void Session::checkWritable(const QString& database, const QString& table) {
    auto lockedByOther = [&] {
        StatementUse s(m_db->cached(QStringLiteral("SELECT 1 FROM locks WHERE db = ? AND tab = ? "
                                                   "AND key = '*' AND session <> ? LIMIT 1")));
        s->bindAll({database, table, m_number});
        return s->step();
    };
    if (!lockedByOther())
        return;
    purgeDead();
    if (lockedByOther())
        throw TableError(
            TableError::RecordLocked,
            QStringLiteral("Die Tabelle %1 ist von einem anderen Benutzer gesperrt.").arg(table));
}

void Session::registerOpen(const QString& database, const QString& table, bool exclusive) {
    beat();
    auto conflict = [&] {
        StatementUse s(
            m_db->cached(QStringLiteral("SELECT 1 FROM opens WHERE db = ? AND tab = ? AND session "
                                        "<> ? AND (exclusive OR ?) LIMIT 1")));
        s->bindAll({database, table, m_number, exclusive});
        return s->step();
    };
    if (conflict())
        purgeDead();
    writeTransaction(*m_db, [&] {
        if (conflict())
            throw TableError(
                TableError::TableInUse,
                QStringLiteral("Die Tabelle %1 wird von einem anderen Benutzer verwendet.")
                    .arg(table));
        StatementUse ins(m_db->cached(QStringLiteral("INSERT INTO opens VALUES(?, ?, ?, ?)")));
        ins->bindAll({m_number, database, table, exclusive});
        ins->step();
    });
}

void Session::unregisterOpen(const QString& database, const QString& table) {
    StatementUse s(
        m_db->cached(QStringLiteral("DELETE FROM opens WHERE rowid = (SELECT rowid FROM opens "
                                    "WHERE session = ? AND db = ? AND tab = ? LIMIT 1)")));
    s->bindAll({m_number, database, table});
    s->step();
}

} // namespace table
