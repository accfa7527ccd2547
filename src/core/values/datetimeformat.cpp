#include "core/values/datetimeformat.h"

#include "core/settings/regionalsettings.h"

#include <QDateTime>
#include <cmath>

namespace {

QString twoDigits(int n) {
    return QString::number(n).rightJustified(2, u'0');
}

// The regional formats are kept in the toolkit's notation ("dd.MM.yyyy",
// "hh:mm"); lower-cased they read the same in this pattern language.
QString regionalPattern(const QString& format) {
    return format.toLower();
}

struct Moment {
    QDate date;
    QTime time;
};

Moment momentOf(TDateTime value) {
    Moment m;
    m.date = DateOfDateTime(value);
    if (!m.date.isValid())
        m.date = QDate(1899, 12, 30);
    const double fraction = value - std::floor(value);
    const qint64 ms = qint64(std::llround(fraction * 86400000.0)) % 86400000;
    m.time = QTime::fromMSecsSinceStartOfDay(int(ms));
    return m;
}

class Writer {
public:
    Writer(const QString& pattern, const Moment& m) : p(pattern), m(m) {
        twelveHour = p.contains(QLatin1String("am/pm"), Qt::CaseInsensitive) ||
                     p.contains(QLatin1String("a/p"), Qt::CaseInsensitive);
    }

    QString run() {
        while (i < p.size())
            step();
        return out;
    }

private:
    int run(QChar c) {
        int n = 0;
        while (i + n < p.size() && p[i + n].toLower() == c)
            ++n;
        return n;
    }
    bool startsWith(const char* text) const {
        return QStringView(p).mid(i).startsWith(QLatin1String(text), Qt::CaseInsensitive);
    }
    void nested(const QString& format) { out += Writer(regionalPattern(format), m).run(); }

    void step() {
        const RegionalSettings& r = Regional();
        const QChar c = p[i].toLower();
        if (c == u'"' || c == u'\'') {
            const qsizetype end = p.indexOf(p[i], i + 1);
            const qsizetype stop = end < 0 ? p.size() : end;
            out += p.mid(i + 1, stop - i - 1);
            i = int(stop) + 1;
            return;
        }
        if (startsWith("am/pm")) {
            out += m.time.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm");
            i += 5;
            return;
        }
        if (startsWith("a/p")) {
            out += m.time.hour() < 12 ? u'a' : u'p';
            i += 3;
            return;
        }
        int n = 1;
        switch (c.unicode()) {
        case 'd': {
            n = std::min(run(u'd'), 6);
            const int weekday = m.date.dayOfWeek() % 7; // Sunday first
            if (n == 1)
                out += QString::number(m.date.day());
            else if (n == 2)
                out += twoDigits(m.date.day());
            else if (n == 3)
                out += r.shortDayNames.value(weekday);
            else if (n == 4)
                out += r.longDayNames.value(weekday);
            else if (n == 5)
                nested(r.shortDateFormat);
            else
                nested(r.longDateFormat);
            lastWasHour = false;
            break;
        }
        case 'm': {
            n = std::min(run(u'm'), 4);
            if (n <= 2 && lastWasHour)
                out += n == 1 ? QString::number(m.time.minute()) : twoDigits(m.time.minute());
            else if (n == 1)
                out += QString::number(m.date.month());
            else if (n == 2)
                out += twoDigits(m.date.month());
            else if (n == 3)
                out += r.shortMonthNames.value(m.date.month() - 1);
            else
                out += r.longMonthNames.value(m.date.month() - 1);
            lastWasHour = false;
            break;
        }
        case 'y':
            n = run(u'y');
            out += n <= 2 ? twoDigits(m.date.year() % 100)
                          : QString::number(m.date.year()).rightJustified(4, u'0');
            lastWasHour = false;
            break;
        case 'h': {
            n = std::min(run(u'h'), 2);
            int hour = m.time.hour();
            if (twelveHour) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            out += n == 1 ? QString::number(hour) : twoDigits(hour);
            lastWasHour = true;
            break;
        }
        case 'n':
            n = std::min(run(u'n'), 2);
            out += n == 1 ? QString::number(m.time.minute()) : twoDigits(m.time.minute());
            lastWasHour = false;
            break;
        case 's':
            n = std::min(run(u's'), 2);
            out += n == 1 ? QString::number(m.time.second()) : twoDigits(m.time.second());
            lastWasHour = false;
            break;
        case 'z':
            n = std::min(run(u'z'), 3);
            out += n == 1 ? QString::number(m.time.msec())
                          : QString::number(m.time.msec()).rightJustified(3, u'0');
            lastWasHour = false;
            break;
        case 't':
            n = std::min(run(u't'), 2);
            nested(n == 1 ? r.shortTimeFormat : r.longTimeFormat);
            lastWasHour = false;
            break;
        case 'c':
            nested(r.shortDateFormat);
            if (m.time.msecsSinceStartOfDay() != 0) {
                out += u' ';
                nested(r.longTimeFormat);
            }
            lastWasHour = false;
            break;
        case '/':
            out += r.dateSeparator;
            break;
        case ':':
            out += r.timeSeparator;
            break;
        default:
            out += p[i];
            break;
        }
        i += n;
    }

    const QString& p;
    const Moment& m;
    QString out;
    int i = 0;
    bool lastWasHour = false;
    bool twelveHour = false;
};

} // namespace

QString FormatDateTime(const QString& pattern, TDateTime value) {
    return Writer(pattern, momentOf(value)).run();
}
