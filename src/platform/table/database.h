#pragma once

#include "platform/table/tabledef.h"

#include <QHash>
#include <QSet>
#include <QVariant>
#include <map>
#include <memory>
#include <optional>

namespace table {

class Connection;
class Session;
class Table;

enum class JournalMode {
    Wal,      // a program directory on a local disk
    Rollback, // a network installation: every workstation must use the same
};

// An actual column of a stored table.
struct ColumnInfo {
    QString name;
    QString sqlType; // as the engine declares it: TEXT, INTEGER, REAL, BLOB
    FieldType type;  // as the table's definition says
    int size = 0;
};

// One database: the file "domvera.sqlite" in a directory. Holds the table
// definitions, creates and maintains tables, runs SQL and transactions.
class Database {
public:
    struct Options {
        // Applied and thereby written into the file; unset keeps the file's mode
        // (a new file starts with the rollback journal).
        std::optional<JournalMode> journalMode;
        int busyTimeoutMs = 5000;
        bool create = true; // create the file when it is missing
        // Off for scratch databases (an upgrade's work copies, tests): faster,
        // but a power failure may lose or damage them.
        bool syncToDisk = true;
    };

    static std::shared_ptr<Database> open(const QString& directory, Options options);
    static std::shared_ptr<Database> open(const QString& directory) {
        return open(directory, Options{});
    }
    static QString fileIn(const QString& directory); // the database file of a directory
    // The directories, with links resolved, of the databases open in this process.
    static QStringList openDirectories();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& directory() const { return m_directory; }
    QString fileName() const;
    JournalMode journalMode();

    // Record locks and exclusive opens are shared through the session; without
    // one the database is single-user.
    void setSession(std::shared_ptr<Session> session) { m_session = std::move(session); }
    Session* session() const { return m_session.get(); }

    // Tables, found without regard to case and with or without ".DB".
    bool exists(const QString& table);
    QStringList tableNames();
    TableDef tableDef(const QString& table); // raises NotFound
    // Whether the table's first field is the engine's row id (an INTEGER
    // primary key), as the file says; def is the table's current definition.
    bool keyIsRowId(const TableDef& def);
    // The fields of def by name as defined and by lower-case name, built once
    // per definition and shared by the cursors on the table; def is the
    // table's current definition.
    struct FieldNames {
        QHash<QString, int> exact, lower;
    };
    const FieldNames& fieldNames(const TableDef& def);
    void createTable(const TableDef& def);          // raises when the table exists
    void createTemporaryTable(const TableDef& def); // lives as long as this connection
    // A table of the database attached to this connection as `schema`: whether
    // it exists, and creating it with its indexes and definition in one
    // transaction (a savepoint of the one open), so it commits or rolls back
    // with what else the transaction writes into either file. The attached
    // file's own Database objects read the definition from the file.
    bool existsIn(const QString& schema, const QString& table);
    void createTableIn(const QString& schema, const TableDef& def);
    bool isTemporaryTable(const QString& table) const;
    void dropTable(const QString& table);
    void emptyTable(const QString& table);
    void packTable(const QString& table); // rebuilds indexes and frees unused space
    void rebuildIndexes(const QString& table, const QList<IndexDef>& indexes);
    QList<ColumnInfo> columns(const QString& table);
    // Creates the table in `target` (replacing one of the same name) and copies every row.
    void copyTable(const QString& table, Database& target, const QString& targetName = {});

    // One statement in SQLite's dialect with bound parameters; the number of changed rows.
    int execSql(const QString& sql, const QVariantList& params = {});
    // The first column of the first row a SELECT in SQLite's dialect gives;
    // invalid when it gives none. Kept prepared for the next call.
    QVariant selectValue(const QString& sql, const QVariantList& params = {});

    // Writes a consistent copy of the whole database into the directory
    // (its file is replaced), also while others write.
    void backupTo(const QString& directory);
    // Folds the write-ahead log into the file so the directory can be copied.
    void checkpoint();
    // Closes every open cursor and checkpoints; the object stays usable.
    void closeTables();

    Connection& connection() { return *m_connection; }
    // For the table layer: cursors register to be closed with the database.
    void attach(Table* table);
    void detach(Table* table);
    // The open cursors, in the order they were opened.
    QList<Table*> openTables() const { return m_tables; }
    // Whether a cursor object made on this database still exists, open or not.
    bool hasCursor(const Table* table) const { return m_cursors.contains(table); }
    void adoptCursor(const Table* table) { m_cursors.insert(table); }
    void releaseCursor(const Table* table) { m_cursors.remove(table); }
    // After a rollback or bulk change; rowIdsChanged after packing, when the
    // cursors' current records can no longer be found again.
    void invalidateCursors(bool rowIdsChanged = false);
    // Rows written through one cursor: the others on the same table read
    // their view again before they next move, so they see the change as a
    // shared cursor of the same program should.
    void noteTableWritten(const QString& physical);
    quint64 writeSerial() const { return m_writeSerial; }
    quint64 tableWrites(const QString& physical) const;
    // The table's write counter itself, for cursors that check it on every
    // move; it lives as long as the database.
    quint64& tableWriteCounter(const QString& physical);
    void noteTableWritten(quint64& counter) {
        ++m_writeSerial;
        ++counter;
    }
    QString lockKey() const { return m_lockKey; }
    int transactionDepth() const { return m_depth; }
    // Changes with every outermost transaction begun; no other connection can
    // write while one is open.
    quint64 transactionSerial() const { return m_transactionSerial; }

private:
    friend class Transaction;
    explicit Database(const QString& directory, Options options);
    QString resolve(const QString& table); // the stored name, or empty
    void storeDef(const TableDef& def, bool temporary);
    void createIndexes(const QString& physical, const QList<IndexDef>& indexes, bool temporary);
    void createIndexesIn(const QString& schema, const QString& physical,
                         const QList<IndexDef>& indexes);
    void forgetShape(const QString& key); // what was derived from a changed definition

    QString m_directory;
    QString m_lockKey;
    std::unique_ptr<Connection> m_connection;
    std::shared_ptr<Session> m_session;
    QHash<QString, TableDef> m_defs;         // by lower-case physical name
    QHash<QString, QString> m_defTexts;      // the stored text each of m_defs was read from
    QHash<QString, bool> m_rowIdKeys;        // keyIsRowId by lower-case physical name
    QHash<QString, FieldNames> m_fieldNames; // by lower-case physical name
    QHash<QString, TableDef> m_tempDefs;
    QList<Table*> m_tables;
    QSet<const Table*> m_cursors;
    int m_depth = 0;
    quint64 m_writeSerial = 0;
    quint64 m_transactionSerial = 0;
    std::map<QString, quint64> m_tableWrites; // by lower-case physical name; never erased
};

// How an outermost transaction begins: Immediate takes the write lock of the
// database file at once, so no other connection can write until it ends;
// Deferred takes it only at the first write into the file, so a transaction
// that writes nothing but the connection's temporary tables never waits for
// other workstations, nor they for it.
enum class TransactionLock { Immediate, Deferred };

// A scoped transaction: everything inside commits together or, when the scope
// is left without commit() (an exception), is rolled back. Nested scopes are
// savepoints of the outer one.
class Transaction {
public:
    explicit Transaction(Database& db, TransactionLock lock = TransactionLock::Immediate);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& m_db;
    int m_level;
    bool m_done = false;
};

// The named databases of the program (`LumoDB`, `AblageDB`): each alias points
// at a directory, can be re-pointed (client switch) and closed.
namespace aliases {
void define(const QString& alias, const QString& directory, Database::Options options = {});
std::shared_ptr<Database>
database(const QString& alias); // opens on first use; raises for an unknown alias
QString directory(const QString& alias);
// The alias's database when it is open, without opening it.
std::shared_ptr<Database> openedDatabase(const QString& alias);
void close(const QString& alias); // closes the database; the alias stays defined
void remove(const QString& alias);
} // namespace aliases

} // namespace table
