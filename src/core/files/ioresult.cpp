#include "core/files/ioresult.h"

namespace {
quint16 g_pending = 0;
quint16 g_lastIOError = 0;
} // namespace

void SetIOResult(quint16 code) {
    g_pending = code;
}

bool IOResultOk() {
    g_lastIOError = g_pending;
    g_pending = 0;
    return g_lastIOError == 0;
}

quint16 LastIOError() {
    return g_lastIOError;
}
