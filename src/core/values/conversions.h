#pragma once

#include <QChar>
#include <QString>

// Number-to-text and text-to-text conversions used for fixed-width fields,
// exports and reports. A Width never cuts a longer result unless the function
// says so (PadLeft, PadRight).

// Count copies of ch; Count outside 0..255 raises a range error.
QString RepeatChar(QChar ch, int count);
// Decimal text of value, blanks in front up to width (0: no padding).
QString IntToStrWidth(qint64 value, int width);
// Decimal text of value, "0" put in front until it is width characters long
// (after a minus sign, should a caller pass a negative value).
QString IntToStrZero(qint64 value, int width);
// Width above 0: x with exactly `decimals` decimals and "." as decimal point,
// blanks in front up to width. Width 0: x with 10 decimals, no blanks.
QString FloatToStrFix(int width, int decimals, double x);
// As FloatToStrFix with the regional decimal separator.
QString FloatToStrLocal(int width, int decimals, double x);
// x with `decimals` decimals, regional decimal and thousands separators,
// blanks in front up to width.
QString FloatToStrGrouped(int width, int decimals, double x);
// Exactly width characters (0..255, else range error): text cut or filled
// with blanks behind (PadRight) or in front (PadLeft).
QString PadRight(const QString& text, int width);
QString PadLeft(const QString& text, int width);

QChar BoolToJNChar(bool b);
QString BoolToJN(bool b);
QString BoolToJaNein(bool b);

// Removes leading and trailing blanks and control characters.
QString TrimStr(const QString& text);
QString TrimText(const QString& text);
// Upper-case copy, one character for one (the length never changes).
QString UpperStr(const QString& text);
// Moves the part of text before its first "|" into field and removes it and
// the "|" from text; without a "|" field becomes empty and text stays.
void CutBarField(QString& text, QString& field);
