#pragma once

#include <QVariantList>

namespace table {
class Table;
}

// Rows whose order is the order of their keys (an object's activities, a
// tour's objects) are reordered by exchanging their contents: the key (the
// first field) and the link fields before `first` stay where they are.

// The stored fields of the current row from field index `first` on.
QVariantList StoredRowContent(table::Table& rows, int first);
// Edits the current row, sets its stored fields from `first` on and posts;
// an error cancels the edit and goes to the caller.
void ReplaceRowContent(table::Table& rows, int first, const QVariantList& values);

// Exchanges the content of the current row with its upper (up) or lower
// neighbour in one transaction, the cursor following the moved content to
// the neighbour. Nothing happens on the first row (up) or the last (down).
// On an error (a row another workstation is editing) neither row changes,
// the cursor returns to the row it stood on and the error goes to the
// caller. True when the rows were exchanged.
bool ExchangeRowWithNeighbour(table::Table& rows, int first, bool up);
