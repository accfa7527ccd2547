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

// A table name as the registry compares it (COLLATE NOCASE folds ASCII letters only).
QString foldedName(const QString& table) {
    QString folded = table;
    for (QChar& c : folded)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    return folded;
}

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
        // Every lock is a write of its own: the journal file is kept between
        // writes instead of being made and deleted each time.
        m_db->exec(QStringLiteral("PRAGMA synchronous=OFF;"
                                  "PRAGMA journal_mode=PERSIST;"
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

bool Session::renewHeartbeat() {
    const qint64 now = nowMs();
    StatementUse s(
        m_db->cached(QStringLiteral("UPDATE sessions SET heartbeat = ? WHERE number = ?")));
    s->bindAll({now, m_number});
    s->step();
    if (m_db->changes() == 0)
        return false;
    m_lastBeatMs = now;
    return true;
}

// Beaten recently enough that no other session can have taken this one for
// dead since; a quarter of the limit leaves room for clocks a little apart.
bool Session::heartbeatFresh() const {
    return nowMs() - m_lastBeatMs < qint64(m_options.staleAfterSeconds) * 250;
}

void Session::beat() {
    if (renewHeartbeat())
        return;
    // Others took this session for dead (e.g. after a long pause without
    // beats): join again, under a new number when the old one is taken.
    writeTransaction(*m_db, [&] { beatInTransaction(); });
}

void Session::beatInTransaction() {
    if (renewHeartbeat())
        return;
    m_number = insertSelf();
    m_lastBeatMs = nowMs();
    // The purge took this session's registrations with it: the opens are
    // entered again; the locks are lost, as a dead session's are.
    for (const auto& [key, count] : m_opens)
        insertOpen(key.database, key.table, key.exclusive);
    m_tableLocks.clear();
}

void Session::insertOpen(const QString& database, const QString& table, bool exclusive) {
    StatementUse ins(m_db->cached(QStringLiteral("INSERT INTO opens VALUES(?, ?, ?, ?)")));
    ins->bindAll({m_number, database, table, exclusive});
    ins->step();
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
    const TableKey tableKey{database, foldedName(table)};
    if (key != kTableKey && m_tableLocks.count(tableKey) && heartbeatFresh()) {
        // This session's table lock keeps every other session off the
        // table's records; the record lock is entered when the table lock goes.
        m_coveredLocks[tableKey].insert(key);
        return;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool taken = writeTransaction(*m_db, [&] {
            // A lock must never belong to a session the others think dead.
            beatInTransaction();
            if (otherHolder(database, table, key) != 0)
                return false;
            insertLock(database, table, key);
            return true;
        });
        if (taken) {
            if (key == kTableKey)
                m_tableLocks.insert(tableKey);
            return;
        }
        if (attempt == 0)
            purgeDead(); // the holder may have crashed
    }
    throw TableError(
        TableError::RecordLocked,
        key == kTableKey
            ? QStringLiteral("Die Tabelle %1 ist von einem anderen Benutzer gesperrt.").arg(table)
            : QStringLiteral("Der Datensatz ist von einem anderen Benutzer gesperrt."));
}

void Session::insertLock(const QString& database, const QString& table, const QString& key) {
    StatementUse ins(
        m_db->cached(QStringLiteral("INSERT OR IGNORE INTO locks VALUES(?, ?, ?, ?)")));
    ins->bindAll({database, table, key, m_number});
    ins->step();
}

void Session::unlockRecord(const QString& database, const QString& table, const QString& key) {
    const TableKey tableKey{database, foldedName(table)};
    const auto covered = m_coveredLocks.find(tableKey);
    if (key != kTableKey && covered != m_coveredLocks.end() && covered->second.erase(key) > 0) {
        if (covered->second.empty())
            m_coveredLocks.erase(covered);
        return;
    }
    auto remove = [&] {
        StatementUse s(m_db->cached(QStringLiteral(
            "DELETE FROM locks WHERE db = ? AND tab = ? AND key = ? AND session = ?")));
        s->bindAll({database, table, key, m_number});
        s->step();
    };
    if (key != kTableKey) {
        remove();
        return;
    }
    m_tableLocks.erase(tableKey);
    if (covered == m_coveredLocks.end()) {
        remove();
        return;
    }
    // The records still in edit keep their locks without a gap.
    const std::set<QString> keys = std::move(covered->second);
    m_coveredLocks.erase(covered);
    writeTransaction(*m_db, [&] {
        for (const QString& k : keys)
            insertLock(database, table, k);
        remove();
    });
}

void Session::lockTable(const QString& database, const QString& table) {
    lockRecord(database, table, kTableKey);
}

void Session::unlockTable(const QString& database, const QString& table) {
    unlockRecord(database, table, kTableKey);
}

bool Session::holdsTableLock(const QString& database, const QString& table) const {
    return m_tableLocks.count({database, foldedName(table)}) > 0;
}

void Session::checkWritable(const QString& database, const QString& table) {
    // Only one session at a time can hold a table's write lock.
    if (m_tableLocks.count({database, foldedName(table)}) && heartbeatFresh())
        return;
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
    const OpenKey key{database, foldedName(table), exclusive};
    if (auto it = m_opens.find(key); it != m_opens.end()) {
        // The entry in the registry already keeps others from opening the
        // table exclusively (or at all, for an exclusive one), unless others
        // may have taken this session for dead meanwhile.
        if (!heartbeatFresh())
            writeTransaction(*m_db, [&] { beatInTransaction(); });
        ++it->second;
        return;
    }
    auto conflict = [&] {
        StatementUse s(
            m_db->cached(QStringLiteral("SELECT 1 FROM opens WHERE db = ? AND tab = ? AND session "
                                        "<> ? AND (exclusive OR ?) LIMIT 1")));
        s->bindAll({database, table, m_number, exclusive});
        return s->step();
    };
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool registered = writeTransaction(*m_db, [&] {
            beatInTransaction();
            if (conflict())
                return false;
            insertOpen(database, table, exclusive);
            return true;
        });
        if (registered) {
            m_opens.emplace(key, 1);
            return;
        }
        if (attempt == 0)
            purgeDead(); // the other user may have crashed
    }
    throw TableError(
        TableError::TableInUse,
        QStringLiteral("Die Tabelle %1 wird von einem anderen Benutzer verwendet.").arg(table));
}

void Session::unregisterOpen(const QString& database, const QString& table, bool exclusive) {
    const auto it = m_opens.find({database, foldedName(table), exclusive});
    if (it != m_opens.end() && --it->second > 0)
        return;
    if (it != m_opens.end())
        m_opens.erase(it);
    StatementUse s(m_db->cached(
        QStringLiteral("DELETE FROM opens WHERE rowid = (SELECT rowid FROM opens "
                       "WHERE session = ? AND db = ? AND tab = ? AND exclusive = ? LIMIT 1)")));
    s->bindAll({m_number, database, table, exclusive});
    s->step();
}

} // namespace table
