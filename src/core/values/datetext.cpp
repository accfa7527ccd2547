#include "core/values/datetext.h"

#include "core/settings/regionalsettings.h"
#include "core/values/calendar.h"

#include <QStringList>
#include <QTime>

namespace {
qint64 numberOrZero(const QString& part) {
    bool ok = false;
    const qint64 value = part.trimmed().toLongLong(&ok);
    return ok ? value : 0;
}

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}
} // namespace

QString PackedDateToStr(TPackedDate p) {
    if (p.Day == 0)
        return QStringLiteral("  .  .    ");
    return twoDigits(p.Day) + u'.' + twoDigits(p.Month) + u'.' +
           QStringLiteral("%1").arg(p.Year, 4, 10, QLatin1Char('0'));
}

QString DateToStrDMY(TDateTime d) {
    return PackedDateToStr(DateToPacked(d));
}

QString DateToSqlStr(TDateTime d) {
    return u'\'' + DateToStrDMY(d) + u'\'';
}

TPackedDate StrToPackedDate(const QString& text) {
    if (text.isEmpty())
        return {};
    const QChar separator = Regional().dateSeparator;
    const qsizetype first = text.indexOf(separator);
    const qsizetype second = first < 0 ? -1 : text.indexOf(separator, first + 1);
    const qint64 day = numberOrZero(first < 0 ? text : text.left(first));
    const qint64 month =
        first < 0 ? 0 : numberOrZero(text.mid(first + 1, second < 0 ? -1 : second - first - 1));
    qint64 year = second < 0 ? 0 : numberOrZero(text.mid(second + 1));
    // Keeping only the low bits of a part would turn e.g. day 257 into day 1.
    if (day < 0 || day > 0xFF || month < 0 || month > 0xFF || year < 0 || year > 0xFFFF)
        return {};
    if (year < 1000)
        year = 0;
    return {quint16(year), quint8(month), quint8(day)};
}

TDateTime StrToDateDMY(const QString& text) {
    return PackedToDate(StrToPackedDate(text));
}

bool IsValidDateStr(const QString& text) {
    const QString trimmed = text.trimmed();
    const qsizetype firstDot = trimmed.indexOf(u'.');
    if (firstDot != 1 && firstDot != 2)
        return false;
    const QString rest = trimmed.mid(firstDot + 1);
    const qsizetype secondDot = rest.indexOf(u'.');
    if (secondDot != 1 && secondDot != 2)
        return false;
    bool dayOk = false;
    bool monthOk = false;
    bool yearOk = false;
    const int day = trimmed.left(firstDot).toInt(&dayOk);
    const int month = rest.left(secondDot).toInt(&monthOk);
    const int year = rest.mid(secondDot + 1).toInt(&yearOk);
    if (!dayOk || !monthOk || !yearOk)
        return false;
    if (day < 1 || day > 31 || month < 1 || month > 12 || year < 0 || year > 65535)
        return false;
    return day <= DaysOfMonth(year, month);
}

TPackedDate TodayPacked() {
    return DateToPacked(DateTimeOfDate(QDate::currentDate()));
}

QString TodayStr() {
    RegionalSettings settings = Regional();
    settings.shortDateFormat = QStringLiteral("dd.MM.yyyy");
    SetRegional(settings);
    return QDate::currentDate().toString(settings.shortDateFormat);
}

QString NowTimeStr() {
    RegionalSettings settings = Regional();
    settings.shortTimeFormat = QStringLiteral("hh:mm:ss");
    SetRegional(settings);
    return QTime::currentTime().toString(settings.longTimeFormat);
}

void GetNowHMS(quint8& hour, quint8& minute, quint8& second) {
    const QTime now = QTime::currentTime();
    hour = quint8(now.hour());
    minute = quint8(now.minute());
    second = quint8(now.second());
}
