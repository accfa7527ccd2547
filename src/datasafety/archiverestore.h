#pragma once

#include "datasafety/archiveformat.h"

#include <QString>

class BackupObserver;
class QFile;

struct RestoreOptions {
    // When set, the archive must hold a database of this program that has
    // this table; otherwise the old data stay.
    QString requiredTable;
};
// The check for an archive kind: "CCB" the client database, "CCA" the
// archive database, nothing for the other kinds.
RestoreOptions RestoreOptionsForKind(const QString& ext);

struct RestoreResult {
    int files = 0;
    qint64 bytes = 0;
    int errors = 0; // files that could not be written
};

// Restores the archive into targetDir. Nothing on disk is touched before the
// whole archive was checked (length, sizes, sums, names); every file is then
// inflated into a staging directory beside the target, the database is
// checked when the options ask for it, and only then the staged files take
// the place of the target's plain files, so that the target ends with
// exactly the archive's files. A directory whose database this process holds
// open is refused. True when every file was restored; the messages of every
// failure are shown here.
bool RestoreBackupArchive(const QString& targetDir, const QString& archivePath,
                          BackupObserver& observer, const RestoreOptions& options = {},
                          RestoreResult* result = nullptr);

// One archive of a restore of several directories.
struct RestoreItem {
    QString targetDir;
    QString archivePath;
    RestoreOptions options;
};
// Restores every archive into its directory as one: all are checked and
// staged before the first directory changes, and one journal covers the
// swap, so that a failure or a kill leaves every directory old or every one
// new. The results come in the order of the items.
bool RestoreBackupArchives(const QList<RestoreItem>& items, BackupObserver& observer,
                           QList<RestoreResult>* results = nullptr);

// Inflates the streams of an open archive, positioned after its header, into
// targetDir: one row per file, "OK" or "FEHLER". Stops at the first failure.
bool ExtractArchiveFiles(const QString& targetDir, QFile& archive, const TheaderArray& header,
                         BackupObserver& observer, RestoreResult& result);

// Deletes every plain file of dir (write protection removed first); at the
// first file that cannot be deleted it says so and stops. True when all went.
bool EmptyTargetDirectory(const QString& dir);
