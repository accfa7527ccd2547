#include "core/values/fixedpoint.h"

#include <QLocale>
#include <cmath>

namespace {

// Adds one to a text of decimal digits.
void incrementDigits(QString& digits) {
    qsizetype i = digits.size() - 1;
    for (; i >= 0 && digits[i] == u'9'; --i)
        digits[i] = u'0';
    if (i < 0)
        digits.prepend(u'1');
    else
        digits[i] = QChar(digits[i].unicode() + 1);
}

} // namespace

QString ScaledDecimalDigits(double magnitude, int decimals) {
    // "d.ddde±x": the digits and the position of the decimal point.
    const QString text = QString::number(magnitude, 'e', QLocale::FloatingPointShortest);
    const qsizetype e = text.indexOf(u'e');
    QString digits = text.left(e);
    digits.remove(u'.');
    const qsizetype integerDigits = qsizetype(text.mid(e + 1).toInt()) + 1;
    const qsizetype keep = integerDigits + decimals;
    if (keep < 0)
        return QStringLiteral("0");
    QString kept;
    if (digits.size() <= keep) {
        kept = digits + QString(keep - digits.size(), u'0');
    } else {
        kept = digits.left(keep);
        if (digits[keep] >= u'5')
            incrementDigits(kept);
    }
    qsizetype zeros = 0;
    while (zeros < kept.size() - 1 && kept[zeros] == u'0')
        ++zeros;
    kept.remove(0, zeros);
    return kept.isEmpty() ? QStringLiteral("0") : kept;
}

QString FixedPointText(double x, int decimals) {
    if (std::isnan(x))
        return QStringLiteral("NAN");
    if (std::isinf(x))
        return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    decimals = std::max(decimals, 0);
    QString digits = ScaledDecimalDigits(std::fabs(x), decimals);
    const bool negative = x < 0 && digits != u"0";
    if (digits.size() <= decimals)
        digits.prepend(QString(decimals + 1 - digits.size(), u'0'));
    if (decimals > 0)
        digits.insert(digits.size() - decimals, u'.');
    return negative ? u'-' + digits : digits;
}

QString GroupDigits(const QString& fixedText, QChar decimalSeparator, QChar thousandSeparator) {
    QString text = fixedText;
    qsizetype integerChars = text.indexOf(u'.');
    if (integerChars >= 0)
        text[integerChars] = decimalSeparator;
    else
        integerChars = text.size();
    if (thousandSeparator.isNull())
        return text;
    while (integerChars > 3) {
        text.insert(integerChars - 3, thousandSeparator);
        integerChars -= 3;
    }
    if (text.size() > 1 && text[0] == u'-' && text[1] == thousandSeparator)
        text.remove(1, 1);
    return text;
}
