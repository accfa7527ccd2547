#pragma once

#include "dbstructure/tableschema.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace dbstructure {

struct CreationOrder {
    QList<CreationStep> client;
    QList<CreationStep> archive;
};

// Parses one definition file ({"tables": [...]}) and checks every table on
// its own: type words, sizes, index fields, default rows and fill-in values.
// `fileName` only names the file in error texts. Raises DbError naming the
// file, the table and the faulty item.
QList<TableSchema> ReadTableSchemas(const QByteArray& json, const QString& fileName);

// Parses the creation order of both databases ({"client": [...],
// "archive": [...]}). Checks the rule words and that no table is listed twice
// in one database; whether every listed table is defined is for the caller.
CreationOrder ReadCreationOrder(const QByteArray& json, const QString& fileName);

} // namespace dbstructure
