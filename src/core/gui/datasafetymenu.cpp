#include "core/gui/datasafetymenu.h"

#include "core/files/programdirs.h"
#include "core/gui/mainform.h"
#include "core/importdefinitions.h"
#include "core/messages/messages.h"
#include "core/rights/rights.h"
#include "core/values/datetext.h"
#include "datasafety/accounting/accountingexports.h"
#include "datasafety/autobackup.h"
#include "datasafety/datasafety.h"
#include "datasafety/shippeddefinitions.h"
#include "platform/errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QWidget>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;
using Service = DataSafetyService;

namespace {
std::function<void()>& dbReorgOpener() {
    static std::function<void()> opener;
    return opener;
}
} // namespace

void SetDbReorgOpener(std::function<void()> opener) {
    dbReorgOpener() = std::move(opener);
}

namespace {

// Runs a menu action; errors of the called function are shown, not lost.
void guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const Abort&) {
    } catch (const DbError& error) {
        ShowError(error.message());
    }
}

// What an entry of a service not built yet waits for.
QString waitsFor(Service service) {
    switch (service) {
    case Service::DatabaseBackup:
        return u"die Datensicherung der Datenbanken"_s;
    case Service::FileGroupBackup:
        return u"die Sicherung der Layouts, Definitionen, Vorlagen und Textbausteine"_s;
    case Service::Vault:
        return u"die Übertragung in den Tresor"_s;
    case Service::PathForm:
        return u"die Einstellung der Sicherungspfade"_s;
    case Service::FtpForm:
        return u"die Einrichtung des Ftp-Zugangs"_s;
    case Service::ImportExport:
        return u"den Datenimport und -export"_s;
    case Service::Datev:
        return u"die Datev-Schnittstelle"_s;
    case Service::ArchiveBrowsers:
        return u"die Datenablage"_s;
    case Service::DocumentViewer:
        return u"die Dokumentanzeige"_s;
    }
    return {};
}

// An entry that is enabled exactly when it can work; otherwise its tooltip
// names what it waits for.
QAction* addEntry(QMenu* menu, const QString& caption, bool available, const QString& waiting,
                  std::function<void()> action) {
    QAction* item = menu->addAction(caption);
    item->setEnabled(available);
    if (!available)
        item->setToolTip(PendingEntryToolTip(waiting));
    QObject::connect(item, &QAction::triggered, menu,
                     [action = std::move(action)] { guarded(action); });
    return item;
}

QAction* addItem(QMenu* menu, const QString& caption, Service service,
                 std::function<void()> action) {
    return addEntry(menu, caption, IsDataSafetyServiceAvailable(service), waitsFor(service),
                    std::move(action));
}

// Entries that need nothing beyond this window: always enabled.
QAction* addLocal(QMenu* menu, const QString& caption, std::function<void()> action) {
    return addEntry(menu, caption, true, QString(), std::move(action));
}

QString withDateAndTime(const QString& pattern) {
    QString text = pattern;
    const qsizetype first = text.indexOf(u"%s"_s);
    if (first >= 0)
        text.replace(first, 2, TodayStr());
    const qsizetype second = text.indexOf(u"%s"_s);
    if (second >= 0)
        text.replace(second, 2, NowTimeStr());
    return text;
}

const QString kNoFtp = u"Sie müssen zuerst Ihren Ftp-Zugang einrichten!"_s;

using Actions = std::vector<std::pair<QString, std::function<void()>>>;

void addItems(QMenu* menu, const Actions& items, Service service) {
    for (const auto& [caption, action] : items)
        addItem(menu, caption, service, action);
}

// A submenu that moves the databases and the four file groups to or from a
// transport medium or the vault; each group's caption ends with the verb.
struct TransferMenu {
    QString title;
    QString databaseCaption;
    Service databaseService;
    std::function<void()> databaseAction;
    QString verb;
    Service groupService;
    std::function<void()> groups[4];
};

void addTransferMenu(QMenu* menu, const TransferMenu& t) {
    QMenu* sub = menu->addMenu(t.title);
    addItem(sub, t.databaseCaption, t.databaseService, t.databaseAction);
    const QString names[4] = {u"Formular-Layouts"_s, u"Import/Export-Definitionen"_s,
                              u"Mahnbrief-Vorlagen"_s, u"Textbausteine"_s};
    for (int i = 0; i < 4; ++i)
        addItem(sub, names[i] + u' ' + t.verb, t.groupService, t.groups[i]);
    FinishMenu(sub);
}

// The vault's entries need the FTP access first.
std::function<void()> withFtp(std::function<void()> action) {
    return [action = std::move(action)] {
        if (!IsFtpConfigured()) {
            ShowError(kNoFtp);
            return;
        }
        action();
    };
}

// The import and export entries work on the client's definitions: those it
// lacks of the shipped ones are written first.
std::function<void()> withDefinitions(std::function<void()> action) {
    return [action = std::move(action)] {
        EnsureShippedDefinitions(ImExDir);
        action();
    };
}

void chooseImportFile(const ImportDefinition& def, QWidget* owner) {
    const QString fileName = ImExDir + def.definitionFile;
    SfileSetting setting = ReadSfileSetting(fileName);
    if (setting.state == SfileSetting::FileMissing) {
        ShowError(MissingImportDefinitionMessage(fileName));
        return;
    }
    if (setting.state != SfileSetting::Found)
        return;
    const QString chosen = QFileDialog::getOpenFileName(owner, QString(), setting.current);
    if (chosen.isEmpty())
        return;
    if (!WriteSfileSetting(fileName, setting, QDir::toNativeSeparators(chosen)))
        ShowError(u"Die Datei\r%1\rkonnte nicht gespeichert werden."_s.arg(fileName));
}

// The directory picker of the export-path entries: it lets the user create
// a new directory.
DirectoryChooser directoryChooser(QWidget* owner) {
    return [owner](const QString& start) {
        return QFileDialog::getExistingDirectory(owner, QString(), start);
    };
}

// The bookkeeping and payroll exports: each export with the entry that sets
// its output directory and the one that edits its definition.
struct AccountingEntries {
    QString exportEntry;
    QString pathEntry;
    QString definitionEntry;
    QString definitionFile;
    QString outputFile;
};

void addAccountingMenu(QMenu* menu, QWidget* owner, const QString& title,
                       const QList<AccountingEntries>& exports) {
    QMenu* sub = menu->addMenu(title);
    for (const AccountingEntries& e : exports) {
        addEntry(sub, e.exportEntry, IsAccountingExportInstalled(), u"die Fibu- und Lohnexporte"_s,
                 withDefinitions([entry = e.exportEntry] { RunAccountingExport(entry); }));
        addLocal(sub, e.pathEntry, withDefinitions([owner, e] {
                     SetExportPath(e.definitionFile, e.outputFile, directoryChooser(owner));
                 }));
        addItem(sub, e.definitionEntry, Service::ImportExport,
                withDefinitions([owner, file = e.definitionFile] {
                    EditDefinitionFile(ImExDir + file, owner->x(), owner->y() + owner->height());
                }));
        sub->addSeparator();
    }
    FinishMenu(sub);
}

void addAccountingMenus(QMenu* menu, QWidget* owner) {
    addAccountingMenu(
        menu, owner, u"Schnittstellen zu KHK-Software"_s,
        {{u"Rechnungsexport -> KHK-Fibu"_s, u"Exportpfad für KHK-Fibu einstellen"_s,
          u"Fibu-Exportdefinitionen für KHK bearbeiten"_s, u"RechKHK.exp"_s, u"Export.dif"_s},
         {u"Debitorenexport -> KHK-Fibu"_s, u"Exportpfad für KHK Debitoren einstellen"_s,
          u"Debitoren-Exportdefinitionen bearbeiten"_s, u"DebitKHK.exp"_s, u"Opdebit.dif"_s}});
    addAccountingMenu(
        menu, owner, u"Schnittstellen zu Lexware-Software"_s,
        {{u"Rechnungsexport -> Lexware-Fibu"_s, u"Exportpfad für Lexware einstellen"_s,
          u"Exportdefinitionen für Lexware bearbeiten"_s, u"RechLex.exp"_s, u"RechLex.txt"_s},
         {u"Debitorenexport->Lexware-Fibu"_s, u"Exportpfad für Lexware-Debitoren einstellen"_s,
          u"Debitoren Exportdefinitionen bearbeiten"_s, u"DebitLex.exp"_s, u"DebitLex.txt"_s},
         {u"Kreditorenexport->Lexware-Fibu"_s, u"Exportpfad für Lexware-Kreditoren einstellen"_s,
          u"Kreditoren Exportdefinitionen bearbeiten"_s, u"KreditLex.exp"_s, u"kreditLex.txt"_s},
         {u"Personaldaten ->Lexware Lohn+Gehalt"_s,
          u"Exportpfad für Lexware Personalexport einstellen"_s,
          u"Personal Exportdefinitionen bearbeiten"_s, u"Perslex.exp"_s, u"Perslext.txt"_s},
         {u"Arbeitszeiten -> Lexware Lohn+Gehalt"_s,
          u"Exportpfad für Lexware Lohndatenexport einstellen"_s,
          u"Lohndaten Exportdefinitionen bearbeiten"_s, u"Lohnlex.exp"_s, u"Lohnlext.txt"_s}});
}

} // namespace

void FillDatensicherungMenu(QMenu* menu, QWidget* owner) {
    Q_UNUSED(owner);
    addItem(menu, u"Datenbanken sichern"_s, Service::DatabaseBackup, [] {
        BackupDatabases(LocalBackup, withDateAndTime(u"Manuelle Datensicherung am %s um %s Uhr"_s));
    });
    addItem(menu, u"Datenbanken wiederherstellen"_s, Service::DatabaseBackup,
            [] { RestoreDatabases(LocalRestore); });
    menu->addSeparator();
    addItems(
        menu,
        {
            {u"Formular-Layouts sichern"_s, &BackupFormularLayouts},
            {u"Formular-Layout wiederherstellen"_s, &RestoreFormularLayouts},
            {u"Import/Export-Definitionen sichern"_s, &BackupImportExportDefinitionen},
            {u"Import/Export-Definitionen wiederherstellen"_s, &RestoreImportExportDefinitionen},
            {u"Mahnbrief-Vorlagen sichern"_s, &BackupMahnbriefVorlagen},
            {u"Mahnbrief-Vorlagen wiederherstellen"_s, &RestoreMahnbriefVorlagen},
            {u"Textbausteine sichern"_s, &BackupTextbausteine},
            {u"Textbausteine wiederherstellen"_s, &RestoreTextbausteine},
        },
        Service::FileGroupBackup);
    menu->addSeparator();

    const TransferMenu transfers[] = {
        {u"Transport-Datenträger erstellen"_s,
         u"Datenbanken exportieren"_s,
         Service::DatabaseBackup,
         [] {
             BackupDatabases(TransportBackup, withDateAndTime(u"Datenexport am %s um %s Uhr"_s));
         },
         u"exportieren"_s,
         Service::FileGroupBackup,
         {&BackupFormularLayoutsToDrive, &BackupImportExportDefinitionenToDrive,
          &BackupMahnbriefVorlagenToDrive, &BackupTextbausteineToDrive}},
        {u"Transport-Datenträger einlesen"_s,
         u"Datenbanken importieren"_s,
         Service::DatabaseBackup,
         [] { RestoreDatabases(TransportRestore); },
         u"importieren"_s,
         Service::FileGroupBackup,
         {&RestoreFormularLayoutsFromDrive, &RestoreImportExportDefinitionenFromDrive,
          &RestoreMahnbriefVorlagenFromDrive, &RestoreTextbausteineFromDrive}},
        {u"Daten in Tresor ablegen"_s,
         u"Datenbanken versenden"_s,
         Service::Vault,
         withFtp([] {
             BackupDatabases(VaultBackup,
                             withDateAndTime(u"Tresor-Datensicherung am %s um %s Uhr"_s));
         }),
         u"versenden"_s,
         Service::Vault,
         {&BackupFormularLayoutsToVault, &BackupImportExportDefinitionenToVault,
          &BackupMahnbriefVorlagenToVault, &BackupTextbausteineToVault}},
        {u"Daten aus Tresor abrufen"_s,
         u"Datenbanken empfangen"_s,
         Service::Vault,
         withFtp([] { RestoreDatabases(VaultRestore); }),
         u"empfangen"_s,
         Service::Vault,
         {&RestoreFormularLayoutsFromVault, &RestoreImportExportDefinitionenFromVault,
          &RestoreMahnbriefVorlagenFromVault, &RestoreTextbausteineFromVault}},
    };
    for (const TransferMenu& transfer : transfers)
        addTransferMenu(menu, transfer);

    QMenu* deleting = menu->addMenu(u"Sicherungsdaten löschen"_s);
    addItem(deleting, u"Datenbank-Sicherungen löschen"_s, Service::DatabaseBackup,
            [] { DeleteDatabaseBackups(BackupDir); });
    addItems(deleting,
             {{u"Sicherungen der Formularlayouts löschen"_s, &DeleteFormularLayoutBackups},
              {u"Sicherungen der Import/Export-Definitionen löschen"_s,
               &DeleteImportExportDefinitionBackups},
              {u"Sicherungen der Mahnbrief-Vorlagen löschen"_s, &DeleteMahnbriefVorlagenBackups},
              {u"Sicherungen der Textbausteine löschen"_s, &DeleteTextbausteineBackups}},
             Service::FileGroupBackup);
    addItem(deleting, u"Tresor aufräumen"_s, Service::Vault, &CleanUpVault);
    FinishMenu(deleting);

    menu->addSeparator();
    addItem(menu, u"Pfade einstellen"_s, Service::PathForm, [] {
        if (CheckViewRight(49))
            ShowPathForm();
    });
    addItem(menu, u"Ftp-Zugang einrichten"_s, Service::FtpForm, [] {
        if (CheckViewRight(50))
            ShowFtpSettings();
    });
    // The reorganisation form lives with the database maintenance, which
    // installs its opener; without one the entry stays disabled.
    QAction* reorg = menu->addAction(u"Datenreorganisation"_s);
    reorg->setEnabled(bool(dbReorgOpener()));
    if (!reorg->isEnabled())
        reorg->setToolTip(PendingEntryToolTip(u"die Datenreorganisation"_s));
    QObject::connect(reorg, &QAction::triggered, reorg, [] {
        if (dbReorgOpener())
            dbReorgOpener()();
    });
}

void FillImportExportMenu(QMenu* menu, QWidget* owner) {
    QMenu* general = menu->addMenu(u"Allgemeine Schnittstellen"_s);
    for (const ImportDefinition& def : ImportDefinitions()) {
        addItem(general, def.entry, Service::ImportExport, withDefinitions([def] {
                    OfferAutomaticBackupAsking(AutoBackupSwitch::Ask, ImportBackupQuestion(),
                                               def.backupComment + TodayStr());
                    QCoreApplication::processEvents();
                    RunImport(def.table, def.caption, def.definitionFile, def.dataFile,
                              def.keyField);
                }));
        addLocal(general, def.fileEntry,
                 withDefinitions([def, owner] { chooseImportFile(def, owner); }));
        addItem(general, def.definitionEntry, Service::ImportExport, withDefinitions([def, owner] {
                    EditDefinitionFile(ImExDir + def.definitionFile, owner->x(),
                                       owner->y() + owner->height());
                }));
        general->addSeparator();
    }
    addItem(general, u"Kundenexport in ASCII-Datei"_s, Service::ImportExport,
            withDefinitions([owner] {
                OfferAutomaticBackupAsking(AutoBackupSwitch::Ask, ExportBackupQuestion(),
                                           u"Autosicherung vor Export der Kundendaten am "_s +
                                               TodayStr());
                // The customers the customer list shows now.
                RunExport(u"TabKunden"_s, u"Datenexport : Kundendaten"_s, u"Kunden.exp"_s,
                          u"Kunden.out"_s, TableFilterText(u"TabKunden"_s), owner->x() + 200,
                          owner->y() + 200);
            }));
    addLocal(general, u"Kundenexport-Datei einstellen"_s, withDefinitions([owner] {
                 SetExportPath(u"Kunden.exp"_s, u"Kunden.txt"_s, directoryChooser(owner));
             }));
    addItem(general, u"Kundenexport-Definitionen bearbeiten"_s, Service::ImportExport,
            withDefinitions([owner] {
                EditDefinitionFile(ImExDir + u"Kunden.exp"_s, owner->x(),
                                   owner->y() + owner->height());
            }));
    addItem(general, u"Allgemeiner Datenexport"_s, Service::ImportExport, &ShowExportForm);
    FinishMenu(general);
    addAccountingMenus(menu, owner);
    addItem(menu, u"Datev-Schnittstelle"_s, Service::Datev, &ShowDatevForm);
}
