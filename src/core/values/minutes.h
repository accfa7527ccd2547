#pragma once

#include <QString>

// Durations and times of day in whole minutes, shown as "h:mm".

// Hours right-aligned with blanks to Width, ":", two-digit minutes; the sign
// stays on the hours (-90 gives "-1:30", -30 gives "-0:30"). At most 20 characters.
QString MinutesToStr(qint32 minutes, int width);
// Absolute hours zero-padded to Width, ":", two-digit minutes; a negative value
// replaces a leading "0" by "-" or else gets a "-" in front. At most 20 characters.
QString MinutesToStrZero(qint32 minutes, int width);
double MinutesToHours(qint32 minutes);
// "h:mm" read as minutes, negative when the text holds a "-"; 0 without ":".
// A value beyond the 32-bit range raises a DbError.
qint32 StrToMinutes(const QString& text);
