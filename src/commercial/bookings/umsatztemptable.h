#pragma once

#include "platform/table/tabledef.h"

#include <QString>

// The shape of the work table of the turnover statistics (its name empty).
table::TableDef UmsatzTempTableDef();

// Creates the work table of the turnover statistics in the database of the
// alias. A table of that name that exists already raises; it is never replaced.
void CreateUmsatzTempTable(const QString& databaseName, const QString& tableName);
