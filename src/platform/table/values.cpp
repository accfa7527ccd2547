#include "platform/table/values.h"

#include "platform/table/backend.h"
#include "platform/table/datetimecodec.h"
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
    throw TableError::refusedValue(u'\'' + ShownValue(value.toString()) +
                                       QStringLiteral("' ist kein gültiger Wert für das Feld "),
                                   field.name, QStringLiteral("."));
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

// The date, time or date-time a caller's value stands for; raises when none.
QDate dateOf(const FieldDef& field, const QVariant& value) {
    QDate d;
    if (value.typeId() == QMetaType::QDate)
        d = value.toDate();
    else if (value.typeId() == QMetaType::QDateTime)
        d = value.toDateTime().date();
    else if (isText(value))
        d = parseDate(value.toString());
    if (!d.isValid())
        invalid(field, value);
    return d;
}

QTime timeOf(const FieldDef& field, const QVariant& value) {
    QTime t;
    if (value.typeId() == QMetaType::QTime)
        t = value.toTime();
    else if (value.typeId() == QMetaType::QDateTime)
        t = value.toDateTime().time();
    else if (isText(value))
        t = parseTime(value.toString());
    if (!t.isValid())
        invalid(field, value);
    return t;
}

QDateTime dateTimeOf(const FieldDef& field, const QVariant& value) {
    QDateTime dt;
    if (value.typeId() == QMetaType::QDateTime)
        dt = value.toDateTime();
    else if (value.typeId() == QMetaType::QDate)
        dt = QDateTime(value.toDate(), QTime(0, 0));
    else if (isText(value))
        dt = parseDateTime(value.toString());
    if (!dt.isValid())
        invalid(field, value);
    return dt;
}

// The value a variant holds, read in place; the caller checked its type.
template <typename T> const T& held(const QVariant& v) {
    return *static_cast<const T*>(v.constData());
}

bool isTextType(FieldType type) {
    return type == FieldType::String || type == FieldType::Memo || type == FieldType::FmtMemo;
}

// A value that clears the field: null, or an empty text for a non-text field,
// as an emptied edit box gives it.
bool clears(const FieldDef& field, const QVariant& value) {
    return !value.isValid() || value.isNull() ||
           (!isTextType(field.type) && isText(value) && value.toString().trimmed().isEmpty());
}

} // namespace

QVariant toStored(const FieldDef& field, const QVariant& value) {
    if (clears(field, value))
        return {};
    switch (field.type) {
    case FieldType::String: {
        const QString s = value.toString();
        if (field.size > 0 && s.size() > field.size)
            throw TableError::refusedValue(
                QStringLiteral("Der Text ist zu lang für das Feld "), field.name,
                QStringLiteral(" (höchstens %1 Zeichen).").arg(field.size));
        return s;
    }
    case FieldType::Memo:
    case FieldType::FmtMemo:
        return value.toString();
    case FieldType::Smallint: {
        const qint64 n = toWhole(field, value);
        if (n < std::numeric_limits<qint16>::min() || n > std::numeric_limits<qint16>::max())
            throw TableError::refusedValue(
                QStringLiteral("Der Wert %1 liegt außerhalb des Bereichs von ").arg(n), field.name,
                QStringLiteral(" (-32768 bis 32767)."));
        return n;
    }
    case FieldType::Integer:
    case FieldType::AutoInc: {
        const qint64 n = toWhole(field, value);
        if (n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
            throw TableError::refusedValue(
                QStringLiteral("Der Wert %1 liegt außerhalb des Bereichs von ").arg(n), field.name,
                QStringLiteral("."));
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
    case FieldType::Date:
        return codec::dateText(dateOf(field, value));
    case FieldType::Time:
        return codec::timeText(timeOf(field, value));
    case FieldType::DateTime:
        return codec::dateTimeText(dateTimeOf(field, value));
    case FieldType::Graphic:
        return value.toByteArray();
    }
    invalid(field, value);
}

QVariant toTyped(const FieldDef& field, const QVariant& value) {
    if (clears(field, value))
        return {};
    switch (field.type) {
    case FieldType::Date: {
        const QDate d = dateOf(field, value);
        char text[codec::kDateTimeLength];
        return codec::writeDate(d, text) ? QVariant(d) : fromStored(field.type, codec::dateText(d));
    }
    case FieldType::Time:
        return timeOf(field, value); // the stored form keeps every millisecond
    case FieldType::DateTime: {
        const QDateTime dt = dateTimeOf(field, value);
        char text[codec::kDateTimeLength];
        // Read back as the stored text would be: the wall-clock time in local time.
        return codec::writeDateTime(dt.date(), dt.time(), text)
                   ? QVariant(codec::localDateTime(dt.date(), dt.time()))
                   : fromStored(field.type, codec::dateTimeText(dt));
    }
    default:
        return fromStored(field.type, toStored(field, value));
    }
}

QVariant readTyped(const Cell& cell, FieldType type) {
    if (cell.isNull())
        return {};
    switch (type) {
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::FmtMemo:
        return cell.text();
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc:
        return int(cell.int64());
    case FieldType::Float:
    case FieldType::Currency:
        return cell.real();
    case FieldType::Boolean:
        return cell.int64() != 0;
    case FieldType::Date: {
        const QByteArrayView text = cell.utf8();
        return codec::readDate(text.data(), text.size());
    }
    case FieldType::Time: {
        const QByteArrayView text = cell.utf8();
        return codec::readTime(text.data(), text.size());
    }
    case FieldType::DateTime: {
        const QByteArrayView text = cell.utf8();
        return codec::readDateTime(text.data(), text.size());
    }
    default:
        return fromStored(type, cell.value());
    }
}

QVariant readTyped(const Statement& st, int column, FieldType type) {
    const Statement::RowLock lock(st);
    return readTyped(st.cell(column), type);
}

void bindTyped(Statement& st, int index, const FieldDef& field, const QVariant& typed) {
    if (!typed.isValid() || typed.isNull()) {
        st.bindNull(index);
        return;
    }
    char text[codec::kDateTimeLength];
    int length = 0;
    switch (field.type) {
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::FmtMemo:
        if (typed.typeId() == QMetaType::QString) {
            st.bindText(index, held<QString>(typed));
            return;
        }
        break;
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Boolean:
        if (typed.typeId() == QMetaType::Int || typed.typeId() == QMetaType::Bool) {
            st.bindInt64(index, typed.toLongLong());
            return;
        }
        break;
    case FieldType::Float:
    case FieldType::Currency:
        if (typed.typeId() == QMetaType::Double) {
            st.bindDouble(index, held<double>(typed));
            return;
        }
        break;
    case FieldType::Date:
        if (typed.typeId() == QMetaType::QDate)
            length = codec::writeDate(held<QDate>(typed), text);
        break;
    case FieldType::Time:
        if (typed.typeId() == QMetaType::QTime)
            length = codec::writeTime(held<QTime>(typed), text);
        break;
    case FieldType::DateTime:
        if (typed.typeId() == QMetaType::QDateTime) {
            const QDateTime& dt = held<QDateTime>(typed);
            if (dt.isValid())
                length = codec::writeDateTime(dt.date(), dt.time(), text);
        }
        break;
    case FieldType::Graphic:
        break;
    }
    if (length > 0)
        st.bindText(index, text, length);
    else // anything unusual takes the checked way, which raises for a bad value
        st.bind(index, toStored(field, typed));
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
        return codec::readDate(stored.toString());
    case FieldType::Time:
        return codec::readTime(stored.toString());
    case FieldType::DateTime:
        return codec::readDateTime(stored.toString());
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
