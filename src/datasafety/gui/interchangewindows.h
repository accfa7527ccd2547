#pragma once

#include <QString>

namespace table {
class Table;
}

// The windows of the definition-driven import and export. The entries of
// datasafety.h reach them through the hooks that InstallInterchangeServices
// fills (the data module's tables named as it names them).

// Imports the data file into the table (one of the data module's master
// tables) in the window TF_ExecImport, centred on the screen; the data
// module's import mode is on while the window is open. File names are inside
// the client's import/export directory.
void RunImport(table::Table& target, const QString& caption, const QString& definitionFile,
               const QString& dataFile, const QString& keyField);

// Exports the table's records (a shared table object or a work table of the
// caller) within the filter, in the order of its current index, by the
// definition, in the window TF_ExecExport (caption "Datenexport" when empty),
// placed at left/top when these are not 0. File names are inside the
// client's import/export directory; an "SFILE" line of the definition names
// another output. True when at least one record was written and the user did
// not cancel; the output file is then replaced, otherwise left as it was.
bool RunExport(table::Table& table, const QString& caption, const QString& definitionFile,
               const QString& outputFile, const QString& filter, int left, int top);

// The definition editor TF_EditExport for ".exp" and ".imp" files: the file
// (a full path) as plain text, placed at left/top when each is 0 or more.
// 1 when the user saved it with OK, 2 when the editor was cancelled or
// closed. A file that cannot be read raises DbError and nothing opens.
int OpenDefinitionEditor(const QString& fileName, int left, int top);

// The window "Datenbanken exportieren" of the general data export.
void OpenExportForm();

// Fills the hooks of datasafety.h with the functions above.
void InstallInterchangeServices();
