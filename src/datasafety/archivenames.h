#pragma once

#include <QDate>
#include <QString>

// Archive names: prefix "FB" + "dd.mm.yyyy" + "v" + three-digit sequence +
// "." + kind extension, e.g. FB08.12.2026v000.CCB (20 characters).

// The next free name of the day in targetDir and, with a second extension,
// its companion with the same sequence. Both extensions are searched, so a
// companion left from an earlier run is never overwritten. False, after an
// error message, when the day's 1,000 numbers are used up.
bool NextArchiveName(const QString& targetDir, const QString& prefix, const QString& ext,
                     const QString& ext2, QString& name, QString& companion,
                     const QDate& today = QDate::currentDate());

// Sort key of a row: year, month, day, "v" and sequence taken from the name.
QString BackupRowKey(const QString& archiveName);

// The "Kommentar" text of an archive in the vault, e.g. "Datenbanken vom
// 08.12.2026 Version 000", or "Unbekanntes Sicherungsformat".
QString DescribeBackupFile(const QString& archiveName);

// Whether a name has the archive form: "FB", a date, "v", three digits,
// ".CC" and a kind letter.
bool IsBackupArchiveName(const QString& name);

// Whether the name contains either extension (case-sensitive); "###" stands
// for no second extension.
bool MatchesBackupKind(const QString& name, const QString& ext, const QString& ext2);
