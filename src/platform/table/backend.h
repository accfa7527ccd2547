#pragma once

#include <QString>
#include <QVariant>
#include <memory>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace table {

class Connection;

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
    bool step(); // true while a row is available; raises on engine errors
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    QVariant value(int column) const;
    qint64 int64(int column) const;
    double real(int column) const;
    QString text(int column) const;
    bool isNull(int column) const;

private:
    Connection& m_connection;
    sqlite3_stmt* m_stmt;
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
