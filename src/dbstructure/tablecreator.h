#pragma once

#include <QString>

namespace table {
class Database;
}

namespace dbstructure {

class TableSchemas;

// Creates one table of either database from its definition. The table's name
// goes to the message list first. A table that exists is left exactly as it
// is (whatever its structure) and false returned, unless `force` is set:
// then it is replaced by an empty table of the defined structure (its rows are
// gone) and true returned, as for a table that did not exist.
// Names resolve without regard to case and with or without ".DB". Raises
// DbError for a name without definition and the engine's error otherwise.
bool CreateTable(table::Database& db, const QString& tableName, bool force);
bool CreateTable(table::Database& db, const QString& tableName, bool force,
                 const TableSchemas& schemas);
// The same on the database behind an alias ("LumoDB", "AblageDB", an
// upgrade's work alias).
bool CreateTable(const QString& alias, const QString& tableName, bool force);

// Appends the table's default rows in their order, one append and post per
// row, without looking at rows already there: meant for a table that was just
// created. A row with fewer values leaves the remaining fields null; a date
// field takes its "dd.mm.yyyy" text. All rows or none are written. A table
// without default rows is left alone.
void FillDefaults(table::Database& db, const QString& tableName);
void FillDefaults(table::Database& db, const QString& tableName, const TableSchemas& schemas);
void FillDefaults(const QString& alias, const QString& tableName);

} // namespace dbstructure
