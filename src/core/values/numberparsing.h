#pragma once

#include <QString>

// Tolerant readers of numbers typed by users or read from files. None of them
// raises: a text that is not a number gives 0 (or the caller's default).

// Trimmed text as a 32-bit integer: optional sign, decimal digits, or "$"
// followed by hexadecimal digits.
int StrToIntZero(const QString& text);
int StrToIntDefault(const QString& text, int defaultValue);
// The integer formed by the decimal digits of text, everything else skipped;
// 0 without digits or when the digits exceed the 32-bit range.
int DigitsToInt(const QString& text);
// Blanks removed, the first regional decimal separator read as the decimal
// point. Thousands separators are not removed, so such a text gives 0.0.
double StrToFloatLocal(const QString& text);

// Reads a plain number with "." as decimal point (optional sign and exponent)
// into result; false when text is not such a number or out of range.
bool ReadPlainFloat(const QString& text, double& result);
