#include "datasafety/databasesnapshot.h"

#include "platform/errors.h"
#include "platform/table/database.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

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
