#pragma once

// Translates the SQL that the program writes in the desktop database's local
// dialect into SQLite SQL with bound parameters.
//
//   SELECT [DISTINCT] items FROM table [[AS] alias]
//          {[INNER|LEFT [OUTER]] JOIN table [[AS] alias] ON cond | , table [alias]}
//          [WHERE cond] [GROUP BY ...] [HAVING cond] [ORDER BY expr [ASC|DESC], ...]
//   UPDATE table SET field=expr, ... [WHERE cond]
//   DELETE FROM table [WHERE cond]
//   INSERT INTO table [(fields)] VALUES (exprs)
// Items: *, alias.*, expressions with an optional [AS] name; COUNT(*), COUNT, MIN,
// MAX, SUM, AVG; conditions with = <> != < <= > >=, AND, OR, NOT, IS [NOT] NULL,
// [NOT] BETWEEN, [NOT] IN (list); arithmetic + - * / and ||.
// Table names in any letter case, plain or in double quotes, with or without ".DB".
// Literals compared with or assigned to a field take that field's storage form:
// 'dd.mm.yyyy' for a Date field becomes 'yyyy-MM-dd', true/false/'true'/'false' for
// a Boolean field become 1/0; a literal that does not fit its field is an error.
// Every text literal and every literal tied to a field is a bound parameter; only
// free numbers (ORDER BY 1, B_WieOft+1) stay in the text.
// Anything not understood raises DbError with a German message, never guessed SQL.
//
// Usage:
//   const sqltext::SqlStatement st = sqltext::translateSql(text, [&](const QString& name) {
//       return database.tableDef(name); // std::optional<table::TableDef>, any letter case
//   });
//   prepare(st.sql); bind(st.params);
//   if (st.editable) { /* rows of st.table, key st.primaryKey in column st.keyColumn */ }

#include "platform/sql/sqltext.h"
#include "platform/table/tabledef.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace sqltext {

// The definition of a table by its name (without extension, any letter case);
// nullopt when the database has no such table.
using TableLookup = std::function<std::optional<table::TableDef>(const QString& name)>;

struct ResultColumn {
    QString name;                         // alias, field name, or the expression text
    std::optional<table::FieldType> type; // known for fields and aggregates of fields
};

struct SqlStatement {
    enum class Kind { Select, Insert, Update, Delete };
    Kind kind = Kind::Select;
    QString sql;
    QVariantList params;
    // Insert/Update/Delete: the table written. Select: the base table when editable.
    QString table;
    // Select only:
    QList<ResultColumn> columns;
    bool editable = false;       // a plain single-table select: rows can be edited
    QString primaryKey;          // editable: the table's key field ...
    int keyColumn = -1;          // ... and its index in columns
    bool keyColumnAdded = false; // the key was appended to the select list; hide it
};

SqlStatement translateSql(const QString& text, const TableLookup& lookup);

// The physical table name for a name as written: quotes and ".DB" removed.
QString physicalTableName(const QString& name);

} // namespace sqltext
