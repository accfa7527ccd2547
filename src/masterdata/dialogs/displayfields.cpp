#include "masterdata/dialogs/displayfields.h"

#include "platform/table/table.h"

void AddDisplayFields(table::Table& cursor, const QList<DisplayFieldDef>& fields,
                      std::function<void(table::Table&)> calc) {
    if (fields.isEmpty() || cursor.findField(fields.first().name))
        return;
    // Calculated fields are declared on a closed cursor.
    const bool wasOpen = cursor.isOpen();
    if (wasOpen)
        cursor.close();
    for (const DisplayFieldDef& f : fields)
        cursor.addCalculatedField(f.name, f.type, f.size);
    cursor.onCalcFields += std::move(calc);
    if (wasOpen)
        cursor.open();
}

QVariantList LookupRow(table::Table& near, const QString& tableName, const QString& keyField,
                       const QVariant& key, const QStringList& resultFields) {
    if (key.isNull())
        return {};
    // The cursor lives only for the call, while near keeps its database.
    std::shared_ptr<table::Database> db(std::shared_ptr<void>(), near.database());
    table::Table row(std::move(db), tableName);
    row.setReadOnly(true);
    row.open();
    if (!row.locate({keyField}, {key}))
        return {};
    QVariantList values;
    for (const QString& name : resultFields)
        values.append(row.field(name).value());
    return values;
}
