#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// One entry of a Unix-style LIST answer.
struct TFTPListItem {
    qint64 size = 0;
    QString line;      // the whole line as received
    QString name;      // may contain blanks
    QDateTime modTime; // invalid when the listed date does not exist
    QChar kind = u'?'; // "-" file, "D" directory, "L" link, "?" unknown
};

// Parses a line; the listing's year is taken relative to `today` (a time of
// day instead of a year means within the last twelve months).
TFTPListItem ParseFtpListLine(const QString& line, const QDate& today = QDate::currentDate());

// 1..12 for "Jan" .. "Dec" in any case; 1 for any other text.
int FtpMonthNumber(const QString& month);
