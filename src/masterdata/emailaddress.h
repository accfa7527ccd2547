#pragma once

#include <QString>

// The first failed test of an e-mail address, or 0: 1 eight characters or
// fewer, 2 no "@", 3 no "." after the first "@", 4 a character other than
// letters A-Z, digits, "-", ".", "_" and "@". The text is trimmed first.
int CheckEmailAddress(const QString& text);
bool IsValidEmail(const QString& text);
