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

private:
    Kind m_kind;
};

} // namespace table
