#pragma once

#include <QString>
#include <QStringList>

// The import and export definitions that come with the program: one for
// every import entry and every export the menus name. A client's
// import/export directory receives those it lacks (names compared without
// regard to case); a file that is there, the user's own, is never replaced.

// The names of the shipped files.
QStringList ShippedDefinitionNames();
// Writes the missing ones into dir; the names written. Raises DbError when
// one cannot be written.
QStringList EnsureShippedDefinitions(const QString& dir);
