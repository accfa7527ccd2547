#pragma once

#include "dbstructure/tableschema.h"

#include <QString>

namespace table {
class Database;
}

namespace dbstructure {

class TableSchemas;

// Builds every table of the client or archive database into `db`, in
// creation order, with all indexes. A table that is made here gets its default
// rows where its rule brings any: a new database has no old rows to copy, so
// "copy, else defaults" and "defaults, then user forms" mean the defaults.
// Tables already there are left as they are, so a database that lacks only
// some tables gets just those. All or nothing: on an error no table of this
// run remains. Returns the number of tables made.
int CreateDatabaseTables(table::Database& db, Database which);
int CreateDatabaseTables(table::Database& db, Database which, const TableSchemas& schemas);
int CreateDatabaseTables(const QString& alias, Database which);

// The postal-code table, which only the template data directory holds; a new
// client's data directory gets a copy from there. False when it exists.
bool CreatePlzTable(table::Database& db);

} // namespace dbstructure
