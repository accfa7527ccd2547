#pragma once

#include <QString>

// What a directory's database file holds, looked at without changing it.
enum class DatabaseFileState {
    Missing, // no database file
    Empty,   // a database without a single table: nothing to lose
    Present,
    Damaged, // exists but cannot be read as a database
};

struct DatabaseFileCheck {
    DatabaseFileState state = DatabaseFileState::Missing;
    QString fileName;
    QString problem; // German, for Damaged
};

// thorough: the engine checks every page (takes a moment on a large file);
// otherwise only the header and the list of tables are read.
DatabaseFileCheck InspectDatabaseFile(const QString& dir, bool thorough);

// The German message that names a damaged file and its damage.
QString DamagedDatabaseMessage(const DatabaseFileCheck& check);

// Raises DbError with that message when the current client's database or
// archive database exists but is damaged.
void CheckClientDatabaseFiles();
