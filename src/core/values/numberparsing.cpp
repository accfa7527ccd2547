#include "core/values/numberparsing.h"

#include "core/settings/regionalsettings.h"
#include "core/values/conversions.h"

#include <charconv>
#include <limits>

namespace {

int digitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int value = -1;
    if (u >= u'0' && u <= u'9')
        value = u - u'0';
    else if (u >= u'a' && u <= u'f')
        value = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        value = u - u'A' + 10;
    return value < base ? value : -1;
}

// An optional sign, then decimal digits or "$" and hexadecimal digits; the
// magnitude must fit the 32-bit range of its sign.
bool readInt32(const QString& text, int& result) {
    qsizetype pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    int base = 10;
    if (pos < text.size() && text[pos] == u'$') {
        base = 16;
        ++pos;
    }
    if (pos == text.size())
        return false;
    const qint64 limit = negative ? qint64(std::numeric_limits<int>::max()) + 1
                                  : qint64(std::numeric_limits<int>::max());
    qint64 magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = digitValue(text[pos], base);
        if (digit < 0)
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return false;
    }
    result = int(negative ? -magnitude : magnitude);
    return true;
}

} // namespace

int StrToIntZero(const QString& text) {
    return StrToIntDefault(text, 0);
}

int StrToIntDefault(const QString& text, int defaultValue) {
    int value = 0;
    return readInt32(TrimStr(text), value) ? value : defaultValue;
}

int DigitsToInt(const QString& text) {
    qint64 value = 0;
    bool anyDigit = false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            continue;
        anyDigit = true;
        value = value * 10 + (c.unicode() - u'0');
        if (value > std::numeric_limits<int>::max())
            return 0;
    }
    return anyDigit ? int(value) : 0;
}

bool ReadPlainFloat(const QString& text, double& result) {
    QByteArray latin;
    latin.reserve(text.size());
    for (QChar c : text) {
        // Only the characters of a plain number; this also keeps out "inf",
        // "nan" and hexadecimal forms that the C++ reader would accept.
        const char16_t u = c.unicode();
        const bool allowed = (u >= u'0' && u <= u'9') || u == u'.' || u == u'-' || u == u'+' ||
                             u == u'e' || u == u'E';
        if (!allowed)
            return false;
        latin.append(char(u));
    }
    const char* begin = latin.constData();
    const char* end = begin + latin.size();
    if (begin != end && *begin == '+')
        ++begin;
    if (begin == end || *begin == '+')
        return false;
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end)
        return false;
    result = value;
    return true;
}

double StrToFloatLocal(const QString& text) {
    QString plain = text;
    plain.remove(u' ');
    const qsizetype separator = plain.indexOf(Regional().decimalSeparator);
    if (separator >= 0)
        plain[separator] = u'.';
    double value = 0.0;
    return ReadPlainFloat(plain, value) ? value : 0.0;
}
