#include "core/files/databasefile.h"

#include "core/files/programdirs.h"
#include "platform/errors.h"
#include "platform/table/backend.h"
#include "platform/table/database.h"
#include "platform/table/tableerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kHeader("SQLite format 3", 16); // with its closing zero byte
const QString kContentDestroyed =
    u"Ihr Inhalt ist zerstört (zum Beispiel abgeschnitten oder überschrieben)."_s;

bool hasDatabaseHeader(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) && f.read(kHeader.size()) == kHeader;
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

void CheckClientDatabaseFiles() {
    for (const QString& dir : {DataDir, AblageDir}) {
        const DatabaseFileCheck check = InspectDatabaseFile(dir, true);
        if (check.state == DatabaseFileState::Damaged)
            throw DbError(DamagedDatabaseMessage(check));
    }
}
