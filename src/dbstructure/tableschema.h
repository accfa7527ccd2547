#pragma once

#include "platform/table/tabledef.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <utility>

namespace dbstructure {

// One table of a client database: its structure, the rows a new table starts
// with and the values that copied rows get in fields their old table lacked.
struct TableSchema {
    table::TableDef def;
    // Values in field order, converted to the field's type; a row may be
    // shorter than the field list (the rest stay null). Dates stay
    // "dd.mm.yyyy" texts, converted when the row is posted.
    QList<QVariantList> defaultRows;
    // 1-based field number and the value a null field of a copied row gets,
    // ordered by field number.
    QList<std::pair<int, QVariant>> fillIns;
};

// When a table is re-created although it exists: only when the stored
// database version is older than the current one, or on every run.
enum class ForceRule { BelowCurrentVersion, Always };

// What fills a table after its creator made it.
enum class RowsRule {
    Copy,                 // the old rows are copied
    CopyWithFillIn,       // the same, with the table's fill-in values
    Defaults,             // the default rows, never the old ones
    CopyElseDefaults,     // the default rows when the copy brought none
    DefaultsThenUserForms // the default rows, then the user's own print forms
};

struct CreationStep {
    QString table; // as the order names it; resolved without regard to case
    ForceRule force = ForceRule::BelowCurrentVersion;
    RowsRule rows = RowsRule::Copy;
};

enum class Database { Client, Archive };

// The key under which a table name is looked up: lower case, without ".db",
// so "ZahlArt.db", "Zahlart.DB" and "zahlart" name the same table.
QString TableLookupKey(const QString& tableName);

} // namespace dbstructure
