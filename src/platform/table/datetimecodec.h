#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// The stored text of date, time and date-time fields: "yyyy-MM-dd",
// "HH:mm:ss.zzz" and "yyyy-MM-ddTHH:mm:ss.zzz". Every value of every row
// passes through here, so the fixed forms are written and read by hand;
// anything else goes to Qt's parser and comes out as it always did.
namespace table::codec {

constexpr int kDateLength = 10;
constexpr int kTimeLength = 12;
constexpr int kDateTimeLength = 23;

// Writes the text into `out` (room for kDateTimeLength characters) and gives
// its length, or 0 for a value without the fixed form (invalid, or a year
// outside 1 to 9999).
int writeDate(QDate date, char* out);
int writeTime(QTime time, char* out);
int writeDateTime(QDate date, QTime time, char* out);

// The stored text as a string (Qt's formatting where the fixed form does not fit).
QString dateText(QDate date);
QString timeText(QTime time);
QString dateTimeText(const QDateTime& dateTime); // its own wall-clock time

// Reads UTF-8 text; an invalid value when it holds none.
QDate readDate(const char* text, qsizetype length);
QTime readTime(const char* text, qsizetype length);
QDateTime readDateTime(const char* text, qsizetype length); // local time
QDate readDate(QStringView text);
QTime readTime(QStringView text);
QDateTime readDateTime(QStringView text);

// The local date-time of a wall-clock reading, as QDateTime(date, time) gives it.
QDateTime localDateTime(QDate date, QTime time);

// Lets the C library keep the system time zone it has read instead of
// checking the zone file again on every local-time conversion (unless TZ
// already names a zone). Called once before the first database opens.
void keepLocalTimeZone();

} // namespace table::codec
