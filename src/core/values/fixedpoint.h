#pragma once

#include <QChar>
#include <QString>

// Fixed-point text works on a value's decimal text view: the shortest
// decimal text that reads back as the same double ("1.005", not the binary
// 1.00499999...). That view is rounded half away from zero, so amounts typed
// with a final 5 round up as the user expects.

// The shortest decimal text of magnitude (not negative), rounded half away
// from zero to `decimals` places, as the digits of magnitude × 10^decimals
// without leading zeros ("0" for zero).
QString ScaledDecimalDigits(double magnitude, int decimals);

// x with `decimals` decimals and "." as decimal point; a result that rounds to
// zero carries no minus sign. NaN and infinities give "NAN", "INF", "-INF".
QString FixedPointText(double x, int decimals);

// Turns the "." of a fixed-point text into decimalSeparator and puts
// thousandSeparator between every three integer digits (never directly after
// a leading minus sign). A null thousandSeparator leaves the digits ungrouped.
QString GroupDigits(const QString& fixedText, QChar decimalSeparator, QChar thousandSeparator);
