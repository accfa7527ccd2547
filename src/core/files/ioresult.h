#pragma once

#include <QtGlobal>

// The error code of the last file operation, in the manner of a pending
// result: file operations that the caller wants to test report their code
// with SetIOResult, IOResultOk takes it (leaving 0 pending), keeps it in
// LastIOError and answers whether it was 0.
void SetIOResult(quint16 code);
bool IOResultOk();
quint16 LastIOError();
