#include "datasafety/shippeddefinitions.h"

#include "core/files/filehelpers.h"
#include "core/files/filelookup.h"
#include "platform/errors.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {
const QString kResourceDir = u":/definitions"_s;
} // namespace

QStringList ShippedDefinitionNames() {
    return QDir(kResourceDir).entryList(QDir::Files, QDir::Name);
}

QStringList EnsureShippedDefinitions(const QString& dir) {
    QStringList written;
    if (dir.isEmpty())
        return written;
    for (const QString& name : ShippedDefinitionNames()) {
        if (!FindFileIgnoringCase(dir, name).isEmpty())
            continue;
        if (!EnsureDirectory(dir))
            throw DbError(u"Das Verzeichnis "_s + dir + u" kann nicht erstellt werden."_s);
        QFile shipped(kResourceDir + u'/' + name);
        const QString target = QDir(dir).filePath(name);
        if (!shipped.open(QIODevice::ReadOnly) ||
            WriteDataFile(target, shipped.readAll()) != DataFileWrite::Written)
            throw DbError(u"Die Definitionsdatei "_s + target +
                          u" kann nicht geschrieben werden."_s);
        written.append(name);
    }
    return written;
}
