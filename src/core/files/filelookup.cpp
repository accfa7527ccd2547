#include "core/files/filelookup.h"

#include <QDir>
#include <QFileInfo>

QString FindFileIgnoringCase(const QString& dir, const QString& name) {
    if (name.isEmpty())
        return {};
    const QDir directory(dir);
    if (const QFileInfo exact(directory.filePath(name)); exact.isFile())
        return exact.filePath();
    // Sorted, so that of two names differing only in case always the same wins.
    const QStringList entries =
        directory.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return directory.filePath(entry);
    return {};
}
