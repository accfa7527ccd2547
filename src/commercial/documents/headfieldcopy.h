#pragma once

namespace table {
class Table;
}

// Fills the record target is editing from the current record of source:
// every stored field of source but its first (the key) that holds a value
// goes into the target field of the same name (names compared without regard
// to case), when target has one.
void CopyStoredFieldsByName(table::Table& source, table::Table& target);
