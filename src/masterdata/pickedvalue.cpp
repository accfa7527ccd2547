#include "masterdata/pickedvalue.h"

#include "core/data/dbhelpers.h"
#include "platform/table/table.h"

#include <QVariant>

bool StorePickedValue(table::Table& t, const QString& field, const QVariant& chosen, bool post) {
    if (!chosen.isValid() || chosen.toString().isEmpty() ||
        (chosen.typeId() != QMetaType::QString && chosen.toInt() == 0))
        return false;
    if (FieldEquals(t.field(field), chosen))
        return false;
    EnsureEditOrInsert(t);
    t.field(field).setValue(chosen);
    if (post)
        t.post();
    return true;
}
