#include "dbstructure/fillin.h"

#include "dbstructure/tableschemas.h"
#include "platform/table/copyrows.h"

namespace dbstructure {

QVariant FillInValue(const TableSchema& schema, int fieldNumber, const QVariant& current) {
    if (current.isValid() && !current.isNull())
        return current;
    for (const auto& [number, value] : schema.fillIns) {
        if (number == fieldNumber)
            return value;
    }
    return current;
}

CopyFillIn FillInFields(const TableSchema& schema, const QHash<QString, QString>& renames) {
    if (schema.fillIns.isEmpty())
        return {};
    // Target field (lower case) -> 1-based number, and the old name that feeds it.
    QHash<QString, int> numbers;
    for (int i = 0; i < schema.def.fields.size(); ++i)
        numbers.insert(schema.def.fields[i].name.toLower(), i + 1);
    QHash<QString, QString> oldNames;
    for (auto it = renames.cbegin(); it != renames.cend(); ++it)
        oldNames.insert(it.value().toLower(), it.key());
    return [schema, numbers, oldNames](const QString& targetField, const table::SourceRow& source,
                                       const QVariant& found) -> QVariant {
        const QString key = targetField.toLower();
        const QString oldName = oldNames.value(key, targetField);
        if (source.has(oldName))
            return found; // the old row's value replaces the fill-in, a null included
        return FillInValue(schema, numbers.value(key, 0), found);
    };
}

CopyFillIn FillInFields(const QString& tableName, const QHash<QString, QString>& renames) {
    return FillInFields(TableSchemas::builtIn().get(tableName), renames);
}

} // namespace dbstructure
