#include "datasafety/archivelister.h"

#include "core/settings/programsettings.h"
#include "datasafety/archiveformat.h"
#include "datasafety/archivenames.h"
#include "datasafety/backupobserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

using namespace Qt::StringLiterals;

int ListBackupArchives(const QString& mask, bool deleteMode, BackupObserver& observer,
                       int minVersion) {
    observer.setView(deleteMode ? BackupView::Delete : BackupView::List);
    const QFileInfo pattern(mask);
    const QFileInfoList files =
        QDir(pattern.path())
            .entryInfoList({pattern.fileName()}, QDir::Files | QDir::Hidden | QDir::System,
                           QDir::Name);
    int rows = 0;
    for (const QFileInfo& file : files) {
        QFile archive(file.absoluteFilePath());
        TheaderRec info;
        if (!archive.open(QIODevice::ReadOnly) || !ReadArchiveInfo(archive, info))
            continue;
        if (!deleteMode && info.dbVersion < minVersion)
            continue;
        QStringList cells{file.fileName(), ByteColumn(file.size()),
                          deleteMode ? u"Nein"_s : u"OK"_s, ArchiveCommentOf(info.fileName)};
        if (deleteMode)
            cells << VersionColumn(info.dbVersion);
        observer.addRow(cells);
        ++rows;
    }
    return rows;
}

int ListBackupArchives(const QString& mask, bool deleteMode, BackupObserver& observer) {
    return ListBackupArchives(mask, deleteMode, observer, CurrentDbVersion);
}

void SortArchiveRows(QList<QStringList>& rows, bool newestFirst) {
    std::stable_sort(rows.begin(), rows.end(),
                     [newestFirst](const QStringList& a, const QStringList& b) {
                         const QString ka = BackupRowKey(a.value(0));
                         const QString kb = BackupRowKey(b.value(0));
                         return newestFirst ? ka > kb : ka < kb;
                     });
}
