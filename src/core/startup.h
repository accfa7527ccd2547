#pragma once

#include "core/clientupgrade.h"

#include <QString>
#include <QStringList>
#include <functional>

// The first steps of the start-up, as functions the program's main calls.

// Files and directories this process creates get no access for other users
// of the computer (databases, settings, logs); the group keeps it for
// workstations that share the program directory.
void DenyOthersAccessToNewFiles();

// VersionText := "v2.40[<build>]" of this program.
void ReadProgramVersion();
// SoundsOn ("+NS") and ServiceMode ("+SM") from the parameters (the program
// name not included).
void ReadCommandLineSwitches(const QStringList& arguments);
// The start client of "Mandant.ini" when it lies in 0..4; otherwise (missing,
// unreadable, no number, out of range) the current MandantNr.
int ReadStartMandant();

// A directory swap that a crash interrupted (finished or undone; raises
// DbError when that fails), then the markers in WindowsDir left by an
// upgrade and by the form-layout reset.
void ProcessStartMarkers();
void DeleteUpgradeTempDirs(const QString& markerFile);
void DeleteFormLayoutFiles();
// False when the marker could not be written.
bool MarkTempDirsForDeletion();

// The directory set of MandantNr and LogFileName.
void BuildStartDirs();

// Reads DbVersion and, below the current version, upgrades the client's
// databases and replaces their directories. False when the program must end
// (the reason has been reported); raises DbError naming a damaged database
// file. Without an installed upgrader an old database is left as it is.
bool CheckDatabaseVersion();
