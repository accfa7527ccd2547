#pragma once

#include <QString>
#include <QStringList>

class BackupObserver;

struct BackupTotals {
    int files = 0;
    qint64 bytes = 0;
    qint64 packed = 0;
    BackupTotals& operator+=(const BackupTotals& other);
};

// Writes the archive `archiveName` in targetDir from the plain files of
// sourceDir that match mask ("*.*" is every file): names beginning with "."
// and the ".LCK" lock files are skipped; the program's database is taken
// from a consistent snapshot, never with its journal files. The archive is
// built under a hidden working name and renamed when complete, never over an
// existing file; on any failure it is removed and the error shown. Names
// beyond 66 characters or outside Windows-1252, and sizes beyond 32 bits, are
// refused before anything is written. The comment is cut so that the info
// text holds 66 characters. True when the archive was written completely.
bool WriteBackupArchive(const QString& mask, const QString& sourceDir, const QString& archiveName,
                        const QString& comment, const QString& targetDir, int dbVersion,
                        BackupObserver& observer, BackupTotals* totals = nullptr);

// The dialog's summary row below the files of a backup run.
QStringList BackupSummaryRow(const BackupTotals& totals);
