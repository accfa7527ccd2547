#pragma once
#include <QString>
#include <QStringList>

// What laying out the manual did; paths relative to the program directory.
struct ManualInstallReport {
    bool upToDate = false;   // nothing to do: this version's manual is in place
    QStringList written;     // new or refreshed files of the manual
    QStringList keptAsUsers; // a file of that name the user put there or changed
    QStringList removed;     // pages an older manual had and this one no longer ships
    QStringList failed;      // could not be written; tried again at the next start
};

// Lays out the manual the program ships (the folders "Handbuch" and "Help"
// below shippedDir) in the program directory at the first start, and again
// when this program's version is newer than the installed manual's or ships
// different pages in the same version. A file is only written or removed when
// it is missing or still exactly as an earlier installation left it: files the
// user added or changed in those folders are never touched. The installation
// is recorded in "Handbuch/Installation.txt".
ManualInstallReport InstallManual(const QString& shippedDir, const QString& programDir,
                                  const QString& version);

// "2.40" against "2.4.1": numeric parts from the left; <0, 0, >0.
int CompareManualVersions(const QString& a, const QString& b);
