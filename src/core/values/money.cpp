#include "core/values/money.h"

#include "core/settings/regionalsettings.h"
#include "core/values/conversions.h"
#include "core/values/currency.h"
#include "core/values/fixedpoint.h"
#include "core/values/numberparsing.h"
#include "core/values/rangeerrors.h"

#include <cmath>
#include <cstdint>

namespace {

// From 2^52 on every double is a whole number, so rounding to cents keeps it.
constexpr double kWholeNumbersFrom = 0x1p52;

double centsToAmount(std::int64_t cents) {
    if (cents < (std::int64_t(1) << 53))
        return double(cents) / 100.0; // both exact: the quotient is correctly rounded
    const QString digits = QString::number(cents);
    double value = 0.0;
    ReadPlainFloat(digits.left(digits.size() - 2) + u'.' + digits.right(2), value);
    return value;
}

QString cutBeforeFirstBlank(const QString& text) {
    const qsizetype blank = text.indexOf(u' ');
    return blank < 0 ? text : text.left(blank);
}

// Symbol removed, trimmed and cut before the first blank: the number part of
// a money text.
QString moneyNumberPart(const QString& text) {
    QString work = text;
    const QString& symbol = CurrTable()[1].Symbol;
    if (!symbol.isEmpty()) {
        const qsizetype at = work.indexOf(symbol);
        if (at >= 0)
            work.remove(at, symbol.size());
    }
    return cutBeforeFirstBlank(TrimStr(work));
}

// Places number and symbol as the Windows currency formats number them.
QString positiveMoney(const QString& number, const QString& symbol, int format) {
    switch (format) {
    case 0:
        return symbol + number;
    case 1:
        return number + symbol;
    case 2:
        return symbol + u' ' + number;
    default:
        return number + u' ' + symbol;
    }
}

QString negativeMoney(const QString& n, const QString& s, int format) {
    switch (format) {
    case 0:
        return u'(' + s + n + u')';
    case 1:
        return u'-' + s + n;
    case 2:
        return s + u'-' + n;
    case 3:
        return s + n + u'-';
    case 4:
        return u'(' + n + s + u')';
    case 5:
        return u'-' + n + s;
    case 6:
        return n + u'-' + s;
    case 7:
        return n + s + u'-';
    case 9:
        return u'-' + s + u' ' + n;
    case 10:
        return n + u' ' + s + u'-';
    case 11:
        return s + u' ' + n + u'-';
    case 12:
        return s + u' ' + u'-' + n;
    case 13:
        return n + u'-' + u' ' + s;
    case 14:
        return u'(' + s + u' ' + n + u')';
    case 15:
        return u'(' + n + u' ' + s + u')';
    default:
        return u'-' + n + u' ' + s;
    }
}

} // namespace

double RoundCents(double amount) {
    if (!std::isfinite(amount))
        throw DbError(QStringLiteral("Ungültige Gleitkommaoperation"));
    const double magnitude = std::fabs(amount);
    if (magnitude >= kWholeNumbersFrom)
        return amount;
    if (magnitude == 0)
        return 0.0;
    // The text of |amount| × 100 with two decimals, without its point: the
    // decimal view of |amount| rounded at its fourth decimal.
    QString text = ScaledDecimalDigits(magnitude, 4);
    if (text.size() < 3)
        text.prepend(QString(3 - text.size(), u'0'));
    std::int64_t cents = 0; // below 2^52 × 100
    for (QChar c : QStringView(text).chopped(2))
        cents = cents * 10 + (c.unicode() - u'0');
    if (text[text.size() - 2] >= u'5')
        ++cents; // away from zero: the sign is applied below
    if (cents == 0)
        return 0.0;
    const double rounded = centsToAmount(cents);
    return amount < 0 ? -rounded : rounded;
}

double RoundToFactor(double value, double factor) {
    if (factor == 0)
        return value;
    const double rounded = std::trunc(std::fabs(value) * factor + 0.5) / factor;
    return value < 0 ? -rounded : rounded;
}

double ConvertToAltW(double amount) {
    const CurrencyTable& currencies = CurrTable();
    // Running in euros, entry 2 holds the inverse euro rate rounded to five
    // places (0.51129); dividing by it misses cents from a few thousand euros
    // on, so the fixed rate is applied instead.
    if (currencies[1].Code == u"EUR" && currencies[2].Code == u"DEM")
        return RoundCents(amount * kDmPerEuro);
    return RoundCents(amount / currencies[2].Rate);
}

QString FormatMoney(int index, double amount) {
    if (index < 0 || index > 2)
        RaiseRangeError();
    const RegionalSettings& regional = Regional();
    const QString symbol = index == 2 ? CurrTable()[2].Symbol : regional.currencyString;
    const QString fixed = FixedPointText(std::fabs(amount), regional.currencyDecimals);
    const QString number =
        GroupDigits(fixed, regional.decimalSeparator, regional.thousandSeparator);
    const bool negative =
        amount < 0 && FixedPointText(amount, regional.currencyDecimals)[0] == u'-';
    const QString text = negative ? negativeMoney(number, symbol, regional.negCurrFormat)
                                  : positiveMoney(number, symbol, regional.currencyFormat);
    return TrimStr(text);
}

QString MoneyStrToAltW(const QString& text) {
    return FormatMoney(2, ConvertToAltW(MoneyStrToFloat(cutBeforeFirstBlank(text))));
}

double MoneyStrToFloat(const QString& text) {
    const RegionalSettings& regional = Regional();
    QString number = moneyNumberPart(text);
    if (!regional.thousandSeparator.isNull())
        number.remove(regional.thousandSeparator);
    const qsizetype separator = number.indexOf(regional.decimalSeparator);
    if (separator >= 0)
        number[separator] = u'.';
    double value = 0.0;
    return ReadPlainFloat(number, value) ? value : 0.0;
}

double MoneyStrToFloatDE(const QString& text) {
    QString number = moneyNumberPart(text);
    number.remove(u'.');
    number.replace(u',', u'.');
    return StrToFloatLocal(number);
}
