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
