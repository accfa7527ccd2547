#include "dbstructure/databasebuilder.h"

#include "dbstructure/tablecreator.h"
#include "dbstructure/tableschemas.h"
#include "platform/table/database.h"

namespace dbstructure {
namespace {

bool bringsDefaults(RowsRule rule) {
    return rule == RowsRule::Defaults || rule == RowsRule::CopyElseDefaults ||
           rule == RowsRule::DefaultsThenUserForms;
}

} // namespace

int CreateDatabaseTables(table::Database& db, Database which) {
    return CreateDatabaseTables(db, which, TableSchemas::builtIn());
}

int CreateDatabaseTables(table::Database& db, Database which, const TableSchemas& schemas) {
    int created = 0;
    // One transaction for the whole run: the database is complete or untouched,
    // and the engine writes to disk once instead of once per table and row.
    table::Transaction tx(db);
    for (const CreationStep& step : schemas.creationOrder(which)) {
        if (!CreateTable(db, step.table, false, schemas))
            continue;
        ++created;
        if (bringsDefaults(step.rows))
            FillDefaults(db, step.table, schemas);
    }
    tx.commit();
    return created;
}

int CreateDatabaseTables(const QString& alias, Database which) {
    return CreateDatabaseTables(*table::aliases::database(alias), which);
}

bool CreatePlzTable(table::Database& db) {
    return CreateTable(db, QStringLiteral("PLZ.DB"), false);
}

} // namespace dbstructure
