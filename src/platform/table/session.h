#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

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
    // Raises RecordLocked when another session holds the table's write lock.
    void checkWritable(const QString& database, const QString& table);

    // Open registrations for exclusive use of a table.
    void registerOpen(const QString& database, const QString& table, bool exclusive);
    void unregisterOpen(const QString& database, const QString& table);

private:
    bool alive(qint64 heartbeatMs, const QString& host, qint64 pid) const;
    void purgeDead();
    int insertSelf();
    qint64 nowMs() const;
    int otherHolder(const QString& database, const QString& table, const QString& key);

    std::unique_ptr<FileLock> m_presence; // held shared while this session lives
    std::unique_ptr<Connection> m_db;
    std::unique_ptr<QTimer> m_timer;
    QString m_user;
    Options m_options;
    int m_number = 0;
};

} // namespace table
