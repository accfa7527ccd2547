#pragma once

#include <QString>

// Paths are kept with the platform's separator ("/"); a path stored with "\"
// (as older settings files hold them) is still understood by every function here.

// Path with one trailing separator (the one the path already uses, else "/");
// an empty path gives the root "/".
QString AddBackslash(const QString& path);
// Path without one trailing separator; an empty path stays empty.
QString RemoveBackslash(const QString& path);
// The stored path as this platform opens it: every "\" becomes "/".
QString LocalPath(const QString& path);
// Whether the path starts with a drive letter such as "C:", which names no
// drive on this platform.
bool HasDriveLetter(const QString& path);

bool DirExists(const QString& path);
// Creates every missing level of Path, outermost first; false at the first
// level that cannot be created (deeper levels are not tried). No length limit.
bool MakePath(const QString& path);
// A display form of a file path of at most about MaxLen characters: the start
// of the directory part, "..", the separator and the file name.
QString ShortenPath(const QString& path, int maxLen);

// The kinds of drives, numbered as the settings and forms store them.
enum class DriveKind : int {
    Unknown = 0,
    NoRootDir = 1,
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

// The kind of the file system that holds Path (its nearest existing level).
DriveKind GetDriveKind(const QString& path);
// Whether that file system is there (a kind other than unknown and no root).
bool DriveExists(const QString& path);
// The kind a file system type name stands for on this platform, and whether
// it is mounted as removable media.
DriveKind DriveKindOfFileSystem(const QString& fileSystemType, const QString& mountPoint);
