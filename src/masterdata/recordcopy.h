#pragma once

#include <QVariant>
#include <functional>

class QString;

namespace table {
class Table;
}

// Copies the current record of a shared table (posted first when in edit,
// so the copy is of what is shown) on a cursor of its own, past the record
// rules: a fresh idField and keyField = newKey(); adjust may change the copy
// before its post. The shared table is then refreshed and moved onto the
// copy. Returns the new key; Abort on an empty table.
QVariant CopyCurrentRecord(table::Table& shared, const QString& db, const QString& tableName,
                           const QString& idField, const QString& keyField,
                           const std::function<QVariant()>& newKey,
                           const std::function<void(table::Table&)>& adjust = {});
