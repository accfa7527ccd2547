#pragma once

#include "datasafety/backupdialog.h"

#include <QList>
#include <QString>
#include <functional>

// The windows of data safety, installed by its window library at start-up;
// without them the entries report themselves unavailable. Tests install
// scripted ones.
struct DataSafetyWindows {
    // Shows the backup dialog modally for these arguments.
    std::function<void(const BackupDialogArgs&)> backupDialog;
    // The vault window: sends the archive (and its companion); fetches
    // archives of the kinds and names the first one; cleans up.
    std::function<bool(const QString& archivePath)> ftpUpload;
    std::function<bool(const QString& ext, const QString& ext2, QString& name)> ftpDownload;
    std::function<void()> ftpCleanUp;
    std::function<void()> pathForm;
    std::function<void()> ftpSettingsForm;
};
DataSafetyWindows& DataSafetyWindowsRegistry();
bool DataSafetyWindowsAvailable(int service);

// The kinds of data that are backed up.
enum class BackupKind { Databases, Layouts, Definitions, DunningTemplates, TextModules };

// One right the operation needs: function number and right bit.
struct BackupRight {
    int function = 0;
    int bit = 0;
    bool operator==(const BackupRight&) const = default;
};
// The rights of a mode for a kind; every one is checked, each refusal shown.
QList<BackupRight> BackupRightsOf(BackupKind kind, int mode);
bool CheckBackupRights(BackupKind kind, int mode);

// Opens the backup dialog: the timer work paused, every cursor of the
// client database posted, closed and afterwards opened again. An error
// while the dialog is made is shown and logged; the result is then 1.
void RunBackupDialog(const BackupDialogArgs& args);
