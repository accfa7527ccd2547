#include "core/files/databasefile.h"

#include "core/files/programdirs.h"
#include "core/messages/syslog.h"
#include "platform/errors.h"
#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/tableerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kHeader("SQLite format 3", 16); // with its closing zero byte
const QString kContentDestroyed =
    u"Ihr Inhalt ist zerstört (zum Beispiel abgeschnitten oder überschrieben)."_s;

bool hasDatabaseHeader(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) && f.read(kHeader.size()) == kHeader;
}

quint32 bigEndian(const QByteArray& bytes, int at, int size) {
    quint32 value = 0;
    for (int i = 0; i < size; ++i)
        value = value << 8 | quint8(bytes.at(at + i));
    return value;
}

// A file shorter than its header says was cut off: found without reading
// its pages. The header's page count holds only while its change counter
// matches (offsets 24 and 92), and a journal or log beside the file may
// still complete it.
bool cutShort(const QString& file) {
    for (const char* beside : {"-wal", "-journal"})
        if (QFileInfo(file + QLatin1String(beside)).size() > 0)
            return false;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = f.read(100);
    if (header.size() < 100 || bigEndian(header, 24, 4) != bigEndian(header, 92, 4))
        return false;
    const quint32 pageSize = bigEndian(header, 16, 2) == 1 ? 65536 : bigEndian(header, 16, 2);
    const quint64 pages = bigEndian(header, 28, 4);
    return pages > 0 && pageSize >= 512 && quint64(f.size()) < pages * pageSize;
}

// The clients whose files were checked page by page in this session.
QSet<QString>& thoroughlyChecked() {
    static QSet<QString> dirs;
    return dirs;
}

bool& lastSessionUnclean() {
    static bool unclean = false;
    return unclean;
}

} // namespace

DatabaseFileCheck InspectDatabaseFile(const QString& dir, bool thorough) {
    DatabaseFileCheck check;
    const QString file = table::Database::fileIn(dir);
    check.fileName = QDir::toNativeSeparators(file);
    const QFileInfo info(file);
    if (!info.exists() && !info.isSymLink())
        return check;
    check.state = DatabaseFileState::Damaged;
    if (!info.isFile()) {
        check.problem = u"An ihrer Stelle steht keine Datei."_s;
        return check;
    }
    if (info.size() == 0) {
        check.problem = u"Die Datei ist leer."_s;
        return check;
    }
    if (!hasDatabaseHeader(file)) {
        check.problem = u"Die Datei ist keine Datenbank, oder ihr Kopf ist zerstört."_s;
        return check;
    }
    if (cutShort(file)) {
        check.problem = kContentDestroyed;
        return check;
    }
    try {
        // The engine's own connection (with the program's collation), opened
        // without create: a journal that a crash left behind is rolled back,
        // as at every opening, and nothing else is written.
        table::Connection db(file, 5000, false);
        QStringList tables;
        {
            table::StatementUse s(db.cached(QStringLiteral(
                "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                "'sqlite^_%' ESCAPE '^' AND name NOT LIKE '^_domvera^_%' ESCAPE '^'")));
            while (s->step())
                tables.append(s->text(0));
        }
        if (thorough) {
            table::StatementUse s(db.cached(QStringLiteral("PRAGMA quick_check")));
            if (!s->step() || s->text(0) != u"ok") {
                check.problem = kContentDestroyed;
                return check;
            }
        }
        check.state = tables.isEmpty() ? DatabaseFileState::Empty : DatabaseFileState::Present;
    } catch (const table::TableError& error) {
        check.problem = error.kind() == table::TableError::Damaged
                            ? kContentDestroyed
                            : u"Sie kann nicht gelesen werden ("_s + error.message() + u")."_s;
    }
    return check;
}

QString DamagedDatabaseMessage(const DatabaseFileCheck& check) {
    return u"Die Datenbank\r"_s + check.fileName + u"\rist beschädigt: "_s + check.problem +
           u"\rSie bleibt unverändert. Bitte spielen Sie eine Datensicherung ein."_s;
}

void CheckClientDatabaseFiles(bool thorough) {
    for (const QString& dir : {DataDir, AblageDir}) {
        const bool full = thorough || (lastSessionUnclean() && !thoroughlyChecked().contains(dir));
        if (full)
            WriteLog(u"DBCHECK FULL "_s + QDir::toNativeSeparators(dir));
        const DatabaseFileCheck check = InspectDatabaseFile(dir, full);
        if (check.state == DatabaseFileState::Damaged)
            throw DbError(DamagedDatabaseMessage(check));
        if (full)
            thoroughlyChecked().insert(dir);
    }
}

SessionMark::SessionMark() : m_file(WindowsDir + QLatin1String(SessionMarkerName)) {
    m_unclean = QFileInfo::exists(m_file);
    lastSessionUnclean() = m_unclean;
    thoroughlyChecked().clear();
    // A log not yet named would switch itself off for the run.
    auto log = [](const QString& line) {
        if (!LogFileName.isEmpty())
            WriteLog(line);
    };
    if (m_unclean)
        log(u"Die letzte Sitzung wurde nicht ordnungsgemäß beendet."_s);
    QFile marker(m_file);
    // Without the marker a crash of this session goes unnoticed at the next
    // start: worth a line in the log, not a stop.
    if (!marker.open(QIODevice::WriteOnly | QIODevice::Truncate))
        log(u"Die Sitzungsmarkierung "_s + QDir::toNativeSeparators(m_file) +
            u" kann nicht geschrieben werden."_s);
}

SessionMark::~SessionMark() {
    QFile::remove(m_file);
    lastSessionUnclean() = false;
}
