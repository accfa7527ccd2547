#pragma once

#include "platform/table/tabledef.h"

#include <QVariant>

namespace table {

// Turns a value given by a caller (any QVariant: numbers, text such as
// "dd.mm.yyyy" for dates, QDate ...) into the stored form of the field's type.
// Raises a TableError (InvalidValue) naming the field when it does not fit.
QVariant toStored(const FieldDef& field, const QVariant& value);

// The typed value a field takes for a caller's value: the same as
// fromStored(type, toStored(field, value)), without the detour through text.
QVariant toTyped(const FieldDef& field, const QVariant& value);

// The typed value of a stored one: QString, int, double, bool, QDate, QTime,
// QDateTime or QByteArray; null stays an invalid QVariant.
QVariant fromStored(FieldType type, const QVariant& stored);

// The typed value of a result column, read without an intermediate variant.
class Cell;
class Statement;
QVariant readTyped(const Cell& cell, FieldType type);
QVariant readTyped(const Statement& statement, int column, FieldType type);

// Binds a typed value (as toTyped gives it) in its stored form.
void bindTyped(Statement& statement, int index, const FieldDef& field, const QVariant& typed);

// The SQLite column type of a field type.
QString sqlType(FieldType type);

// The table name without a ".DB" extension: the physical table name.
QString physicalName(const QString& tableName);

// A double-quoted SQL identifier.
QString quoted(const QString& identifier);

} // namespace table
