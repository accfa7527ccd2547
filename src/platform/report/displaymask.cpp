#include "platform/report/displaymask.h"

#include <QList>
#include <cmath>

namespace report {
namespace {

ValueFormatter& current() {
    static ValueFormatter formatter = ValueFormatter::plain();
    return formatter;
}

// Splits at ';' outside quotes.
QStringList sections(const QString& mask) {
    QStringList out;
    QString part;
    QChar quote;
    for (const QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';') {
            out.append(part);
            part.clear();
            continue;
        }
        part.append(c);
    }
    out.append(part);
    return out;
}

// The digits of |value| rounded half away from zero at `decimals`, judged on
// its 15 significant digits (so 1.005 rounds up as the user expects).
void decimalDigits(double value, int decimals, QString& intPart, QString& fracPart) {
    const QString e = QString::number(std::fabs(value), 'e', 14);
    const int ePos = e.indexOf(u'e');
    QString digits = e.left(ePos);
    digits.remove(u'.');
    const int exponent = e.mid(ePos + 1).toInt();
    if (exponent >= 0) {
        if (digits.size() < exponent + 1)
            digits.append(QString(exponent + 1 - digits.size(), u'0'));
        intPart = digits.left(exponent + 1);
        fracPart = digits.mid(exponent + 1);
    } else {
        intPart = QStringLiteral("0");
        fracPart = QString(-exponent - 1, u'0') + digits;
    }
    if (fracPart.size() > decimals) {
        const bool up = fracPart[decimals] >= u'5';
        fracPart.truncate(decimals);
        if (up) {
            QString all = intPart + fracPart;
            int i = all.size() - 1;
            for (; i >= 0; --i) {
                if (all[i] == u'9') {
                    all[i] = u'0';
                } else {
                    all[i] = QChar(all[i].unicode() + 1);
                    break;
                }
            }
            if (i < 0)
                all.prepend(u'1');
            intPart = all.left(all.size() - decimals);
            fracPart = all.right(decimals);
        }
    }
    fracPart = fracPart.leftJustified(decimals, u'0');
    while (intPart.size() > 1 && intPart[0] == u'0')
        intPart.remove(0, 1);
}

QString grouped(const QString& digits, QChar separator) {
    QString out;
    const int n = digits.size();
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out.append(separator);
        out.append(digits[i]);
    }
    return out;
}

enum class Tok { Literal, Int, Dot, Frac };
struct Token {
    Tok kind;
    QString text; // literal text, or the placeholder character
};

struct ParsedSection {
    QList<Token> tokens;
    int intCount = 0;
    int minInt = 0;
    int minFrac = 0;
    int maxFrac = 0;
    bool thousands = false;
    bool hasDigits() const { return intCount > 0 || maxFrac > 0; }
};

ParsedSection parseSection(const QString& text) {
    ParsedSection s;
    bool afterDot = false;
    int firstZero = -1;
    QChar quote;
    auto literal = [&](QChar c) {
        if (!s.tokens.isEmpty() && s.tokens.last().kind == Tok::Literal)
            s.tokens.last().text.append(c);
        else
            s.tokens.append({Tok::Literal, QString(c)});
    };
    for (const QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                literal(c);
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'0' || c == u'#') {
            if (afterDot) {
                ++s.maxFrac;
                if (c == u'0')
                    s.minFrac = s.maxFrac;
                s.tokens.append({Tok::Frac, QString(c)});
            } else {
                if (c == u'0' && firstZero < 0)
                    firstZero = s.intCount;
                ++s.intCount;
                s.tokens.append({Tok::Int, QString(c)});
            }
        } else if (c == u'.' && !afterDot) {
            afterDot = true;
            s.tokens.append({Tok::Dot, {}});
        } else if (c == u',') {
            s.thousands = true;
        } else {
            literal(c);
        }
    }
    s.minInt = firstZero < 0 ? 0 : s.intCount - firstZero;
    return s;
}

QString formatSection(const ParsedSection& s, double value, bool negative,
                      const ValueFormatter& f) {
    if (!s.hasDigits()) {
        QString out;
        for (const Token& t : s.tokens)
            out += t.text;
        return out;
    }
    QString intDigits, fracDigits;
    decimalDigits(value, std::min(s.maxFrac, 30), intDigits, fracDigits);
    while (fracDigits.size() > s.minFrac && fracDigits.endsWith(u'0'))
        fracDigits.chop(1);
    if (intDigits == u"0")
        intDigits.clear();
    if (intDigits.size() < s.minInt)
        intDigits = QString(s.minInt - intDigits.size(), u'0') + intDigits;

    QString out;
    bool signPending = negative;
    auto sign = [&] {
        if (signPending) {
            out.append(u'-');
            signPending = false;
        }
    };
    int intIndex = 0;
    int fracIndex = 0;
    const int lead = int(intDigits.size()) - s.intCount; // digits beyond the placeholders
    for (const Token& t : s.tokens) {
        switch (t.kind) {
        case Tok::Literal:
            out += t.text;
            break;
        case Tok::Int:
            if (s.thousands) {
                if (intIndex == 0) {
                    sign();
                    out += grouped(intDigits, f.thousandSeparator);
                }
            } else {
                if (intIndex == 0) {
                    sign();
                    if (lead > 0)
                        out += intDigits.left(lead);
                }
                const int digit = intIndex + lead;
                if (digit >= 0 && digit < intDigits.size())
                    out.append(intDigits[digit]);
            }
            ++intIndex;
            break;
        case Tok::Dot:
            if (intIndex == 0) {
                sign();
                out += intDigits;
            }
            if (!fracDigits.isEmpty())
                out.append(f.decimalSeparator);
            break;
        case Tok::Frac:
            if (fracIndex < fracDigits.size())
                out.append(fracDigits[fracIndex]);
            ++fracIndex;
            break;
        }
    }
    if (signPending)
        out.prepend(u'-');
    return out;
}

bool roundsToZero(double value, const ParsedSection& s) {
    QString i, fr;
    decimalDigits(value, std::min(s.maxFrac, 30), i, fr);
    if (i != u"0")
        return false;
    for (const QChar c : fr) {
        if (c != u'0')
            return false;
    }
    return true;
}

QString twoDigits(int n) {
    return QString::number(n).rightJustified(2, u'0');
}

} // namespace

ValueFormatter ValueFormatter::plain() {
    ValueFormatter f;
    f.longMonthNames = {
        QStringLiteral("Januar"),  QStringLiteral("Februar"),  QStringLiteral("März"),
        QStringLiteral("April"),   QStringLiteral("Mai"),      QStringLiteral("Juni"),
        QStringLiteral("Juli"),    QStringLiteral("August"),   QStringLiteral("September"),
        QStringLiteral("Oktober"), QStringLiteral("November"), QStringLiteral("Dezember")};
    f.shortMonthNames = {QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mrz"),
                         QStringLiteral("Apr"), QStringLiteral("Mai"), QStringLiteral("Jun"),
                         QStringLiteral("Jul"), QStringLiteral("Aug"), QStringLiteral("Sep"),
                         QStringLiteral("Okt"), QStringLiteral("Nov"), QStringLiteral("Dez")};
    f.longDayNames = {QStringLiteral("Sonntag"),    QStringLiteral("Montag"),
                      QStringLiteral("Dienstag"),   QStringLiteral("Mittwoch"),
                      QStringLiteral("Donnerstag"), QStringLiteral("Freitag"),
                      QStringLiteral("Samstag")};
    f.shortDayNames = {QStringLiteral("So"), QStringLiteral("Mo"), QStringLiteral("Di"),
                       QStringLiteral("Mi"), QStringLiteral("Do"), QStringLiteral("Fr"),
                       QStringLiteral("Sa")};
    return f;
}

const ValueFormatter& valueFormatter() {
    return current();
}

void setValueFormatter(const ValueFormatter& formatter) {
    current() = formatter;
}

void resetValueFormatter() {
    current() = ValueFormatter::plain();
}

QString formatFloat(double value, const QString& mask, const ValueFormatter& f) {
    if (std::isnan(value) || std::isinf(value))
        return {};
    if (mask.isEmpty())
        return formatGeneral(value, f);
    const QStringList parts = sections(mask);
    const ParsedSection first = parseSection(parts[0]);
    const bool negative = value < 0 && !roundsToZero(value, first);
    if (negative && parts.size() >= 2 && !parts[1].isEmpty())
        return formatSection(parseSection(parts[1]), value, false, f);
    if (parts.size() >= 3 && !parts[2].isEmpty() && roundsToZero(value, first))
        return formatSection(parseSection(parts[2]), 0, false, f);
    if (parts[0].isEmpty())
        return formatGeneral(value, f);
    return formatSection(first, value, negative, f);
}

QString formatGeneral(double value, const ValueFormatter& f) {
    if (std::isnan(value) || std::isinf(value))
        return {};
    QString text = QString::number(value, 'g', 15);
    if (text.contains(u'e')) // keep plain digits for the sizes money and counts reach
        text = QString::number(value, 'f', 0);
    text.replace(u'.', f.decimalSeparator);
    return text;
}

QString formatBoolean(bool value, const QString& mask) {
    if (mask.isEmpty())
        return value ? QStringLiteral("Ja") : QStringLiteral("Nein");
    const int semi = mask.indexOf(u';');
    if (semi < 0)
        return value ? mask : QString();
    return value ? mask.left(semi) : mask.mid(semi + 1);
}

QString formatDateTime(const QDateTime& value, const QString& mask, const ValueFormatter& f) {
    return formatDateAndTime(value.date(), value.time(), mask, f);
}

QString formatDateAndTime(const QDate& d, const QTime& t, const QString& mask,
                          const ValueFormatter& f) {
    const QString lower = mask.toLower();
    const bool twelve = lower.contains(u"am/pm") || lower.contains(u"a/p");
    QString out;
    bool afterHour = false;
    const int n = mask.size();
    int i = 0;
    auto run = [&](QChar c) {
        int k = i;
        while (k < n && mask[k].toLower() == c)
            ++k;
        return k - i;
    };
    auto name = [](const QStringList& names, int index) {
        return index >= 0 && index < names.size() ? names[index] : QString();
    };
    while (i < n) {
        const QChar c = mask[i];
        const QChar lc = c.toLower();
        if (c == u'\'' || c == u'"') {
            const int end = mask.indexOf(c, i + 1);
            out += mask.mid(i + 1, (end < 0 ? n : end) - i - 1);
            i = end < 0 ? n : end + 1;
            continue;
        }
        if (lower.mid(i, 5) == u"am/pm") {
            out += t.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm");
            i += 5;
            continue;
        }
        if (lower.mid(i, 3) == u"a/p") {
            out += t.hour() < 12 ? QStringLiteral("a") : QStringLiteral("p");
            i += 3;
            continue;
        }
        const int len = run(lc);
        switch (lc.unicode()) {
        case 'd':
            if (len == 1)
                out += QString::number(d.day());
            else if (len == 2)
                out += twoDigits(d.day());
            else if (len == 3)
                out += name(f.shortDayNames, d.dayOfWeek() % 7);
            else if (len == 4)
                out += name(f.longDayNames, d.dayOfWeek() % 7);
            else
                out += formatDateAndTime(d, t, QStringLiteral("dd.mm.yyyy"), f);
            afterHour = false;
            break;
        case 'm':
            if (afterHour && len <= 2) {
                out += len == 1 ? QString::number(t.minute()) : twoDigits(t.minute());
            } else if (len == 1) {
                out += QString::number(d.month());
            } else if (len == 2) {
                out += twoDigits(d.month());
            } else if (len == 3) {
                out += name(f.shortMonthNames, d.month() - 1);
            } else {
                out += name(f.longMonthNames, d.month() - 1);
            }
            afterHour = false;
            break;
        case 'y':
            out += len <= 2 ? twoDigits(d.year() % 100)
                            : QString::number(d.year()).rightJustified(4, u'0');
            afterHour = false;
            break;
        case 'h': {
            int h = t.hour();
            if (twelve) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += len == 1 ? QString::number(h) : twoDigits(h);
            afterHour = true;
            i += len;
            continue;
        }
        case 'n':
            out += len == 1 ? QString::number(t.minute()) : twoDigits(t.minute());
            afterHour = false;
            break;
        case 's':
            out += len == 1 ? QString::number(t.second()) : twoDigits(t.second());
            afterHour = false;
            break;
        case 'z':
            out += len >= 3 ? QString::number(t.msec()).rightJustified(3, u'0')
                            : QString::number(t.msec());
            afterHour = false;
            break;
        case 't':
            out += formatDateAndTime(
                d, t, len == 1 ? QStringLiteral("hh:nn") : QStringLiteral("hh:nn:ss"), f);
            afterHour = false;
            break;
        case 'c':
            out += formatDateAndTime(d, t, QStringLiteral("dd.mm.yyyy hh:nn:ss"), f);
            afterHour = false;
            break;
        case '/':
            out += QString(len, f.dateSeparator);
            break;
        default:
            out += mask.mid(i, len);
            if (!c.isSpace() && c != u':')
                afterHour = false;
            break;
        }
        i += len;
    }
    return out;
}

table::FieldType typeOfValue(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return table::FieldType::Boolean;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return table::FieldType::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return table::FieldType::Float;
    case QMetaType::QDate:
        return table::FieldType::Date;
    case QMetaType::QTime:
        return table::FieldType::Time;
    case QMetaType::QDateTime:
        return table::FieldType::DateTime;
    case QMetaType::QByteArray:
        return table::FieldType::Graphic;
    default:
        return table::FieldType::String;
    }
}

QString displayText(const QVariant& value, table::FieldType type, const QString& mask,
                    const ValueFormatter& f) {
    using table::FieldType;
    if (!value.isValid() || value.isNull())
        return {};
    switch (type) {
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc:
        return mask.isEmpty() ? QString::number(value.toLongLong())
                              : formatFloat(value.toDouble(), mask, f);
    case FieldType::Float:
        return formatFloat(value.toDouble(), mask, f);
    case FieldType::Currency:
        if (!mask.isEmpty())
            return formatFloat(value.toDouble(), mask, f);
        return f.money ? f.money(value.toDouble())
                       : formatFloat(value.toDouble(), QStringLiteral("#,##0.00"), f);
    case FieldType::Boolean:
        return formatBoolean(value.toBool(), mask);
    case FieldType::Date: {
        const QDate d = value.toDate();
        return d.isValid()
                   ? formatDateAndTime(d, QTime(0, 0),
                                       mask.isEmpty() ? QStringLiteral("dd.mm.yyyy") : mask, f)
                   : QString();
    }
    case FieldType::Time: {
        const QTime t = value.toTime();
        return t.isValid() ? formatDateAndTime(QDate(1899, 12, 30), t,
                                               mask.isEmpty() ? QStringLiteral("hh:nn") : mask, f)
                           : QString();
    }
    case FieldType::DateTime: {
        const QDateTime dt = value.toDateTime();
        return dt.isValid() ? formatDateTime(
                                  dt, mask.isEmpty() ? QStringLiteral("dd.mm.yyyy hh:nn") : mask, f)
                            : QString();
    }
    case FieldType::Graphic:
        return {};
    default:
        return value.toString();
    }
}

} // namespace report
