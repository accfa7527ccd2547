#include "datasafety/documentarchive/archiveconnection.h"

#include "platform/errors.h"
#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/tableerror.h"
#include "platform/table/values.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QString kLumo = u"LumoDB"_s;
const QString kAblage = u"AblageDB"_s;

std::shared_ptr<table::Database> openExisting(const QString& dir, const QString& what) {
    if (!QFileInfo::exists(table::Database::fileIn(dir)))
        throw DbError(u"Die %1 wurde im Verzeichnis %2 nicht gefunden."_s.arg(
            what, QDir::toNativeSeparators(dir)));
    table::Database::Options options;
    options.create = false;
    return table::Database::open(dir, options);
}

QString journalOf(table::Database& db, const QString& schema) {
    auto s = db.connection().prepare(u"PRAGMA %1.journal_mode"_s.arg(schema));
    return s->step() ? s->value(0).toString().toLower() : QString();
}

QString canonical(const QString& dir) {
    return QFileInfo(table::Database::fileIn(dir)).canonicalFilePath();
}

// The shared cursors of an alias on the same file read their rows again.
void tellAliasCursors(const QString& alias, const QString& dir) {
    QString aliasDir;
    try {
        aliasDir = table::aliases::directory(alias);
    } catch (const table::TableError&) {
        return; // the alias is not defined: no shared cursors to tell
    }
    if (canonical(aliasDir) != canonical(dir))
        return;
    table::aliases::database(alias)->invalidateCursors();
}

} // namespace

ArchiveConnection::ArchiveConnection()
    : ArchiveConnection(table::aliases::directory(kLumo), table::aliases::directory(kAblage)) {}

ArchiveConnection::ArchiveConnection(const QString& dataDir, const QString& archiveDir) {
    m_work = openExisting(dataDir, u"Datenbank"_s);
    m_archive = openExisting(archiveDir, u"Datenablage"_s);
    m_work->execSql(u"ATTACH DATABASE ? AS ablage"_s, {m_archive->fileName()});
    if (const QString problem = ArchiveJournalProblem(*m_work); !problem.isEmpty())
        throw DbError(problem);
}

ArchiveConnection::~ArchiveConnection() {
    const QString workDir = m_work->directory();
    const QString archiveDir = m_archive->directory();
    m_work.reset();
    m_archive.reset();
    try {
        tellAliasCursors(kLumo, workDir);
        tellAliasCursors(kAblage, archiveDir);
    } catch (const std::exception&) {
        // A cursor that cannot read its record now reads it again when next used.
    }
}

QString ArchiveConnection::workingTable(const QString& name) {
    return u"main."_s + table::quoted(table::physicalName(workingDef(name).name));
}

QString ArchiveConnection::archiveTable(const QString& name) {
    return u"ablage."_s + table::quoted(table::physicalName(archiveDef(name).name));
}

table::TableDef ArchiveConnection::workingDef(const QString& name) {
    if (!m_work->exists(name))
        throw DbError(u"Die Tabelle %1 wurde in der Datenbank nicht gefunden."_s.arg(name));
    return m_work->tableDef(name);
}

table::TableDef ArchiveConnection::archiveDef(const QString& name) {
    if (!m_archive->exists(name))
        throw DbError(u"Die Tabelle %1 wurde in der Datenablage nicht gefunden."_s.arg(name));
    return m_archive->tableDef(name);
}

QString ArchiveJournalProblem(table::Database& work) {
    const std::pair<const char*, const char*> schemas[] = {{"main", "Datenbank"},
                                                           {"ablage", "Datenablage"}};
    for (const auto& [schema, what] : schemas)
        if (journalOf(work, QString::fromLatin1(schema)) == u"wal"_s)
            return u"Die Datenauslagerung ist nicht möglich: Die %1 wird im WAL-Modus "
                   "betrieben.\rBelege lassen sich nur im Rollback-Journal-Modus sicher in die "
                   "Datenablage überstellen."_s.arg(QString::fromUtf8(what));
    return {};
}
