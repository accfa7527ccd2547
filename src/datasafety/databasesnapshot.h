#pragma once

#include <QDateTime>
#include <QString>
#include <memory>

class QTemporaryDir;

namespace table {
class FileLock;
}

// The hold of a backup that writes into a directory: while it lasts, no
// other process takes the hidden working copies there for leftovers. The
// hold ends with its holder, however that ends (also kill -9).
class BackupWorkHold {
public:
    explicit BackupWorkHold(const QString& dir);
    ~BackupWorkHold();
    BackupWorkHold(const BackupWorkHold&) = delete;
    BackupWorkHold& operator=(const BackupWorkHold&) = delete;

private:
    std::unique_ptr<table::FileLock> m_lock;
};

// The hidden lock file of a directory that backups write into.
QString BackupWorkLockName();

// Removes what killed backups left in the directory: the hidden database
// copies (".snapshot-...") and unfinished archives (".FB..."), which hold
// client data where nobody looks. Does nothing while a backup of any
// process writes there. The number of items removed.
int RemoveLeftoverBackupWork(const QString& dir);
// The same for the backup and transport paths in force and every client's
// own backup directory, at start-up.
void RemoveLeftoverBackupWorkAtStart();

// A consistent copy of the program's database in a directory, taken through
// the database engine so that a database in use (with its -wal, -shm or
// -journal files beside it) is archived as one state. The copy lives in a
// hidden working directory below workDir and is removed with this object.
class DatabaseSnapshot {
public:
    // Takes the copy when sourceDir holds a database; raises DbError when the
    // copy cannot be made.
    DatabaseSnapshot(const QString& sourceDir, const QString& workDir);
    ~DatabaseSnapshot();
    DatabaseSnapshot(const DatabaseSnapshot&) = delete;
    DatabaseSnapshot& operator=(const DatabaseSnapshot&) = delete;

    bool taken() const { return !m_file.isEmpty(); }
    QString file() const { return m_file; }
    // The later write time of the database file and its log.
    QDateTime lastWrite() const { return m_lastWrite; }

    // The database file's name in a directory ("domvera.sqlite").
    static QString databaseFileName();
    // Whether a file of the directory belongs to the live database's
    // journal and is never archived.
    static bool isJournalFile(const QString& fileName);

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;
    QDateTime m_lastWrite;
};
