#pragma once

#include <QString>

// The per-client paths file PfadeFileName: line 1 the transport path, line 2
// the backup path, each with a trailing separator.

// Purposes named in the messages of CheckBackupPath.
QString BackupPurpose();    // "Zur Datensicherung"
QString TransportPurpose(); // "Zum Datenexport"

// Whether a path may be used for backups: its drive must exist (paths with a
// drive letter name no drive here), and a missing directory is created after
// asking. A refusal is reported, except when the user declines creation.
bool CheckBackupPath(const QString& path, const QString& purpose, const QString& defaultPath);
// The fallback for a transport or backup path whose drive is gone.
QString SystemDrivePath();

bool SaveBackupPaths();

// The two paths as the form "Datensicherungspfade einstellen" edits them.
// They stay as typed (a file system distinguishes case) and get a trailing
// separator before they are compared or used.
struct BackupPathEdits {
    QString backup;
    QString transport;
};
// Whether either path differs from the one in force.
bool BackupPathsDiffer(const BackupPathEdits& edits);
// Takes every path that passes CheckBackupPath and writes the paths file.
void ApplyBackupPaths(const BackupPathEdits& edits);
// Closing the form: "&OK" applies; any other way applies only after
// "Möchten Sie die Änderungen speichern?", asked only when a path differs.
void CloseBackupPathForm(const BackupPathEdits& edits, bool ok);
