#include "datasafety/autobackup.h"

#include "core/messages/messages.h"
#include "datasafety/datasafety.h"

AutoBackupService DefaultAutoBackupService() {
    return {[] { return IsDataSafetyServiceAvailable(DataSafetyService::DatabaseBackup); },
            [](const QString& comment) { BackupDatabases(LocalBackup, comment); }};
}

AutoBackupService& AutoBackupServiceRegistry() {
    static AutoBackupService service = DefaultAutoBackupService();
    return service;
}

AutoBackupOutcome OfferAutomaticBackup(AutoBackupSwitch sw, const QString& operation,
                                       const QString& comment) {
    return OfferAutomaticBackupAsking(
        sw,
        QStringLiteral("Sie sollten vor der %1 eine Datensicherung vornehmen!\r"
                       "Möchten Sie jetzt die Daten sichern?")
            .arg(operation),
        comment);
}

AutoBackupOutcome OfferAutomaticBackupAsking(AutoBackupSwitch sw, const QString& question,
                                             const QString& comment) {
    const AutoBackupService& service = AutoBackupServiceRegistry();
    if (sw == AutoBackupSwitch::Skip || !service.available || !service.available())
        return AutoBackupOutcome::NotOffered;
    if (sw == AutoBackupSwitch::Ask && !AskYesNo(question))
        return AutoBackupOutcome::Declined;
    service.backup(comment);
    return AutoBackupOutcome::BackupRun;
}
