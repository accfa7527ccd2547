#include "platform/sql/storagevalue.h"

#include "platform/errors.h"

#include <QCollator>
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>

namespace sqltext {

using table::FieldType;

namespace {

const char* const kDateFormat = "yyyy-MM-dd";
const char* const kTimeFormat = "HH:mm:ss.zzz";
const char* const kDateTimeFormat = "yyyy-MM-ddTHH:mm:ss.zzz";

[[noreturn]] void mismatch(const Literal& literal, const QString& fieldName) {
    throw DbError(QStringLiteral("Der Wert '%1' passt nicht zum Feld %2.")
                      .arg(ShownValue(literal.text), fieldName));
}

std::optional<QDate> parseGermanDate(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> parseTime(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:[.,](\\d{1,3}))?)?$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    QString ms = m.captured(4);
    while (!ms.isEmpty() && ms.size() < 3)
        ms += u'0';
    const QTime time(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
                     ms.toInt());
    if (!time.isValid())
        return std::nullopt;
    return time;
}

QVariant numberToStorage(const Literal& literal, bool integral, const QString& fieldName) {
    static const QRegularExpression number(QStringLiteral("^-?\\d+(\\.\\d+)?$"));
    const QString text = literal.text.trimmed();
    const auto match = number.match(text);
    if (!match.hasMatch())
        mismatch(literal, fieldName);
    // A decimal literal stays REAL even for an integer field, as SQLite compares it.
    if (integral && !match.hasCaptured(1)) {
        bool ok = false;
        const qlonglong value = text.toLongLong(&ok);
        if (!ok)
            throw DbError(
                QStringLiteral("Die Zahl %1 ist zu groß für das Feld %2.").arg(text, fieldName));
        return value;
    }
    return text.toDouble();
}

} // namespace

bool isTextType(FieldType type) {
    return type == FieldType::String || type == FieldType::Memo;
}

QVariant literalToStorage(const Literal& literal, FieldType type, const QString& fieldName) {
    if (literal.kind == LiteralKind::Null)
        return {};
    switch (type) {
    case FieldType::String:
    case FieldType::Memo:
        return literal.text;
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc:
        if (literal.kind != LiteralKind::Number && literal.kind != LiteralKind::String)
            mismatch(literal, fieldName);
        return numberToStorage(literal, true, fieldName);
    case FieldType::Float:
    case FieldType::Currency:
        if (literal.kind != LiteralKind::Number && literal.kind != LiteralKind::String)
            mismatch(literal, fieldName);
        return numberToStorage(literal, false, fieldName);
    case FieldType::Boolean: {
        const QString t = literal.text.trimmed();
        if (literal.kind == LiteralKind::Number || literal.kind == LiteralKind::String) {
            if (t == u"0" || t == u"1")
                return t.toInt();
        }
        if (literal.kind == LiteralKind::Boolean || literal.kind == LiteralKind::String) {
            if (t.compare(u"true", Qt::CaseInsensitive) == 0)
                return 1;
            if (t.compare(u"false", Qt::CaseInsensitive) == 0)
                return 0;
        }
        mismatch(literal, fieldName);
    }
    case FieldType::Date: {
        if (literal.kind != LiteralKind::Date && literal.kind != LiteralKind::String)
            mismatch(literal, fieldName);
        const auto date = parseGermanDate(literal.text);
        if (!date)
            throw DbError(
                QStringLiteral("'%1' ist kein gültiges Datum (TT.MM.JJJJ) für das Feld %2.")
                    .arg(ShownValue(literal.text), fieldName));
        return date->toString(QLatin1String(kDateFormat));
    }
    case FieldType::Time: {
        const auto time =
            literal.kind == LiteralKind::String ? parseTime(literal.text) : std::nullopt;
        if (!time)
            throw DbError(
                QStringLiteral("'%1' ist keine gültige Uhrzeit (HH:MM:SS) für das Feld %2.")
                    .arg(ShownValue(literal.text), fieldName));
        return time->toString(QLatin1String(kTimeFormat));
    }
    case FieldType::DateTime: {
        if (literal.kind == LiteralKind::Date || literal.kind == LiteralKind::String) {
            const QString t = literal.text.trimmed();
            const qsizetype blank = t.indexOf(u' ');
            const auto date = parseGermanDate(blank < 0 ? t : t.left(blank));
            const auto time =
                blank < 0 ? std::optional<QTime>(QTime(0, 0)) : parseTime(t.mid(blank + 1));
            if (date && time)
                return QDateTime(*date, *time).toString(QLatin1String(kDateTimeFormat));
        }
        throw DbError(QStringLiteral(
                          "'%1' ist kein gültiger Zeitpunkt (TT.MM.JJJJ HH:MM:SS) für das Feld %2.")
                          .arg(ShownValue(literal.text), fieldName));
    }
    case FieldType::FmtMemo:
    case FieldType::Graphic:
        break;
    }
    throw DbError(QStringLiteral("Das Feld %1 kann nicht verglichen werden.").arg(fieldName));
}

QVariant literalToStorage(const Literal& literal) {
    switch (literal.kind) {
    case LiteralKind::Null:
        return {};
    case LiteralKind::Boolean:
        return literal.text.compare(u"true", Qt::CaseInsensitive) == 0 ? 1 : 0;
    case LiteralKind::Number: {
        bool ok = false;
        if (!literal.text.contains(u'.')) {
            const qlonglong v = literal.text.toLongLong(&ok);
            if (ok)
                return v;
            throw DbError(QStringLiteral("Die Zahl %1 ist zu groß.").arg(literal.text));
        }
        return literal.text.toDouble();
    }
    case LiteralKind::String:
    case LiteralKind::Date:
        break;
    }
    return literal.text;
}

QVariant valueToStorage(const QVariant& value, FieldType type) {
    if (!value.isValid() || value.isNull())
        return {};
    const int id = value.metaType().id();
    switch (type) {
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::FmtMemo:
        return value.toString();
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc:
        if (id == QMetaType::Double || id == QMetaType::Float)
            return value.toDouble();
        return value.toLongLong();
    case FieldType::Float:
    case FieldType::Currency:
        return value.toDouble();
    case FieldType::Boolean:
        if (id == QMetaType::QString)
            return value.toString().compare(u"true", Qt::CaseInsensitive) == 0 ||
                           value.toString() == u"1"
                       ? 1
                       : 0;
        return value.toBool() ? 1 : 0;
    case FieldType::Date:
        if (id == QMetaType::QDate)
            return value.toDate().toString(QLatin1String(kDateFormat));
        if (id == QMetaType::QDateTime)
            return value.toDateTime().date().toString(QLatin1String(kDateFormat));
        return value.toString();
    case FieldType::Time:
        if (id == QMetaType::QTime)
            return value.toTime().toString(QLatin1String(kTimeFormat));
        return value.toString();
    case FieldType::DateTime:
        if (id == QMetaType::QDateTime)
            return value.toDateTime().toString(QLatin1String(kDateTimeFormat));
        return value.toString();
    case FieldType::Graphic:
        return value.toByteArray();
    }
    return value;
}

struct StorageComparer::Collation {
    QCollator collator{QLocale(QLocale::German, QLocale::Germany)};
};

StorageComparer::StorageComparer(bool caseInsensitive) {
    if (caseInsensitive) {
        m_collation = std::make_unique<Collation>();
        m_collation->collator.setCaseSensitivity(Qt::CaseInsensitive);
    }
}
StorageComparer::~StorageComparer() = default;
StorageComparer::StorageComparer(StorageComparer&&) noexcept = default;
StorageComparer& StorageComparer::operator=(StorageComparer&&) noexcept = default;

int StorageComparer::compare(const QVariant& a, const QVariant& b) const {
    auto isNumber = [](const QVariant& v) {
        const int id = v.metaType().id();
        return id == QMetaType::LongLong || id == QMetaType::Int || id == QMetaType::Double ||
               id == QMetaType::Bool || id == QMetaType::UInt || id == QMetaType::ULongLong;
    };
    const bool na = isNumber(a);
    const bool nb = isNumber(b);
    if (na && nb) {
        const bool ia = a.metaType().id() != QMetaType::Double;
        const bool ib = b.metaType().id() != QMetaType::Double;
        if (ia && ib) {
            const qlonglong x = a.toLongLong();
            const qlonglong y = b.toLongLong();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (na != nb)
        return na ? -1 : 1; // SQLite orders numbers before text
    const QString sa = a.toString();
    const QString sb = b.toString();
    if (m_collation) {
        const int r = m_collation->collator.compare(sa, sb);
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    }
    const int r = sa.toUtf8().compare(sb.toUtf8());
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

} // namespace sqltext
