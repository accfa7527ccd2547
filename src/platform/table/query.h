#pragma once

#include "platform/table/tabledef.h"

#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

namespace table {

class Database;

// One statement in the dialect the program writes (dates 'dd.mm.yyyy',
// Booleans 'true'/'false', table names in any case with or without ".DB"),
// translated to SQLite with bound parameters. A SELECT is read whole on open;
// a live query on one table lets rows be edited and posted by primary key.
class Query {
public:
    explicit Query(std::shared_ptr<Database> db, const QString& sql = {});
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    void setSql(const QString& sql);
    const QString& sql() const { return m_text; }
    void setRequestLive(bool live) { m_requestLive = live; }

    void open(); // a SELECT
    void close();
    bool isOpen() const { return m_open; }
    int execSql(); // UPDATE, DELETE, INSERT: the number of changed rows

    void first() { m_row = 0; }
    void next();
    void prior();
    void last();
    bool eof() const { return m_rows.empty() || m_row >= int(m_rows.size()); }
    bool bof() const { return m_row <= 0; }
    int recordCount() const { return int(m_rows.size()); }
    int recNo() const { return eof() ? 0 : m_row + 1; }

    int fieldCount() const { return int(m_names.size()); }
    QString fieldName(int column) const { return m_names.value(column); }
    int fieldIndex(const QString& name) const; // -1 when missing
    QVariant value(int column) const;
    QVariant value(const QString& name) const; // raises for an unknown column
    QString asString(const QString& name) const;
    int asInteger(const QString& name) const;
    double asFloat(const QString& name) const;

    // Live queries only.
    bool isLive() const { return m_live; }
    void edit();
    void setValue(const QString& name, const QVariant& value);
    void post();
    void cancel();
    void deleteRecord();

private:
    void checkRow() const;
    void checkLive() const;

    std::shared_ptr<Database> m_db;
    QString m_text;
    bool m_requestLive = false;
    bool m_open = false;
    bool m_live = false;
    bool m_editing = false;
    QStringList m_names;
    std::vector<std::optional<FieldType>> m_types;
    std::vector<QVariantList> m_rows;
    QVariantList m_editValues;
    int m_row = 0;
    int m_keyColumn = -1;
    int m_visibleColumns = 0;
    QString m_baseTable;
    QString m_keyField;
};

} // namespace table
