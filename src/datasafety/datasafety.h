#pragma once

#include <QString>
#include <QStringList>

// What the rest of the program calls of data safety, archive and interfaces.
// Entries whose service is not built yet report so through
// IsDataSafetyServiceAvailable; menus keep them disabled, and a call that
// reaches one anyway raises DbError.

enum class DataSafetyService {
    DatabaseBackup,  // BackupDatabases, RestoreDatabases, DeleteDatabaseBackups
    FileGroupBackup, // layouts, definitions, dunning templates, text modules
    Vault,           // every ...ToVault / ...FromVault entry and CleanUpVault
    PathForm,        // ShowPathForm
    FtpForm,         // ShowFtpSettings
    ImportExport,    // RunImport, RunExport, EditDefinitionFile, ShowExportForm
    Datev,           // ShowDatevForm
    ArchiveBrowsers, // Show...ViewForm
    DocumentViewer,  // ShowDocViewForm
};
bool IsDataSafetyServiceAvailable(DataSafetyService service);

// Backup modes.
enum BackupMode {
    LocalBackup = 0,
    LocalRestore = 1,
    TransportBackup = 2,
    TransportRestore = 3,
    DeleteBackupsMode = 4,
    VaultBackup = 5,
    VaultRestore = 6,
};

void BackupDatabases(int mode, const QString& comment);
void RestoreDatabases(int mode);
void DeleteDatabaseBackups(const QString& dir);

void BackupFormularLayouts();
void RestoreFormularLayouts();
void BackupImportExportDefinitionen();
void RestoreImportExportDefinitionen();
void BackupMahnbriefVorlagen();
void RestoreMahnbriefVorlagen();
void BackupTextbausteine();
void RestoreTextbausteine();
void BackupFormularLayoutsToDrive();
void BackupImportExportDefinitionenToDrive();
void BackupMahnbriefVorlagenToDrive();
void BackupTextbausteineToDrive();
void RestoreFormularLayoutsFromDrive();
void RestoreImportExportDefinitionenFromDrive();
void RestoreMahnbriefVorlagenFromDrive();
void RestoreTextbausteineFromDrive();
void BackupFormularLayoutsToVault();
void BackupImportExportDefinitionenToVault();
void BackupMahnbriefVorlagenToVault();
void BackupTextbausteineToVault();
void RestoreFormularLayoutsFromVault();
void RestoreImportExportDefinitionenFromVault();
void RestoreMahnbriefVorlagenFromVault();
void RestoreTextbausteineFromVault();
void DeleteFormularLayoutBackups();
void DeleteImportExportDefinitionBackups();
void DeleteMahnbriefVorlagenBackups();
void DeleteTextbausteineBackups();
// Deletes chosen archives of the vault (FtpVaultTransfer::listVault and
// deleteMarked) once the vault window asks which.
void CleanUpVault();

// Settings (backuppaths.h, ftpsettings.h hold the loaders).
void LoadBackupPaths();
bool LoadFtpSettings();
bool IsFtpConfigured();
void ShowPathForm();
void ShowFtpSettings();

// Import, export and archive. Tables are named as the data module names them.
void RunImport(const QString& table, const QString& caption, const QString& definitionFile,
               const QString& dataFile, const QString& keyField);
// True when the export wrote at least one record and was not cancelled.
bool RunExport(const QString& table, const QString& caption, const QString& definitionFile,
               const QString& outputFile, const QString& filter, int left, int top);
// 1 when the user saved the file, 2 when the editor was cancelled.
int EditDefinitionFile(const QString& fileName, int left, int top);
void ShowExportForm();
// The filter a data-module table shows now (empty when it shows every record).
QString TableFilterText(const QString& table);
void ShowDatevForm();
void ShowRechViewForm();
void ShowGsViewForm();
void ShowAngViewForm();
void ShowAuftViewForm();
void ShowLiefViewForm();
void ShowRechEinViewForm();
void ShowDocViewForm(int nr, const QString& name, int kind, const QStringList& list);
// "Daten auslagern": moves the marked heads of the source head table with
// their lines into the archive tables, offering a backup before and after.
// The caller refreshes its own tables afterwards.
void ArchiveDocuments(const QString& srcHead, const QString& srcLines, const QString& dstHead,
                      const QString& dstLines);

// "Mailcnf" + the client number in four digits + ".ccf".
void MailSettingsFileName(int mandant, QString& name);
