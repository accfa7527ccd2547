#include "core/values/conversions.h"

#include "core/messages/messagecatalog.h"
#include "core/settings/regionalsettings.h"
#include "core/values/fixedpoint.h"
#include "core/values/rangeerrors.h"

namespace {

constexpr int kMaxShortString = 255;

void checkShortLength(int length) {
    if (length < 0 || length > kMaxShortString)
        RaiseRangeError();
}

QString padFront(QString text, int width) {
    if (text.size() < width)
        text.prepend(QString(width - text.size(), u' '));
    return text;
}

bool isBlankOrControl(QChar c) {
    return c.unicode() <= u' ';
}

} // namespace

QString RepeatChar(QChar ch, int count) {
    checkShortLength(count);
    return QString(count, ch);
}

QString IntToStrWidth(qint64 value, int width) {
    return padFront(QString::number(value), width);
}

QString IntToStrZero(qint64 value, int width) {
    QString digits = QString::number(value);
    const bool negative = value < 0;
    if (negative)
        digits.remove(0, 1);
    const int wanted = width - (negative ? 1 : 0);
    if (digits.size() < wanted)
        digits.prepend(QString(wanted - digits.size(), u'0'));
    return negative ? u'-' + digits : digits;
}

QString FloatToStrFix(int width, int decimals, double x) {
    if (width <= 0)
        return FixedPointText(x, 10);
    return padFront(FixedPointText(x, decimals), width);
}

QString FloatToStrLocal(int width, int decimals, double x) {
    QString text = FloatToStrFix(width, decimals, x);
    const qsizetype point = text.indexOf(u'.');
    if (point >= 0)
        text[point] = Regional().decimalSeparator;
    return text;
}

QString FloatToStrGrouped(int width, int decimals, double x) {
    const RegionalSettings& regional = Regional();
    return padFront(GroupDigits(FloatToStrFix(1, decimals, x), regional.decimalSeparator,
                                regional.thousandSeparator),
                    width);
}

QString PadRight(const QString& text, int width) {
    checkShortLength(width);
    return text.left(width).leftJustified(width, u' ');
}

QString PadLeft(const QString& text, int width) {
    checkShortLength(width);
    return text.left(width).rightJustified(width, u' ');
}

QChar BoolToJNChar(bool b) {
    const QString text = LoadMessage(b ? 65286 : 65287);
    return text.isEmpty() ? QChar() : text.front();
}

QString BoolToJN(bool b) {
    const QChar c = BoolToJNChar(b);
    return c.isNull() ? QString() : QString(c);
}

QString BoolToJaNein(bool b) {
    return LoadMessage(b ? 65288 : 65289);
}

QString TrimStr(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrControl(text[begin]))
        ++begin;
    while (end > begin && isBlankOrControl(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

QString TrimText(const QString& text) {
    return TrimStr(text);
}

QString UpperStr(const QString& text) {
    // Character by character: a full Unicode mapping would turn "ß" into
    // "SS" and break fixed-width fields.
    QString result = text;
    for (QChar& c : result)
        c = c.toUpper();
    return result;
}

void CutBarField(QString& text, QString& field) {
    const qsizetype bar = text.indexOf(u'|');
    if (bar < 0) {
        field.clear();
        return;
    }
    field = text.left(bar);
    text.remove(0, bar + 1);
}
