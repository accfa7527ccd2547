#pragma once

class QString;

namespace table {
class Table;
}

// The document groups' own actions, apart from their form.

// Appends a copy of the current group of groups (the data module's shared
// group table) and posts it: the copy differs only in its key, which the
// new-row rule gives it. A pending edit is posted first, so that the copy
// is of what the user sees. Nothing happens on an empty table.
void CopyDvGroup(table::Table& groups);

// Where the choice of a group's default path starts: the stored folder when
// it exists, else the program directory, both without a final separator.
QString DvGroupStartDirectory(const QString& storedPath);
