#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <utility>

namespace table {
class Database;
}

namespace dbstructure {

struct TableSchema;
class TableSchemas;

// Builds a complete database and archive database of the current structure in
// the two new (work) directories and fills them with the rows of the source
// directories, table by table and field by field. With an empty source the
// result is a new client's databases. The source directories are only read
// (through "_Sav" copies of them); the caller replaces the client's
// directories with the work directories after success and writes the version
// file. The work directories and their "_Sav" copies are emptied first, so
// nothing of an earlier failed run reaches the result.
//
// False, after the reason was shown, when a database could not be opened or
// when any row, field or table could not be carried over: an upgrade never
// succeeds after losing data. Directory failures and errors of the table
// creators raise.
bool UpdateDatabaseStructure(const QString& sourceDataDir, const QString& newDataDir,
                             const QString& sourceArchiveDir, const QString& newArchiveDir);

// Whether the data and archive directories hold every table of the current
// structure with its fields (a database whose version file was lost).
bool HasCurrentStructure(const QString& dataDir, const QString& archiveDir);

// Makes UpdateDatabaseStructure the upgrade that start-up and client switching
// run, and HasCurrentStructure their structure check.
void InstallDatabaseUpgrader();

// The screen the progress list is centred on (QtCore cannot ask); the
// program sets it before an upgrade.
void SetUpgradeScreenSize(const QSize& size);

// Pairs (new field name, old field name): a destination field that the old
// table lacks is fed from the old name, for whichever table has it.
const QList<std::pair<QString, QString>>& FieldRenameMap();
// The source field that feeds a destination field of this name: the field of
// the same name, else the renamed old one the source has; empty when none.
QString FindRenamedSourceField(const QString& destFieldName, const QStringList& sourceFields);

// What went wrong while rows were carried over; an empty field names a failure
// of the table or of whole rows.
struct CopyProblem {
    QString table;
    QString field;
    QString message;
};

// Appends every row of the source's table to the destination's table of the
// same name, by field name with the rename map; a field the old table lacked
// gets the schema's fill-in value (when given), a null old value stays null.
// Old auto-increment values are copied as integers; a destination
// auto-increment field is numbered by the engine. Problems are appended to
// `problems` (the rows that could be written stay). Returns the rows written,
// 0 when the source has no such table.
int CopyTableData(table::Database& source, table::Database& dest, const QString& tableName,
                  const TableSchema* fillIns, QList<CopyProblem>& problems);

// Adds the user's own (unprotected) print forms of the source's print-form
// table to the destination's, except those whose id the destination already
// holds. Returns the rows added.
int MergeUserReportForms(table::Database& source, table::Database& dest, const QString& tableName);

// Adds the print form 81000 "Faktura-Listen" to the current client's
// print-form table when it is missing; the number of forms added.
int AddInvoiceListsForm();
int AddInvoiceListsForm(table::Database& db);
// "N Druckformulare eingebunden." for the menu entry that adds them.
QString AddedPrintFormsText(int added);

} // namespace dbstructure
