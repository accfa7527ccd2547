#pragma once

// Conversion between literals written in filters and statements, Qt values of
// record fields, and the storage representation of the table layer:
//   String/Memo TEXT, Smallint/Integer/AutoInc INTEGER, Float/Currency REAL,
//   Boolean INTEGER 0/1, Date TEXT 'yyyy-MM-dd', Time TEXT 'HH:mm:ss.zzz',
//   DateTime TEXT 'yyyy-MM-ddTHH:mm:ss.zzz', null = SQL NULL.
// Also compares two stored values the way SQLite does, so that in-memory filter
// checks agree with the generated SQL.

#include "platform/table/tabledef.h"

#include <QVariant>
#include <memory>

class QString;

namespace sqltext {

enum class LiteralKind {
    String,  // '...' as written, content unescaped
    Number,  // 12 or 12.5 (possibly with a leading '-')
    Date,    // unquoted dd.mm.yyyy
    Boolean, // unquoted true / false, any case
    Null,    // NULL
};

struct Literal {
    LiteralKind kind = LiteralKind::String;
    QString text;
};

// True for the field types compared as text (and hence subject to the case option).
bool isTextType(table::FieldType type);

// The storage value of a literal compared with (or assigned to) a field of the
// given type. Throws DbError when the literal does not fit the field.
QVariant literalToStorage(const Literal& literal, table::FieldType type, const QString& fieldName);

// The storage value of a literal with no field to give it a type.
QVariant literalToStorage(const Literal& literal);

// A record value (Qt type such as QDate, bool, int, or already stored text) in
// storage representation; invalid or null variants become a null QVariant.
QVariant valueToStorage(const QVariant& value, table::FieldType type);

// Compares two non-null stored values as SQLite does (numbers before text,
// text by UTF-8 bytes or, when caseInsensitive, by the German collation "DE").
class StorageComparer {
public:
    explicit StorageComparer(bool caseInsensitive);
    ~StorageComparer();
    StorageComparer(StorageComparer&&) noexcept;
    StorageComparer& operator=(StorageComparer&&) noexcept;
    int compare(const QVariant& a, const QVariant& b) const;

private:
    struct Collation;
    std::unique_ptr<Collation> m_collation;
};

} // namespace sqltext
