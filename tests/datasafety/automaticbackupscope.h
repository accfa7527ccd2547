#pragma once

#include "core/files/programdirs.h"
#include "core/rights/rights.h"
#include "datasafety/autobackup.h"
#include "datasafety/backupdialog.h"
#include "datasafety/backupentries.h"

#include <QDir>
#include <QTemporaryDir>

namespace backuptest {

// The program's automatic backup for a data run's test, its dialog worked
// as a user works it: opened, "&Starten" pressed; the question "Ablagedaten
// sichern?" is answered by the test's presenter. The archives go into a
// directory of their own; everything is put back afterwards.
class AutomaticBackupScope : private BackupDialogView {
public:
    AutomaticBackupScope()
        : m_service(AutoBackupServiceRegistry()), m_windows(DataSafetyWindowsRegistry()),
          m_backupDir(BackupDir), m_user(CurrentUser) {
        BackupDir = m_dir.path() + QLatin1Char('/');
        CurrentUser.rights.set(48, CurrentUser.rights.at(48) | rbView | rbCreate);
        AutoBackupServiceRegistry() = DefaultAutoBackupService();
        DataSafetyWindowsRegistry().backupDialog = [this](const BackupDialogArgs& args) {
            ++dialogs;
            comments.append(args.comment);
            BackupDialog dialog(args, *this);
            dialog.open();
            dialog.start();
        };
    }
    ~AutomaticBackupScope() override {
        AutoBackupServiceRegistry() = m_service;
        DataSafetyWindowsRegistry() = m_windows;
        BackupDir = m_backupDir;
        CurrentUser = m_user;
    }
    AutomaticBackupScope(const AutomaticBackupScope&) = delete;
    AutomaticBackupScope& operator=(const AutomaticBackupScope&) = delete;

    QStringList archives() const {
        return QDir(m_dir.path()).entryList({QStringLiteral("FB*")}, QDir::Files, QDir::Name);
    }

    int dialogs = 0;
    QStringList comments;

private:
    QTemporaryDir m_dir;
    AutoBackupService m_service;
    DataSafetyWindows m_windows;
    QString m_backupDir;
    TUserRec m_user;
};

} // namespace backuptest
