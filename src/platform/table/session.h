#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <tuple>

class QTimer;

namespace table {

class Connection;
class FileLock;

// One entry of the list of connected sessions.
struct SessionInfo {
    int number = 0;
    QString userName; // at most 15 characters
    QString host;
    qint64 pid = 0;
};

// A workstation's membership in the shared registry of sessions and record
// locks. The registry is a small database file in a directory every
// workstation reaches (the network control directory). A session counts as
// alive while its heartbeat is fresh and, on the same host, while its process
// exists; dead sessions are purged together with their locks.
class Session {
public:
    struct Options {
        std::function<QDateTime()> clock; // default: the system clock
        int staleAfterSeconds = 60;       // heartbeat age after which a session is dead
        qint64 pid = 0;                   // default: this process
        QString host;                     // default: this host's name
        int busyTimeoutMs = 5000;
        // Beats by timer while an event loop runs (also in modal dialogs);
        // -1: a quarter of staleAfterSeconds, 0: only explicit beat() calls.
        int autoBeatMs = -1;
    };

    Session(const QString& registryDirectory, const QString& userName, Options options);
    Session(const QString& registryDirectory, const QString& userName);
    ~Session(); // leaves the registry and drops this session's locks
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    int number() const { return m_number; }
    const QString& userName() const { return m_user; }

    // Renews the heartbeat; the owner calls it from a timer well inside
    // staleAfterSeconds. A session that others purged meanwhile joins again.
    void beat();
    // The live sessions ordered by number (dead ones are purged first).
    QList<SessionInfo> users();
    int userCount() { return int(users().size()); }

    // Record locks: key is the record's primary key as text; "*" stands for the table.
    void lockRecord(const QString& database, const QString& table, const QString& key);
    void unlockRecord(const QString& database, const QString& table, const QString& key);
    void lockTable(const QString& database, const QString& table);
    void unlockTable(const QString& database, const QString& table);
    // Whether this session holds the table's write lock.
    bool holdsTableLock(const QString& database, const QString& table) const;
    // Raises RecordLocked when another session holds the table's write lock.
    void checkWritable(const QString& database, const QString& table);

    // Open registrations for exclusive use of a table. Further opens of a
    // table this session has registered already are counted here only: the
    // registry entry stands for all of them.
    void registerOpen(const QString& database, const QString& table, bool exclusive);
    void unregisterOpen(const QString& database, const QString& table, bool exclusive);

private:
    bool alive(qint64 heartbeatMs, const QString& host, qint64 pid) const;
    void purgeDead();
    int insertSelf();
    // The heartbeat inside the caller's write transaction: one that others
    // purged meanwhile joins again with the registrations it holds.
    void beatInTransaction();
    bool renewHeartbeat(); // false when the registry has no entry for this session
    bool heartbeatFresh() const;
    void insertOpen(const QString& database, const QString& table, bool exclusive);
    void insertLock(const QString& database, const QString& table, const QString& key);
    qint64 nowMs() const;
    int otherHolder(const QString& database, const QString& table, const QString& key);

    std::unique_ptr<FileLock> m_presence; // held shared while this session lives
    std::unique_ptr<Connection> m_db;
    std::unique_ptr<QTimer> m_timer;
    QString m_user;
    Options m_options;
    int m_number = 0;
    struct OpenKey {
        QString database, table; // table folded as the registry compares it
        bool exclusive = false;
        bool operator<(const OpenKey& o) const {
            return std::tie(database, table, exclusive) <
                   std::tie(o.database, o.table, o.exclusive);
        }
    };
    std::map<OpenKey, int> m_opens; // this session's registrations and their open count
    using TableKey = std::pair<QString, QString>; // database, folded table name
    std::set<TableKey> m_tableLocks;              // tables this session holds the write lock of
    // Record locks taken under one of those table locks, not entered in the registry.
    std::map<TableKey, std::set<QString>> m_coveredLocks;
    qint64 m_lastBeatMs = 0;
};

} // namespace table
