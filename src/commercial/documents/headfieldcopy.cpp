#include "commercial/documents/headfieldcopy.h"

#include "platform/table/field.h"
#include "platform/table/table.h"

void CopyStoredFieldsByName(table::Table& source, table::Table& target) {
    for (int i = 1; i < source.fieldCount(); ++i) {
        const table::Field& from = source.field(i);
        if (from.isCalculated() || from.isNull())
            continue;
        if (table::Field* to = target.findField(from.name()); to && !to->isCalculated())
            to->setValue(from.value());
    }
}
