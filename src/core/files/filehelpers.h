#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class DirectorySwap;
class QByteArray;

// Text files the program keeps are Windows-1252 with CR LF line ends. Reads
// every line (CR LF or LF); false when the file is missing or cannot be read.
bool ReadTextDataFile(const QString& name, QStringList& lines);
// Creates or rewrites a text file with these lines; the old content stays
// until the new one is complete. False when it could not be written.
bool WriteTextDataFile(const QString& name, const QStringList& lines);

enum class DataFileWrite {
    Written,
    NotOpened,   // refused (write protection kept) or not creatable: untouched
    WriteFailed, // opened but not completely written
};
// Who may read a file the program writes.
enum class FileAccess {
    Default,
    NoOthers, // secrets (passwords, even scrambled): owner and group only
};
// Creates or rewrites a byte file; a write-protected one only after
// ConfirmClearReadOnly agreed.
DataFileWrite WriteDataFile(const QString& name, const QByteArray& bytes,
                            FileAccess access = FileAccess::Default);

// True when the file is not write-protected; otherwise asks whether the
// protection may be removed and gives whether that worked.
bool ConfirmClearReadOnly(const QString& name);
// Removes a write protection and deletes the file; true when it is gone.
bool DeleteFileForced(const QString& name);
// Creates the directory with all missing levels.
bool EnsureDirectory(const QString& dir);
// Copies in chunks of 32,768 bytes and gives the copy the source's date.
bool CopyFileKeepDate(const QString& source, const QString& dest);
// Copies every entry of source below dest (existing files of dest that source
// lacks stay); reports the first failure and stops.
bool CopyDirectoryTree(const QString& source, const QString& dest);
// Deletes the tree and the directory itself; refuses paths whose loss would
// reach beyond one program directory (roots, the home directory, ancestors
// of the program directory). True when the directory is gone.
bool DeleteDirectoryTree(const QString& dir);
// Copies the files of sourceDir matching mask ("Kostart.*"); the number
// copied, 0 after a failure (reported).
int CopyMatchingFiles(const QString& sourceDir, const QString& destDir, const QString& mask);
int CountMatchingFiles(const QString& dir, const QString& mask);
// Replaces dir by the content of workCopy merged over it, keeping the old
// directory as dir + "." + the old version in three digits (merged over an
// earlier copy of that name). All of it or nothing, also across a crash
// (see DirectorySwap). Any failure leaves dir as it was and is reported;
// false tells the caller to end.
bool ReplaceDirectory(const QString& dir, const QString& workCopy, int oldVersion);
// The two stagings of ReplaceDirectory within a larger swap: the staged new
// directory, empty after a reported failure.
QString StageDirectoryReplacement(DirectorySwap& swap, const QString& dir, const QString& workCopy,
                                  int oldVersion);
// The system's code of the last failed file operation of these helpers.
int LastFileErrorCode();

// The absolute path with every symbolic link, "." and ".." resolved as the
// system resolves them; the part that does not exist yet is appended as
// spelled. Every safety check of these helpers compares such paths.
QString ResolvedPath(const QString& path);

// Tells whether a directory holds a database that is open; a directory that
// does is never copied. By default the databases the table layer holds open
// in this process count; tests install their own check.
class OpenDatabaseCheck {
public:
    virtual ~OpenDatabaseCheck() = default;
    virtual bool holdsOpenDatabase(const QString& dir) const = 0;
};
OpenDatabaseCheck* SetOpenDatabaseCheck(OpenDatabaseCheck* check);
// Whether the installed check says dir holds a database open in this process.
bool HoldsOpenDatabase(const QString& dir);

// For tests: makes the copy of a file fail when the predicate says so.
using FileCopyFault = std::function<bool(const QString& source, const QString& dest)>;
FileCopyFault SetFileCopyFault(FileCopyFault fault);
