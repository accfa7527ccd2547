#pragma once
#include <QList>
#include <QString>

// The definition-driven imports of master data: what each import entry of the
// main window passes on, and the data file ("SFILE=" line) kept in its
// definition file in the import/export directory.
struct ImportDefinition {
    QString entry;           // the menu item that runs the import
    QString fileEntry;       // the menu item that sets the data file
    QString definitionEntry; // the menu item that edits the definitions
    QString backupComment;   // followed by the date
    QString table;           // the data module's table
    QString caption;
    QString definitionFile;
    QString dataFile;
    QString keyField;
};
const QList<ImportDefinition>& ImportDefinitions();

// The question asked before an import or export.
QString ImportBackupQuestion();
QString ExportBackupQuestion();

// The data file named by a definition file.
struct SfileSetting {
    enum State { FileMissing, NoSfileLine, Found };
    State state = FileMissing;
    QString current; // text from the line's seventh character on
    QStringList lines;
    qsizetype line = -1;
};
SfileSetting ReadSfileSetting(const QString& definitionFile);
// Rewrites the "SFILE" line as "SFILE=" + value; false when it could not be
// saved (or the setting has no such line).
bool WriteSfileSetting(const QString& definitionFile, SfileSetting setting, const QString& value);
// The message for a missing or empty definition file (full path for %s).
QString MissingImportDefinitionMessage(const QString& fullName);
QString MissingExportDefinitionMessage(const QString& fullName);
