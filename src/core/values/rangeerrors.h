#pragma once

#include "platform/errors.h"

// A value outside the range of its type ends the current operation with the
// toolkit's German message instead of wrapping.
[[noreturn]] inline void RaiseRangeError() {
    throw DbError(QStringLiteral("Fehler bei Bereichsprüfung"));
}

[[noreturn]] inline void RaiseOverflowError() {
    throw DbError(QStringLiteral("Integer-Überlauf"));
}
