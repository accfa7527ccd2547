#pragma once

#include <QString>

namespace table {
class Table;
}

// The outside documents of customers, objects and staff: what a row of a
// document table (KundDV, ObjDV, PersDV) hands to the desktop, and the texts
// of what can go wrong there.

// Kinds of target (OD_Type, copied from the row's group).
enum DocTargetType : int {
    DocFile = 0,
    DocMail = 1,
    DocWeb = 2,
    DocFtp = 3,
    DocFolder = 4,
    DocExplore = 5, // a folder shown in the file manager
};

// prefix + path + file name + suffix ("File://" + "/srv/" + "a.pdf").
QString BuildDocTarget(const QString& prefix, const QString& path, const QString& fileName,
                       const QString& suffix);
// The same of the table's current row.
QString BuildDocTarget(table::Table& docs);

// The open dialog's filter of a group mask: "(*.E)|*.E|" for every
// comma-separated extension E, in mask order; empty for an empty mask.
QString DocMaskToFilter(const QString& mask);

// Folders are stored with a final separator; rows written elsewhere end in
// "\", rows written here in "/". Both are accepted.
QString WithoutFinalSeparator(const QString& folder);
QString WithFinalSeparator(const QString& folder);

// The desktop's answers, numbered as the shell's: above 32 the target was
// taken; 2 a missing file, 3 a missing folder; DocOpenRefused when no program
// took it (or no desktop opener is installed).
inline constexpr int DocOpened = 33;
inline constexpr int DocFileMissing = 2;
inline constexpr int DocFolderMissing = 3;
inline constexpr int DocOpenRefused = 1;

// Hands the target to the desktop as one path or URL: a URL other than
// "file:" as it stands, a local path (also "file://" + path, "\" read as
// "/") after checking that it exists. Explore shows a folder.
int OpenDocTarget(const QString& target, bool explore);
// The message of a result of 32 or less, naming the target where it helps.
QString DocOpenErrorText(int result, const QString& target);

// The hint shown before the user types an address of a mail, web or FTP
// row: the catalog's request and a second line with an example; empty for
// other kinds.
QString DocAddressHint(int type);
