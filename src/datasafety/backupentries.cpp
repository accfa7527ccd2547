#include "datasafety/backupentries.h"

#include "core/data/clientswitch.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/timerworkpause.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/rights/rights.h"
#include "core/rights/rightsfile.h"
#include "core/settings/programsettings.h"
#include "core/values/datetext.h"
#include "datasafety/datasafety.h"
#include "datasafety/opendatasets.h"
#include "platform/errors.h"
#include "platform/table/database.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace {

constexpr int kBackupMenu = 48; // "Datensicherungs-Menü"
constexpr int kRestore = 51;    // "Daten-Restauration"
const QString kPrefix = u"FB"_s;
const QString kMask = u"*.*"_s;
const QString kClientAlias = u"LumoDB"_s;

struct KindData {
    QString ext;
    QString commentPrefix;
    QString (*dir)();
};

QString qrfdDir() {
    return QrfdDir;
}
QString imExDir() {
    return ImExDir;
}
QString wordDir() {
    return WordDir;
}
QString textbstDir() {
    return TextbstDir;
}

KindData kindData(BackupKind kind) {
    switch (kind) {
    case BackupKind::Layouts:
        return {u"CCL"_s, u"Sicherung der Formular-Layouts am "_s, &qrfdDir};
    case BackupKind::Definitions:
        return {u"CCE"_s, u"Sicherung der Import/Export-Definitionen am "_s, &imExDir};
    case BackupKind::DunningTemplates:
        return {u"CCM"_s, u"Sicherung der Mahnungbrief-Vorlagen am "_s, &wordDir};
    case BackupKind::TextModules:
        return {u"CCT"_s, u"Sicherung der Textbausteine am "_s, &textbstDir};
    case BackupKind::Databases:
        break;
    }
    return {u"CCB"_s, {}, nullptr};
}

BackupDialogArgs argsFor(int mode, const QString& target, const QString& source,
                         const QString& source2, const QString& comment, const QString& ext,
                         const QString& ext2) {
    BackupDialogArgs args;
    args.mode = mode;
    args.dbVersion = CurrentDbVersion;
    args.prefix = kPrefix;
    args.targetPath = target;
    args.sourceDir = source;
    args.sourceDir2 = source2;
    args.comment = comment;
    args.ext = ext;
    args.ext2 = ext2;
    args.mask = kMask;
    return args;
}

const DataSafetyWindows& windows() {
    return DataSafetyWindowsRegistry();
}

// A program without the dialog's window (a test of a library below it)
// says so instead of pretending to have backed up.
void requireDialog() {
    if (!windows().backupDialog)
        throw DbError(u"Der Datensicherungsdialog steht nicht zur Verfügung."_s);
}

// Every entry starts with no run completed and the dialog at hand.
bool enter(BackupKind kind, int mode) {
    requireDialog();
    SetBackupResult(1);
    return CheckBackupRights(kind, mode);
}

// Workstations on the client's databases; without an open database only this one.
int userCount() {
    if (!table::aliases::openedDatabase(kClientAlias))
        return 1;
    return GetBdeUserCount();
}

// The client's databases are released for a restore and afterwards opened
// again as a client switch opens them, with the forms' tables and the title.
void releaseClientDatabases() {
    if (HasDataModule1())
        DataModule1().CloseDatabases();
}

void reopenClientDatabases() {
    if (!HasDataModule1())
        return;
    if (!OpenMandant()) {
        ShowError(u"Die Datenbanken des Mandanten "_s + QString::number(MandantNr) +
                  u" können nicht wieder geöffnet werden.\rDas Programm wird beendet."_s);
        QCoreApplication::exit(1);
        return;
    }
    // The dialog is still open: the timer work waits until it has closed.
    DataModule1().DisableTimerWork();
    RefreshMainTitle();
}

void setDatabaseRestoreHooks(BackupDialogArgs& args) {
    args.userCount = userCount();
    args.releaseDatabases = &releaseClientDatabases;
    args.reopenDatabases = &reopenClientDatabases;
}

void uploadAfterVaultBackup(int mode) {
    if (mode == VaultBackup && GetBackupResult() == 0 && windows().ftpUpload)
        windows().ftpUpload(LastArchivePath());
}

// Fetches archives of the kind from the vault; true when the first fetched
// is to be restored at once.
bool fetchFromVault(const QString& ext, const QString& ext2) {
    QString name;
    if (!windows().ftpDownload || !windows().ftpDownload(ext, ext2, name) || name.isEmpty())
        return false;
    SetLastArchivePath(name);
    return AskYesNo(u"Sicherungsdaten sofort aktivieren?"_s);
}

void backupDataKind(BackupKind kind, int mode) {
    if (!enter(kind, mode))
        return;
    const KindData data = kindData(kind);
    RunBackupDialog(argsFor(mode, mode == TransportBackup ? TransportDir : BackupDir, data.dir(),
                            {}, data.commentPrefix + TodayStr(), data.ext, {}));
    uploadAfterVaultBackup(mode);
}

void restoreDataKind(BackupKind kind, int mode) {
    if (!enter(kind, mode))
        return;
    const KindData data = kindData(kind);
    const int users = userCount();
    if (mode == VaultRestore && !fetchFromVault(data.ext, {}))
        return;
    BackupDialogArgs args = argsFor(mode, mode == TransportRestore ? TransportDir : BackupDir,
                                    data.dir(), {}, {}, data.ext, {});
    args.userCount = users;
    RunBackupDialog(args);
}

void deleteDataKindBackups(BackupKind kind) {
    if (!enter(kind, DeleteBackupsMode))
        return;
    RunBackupDialog(argsFor(DeleteBackupsMode, BackupDir, {}, {}, {}, kindData(kind).ext, {}));
}

} // namespace

DataSafetyWindows& DataSafetyWindowsRegistry() {
    static DataSafetyWindows windows;
    return windows;
}

bool DataSafetyWindowsAvailable(int service) {
    const DataSafetyWindows& w = windows();
    switch (DataSafetyService(service)) {
    case DataSafetyService::DatabaseBackup:
    case DataSafetyService::FileGroupBackup:
        return bool(w.backupDialog);
    case DataSafetyService::Vault:
        return w.backupDialog && w.ftpUpload && w.ftpDownload && w.ftpCleanUp;
    case DataSafetyService::PathForm:
        return bool(w.pathForm);
    case DataSafetyService::FtpForm:
        return bool(w.ftpSettingsForm);
    default:
        return false;
    }
}

QList<BackupRight> BackupRightsOf(BackupKind kind, int mode) {
    const BackupRight create48{kBackupMenu, rbCreate};
    const BackupRight export48{kBackupMenu, rbExport};
    const BackupRight delete48{kBackupMenu, rbDelete};
    const BackupRight create51{kRestore, rbCreate};
    const BackupRight export51{kRestore, rbExport};
    const BackupRight delete51{kRestore, rbDelete};
    const bool databases = kind == BackupKind::Databases;
    switch (mode) {
    case LocalBackup:
        return {create48};
    case TransportBackup:
        return databases ? QList<BackupRight>{create48, export48} : QList<BackupRight>{export48};
    case VaultBackup:
        return {create48, export48};
    case LocalRestore:
        return {create51};
    case TransportRestore:
        return databases ? QList<BackupRight>{create51, export48} : QList<BackupRight>{export51};
    case VaultRestore:
        return databases ? QList<BackupRight>{create51, export48}
                         : QList<BackupRight>{create51, export51};
    case DeleteBackupsMode:
        return {databases ? delete48 : delete51};
    default:
        return {};
    }
}

bool CheckBackupRights(BackupKind kind, int mode) {
    for (const BackupRight& right : BackupRightsOf(kind, mode)) {
        const bool granted = right.bit == rbCreate   ? CheckCreateRight(right.function)
                             : right.bit == rbExport ? CheckExportRight(right.function)
                                                     : CheckDeleteRight(right.function);
        if (!granted)
            return false;
    }
    return true;
}

void RunBackupDialog(const BackupDialogArgs& args) {
    SetBackupResult(1);
    const TimerWorkPause pause;
    TOpenList openList;
    try {
        requireDialog();
        openList.closeAll(kClientAlias);
        windows().backupDialog(args);
    } catch (const Abort&) {
    } catch (const DbError& error) {
        WriteLog(u"Datensicherung: "_s + error.message());
        ShowError(error.message());
    }
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    openList.reopenAll();
}

// The entries ------------------------------------------------------------------

void BackupDatabases(int mode, const QString& comment) {
    if (!enter(BackupKind::Databases, mode))
        return;
    RunBackupDialog(argsFor(mode, mode == TransportBackup ? TransportDir : BackupDir, DataDir,
                            AblageDir, comment, u"CCB"_s, u"CCA"_s));
    uploadAfterVaultBackup(mode);
}

void RestoreDatabases(int mode) {
    if (!enter(BackupKind::Databases, mode))
        return;
    const int users = userCount();
    if (mode == VaultRestore && !fetchFromVault(u"CCB"_s, u"CCA"_s))
        return;
    BackupDialogArgs args = argsFor(mode, mode == TransportRestore ? TransportDir : BackupDir,
                                    DataDir, AblageDir, {}, u"CCB"_s, u"CCA"_s);
    setDatabaseRestoreHooks(args);
    args.userCount = users;
    RunBackupDialog(args);
}

void DeleteDatabaseBackups(const QString& dir) {
    if (!enter(BackupKind::Databases, DeleteBackupsMode))
        return;
    RunBackupDialog(argsFor(DeleteBackupsMode, dir, {}, {}, {}, u"CCB"_s, u"CCA"_s));
}

void BackupFormularLayouts() {
    backupDataKind(BackupKind::Layouts, LocalBackup);
}
void BackupFormularLayoutsToDrive() {
    backupDataKind(BackupKind::Layouts, TransportBackup);
}
void BackupFormularLayoutsToVault() {
    backupDataKind(BackupKind::Layouts, VaultBackup);
}
void RestoreFormularLayouts() {
    restoreDataKind(BackupKind::Layouts, LocalRestore);
}
void RestoreFormularLayoutsFromDrive() {
    restoreDataKind(BackupKind::Layouts, TransportRestore);
}
void RestoreFormularLayoutsFromVault() {
    restoreDataKind(BackupKind::Layouts, VaultRestore);
}
void DeleteFormularLayoutBackups() {
    deleteDataKindBackups(BackupKind::Layouts);
}

void BackupImportExportDefinitionen() {
    backupDataKind(BackupKind::Definitions, LocalBackup);
}
void BackupImportExportDefinitionenToDrive() {
    backupDataKind(BackupKind::Definitions, TransportBackup);
}
void BackupImportExportDefinitionenToVault() {
    backupDataKind(BackupKind::Definitions, VaultBackup);
}
void RestoreImportExportDefinitionen() {
    restoreDataKind(BackupKind::Definitions, LocalRestore);
}
void RestoreImportExportDefinitionenFromDrive() {
    restoreDataKind(BackupKind::Definitions, TransportRestore);
}
void RestoreImportExportDefinitionenFromVault() {
    restoreDataKind(BackupKind::Definitions, VaultRestore);
}
void DeleteImportExportDefinitionBackups() {
    deleteDataKindBackups(BackupKind::Definitions);
}

void BackupMahnbriefVorlagen() {
    backupDataKind(BackupKind::DunningTemplates, LocalBackup);
}
void BackupMahnbriefVorlagenToDrive() {
    backupDataKind(BackupKind::DunningTemplates, TransportBackup);
}
void BackupMahnbriefVorlagenToVault() {
    backupDataKind(BackupKind::DunningTemplates, VaultBackup);
}
void RestoreMahnbriefVorlagen() {
    restoreDataKind(BackupKind::DunningTemplates, LocalRestore);
}
void RestoreMahnbriefVorlagenFromDrive() {
    restoreDataKind(BackupKind::DunningTemplates, TransportRestore);
}
void RestoreMahnbriefVorlagenFromVault() {
    restoreDataKind(BackupKind::DunningTemplates, VaultRestore);
}
void DeleteMahnbriefVorlagenBackups() {
    deleteDataKindBackups(BackupKind::DunningTemplates);
}

void BackupTextbausteine() {
    backupDataKind(BackupKind::TextModules, LocalBackup);
}
void BackupTextbausteineToDrive() {
    backupDataKind(BackupKind::TextModules, TransportBackup);
}
void BackupTextbausteineToVault() {
    backupDataKind(BackupKind::TextModules, VaultBackup);
}
void RestoreTextbausteine() {
    restoreDataKind(BackupKind::TextModules, LocalRestore);
}
void RestoreTextbausteineFromDrive() {
    restoreDataKind(BackupKind::TextModules, TransportRestore);
}
void RestoreTextbausteineFromVault() {
    restoreDataKind(BackupKind::TextModules, VaultRestore);
}
void DeleteTextbausteineBackups() {
    deleteDataKindBackups(BackupKind::TextModules);
}

void CleanUpVault() {
    if (!windows().ftpCleanUp)
        throw DbError(u"Das Aufräumen des Tresors steht nicht zur Verfügung."_s);
    if (!IsFtpConfigured()) {
        ShowError(u"Sie müssen zuerst Ihren Ftp-Zugang einrichten!"_s);
        return;
    }
    if (!CheckDeleteRight(kBackupMenu))
        return;
    windows().ftpCleanUp();
}

void ShowPathForm() {
    if (!windows().pathForm)
        throw DbError(u"Die Einstellung der Sicherungspfade steht nicht zur Verfügung."_s);
    windows().pathForm();
}

void ShowFtpSettings() {
    if (!windows().ftpSettingsForm)
        throw DbError(u"Die Einrichtung des Ftp-Zugangs steht nicht zur Verfügung."_s);
    windows().ftpSettingsForm();
}
