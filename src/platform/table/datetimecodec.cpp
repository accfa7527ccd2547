#include "platform/table/datetimecodec.h"

#include <QFileInfo>
#include <ctime>
#include <mutex>

namespace table::codec {

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kTimeFormat = QStringLiteral("HH:mm:ss.zzz");
const QString kDateTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

void digits(char* out, int value, int count) {
    for (int i = count - 1; i >= 0; --i) {
        out[i] = char('0' + value % 10);
        value /= 10;
    }
}

// The number in text[from, from + count), or -1 when a character is no digit.
int number(const char* text, int from, int count) {
    int n = 0;
    for (int i = from; i < from + count; ++i) {
        const unsigned d = unsigned(text[i]) - '0';
        if (d > 9)
            return -1;
        n = n * 10 + int(d);
    }
    return n;
}

bool isDateForm(const char* t) {
    return t[4] == '-' && t[7] == '-';
}

bool isTimeForm(const char* t) {
    return t[2] == ':' && t[5] == ':' && t[8] == '.';
}

// The fixed forms; false when a digit is missing, which Qt's parser then judges.
bool dateAt(const char* t, QDate& out) {
    const int y = number(t, 0, 4), m = number(t, 5, 2), d = number(t, 8, 2);
    if (y < 0 || m < 0 || d < 0)
        return false;
    out = QDate(y, m, d);
    return true;
}

bool timeAt(const char* t, QTime& out) {
    const int h = number(t, 0, 2), m = number(t, 3, 2), s = number(t, 6, 2), ms = number(t, 9, 3);
    if (h < 0 || m < 0 || s < 0 || ms < 0)
        return false;
    out = QTime(h, m, s, ms);
    return true;
}

// The text of at most `capacity` ASCII characters into `out`; false otherwise.
bool ascii(QStringView text, char* out, qsizetype capacity) {
    if (text.size() > capacity)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c > 0x7f)
            return false;
        out[i] = char(c);
    }
    return true;
}

} // namespace

int writeDate(QDate date, char* out) {
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return 0;
    digits(out, date.year(), 4);
    out[4] = '-';
    digits(out + 5, date.month(), 2);
    out[7] = '-';
    digits(out + 8, date.day(), 2);
    return kDateLength;
}

int writeTime(QTime time, char* out) {
    if (!time.isValid())
        return 0;
    digits(out, time.hour(), 2);
    out[2] = ':';
    digits(out + 3, time.minute(), 2);
    out[5] = ':';
    digits(out + 6, time.second(), 2);
    out[8] = '.';
    digits(out + 9, time.msec(), 3);
    return kTimeLength;
}

int writeDateTime(QDate date, QTime time, char* out) {
    if (writeDate(date, out) == 0 || writeTime(time, out + kDateLength + 1) == 0)
        return 0;
    out[kDateLength] = 'T';
    return kDateTimeLength;
}

QString dateText(QDate date) {
    char buffer[kDateTimeLength];
    const int n = writeDate(date, buffer);
    return n ? QString::fromLatin1(buffer, n) : date.toString(kDateFormat);
}

QString timeText(QTime time) {
    char buffer[kDateTimeLength];
    const int n = writeTime(time, buffer);
    return n ? QString::fromLatin1(buffer, n) : time.toString(kTimeFormat);
}

QString dateTimeText(const QDateTime& dateTime) {
    char buffer[kDateTimeLength];
    const int n = dateTime.isValid() ? writeDateTime(dateTime.date(), dateTime.time(), buffer) : 0;
    return n ? QString::fromLatin1(buffer, n) : dateTime.toString(kDateTimeFormat);
}

QDate readDate(const char* text, qsizetype length) {
    QDate date;
    if (length == kDateLength && isDateForm(text) && dateAt(text, date))
        return date;
    return QDate::fromString(QString::fromUtf8(text, length), kDateFormat);
}

QTime readTime(const char* text, qsizetype length) {
    QTime time;
    if (length == kTimeLength && isTimeForm(text) && timeAt(text, time))
        return time;
    return QTime::fromString(QString::fromUtf8(text, length), kTimeFormat);
}

QDateTime readDateTime(const char* text, qsizetype length) {
    QDate date;
    QTime time;
    if (length == kDateTimeLength && isDateForm(text) && text[kDateLength] == 'T' &&
        isTimeForm(text + kDateLength + 1) && dateAt(text, date) &&
        timeAt(text + kDateLength + 1, time))
        return date.isValid() && time.isValid() ? localDateTime(date, time) : QDateTime();
    return QDateTime::fromString(QString::fromUtf8(text, length), kDateTimeFormat);
}

QDate readDate(QStringView text) {
    char buffer[kDateTimeLength];
    return ascii(text, buffer, kDateTimeLength) ? readDate(buffer, text.size())
                                                : QDate::fromString(text.toString(), kDateFormat);
}

QTime readTime(QStringView text) {
    char buffer[kDateTimeLength];
    return ascii(text, buffer, kDateTimeLength) ? readTime(buffer, text.size())
                                                : QTime::fromString(text.toString(), kTimeFormat);
}

QDateTime readDateTime(QStringView text) {
    char buffer[kDateTimeLength];
    return ascii(text, buffer, kDateTimeLength)
               ? readDateTime(buffer, text.size())
               : QDateTime::fromString(text.toString(), kDateTimeFormat);
}

QDateTime localDateTime(QDate date, QTime time) {
    return QDateTime(date, time);
}

void keepLocalTimeZone() {
#ifdef Q_OS_LINUX
    static std::once_flag once;
    std::call_once(once, [] {
        // With TZ unset the C library stats /etc/localtime on every conversion;
        // ":/etc/localtime" names the same zone and is read once.
        if (qEnvironmentVariableIsSet("TZ") || !QFileInfo::exists(QStringLiteral("/etc/localtime")))
            return;
        qputenv("TZ", ":/etc/localtime");
        tzset();
    });
#endif
}

} // namespace table::codec
