#pragma once

#include "platform/errors.h"

namespace table {

// A database error that callers can tell apart by kind (a bulk delete passes
// over RecordDeleted silently, a post-error handler reacts to KeyViolation).
class TableError : public DbError {
public:
    enum Kind {
        Other,
        KeyViolation,  // a unique index already holds the key
        RecordLocked,  // another session edits the record or locked the table
        RecordDeleted, // another session deleted the record meanwhile
        TableInUse,    // exclusive open refused, or the table is open exclusively elsewhere
        Busy,          // the database stayed busy past the timeout
        DiskFull,
        Damaged,
        NotFound,     // table, field or index unknown
        InvalidValue, // a value outside the field's range or form
        InvalidState, // e.g. a field written while not in edit mode
    };
    TableError(Kind kind, QString message) : DbError(std::move(message)), m_kind(kind) {}
    Kind kind() const noexcept { return m_kind; }

    // A value one field refused: the message is before + the field's name +
    // after, so that a form can name the field by its caption instead.
    static TableError refusedValue(const QString& before, const QString& field,
                                   const QString& after) {
        TableError error(InvalidValue, before + field + after);
        error.m_field = field;
        error.m_before = before;
        error.m_after = after;
        return error;
    }
    // The field whose value was refused; empty for other errors.
    const QString& fieldName() const noexcept { return m_field; }
    // The message naming the field by label; the message itself for other errors.
    QString namingField(const QString& label) const {
        return m_field.isEmpty() ? message() : m_before + label + m_after;
    }

private:
    Kind m_kind;
    QString m_field;
    QString m_before;
    QString m_after;
};

} // namespace table
