#pragma once

#include "dbstructure/schemareader.h"
#include "dbstructure/tableschema.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace dbstructure {

// Every table definition of both databases with their creation orders, read
// from the definition files and checked as a whole. Table names resolve
// without regard to case and with or without their extension.
class TableSchemas {
public:
    // The definitions compiled into the program, read once on first use.
    static const TableSchemas& builtIn();

    // Reads every "*.json" of `dir`; "order.json" holds the creation orders
    // and must be there. Raises DbError on the first fault.
    static TableSchemas fromDirectory(const QString& dir);

    // Reads the given definition files only; one named "order.json" is read
    // as the creation orders and then checked against the tables.
    static TableSchemas fromFiles(const QStringList& paths);

    const QList<TableSchema>& tables() const { return m_tables; }
    const TableSchema* find(const QString& tableName) const;
    const TableSchema& get(const QString& tableName) const; // raises DbError

    bool hasCreationOrder() const { return m_hasOrder; }
    const QList<CreationStep>& creationOrder(Database database) const;
    // The structures of one database in creation order.
    QList<table::TableDef> creationDefs(Database database) const;

private:
    void addFile(const QByteArray& json, const QString& fileName);
    void setOrder(const QByteArray& json, const QString& fileName);
    void checkOrder() const;

    QList<TableSchema> m_tables;
    QHash<QString, qsizetype> m_byKey; // lookup key -> index into m_tables
    CreationOrder m_order;
    bool m_hasOrder = false;
};

} // namespace dbstructure
