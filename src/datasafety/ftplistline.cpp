#include "datasafety/ftplistline.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

constexpr int kMinFields = 8;

int numberOr(const QString& text, int fallback) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

int FtpMonthNumber(const QString& month) {
    static const QString months = u"JAN,FEB,MAR,APR,MAY,JUN,JUL,AUG,SEP,OCT,NOV,DEC"_s;
    const QString key = month.toUpper();
    const qsizetype at = key.isEmpty() ? -1 : months.indexOf(key);
    return at < 0 ? 1 : int(at / 4) + 1;
}

TFTPListItem ParseFtpListLine(const QString& line, const QDate& today) {
    TFTPListItem item;
    item.line = line;
    QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
    // A listing without the group column: the size must stay the fifth field.
    if (fields.size() == kMinFields && !fields.at(4).isEmpty() && fields.at(4).at(0).isLetter() &&
        fields.at(4).at(0).unicode() < 0x80)
        fields.insert(2, QString());
    if (fields.size() < kMinFields)
        return item;
    item.kind = fields.at(0).isEmpty() ? u'?' : fields.at(0).at(0).toUpper();
    item.size = fields.at(4).toLongLong();
    const int month = FtpMonthNumber(fields.at(5));
    const int day = numberOr(fields.at(6), today.day());
    int year = today.year();
    int hour = 0;
    int minute = 0;
    const QString& yearOrTime = fields.at(7);
    if (yearOrTime.contains(u':')) {
        hour = numberOr(yearOrTime.mid(0, 2), 0);
        minute = numberOr(yearOrTime.mid(3, 2), 0);
        if (today.month() < month)
            --year;
    } else {
        year = numberOr(yearOrTime, today.year());
    }
    item.name = fields.mid(8).join(u' ');
    const QDate date(year, month, day);
    const QTime time(hour, minute, 0, 999);
    if (date.isValid() && time.isValid())
        item.modTime = QDateTime(date, time);
    return item;
}
