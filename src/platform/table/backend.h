#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <memory>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_mutex;
struct sqlite3_stmt;
struct sqlite3_value;

namespace table {

class Connection;

// A column of a statement's current row, read without the engine taking its
// lock on every call: valid while a RowLock is held and the row is current.
class Cell {
public:
    explicit Cell(sqlite3_value* value) : m_value(value) {}
    bool isNull() const;
    qint64 int64() const;
    double real() const;
    QString text() const;
    QByteArrayView utf8() const;
    QVariant value() const; // as Statement::value gives it

private:
    sqlite3_value* m_value;
};

// One prepared statement. Values go in and out as QVariant in their stored
// form (text, integer, real, blob, null); the field-type mapping lives above.
class Statement {
public:
    Statement(Connection& connection, sqlite3_stmt* stmt);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QVariant& value); // index from 1
    void bindAll(const QVariantList& values);
    // Without a variant in between; the engine copies text and bytes.
    void bindNull(int index);
    void bindInt64(int index, qint64 value);
    void bindDouble(int index, double value);
    void bindText(int index, const char* utf8, qsizetype length);
    void bindText(int index, QStringView text);
    void bindBlob(int index, const QByteArray& bytes);
    bool step(); // true while a row is available; raises on engine errors
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    QVariant value(int column) const;
    qint64 int64(int column) const;
    double real(int column) const;
    QString text(int column) const;
    // The UTF-8 text of a column, valid until the next step or reset.
    QByteArrayView utf8(int column) const;
    bool isNull(int column) const;
    Cell cell(int column) const; // inside a RowLock

    // Holds the connection's lock while a row is read cell by cell.
    class RowLock {
    public:
        explicit RowLock(const Statement& statement);
        ~RowLock();
        RowLock(const RowLock&) = delete;
        RowLock& operator=(const RowLock&) = delete;

    private:
        sqlite3_mutex* m_mutex;
    };

private:
    void check(int rc);
    QByteArray& textBuffer(int index);

    Connection& m_connection;
    sqlite3_stmt* m_stmt;
    std::vector<QByteArray> m_texts; // bound text, per parameter
};

// Resets a cached statement when the scope ends, so it never keeps a read
// transaction open.
class StatementUse {
public:
    explicit StatementUse(Statement& s) : m_s(s) {}
    ~StatementUse() { m_s.reset(); }
    Statement* operator->() { return &m_s; }
    Statement& operator*() { return m_s; }

private:
    Statement& m_s;
};

// The one place that talks to the engine: a connection with its collation,
// busy timeout, statement cache and error mapping.
class Connection {
public:
    Connection(const QString& file, int busyTimeoutMs, bool create);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const QString& fileName() const { return m_file; }

    void exec(const QString& sql);
    // A statement kept for reuse; callers wrap it in StatementUse.
    Statement& cached(const QString& sql);
    std::unique_ptr<Statement> prepare(const QString& sql);
    void clearCache();
    // Changes whenever clearCache() drops statements, so holders of a cached
    // statement know to fetch it again.
    int cacheGeneration() const { return m_generation; }

    qint64 lastInsertRowId() const;
    int changes() const;
    bool inTransaction() const;
    void setBusyTimeout(int ms);

    // Copies the whole database into the file `target` through the engine's
    // online backup, so the copy is consistent even while others write.
    void backupTo(const QString& target);

    [[noreturn]] void raise(int code, const QString& context = {}) const;
    sqlite3* handle() const { return m_db; }

private:
    QString m_file;
    sqlite3* m_db = nullptr;
    void* m_collator = nullptr;
    int m_generation = 0;
    std::unordered_map<std::string, std::unique_ptr<Statement>> m_cache;
};

} // namespace table
