#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace table {

// The field types a table can hold. Every field may be null.
enum class FieldType {
    String,   // text of at most `size` characters
    Smallint, // signed 16-bit; out-of-range values raise, never wrap
    Integer,  // signed 32-bit
    AutoInc,  // signed 32-bit, assigned by the engine on insert
    Float,    // 8-byte floating point
    Currency, // money amount, 8-byte floating point shown with two decimals
    Boolean,
    Date,     // calendar date; the zero date 30.12.1899 is a value, distinct from null
    Time,     // time of day
    DateTime, // date and time
    Memo,     // plain text of any length
    FmtMemo,  // rich text of any length, stored as RTF
    Graphic,  // picture (blob)
};

struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0; // String, Memo, FmtMemo, Graphic only
};

struct IndexDef {
    QString name;       // logical name; repeats across tables
    QStringList fields; // one to four field names
    bool caseInsensitive = true;
    bool unique = false;
    bool descending = false;
};

// A table's structure: the primary index is always the first field, unique.
struct TableDef {
    QString name; // as the creator writes it, e.g. "Kunden.DB"
    QList<FieldDef> fields;
    QList<IndexDef> indexes; // secondary indexes only, in definition order
};

} // namespace table
