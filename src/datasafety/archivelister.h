#pragma once

#include <QList>
#include <QStringList>

class BackupObserver;

// Lists the archives matching mask (directory + "*." + kind extension) as
// rows of the list view (name, size, "OK", comment) or, in delete mode, of
// the delete view (name, size, "Nein", comment, version). A file that cannot
// be opened or is shorter than one header record is left out; outside delete
// mode so is an archive made with a database version below minVersion.
// Gives the number of rows.
int ListBackupArchives(const QString& mask, bool deleteMode, BackupObserver& observer,
                       int minVersion);
int ListBackupArchives(const QString& mask, bool deleteMode, BackupObserver& observer);

// Orders rows by the key of the archive name in their first cell (newest or
// oldest first); rows with equal keys keep their order.
void SortArchiveRows(QList<QStringList>& rows, bool newestFirst);
