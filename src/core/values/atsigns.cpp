#include "core/values/atsigns.h"

#include "core/values/money.h"
#include "core/values/numberparsing.h"

#include <QRegularExpression>

QString ReplaceAtSigns(const QString& text) {
    QString result = text;
    return result.replace(u'@', QStringLiteral("  "));
}

namespace {

bool isNumberChar(QChar c) {
    return c == u' ' || c == u'+' || c == u',' || c == u'-' || (c >= u'0' && c <= u'9');
}

} // namespace

std::optional<double> AtSignTotal(const QString& plainText) {
    static const QRegularExpression lineBreak(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}]"));
    bool quantityExpected = true;
    double quantity = 0.0;
    double total = 0.0;
    int pairs = 0;
    for (const QString& line : plainText.split(lineBreak)) {
        qsizetype at = line.indexOf(u'@');
        while (at >= 0) {
            qsizetype end = at + 1;
            while (end < line.size() && isNumberChar(line.at(end)))
                ++end;
            QString number = line.mid(at + 1, end - at - 1);
            number.replace(u',', u'.');
            const double value = StrToFloatLocal(number.trimmed());
            if (quantityExpected) {
                quantity = value;
            } else {
                total = RoundCents(total + quantity * value);
                ++pairs;
            }
            quantityExpected = !quantityExpected;
            at = line.indexOf(u'@', end);
        }
    }
    if (pairs == 0)
        return std::nullopt;
    return RoundCents(total);
}
