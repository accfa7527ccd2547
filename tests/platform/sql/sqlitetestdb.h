#pragma once

#include <QList>
#include <QString>
#include <QVariant>

struct sqlite3;

// An in-memory SQLite database with the "DE" collation registered as the table
// layer registers it, for running translated SQL in tests.
class SqliteTestDb {
public:
    SqliteTestDb();
    ~SqliteTestDb();
    SqliteTestDb(const SqliteTestDb&) = delete;
    SqliteTestDb& operator=(const SqliteTestDb&) = delete;

    // Runs every statement of a script without parameters; fails the test on error.
    void exec(const QString& script);
    // Runs one statement with bound parameters and returns its rows.
    // Throws std::runtime_error with SQLite's message when it cannot be prepared or run.
    QList<QVariantList> query(const QString& sql, const QVariantList& params = {});

private:
    sqlite3* m_db = nullptr;
};
