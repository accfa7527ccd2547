#include "datasafety/databasesnapshot.h"

#include "core/files/programdirs.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/filelock.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

QString workLockFile(const QString& dir) {
    return QDir(dir).filePath(BackupWorkLockName());
}

} // namespace

// Hidden beside the archives; the archive lists never show it.
QString BackupWorkLockName() {
    return u".sicherung-arbeit"_s;
}

BackupWorkHold::BackupWorkHold(const QString& dir)
    : m_lock(std::make_unique<table::FileLock>(workLockFile(dir))) {
    // A directory that takes no lock file takes no archive either: the
    // writer reports that itself.
    m_lock->lockShared();
}

BackupWorkHold::~BackupWorkHold() = default;

int RemoveLeftoverBackupWork(const QString& dir) {
    if (!QFileInfo(dir).isDir())
        return 0;
    table::FileLock lock(workLockFile(dir));
    if (!lock.tryLockExclusive())
        return 0; // a backup writes there now
    int removed = 0;
    const QDir directory(dir);
    for (const QFileInfo& entry :
         directory.entryInfoList({u".snapshot-*"_s, u".FB*"_s},
                                 QDir::Dirs | QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const bool gone = entry.isDir() && !entry.isSymLink()
                              ? QDir(entry.absoluteFilePath()).removeRecursively()
                              : QFile::remove(entry.absoluteFilePath());
        removed += gone ? 1 : 0;
    }
    return removed;
}

void RemoveLeftoverBackupWorkAtStart() {
    QStringList dirs{BackupDir, TransportDir};
    for (int mandant = 0; mandant <= MaxMandantNr; ++mandant)
        dirs.append(GetMandantDtbuDir(mandant));
    for (const QString& dir : dirs)
        if (!dir.isEmpty())
            RemoveLeftoverBackupWork(dir);
}

DatabaseSnapshot::DatabaseSnapshot(const QString& sourceDir, const QString& workDir) {
    const QString live = table::Database::fileIn(sourceDir);
    if (!QFileInfo::exists(live))
        return;
    m_dir = std::make_unique<QTemporaryDir>(QDir(workDir).filePath(u".snapshot-XXXXXX"_s));
    if (!m_dir->isValid())
        throw DbError(u"Im Verzeichnis "_s + workDir +
                      u" kann keine Arbeitskopie der Datenbank angelegt werden!"_s);
    try {
        table::Database::Options options;
        options.create = false;
        table::Database::open(sourceDir, options)->backupTo(m_dir->path());
    } catch (const DbError& e) {
        throw DbError(u"Von der Datenbank im Verzeichnis "_s + sourceDir +
                      u" kann keine Sicherungskopie erstellt werden:\r"_s + e.message());
    }
    m_file = table::Database::fileIn(m_dir->path());
    m_lastWrite = QFileInfo(live).lastModified();
    const QFileInfo log(live + u"-wal"_s);
    if (log.exists() && log.lastModified() > m_lastWrite)
        m_lastWrite = log.lastModified();
}

DatabaseSnapshot::~DatabaseSnapshot() = default;

QString DatabaseSnapshot::databaseFileName() {
    return QFileInfo(table::Database::fileIn(u"."_s)).fileName();
}

bool DatabaseSnapshot::isJournalFile(const QString& fileName) {
    const QString db = databaseFileName();
    return fileName == db + u"-wal"_s || fileName == db + u"-shm"_s ||
           fileName == db + u"-journal"_s;
}
