#include "datasafety/interchange/importformat.h"

#include "core/settings/regionalsettings.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;
using table::FieldType;

bool IsDefinitionItemLine(const QString& line) {
    const qsizetype colon = line.indexOf(u':');
    return colon >= 1 && colon <= 4;
}

ImportDefinitionText ParseImportDefinition(const QStringList& lines) {
    ImportDefinitionText def;
    for (const QString& line : lines) {
        const qsizetype equals = line.indexOf(u'=');
        if (IsDefinitionItemLine(line)) {
            const qsizetype colon = line.indexOf(u':');
            if (equals < colon)
                continue;
            const qsizetype greater = line.indexOf(u'>', equals + 1);
            const qsizetype end = greater < 0 ? line.size() : greater;
            def.items.append(
                {line.mid(colon + 1, equals - colon - 1), line.mid(equals + 1, end - equals - 1)});
            continue;
        }
        if (equals < 0)
            continue;
        const QString key = line.left(equals).toUpper();
        const QString value = line.mid(equals + 1);
        if (key == u"DELIM"_s) {
            def.delimiter = value.isEmpty() ? std::nullopt : std::optional<QChar>(value.front());
        } else if (key == u"SEPAR"_s) {
            if (value.isEmpty())
                continue;
            if (value.front() == u'#') {
                bool ok = false;
                const int code = value.mid(1).trimmed().toInt(&ok);
                // A code that names no character leaves the separator as it was.
                if (ok && code > 0 && code <= 0xFFFF)
                    def.separator = QChar(char16_t(code));
            } else {
                def.separator = value.front();
            }
        } else if (key == u"SFILE"_s) {
            if (!value.isEmpty())
                def.dataFile = value;
        }
    }
    return def;
}

QStringList SplitDelimitedLine(QString line, QChar separator, std::optional<QChar> delimiter) {
    QStringList values;
    if (!line.endsWith(separator))
        line.append(separator);
    qsizetype start = 0;
    while (start < line.size()) {
        bool quoted = false;
        qsizetype end = -1;
        for (qsizetype i = start; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (delimiter && c == *delimiter)
                quoted = !quoted;
            else if (c == separator && !quoted) {
                end = i;
                break;
            }
        }
        if (end < 0)
            break;
        QString value = line.mid(start, end - start);
        if (delimiter) {
            if (value.startsWith(*delimiter))
                value.remove(0, 1);
            if (value.endsWith(*delimiter))
                value.chop(1);
        }
        values.append(value);
        start = end + 1;
    }
    return values;
}

double ImportFloat(const QString& text) {
    const RegionalSettings& regional = Regional();
    QString t = text.trimmed();
    t.remove(regional.thousandSeparator);
    const qsizetype point = t.indexOf(regional.decimalSeparator);
    if (point >= 0)
        t[point] = u'.';
    bool ok = false;
    const double value = t.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

namespace {

int numberOrZero(const QString& text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? n : 0;
}

int fullYear(int year) {
    if (year >= 0 && year <= 29)
        return year + 2000;
    if (year >= 30 && year <= 99)
        return year + 1900;
    if (year >= 100 && year <= 1898)
        return 1899;
    return year;
}

QDate importDate(const QString& text) {
    const QString date = text.section(u' ', 0, 0);
    const QChar separator = Regional().dateSeparator;
    int day = 0, month = 0, year = 0;
    if (date.contains(separator)) {
        const QStringList parts = date.split(separator);
        day = numberOrZero(parts.value(0));
        month = numberOrZero(parts.value(1));
        year = numberOrZero(parts.value(2));
    } else {
        day = numberOrZero(date.left(2));
        month = numberOrZero(date.mid(2, 2));
        year = numberOrZero(date.mid(4));
    }
    return QDate(fullYear(year), month, day);
}

// Hours, minutes and optional seconds at the regional time separator.
QTime importTime(const QString& text) {
    const QStringList parts = text.trimmed().split(Regional().timeSeparator);
    if (parts.size() < 2 || parts.size() > 3)
        return {};
    int values[3] = {0, 0, 0};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool ok = false;
        values[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok)
            return {};
    }
    return QTime(values[0], values[1], values[2]);
}

QDateTime importDateTime(const QString& text) {
    const QString trimmed = text.trimmed();
    const qsizetype blank = trimmed.indexOf(u' ');
    const QString datePart = blank < 0 ? trimmed : trimmed.left(blank);
    if (!datePart.contains(Regional().dateSeparator))
        return {};
    const QDate date = importDate(datePart);
    if (!date.isValid())
        return {};
    if (blank < 0)
        return QDateTime(date, QTime(0, 0));
    const QTime time = importTime(trimmed.mid(blank + 1));
    return time.isValid() ? QDateTime(date, time) : QDateTime();
}

ImportValue set(QVariant value) {
    return {ImportValue::Set, std::move(value)};
}

} // namespace

ImportValue ConvertImportText(FieldType type, const QString& text) {
    switch (type) {
    case FieldType::String:
    case FieldType::Memo:
        return set(text);
    case FieldType::FmtMemo: {
        QString plain = text;
        plain.replace(u"***"_s, u"\n"_s);
        return set(plain);
    }
    case FieldType::Smallint:
    case FieldType::Integer: {
        const double number = std::round(ImportFloat(text));
        // The field's own range, so that nothing is stored but what was read.
        const double low = type == FieldType::Smallint ? std::numeric_limits<qint16>::min()
                                                       : std::numeric_limits<qint32>::min();
        const double high = type == FieldType::Smallint ? std::numeric_limits<qint16>::max()
                                                        : std::numeric_limits<qint32>::max();
        if (number < low || number > high)
            return {ImportValue::Refused, text};
        return set(int(number));
    }
    case FieldType::Boolean: {
        if (text.isEmpty())
            return {};
        const QChar first = text.front().toUpper();
        return set(!(first == u'0' || first == u'F' || first == u'N'));
    }
    case FieldType::Float:
    case FieldType::Currency:
        return set(ImportFloat(text));
    case FieldType::Date: {
        const QDate date = importDate(text);
        return date.isValid() ? set(date) : ImportValue{};
    }
    case FieldType::Time: {
        QString part = text;
        const qsizetype blank = text.indexOf(u' ');
        if (blank >= 0 && blank < text.size() - 1)
            part = text.mid(blank + 1);
        const QTime time = importTime(part);
        if (!time.isValid() || time == QTime(0, 0))
            return {};
        return set(time);
    }
    case FieldType::DateTime: {
        const QDateTime moment = importDateTime(text);
        return moment.isValid() ? set(moment) : ImportValue{};
    }
    case FieldType::AutoInc:
    case FieldType::Graphic:
        return {};
    }
    return {};
}
