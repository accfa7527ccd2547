#pragma once

#include "platform/table/tabledef.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

namespace table {
class Table;
}

// Display fields of a cursor: values of another table's row, shown in its
// grid beside the cursor's own fields. Being calculated, they are no search
// fields.

struct DisplayFieldDef {
    QString name;
    table::FieldType type;
    int size = 0;
};

// Declares the fields on the cursor and fills them by calc on every record.
// Once per cursor: nothing happens when the first field exists. An open
// cursor is closed for it and opened again (on its first record).
void AddDisplayFields(table::Table& cursor, const QList<DisplayFieldDef>& fields,
                      std::function<void(table::Table&)> calc);

// The fields resultFields of the row of tableName whose keyField holds key,
// read on a cursor of its own on near's database, so that no shared table
// object moves; empty when the key is null or no row holds it.
QVariantList LookupRow(table::Table& near, const QString& tableName, const QString& keyField,
                       const QVariant& key, const QStringList& resultFields);
