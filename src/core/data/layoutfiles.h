#pragma once

#include <QString>
#include <QStringList>

// The layout files of print forms in the client's layout directory (QrfdDir):
// "ORM" + the form id in five digits + ".QFD". Names are matched without
// regard to case, as the systems that wrote them did; new files get the upper
// case name.

// "ORM10001.QFD"; id 0 names a file no print form has.
QString LayoutFileName(int formId);
// The layout directory's file of the form: the existing one under any case,
// else the new name. Neither the file nor the row need to exist.
QString LayoutFilePath(int formId);

// The file at the path, its name matched without regard to case; empty when
// there is none.
QString ExistingLayoutFile(const QString& path);

// The lines of a layout file (Windows-1252, lines ended by CR LF, CR or LF),
// its name matched without regard to case. False when it is missing, cannot
// be read or is no layout at all (binary content, far too large).
bool LoadLayoutLines(const QString& path, QStringList& lines);

// The rest of the first line of the layout directory's file that starts with
// "FRMTITLE:" in any case, untrimmed; empty when there is none or the file
// cannot be read.
QString ReadLayoutTitle(const QString& fileName);

// Registers the layout directory's files "ORM?????.QFD" in "QrFrmDef.DB": a
// user row for every file of an existing form type that has none yet. Only
// when a registered row's name differs from its file's title does it ask
// whether the names are replaced; after "Yes" those rows take the titles.
void ImportLayoutFiles();

// Copies the template's layout files into a client's layout directory without
// touching a file the client has under any case. False after a failure, which
// has been reported.
bool CopyTemplateLayouts(const QString& sourceDir, const QString& targetDir);
