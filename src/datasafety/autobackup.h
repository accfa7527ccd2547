#pragma once

#include <QString>
#include <functional>

// The automatic backup that a module offers before a far-reaching run: the
// question "Sie sollten vor der <operation> eine Datensicherung vornehmen!"
// with "Möchten Sie jetzt die Daten sichern?", and on "Ja" the database
// backup dialog with the given comment (BackupDatabases(0, comment)).

// What the caller's company switch asks for.
enum class AutoBackupSwitch {
    Ask,     // ask the question
    Skip,    // offer nothing
    Unasked, // back up without asking
};

enum class AutoBackupOutcome {
    NotOffered, // the switch or a backup service that is not built yet
    Declined,   // the user answered "Nein"
    BackupRun,  // the backup dialog ran (its result is the backup's own)
};

// While the database backup reports itself unavailable the offer asks
// nothing, so the calling run goes on as without the switch.
AutoBackupOutcome OfferAutomaticBackup(AutoBackupSwitch sw, const QString& operation,
                                       const QString& comment);
// The same offer under a question worded in full by the caller ("Sie sollten
// vor dem Datenimport ...").
AutoBackupOutcome OfferAutomaticBackupAsking(AutoBackupSwitch sw, const QString& question,
                                             const QString& comment);

// The backup the offer runs and whether it is available; tests replace them.
struct AutoBackupService {
    std::function<bool()> available;
    std::function<void(const QString& comment)> backup;
};
AutoBackupService& AutoBackupServiceRegistry();
// The program's own: available once the backup dialog's window is
// installed, and running BackupDatabases(0, comment).
AutoBackupService DefaultAutoBackupService();
