#include "core/files/filelookup.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The entry of dir named name without regard to case, of the kinds given.
QString findEntry(const QString& dir, const QString& name, QDir::Filters kinds) {
    if (name.isEmpty())
        return {};
    const QDir directory(dir);
    if (const QFileInfo exact(directory.filePath(name));
        (kinds & QDir::Files) ? exact.isFile() : exact.isDir())
        return exact.filePath();
    // Sorted, so that of two names differing only in case always the same wins.
    const QStringList entries =
        directory.entryList(kinds | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return directory.filePath(entry);
    return {};
}

} // namespace

QString FindFileIgnoringCase(const QString& dir, const QString& name) {
    return findEntry(dir, name, QDir::Files);
}

QString FindPathIgnoringCase(const QString& dir, const QString& relativePath) {
    QStringList parts = QString(relativePath).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return {};
    const QString file = parts.takeLast();
    QString at = dir;
    for (const QString& folder : std::as_const(parts)) {
        at = findEntry(at, folder, QDir::Dirs | QDir::NoDotAndDotDot);
        if (at.isEmpty())
            return {};
    }
    return findEntry(at, file, QDir::Files);
}
