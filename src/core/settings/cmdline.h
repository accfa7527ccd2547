#pragma once

#include <QString>
#include <QStringList>

// Whether any command-line parameter (the program name not counted) equals
// Switch, both trimmed and upper-cased: "+NS" matches " +ns ".
bool ParamSwitchPresent(const QString& switchText);
bool ParamSwitchPresent(const QString& switchText, const QStringList& parameters);

// The version text of a program file: the running program's own version
// (QCoreApplication::applicationVersion) when FileName is that program and a
// version was set; "?.??[???]" otherwise, as for a file without version data.
QString GetFileVersionText(const QString& fileName);
