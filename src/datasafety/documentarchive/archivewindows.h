#pragma once

#include "datasafety/documentarchive/documentmove.h"

#include <QString>
#include <QStringList>
#include <functional>

// The windows of the document archive (the move dialog, the archive
// browsers, the document viewer) live in the window library, which installs
// their openers here at start-up; the entries of datasafety.h call them.

void SetArchiveDocumentsOpener(std::function<void(const ArchiveTables&)> opener);
// The browsers by their opener's name ("ShowAngViewForm").
void SetArchiveBrowserOpener(std::function<void(const QString& openerName)> opener);
void SetDocViewOpener(
    std::function<void(int nr, const QString& name, int kind, const QStringList& list)> opener);

bool IsArchiveDocumentsInstalled();
bool AreArchiveBrowsersInstalled();
bool IsDocViewInstalled();

// ArchiveDocuments with the table pair of a family.
void ArchiveDocuments(ArchiveFamily family);
