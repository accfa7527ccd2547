#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The first steps of the start-up, as functions the program's main calls.

// VersionText := "v2.40[<build>]" of this program.
void ReadProgramVersion();
// SoundsOn ("+NS") and ServiceMode ("+SM") from the parameters (the program
// name not included).
void ReadCommandLineSwitches(const QStringList& arguments);
// The start client of "Mandant.ini" when it lies in 0..4; otherwise (missing,
// unreadable, no number, out of range) the current MandantNr.
int ReadStartMandant();

// Markers in WindowsDir left by an upgrade and by the form-layout reset.
void ProcessStartMarkers();
void DeleteUpgradeTempDirs(const QString& markerFile);
void DeleteFormLayoutFiles();
// False when the marker could not be written.
bool MarkTempDirsForDeletion();

// The directory set of MandantNr and LogFileName.
void BuildStartDirs();

// Builds the upgraded database and archive database in the work directories
// (dataDir, dataTemp, ablageDir, ablgTemp); false after a failure it has
// reported itself. Installed by the database-structure library.
using DatabaseUpgrader = std::function<bool(const QString& dataDir, const QString& dataTemp,
                                            const QString& ablageDir, const QString& ablgTemp)>;
DatabaseUpgrader SetDatabaseUpgrader(DatabaseUpgrader upgrader);
// Copies the template directories of a new client; installed by client
// creation.
using TemplateDirsCopier = std::function<void(int mandant)>;
TemplateDirsCopier SetTemplateDirsCopier(TemplateDirsCopier copier);

// Reads DbVersion and, below the current version, upgrades the client's
// databases and replaces their directories. False when the program must end
// (the reason has been reported). Without an installed upgrader an old
// database is left as it is.
bool CheckDatabaseVersion();
