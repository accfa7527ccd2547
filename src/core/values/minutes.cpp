#include "core/values/minutes.h"

#include "core/values/rangeerrors.h"

#include <cstdlib>
#include <limits>

namespace {
constexpr int kMaxLength = 20;

QString twoDigitMinutes(qint64 minutes) {
    return QStringLiteral("%1").arg(std::llabs(minutes % 60), 2, 10, QLatin1Char('0'));
}

// Digits of a part with every sign removed; anything else makes it 0.
qint64 unsignedPart(QString part) {
    part.remove(u'-');
    part.remove(u'+');
    bool ok = false;
    const qint64 value = part.trimmed().toLongLong(&ok);
    return ok ? value : 0;
}
} // namespace

QString MinutesToStr(qint32 minutes, int width) {
    const qint64 hours = minutes / 60;
    QString text = QString::number(hours).rightJustified(qMax(width, 0), u' ') + u':' +
                   twoDigitMinutes(minutes);
    if (hours == 0 && minutes < 0)
        text.prepend(u'-');
    return text.left(kMaxLength);
}

QString MinutesToStrZero(qint32 minutes, int width) {
    const qint64 value = minutes;
    QString text =
        QStringLiteral("%1").arg(std::llabs(value / 60), qMax(width, 0), 10, QLatin1Char('0')) +
        u':' + twoDigitMinutes(value);
    if (value < 0) {
        if (text.startsWith(u'0'))
            text[0] = u'-';
        else
            text.prepend(u'-');
    }
    return text.left(kMaxLength);
}

double MinutesToHours(qint32 minutes) {
    return minutes / 60.0;
}

qint32 StrToMinutes(const QString& text) {
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0)
        return 0;
    const qint64 hours = unsignedPart(text.left(colon));
    const qint64 mins = unsignedPart(text.mid(colon + 1));
    constexpr qint64 kLimit = std::numeric_limits<qint32>::max();
    if (hours > kLimit / 60 || mins > kLimit || hours * 60 + mins > kLimit)
        RaiseOverflowError();
    const qint64 value = hours * 60 + mins;
    return qint32(text.contains(u'-') ? -value : value);
}
