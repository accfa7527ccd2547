#pragma once

// What the files of Table share: the signatures of a view's statements and
// how many rows are read ahead.

#include "platform/table/tabledef.h"
#include "platform/table/tableerror.h"

#include <QStringList>
#include <QVariant>

namespace table::detail {

inline bool isTextType(FieldType t) {
    return t == FieldType::String || t == FieldType::Memo || t == FieldType::FmtMemo;
}

inline QString join(const QStringList& parts, const char* sep) {
    return parts.join(QLatin1String(sep));
}

inline bool isNullValue(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

[[noreturn]] inline void recordDeleted() {
    throw TableError(TableError::RecordDeleted,
                     QStringLiteral("Der Datensatz wurde von einem anderen Benutzer gelöscht."));
}

// The statements of a view are told apart by a signature: their kind and,
// for seeks, where the seek starts in the key and which key values are null.
namespace sig {
enum Kind : quint32 {
    Band = 1,  // rows after (or before) a key, one band of the order
    BandCount, // the number of rows in such a band
    First,     // rows from the start (or the end)
    CountAll,  // the number of rows in the view
    RowById,   // one row, in the view or not
    RowInView, // one row, only when it is in the view
    Offset,    // rows from the n-th on
    FindKey,   // the first row with the given leading index values
};
constexpr quint32 kKindMask = 0xf;
constexpr quint32 kBackward = 1u << 4;
constexpr int kStartShift = 5;           // 3 bits: the first key part the band compares
constexpr quint32 kNullBand = 1u << 9;   // the rows whose start part is null
constexpr quint32 kAfterNull = 1u << 10; // the start part's value is null
constexpr int kNullShift = 11;           // 5 bits: leading parts whose value is null
} // namespace sig

// Rows read ahead at once: few after a jump (a data run moves on by one),
// doubling while the caller keeps moving record by record.
constexpr int kMaxFetch = 256;
constexpr int kJumpFetch = 2;
constexpr int kEndFetch = 16;

// The bounds of a range.
constexpr int kStartBound = 1;
constexpr int kEndBound = 2;

} // namespace table::detail
