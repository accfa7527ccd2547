#include "platform/table/field.h"

#include "platform/table/table.h"

#include <QLocale>

namespace table {

namespace {

[[noreturn]] void notConvertible(const Field& f, const char* kind) {
    throw TableError(TableError::InvalidValue,
                     QStringLiteral("'%1' ist kein gültiger %2 (Feld %3).")
                         .arg(ShownValue(f.value().toString()), QLatin1String(kind), f.name()));
}

const QLocale& german() {
    static const QLocale l(QLocale::German, QLocale::Germany);
    return l;
}

} // namespace

Field::Field(Table& table, FieldDef def, int index, bool calculated)
    : m_table(table), m_def(std::move(def)), m_index(index), m_calculated(calculated) {}

bool Field::isNull() const {
    const QVariant& v = m_table.m_values[m_index];
    return !v.isValid() || v.isNull();
}

QVariant Field::value() const {
    return m_table.m_values[m_index];
}

void Field::setValue(const QVariant& value) {
    m_table.setBufferValue(m_index, value);
}

QString Field::asString() const {
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return {};
    switch (m_def.type) {
    case FieldType::Date:
        return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case FieldType::Time:
        return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case FieldType::DateTime:
        return v.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    case FieldType::Boolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Float:
    case FieldType::Currency:
        return german().toString(v.toDouble(), 'g', 15);
    default:
        return v.toString();
    }
}

int Field::asInteger() const {
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return 0;
    bool ok = false;
    int n = 0;
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (d < -2147483648.0 || d > 2147483647.0)
            notConvertible(*this, "Integerwert");
        return int(qRound64(d));
    }
    n = v.typeId() == QMetaType::QString ? v.toString().trimmed().toInt(&ok) : v.toInt(&ok);
    if (!ok)
        notConvertible(*this, "Integerwert");
    return n;
}

double Field::asFloat() const {
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return 0.0;
    bool ok = false;
    double d = v.typeId() == QMetaType::QString ? german().toDouble(v.toString().trimmed(), &ok)
                                                : v.toDouble(&ok);
    if (!ok)
        notConvertible(*this, "Gleitkommawert");
    return d;
}

bool Field::asBoolean() const {
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return false;
    if (v.typeId() == QMetaType::QString) {
        const QString t = v.toString().trimmed().toLower();
        if (t == QLatin1String("true") || t == QLatin1String("j"))
            return true;
        if (t == QLatin1String("false") || t == QLatin1String("n") || t.isEmpty())
            return false;
        notConvertible(*this, "Wahrheitswert");
    }
    return v.toBool();
}

QDate Field::asDate() const {
    const QVariant v = value();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    return v.toDate();
}

QTime Field::asTime() const {
    const QVariant v = value();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().time();
    return v.toTime();
}

QDateTime Field::asDateTime() const {
    const QVariant v = value();
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    return v.toDateTime();
}

QByteArray Field::asBytes() const {
    return value().toByteArray();
}

QString Field::text() const {
    if (onGetText)
        return onGetText(*this);
    if (isNull())
        return {};
    switch (m_def.type) {
    case FieldType::Currency:
        return german().toString(value().toDouble(), 'f', 2);
    case FieldType::Time:
        return value().toTime().toString(QStringLiteral("HH:mm"));
    case FieldType::Boolean:
        return value().toBool() ? QStringLiteral("Ja") : QStringLiteral("Nein");
    default:
        return asString();
    }
}

} // namespace table
