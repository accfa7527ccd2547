#pragma once

class QString;
class QVariant;

namespace table {
class Table;
}

// Writes a picker's choice into the current record: nothing for a cancelled
// or empty choice (0, an empty text) or for the value the field already
// holds; otherwise the record goes into edit state, takes the value and, with
// post, is posted. True when the value was written.
bool StorePickedValue(table::Table& t, const QString& field, const QVariant& chosen, bool post);
