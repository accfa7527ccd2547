#include "masterdata/recordcopy.h"

#include "commercial/documents/headfieldcopy.h"
#include "core/data/dbhelpers.h"
#include "platform/errors.h"
#include "platform/table/table.h"

QVariant CopyCurrentRecord(table::Table& shared, const QString& db, const QString& tableName,
                           const QString& idField, const QString& keyField,
                           const std::function<QVariant()>& newKey,
                           const std::function<void(table::Table&)>& adjust) {
    if (!shared.isOpen() || shared.isEmpty())
        throw Abort{};
    if (shared.isEditing())
        shared.post();
    const QVariant key = newKey();
    auto copy = OpenTempTable(db, tableName);
    const int id = GetNextId(*copy, idField);
    copy->append();
    CancelEditOnError(*copy, [&] {
        CopyStoredFieldsByName(shared, *copy);
        copy->field(idField).setValue(id);
        copy->field(keyField).setValue(key);
        if (adjust)
            adjust(*copy);
        copy->post();
    });
    shared.refresh();
    shared.locate({keyField}, {key});
    return key;
}
