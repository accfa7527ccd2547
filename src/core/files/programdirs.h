#pragma once

#include <QString>
#include <functional>

// The directory set of the active client. Every path below ends with "/"
// except TextbstDir and TempDir, which are kept without it as their callers
// append the separator themselves. Rebuilt at every client switch.
extern QString ProgramDir;
extern QString PfadeFileName;
extern QString TemplateDataDir;
extern QString DataDir;
extern QString BackupDir;
extern QString TransportDir;
extern QString ImExDir;
extern QString WordDir;
extern QString FormDir;
extern QString QrfdDir;
extern QString AblageDir;
extern QString NetDir;
extern QString TextbstDir;
extern QString TempDir;
extern QString SelectDir;
extern QString SoundsDir;
extern QString WindowsDir;
extern QString LogFileName;

constexpr int MaxMandantNr = 4;

// Sets ProgramDir from a directory (a "/" is appended unless it is empty).
void SetProgramDir(const QString& dir);
// WindowsDir := the per-user settings directory with a trailing "/".
void GetWindowsDir();

// Client number as directory suffix ("0003") and file suffix ("003").
QString MandantSuffix4(int mandant);
QString MandantSuffix3(int mandant);

QString GetMandantDataDir(int mandant);
QString GetMandantDtbuDir(int mandant);
QString GetMandantWordDir(int mandant);
QString GetMandantFormDir(int mandant);
QString GetMandantImexDir(int mandant);
QString GetMandantQrfdDir(int mandant);
QString GetMandantAblgDir(int mandant);
QString GetNetDir();
QString GetSelectDir();
QString GetDataTempDir();
QString GetAblgTempDir();

// Reads the backup paths file into BackupDir and TransportDir; served by the
// data-safety library, installed by the program at start-up. Without one the
// defaults stay.
using BackupPathsLoader = std::function<void()>;
BackupPathsLoader SetBackupPathsLoader(BackupPathsLoader loader);

// Sets every path global for this client and creates the missing
// directories in their fixed order. A data directory that cannot be created
// raises DbError; any other directory is reported and the build goes on.
void BuildMandantDirs(int mandant);

// SoundsDir + the wave file of a message sound.
QString GetSoundFile(int nr);
