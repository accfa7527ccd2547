#include "dbstructure/tablecreator.h"

#include "core/messages/messagelist.h"
#include "dbstructure/tableschemas.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

namespace dbstructure {

bool CreateTable(table::Database& db, const QString& tableName, bool force) {
    return CreateTable(db, tableName, force, TableSchemas::builtIn());
}

bool CreateTable(table::Database& db, const QString& tableName, bool force,
                 const TableSchemas& schemas) {
    const TableSchema& schema = schemas.get(tableName);
    AddMessageLine(schema.def.name);
    if (db.exists(schema.def.name)) {
        if (!force)
            return false;
        // Dropping and creating together: a failed creation must not leave
        // the database without the old table.
        table::Transaction tx(db);
        db.dropTable(schema.def.name);
        db.createTable(schema.def);
        tx.commit();
        return true;
    }
    db.createTable(schema.def);
    return true;
}

bool CreateTable(const QString& alias, const QString& tableName, bool force) {
    return CreateTable(*table::aliases::database(alias), tableName, force);
}

void FillDefaults(table::Database& db, const QString& tableName) {
    FillDefaults(db, tableName, TableSchemas::builtIn());
}

void FillDefaults(table::Database& db, const QString& tableName, const TableSchemas& schemas) {
    const TableSchema& schema = schemas.get(tableName);
    if (schema.defaultRows.isEmpty())
        return;
    table::Transaction tx(db);
    // The cursor lives only inside this call, so it may borrow the database.
    table::Table target(std::shared_ptr<table::Database>(std::shared_ptr<void>(), &db),
                        schema.def.name);
    target.open();
    for (const QVariantList& row : schema.defaultRows) {
        target.append();
        for (int i = 0; i < row.size(); ++i) {
            if (!row[i].isNull())
                target.field(i).setValue(row[i]);
        }
        target.post();
    }
    target.close();
    tx.commit();
}

void FillDefaults(const QString& alias, const QString& tableName) {
    FillDefaults(*table::aliases::database(alias), tableName);
}

} // namespace dbstructure
