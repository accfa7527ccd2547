#include "platform/table/values.h"

#include "platform/table/backend.h"
#include "platform/table/tableerror.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>
#include <cmath>
#include <limits>

namespace table {

namespace {

[[noreturn]] void invalid(const FieldDef& field, const QVariant& value) {
    throw TableError(TableError::InvalidValue,
                     QStringLiteral("'%1' ist kein gültiger Wert für das Feld %2.")
                         .arg(value.toString(), field.name));
}

bool isText(const QVariant& v) {
    return v.typeId() == QMetaType::QString;
}

qint64 toWhole(const FieldDef& field, const QVariant& value) {
    bool ok = false;
    qint64 n = 0;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 9.0e15)
            invalid(field, value);
        return qint64(d);
    }
    case QMetaType::QString:
        n = value.toString().trimmed().toLongLong(&ok);
        break;
    case QMetaType::ULongLong:
        if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            invalid(field, value);
        n = value.toLongLong(&ok);
        break;
    default:
        n = value.toLongLong(&ok);
    }
    if (!ok)
        invalid(field, value);
    return n;
}

double toReal(const FieldDef& field, const QVariant& value) {
    bool ok = false;
    double d = 0;
    if (isText(value)) {
        const QString t = value.toString().trimmed();
        d = QLocale(QLocale::German, QLocale::Germany).toDouble(t, &ok);
        if (!ok)
            d = QLocale::c().toDouble(t, &ok);
    } else {
        d = value.toDouble(&ok);
    }
    if (!ok || !std::isfinite(d))
        invalid(field, value);
    return d;
}

QDate parseDate(const QString& text) {
    const QString t = text.trimmed();
    for (const char* format : {"dd.MM.yyyy", "d.M.yyyy", "yyyy-MM-dd", "dd.MM.yy"}) {
        QDate d = QDate::fromString(t, QLatin1String(format));
        if (d.isValid()) {
            if (QLatin1String(format) == QLatin1String("dd.MM.yy") && d.year() < 1950)
                d = d.addYears(100);
            return d;
        }
    }
    return {};
}

QTime parseTime(const QString& text) {
    const QString t = text.trimmed();
    for (const char* format : {"HH:mm:ss.zzz", "HH:mm:ss", "HH:mm", "H:mm"}) {
        const QTime time = QTime::fromString(t, QLatin1String(format));
        if (time.isValid())
            return time;
    }
    return {};
}

QDateTime parseDateTime(const QString& text) {
    const QString t = text.trimmed();
    for (const char* format : {"yyyy-MM-ddTHH:mm:ss.zzz", "yyyy-MM-ddTHH:mm:ss",
                               "dd.MM.yyyy HH:mm:ss", "dd.MM.yyyy HH:mm"}) {
        const QDateTime dt = QDateTime::fromString(t, QLatin1String(format));
        if (dt.isValid())
            return dt;
    }
    const QDate d = parseDate(t);
    return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
}

const QString kDate = QStringLiteral("yyyy-MM-dd");
const QString kTime = QStringLiteral("HH:mm:ss.zzz");
const QString kDateTime = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

} // namespace

QVariant toStored(const FieldDef& field, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    // An empty text clears every non-text field, as an emptied edit box does.
    const bool textual = field.type == FieldType::String || field.type == FieldType::Memo ||
                         field.type == FieldType::FmtMemo;
    if (!textual && isText(value) && value.toString().trimmed().isEmpty())
        return {};
    switch (field.type) {
    case FieldType::String: {
        const QString s = value.toString();
        if (field.size > 0 && s.size() > field.size)
            throw TableError(
                TableError::InvalidValue,
                QStringLiteral("Der Text ist zu lang für das Feld %1 (höchstens %2 Zeichen).")
                    .arg(field.name)
                    .arg(field.size));
        return s;
    }
    case FieldType::Memo:
    case FieldType::FmtMemo:
        return value.toString();
    case FieldType::Smallint: {
        const qint64 n = toWhole(field, value);
        if (n < std::numeric_limits<qint16>::min() || n > std::numeric_limits<qint16>::max())
            throw TableError(
                TableError::InvalidValue,
                QStringLiteral(
                    "Der Wert %1 liegt außerhalb des Bereichs von %2 (-32768 bis 32767).")
                    .arg(n)
                    .arg(field.name));
        return n;
    }
    case FieldType::Integer:
    case FieldType::AutoInc: {
        const qint64 n = toWhole(field, value);
        if (n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
            throw TableError(TableError::InvalidValue,
                             QStringLiteral("Der Wert %1 liegt außerhalb des Bereichs von %2.")
                                 .arg(n)
                                 .arg(field.name));
        return n;
    }
    case FieldType::Float:
    case FieldType::Currency:
        return toReal(field, value);
    case FieldType::Boolean:
        if (isText(value)) {
            const QString t = value.toString().trimmed().toLower();
            if (t == QLatin1String("true") || t == QLatin1String("j") || t == QLatin1String("1"))
                return qint64(1);
            if (t == QLatin1String("false") || t == QLatin1String("n") || t == QLatin1String("0"))
                return qint64(0);
            invalid(field, value);
        }
        return qint64(value.toBool() ? 1 : 0);
    case FieldType::Date: {
        QDate d;
        if (value.typeId() == QMetaType::QDate)
            d = value.toDate();
        else if (value.typeId() == QMetaType::QDateTime)
            d = value.toDateTime().date();
        else if (isText(value))
            d = parseDate(value.toString());
        if (!d.isValid())
            invalid(field, value);
        return d.toString(kDate);
    }
    case FieldType::Time: {
        QTime t;
        if (value.typeId() == QMetaType::QTime)
            t = value.toTime();
        else if (value.typeId() == QMetaType::QDateTime)
            t = value.toDateTime().time();
        else if (isText(value))
            t = parseTime(value.toString());
        if (!t.isValid())
            invalid(field, value);
        return t.toString(kTime);
    }
    case FieldType::DateTime: {
        QDateTime dt;
        if (value.typeId() == QMetaType::QDateTime)
            dt = value.toDateTime();
        else if (value.typeId() == QMetaType::QDate)
            dt = QDateTime(value.toDate(), QTime(0, 0));
        else if (isText(value))
            dt = parseDateTime(value.toString());
        if (!dt.isValid())
            invalid(field, value);
        return dt.toString(kDateTime);
    }
    case FieldType::Graphic:
        return value.toByteArray();
    }
    invalid(field, value);
}

namespace {

// 'yyyy-MM-dd' is read on every row of every scan: parse it by hand.
QDate fastDate(const QString& s) {
    if (s.size() != 10 || s[4] != QLatin1Char('-') || s[7] != QLatin1Char('-'))
        return QDate::fromString(s, kDate);
    auto digits = [&](int from, int count) {
        int n = 0;
        for (int i = from; i < from + count; ++i) {
            const int d = s[i].unicode() - '0';
            if (d < 0 || d > 9)
                return -1;
            n = n * 10 + d;
        }
        return n;
    };
    const int y = digits(0, 4), m = digits(5, 2), d = digits(8, 2);
    if (y < 0 || m < 0 || d < 0)
        return {};
    return QDate(y, m, d);
}

} // namespace

QVariant readTyped(const Statement& st, int column, FieldType type) {
    if (st.isNull(column))
        return {};
    switch (type) {
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::FmtMemo:
        return st.text(column);
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc:
        return int(st.int64(column));
    case FieldType::Float:
    case FieldType::Currency:
        return st.real(column);
    case FieldType::Boolean:
        return st.int64(column) != 0;
    case FieldType::Date:
        return fastDate(st.text(column));
    default:
        return fromStored(type, st.value(column));
    }
}

QVariant fromStored(FieldType type, const QVariant& stored) {
    if (!stored.isValid() || stored.isNull())
        return {};
    switch (type) {
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::FmtMemo:
        return stored.toString();
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc:
        return stored.toInt();
    case FieldType::Float:
    case FieldType::Currency:
        return stored.toDouble();
    case FieldType::Boolean:
        return stored.toLongLong() != 0;
    case FieldType::Date:
        return fastDate(stored.toString());
    case FieldType::Time:
        return QTime::fromString(stored.toString(), kTime);
    case FieldType::DateTime:
        return QDateTime::fromString(stored.toString(), kDateTime);
    case FieldType::Graphic:
        return stored.toByteArray();
    }
    return stored;
}

QString sqlType(FieldType type) {
    switch (type) {
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::FmtMemo:
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return QStringLiteral("TEXT");
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Boolean:
        return QStringLiteral("INTEGER");
    case FieldType::Float:
    case FieldType::Currency:
        return QStringLiteral("REAL");
    case FieldType::Graphic:
        return QStringLiteral("BLOB");
    }
    return QStringLiteral("TEXT");
}

QString physicalName(const QString& tableName) {
    QString name = tableName.trimmed();
    if (name.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        name.chop(3);
    return name;
}

QString quoted(const QString& identifier) {
    QString q = identifier;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

} // namespace table
