#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>

namespace table {
class SourceRow;
}

namespace dbstructure {

struct TableSchema;

// The value a field of a copied row ends with: a null `current` gets the
// table's fill-in value for that 1-based field number, when the table gives
// one; anything else stays as it is (an empty text is not null).
QVariant FillInValue(const TableSchema& schema, int fieldNumber, const QVariant& current);

// The per-field routine for copying old rows into a new table (the fillIn of
// table::CopyOptions). A field the old table had keeps the old value, a null
// included; only fields the old table lacked get the fill-in values.
// `renames` maps old field names to new ones, as given to the copy.
using CopyFillIn = std::function<QVariant(const QString& targetField,
                                          const table::SourceRow& source, const QVariant& found)>;
CopyFillIn FillInFields(const TableSchema& schema, const QHash<QString, QString>& renames = {});
// For a table of the built-in definitions; an empty routine for a table
// without fill-in values, so the copy takes every value as it finds it.
CopyFillIn FillInFields(const QString& tableName, const QHash<QString, QString>& renames = {});

} // namespace dbstructure
