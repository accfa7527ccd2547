#pragma once

#include <QString>
#include <QStringList>

// The file-type filters of the open and save dialogs come as pairs
// "Description|pattern;pattern|...". Qt wants one "Description (patterns)"
// per entry. A pattern written without its "*" (".txt") is meant as "*.txt",
// and a description that repeats its pattern, closed or not ("Bilder (*.jpg"),
// is shown once.
QStringList QtNameFilters(const QString& filter);
// The same joined with ";;", for the dialogs' filter argument.
QString QtFilterString(const QString& filter);
