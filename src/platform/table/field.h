#pragma once

#include "platform/table/event.h"
#include "platform/table/tabledef.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QVariant>
#include <type_traits>

namespace table {

class Table;

// One field of a table's current record. Getters of a null field give the
// type's empty value (0, "", invalid date); the ...Or getters give a default.
class Field {
public:
    Field(Table& table, FieldDef def, int index, bool calculated);

    const QString& name() const { return m_def.name; }
    FieldType type() const { return m_def.type; }
    int size() const { return m_def.size; }
    const FieldDef& def() const { return m_def; }
    int index() const { return m_index; }
    bool isCalculated() const { return m_calculated; }
    Table& table() const { return m_table; }

    bool isNull() const;
    QVariant
    value() const; // typed: QString, int, double, bool, QDate, QTime, QDateTime, QByteArray
    // Converts the value to the field's type (a date field takes "dd.mm.yyyy"),
    // runs onValidate and onChange; a refusal leaves the old value.
    void setValue(const QVariant& value);
    void clear() { setValue(QVariant()); }
    // Assigns any value setValue() takes; text of every kind (literals, built
    // strings) goes in as QString, and a plain `0` stays the number.
    template <typename T> Field& operator=(const T& value) {
        if constexpr (std::is_same_v<T, QVariant>)
            setValue(value);
        else if constexpr (std::is_arithmetic_v<T> || std::is_same_v<T, QByteArray>)
            setValue(QVariant::fromValue(value));
        else if constexpr (std::is_convertible_v<const T&, QString>)
            setValue(QVariant(QString(value)));
        else
            setValue(QVariant::fromValue(value));
        return *this;
    }

    QString asString() const;
    int asInteger() const;
    double asFloat() const;
    bool asBoolean() const;
    QDate asDate() const;
    QTime asTime() const;
    QDateTime asDateTime() const;
    QByteArray asBytes() const;

    QString asStringOr(const QString& fallback) const { return isNull() ? fallback : asString(); }
    int asIntegerOr(int fallback) const { return isNull() ? fallback : asInteger(); }
    double asFloatOr(double fallback) const { return isNull() ? fallback : asFloat(); }
    bool asBooleanOr(bool fallback) const { return isNull() ? fallback : asBoolean(); }
    QDate asDateOr(const QDate& fallback) const { return isNull() ? fallback : asDate(); }

    // The display text: onGetText when set, otherwise the German form
    // (dates "dd.MM.yyyy", money with two decimals).
    QString text() const;

    Event<Field&> onValidate;
    Event<Field&> onChange;
    std::function<QString(const Field&)> onGetText;

private:
    Table& m_table;
    FieldDef m_def;
    int m_index;
    bool m_calculated;
};

} // namespace table
