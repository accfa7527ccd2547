#include "platform/widgets/typedinput.h"

#include "platform/errors.h"
#include "platform/table/field.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

namespace widgets {

namespace {

int fullYear(int year, qsizetype digits) {
    if (digits != 2)
        return year;
    return year < 50 ? 2000 + year : 1900 + year;
}

std::optional<QDate> dateOf(int day, int month, int year) {
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

// A label's text as it names the field: without the mnemonic marks and the
// closing colon.
QString captionText(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    text = text.trimmed();
    while (text.endsWith(u':'))
        text.chop(1);
    return text.trimmed();
}

} // namespace

std::optional<QDate> ParseTypedDate(const QString& text) {
    const QString t = text.trimmed();
    static const QRegularExpression digitsOnly(QStringLiteral("^(\\d\\d)(\\d\\d)(\\d\\d|\\d{4})$"));
    static const QRegularExpression dotted(
        QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d\\d|\\d{4})$"));
    for (const QRegularExpression* form : {&digitsOnly, &dotted}) {
        const QRegularExpressionMatch m = form->match(t);
        if (!m.hasMatch())
            continue;
        const QString year = m.captured(3);
        return dateOf(m.captured(1).toInt(), m.captured(2).toInt(),
                      fullYear(year.toInt(), year.size()));
    }
    return std::nullopt;
}

QString NotADateMessage(const QString& typed) {
    return u'"' + typed + QStringLiteral("\" ist kein gültiges Datum!");
}

QVariant TypedFieldValue(const table::Field& field, const QVariant& typed) {
    if (field.type() != table::FieldType::Date || typed.typeId() != QMetaType::QString)
        return typed;
    const QString text = typed.toString().trimmed();
    if (text.isEmpty())
        return typed;
    const std::optional<QDate> date = ParseTypedDate(text);
    if (!date)
        throw DbError(NotADateMessage(ShownValue(text)));
    return *date;
}

NumberInput NumberInputOf(const table::Field& field) {
    if (field.onGetText)
        return NumberInput::None;
    switch (field.type()) {
    case table::FieldType::Smallint:
    case table::FieldType::Integer:
    case table::FieldType::AutoInc:
        return NumberInput::Whole;
    case table::FieldType::Float:
    case table::FieldType::Currency:
        return NumberInput::Fractions;
    default:
        return NumberInput::None;
    }
}

NumberValidator::NumberValidator(NumberInput input, QObject* parent)
    : QValidator(parent), m_input(input) {}

QValidator::State NumberValidator::validate(QString& text, int&) const {
    const bool fractions = m_input == NumberInput::Fractions;
    bool digitSeen = false;
    for (const QChar c : text) {
        if (c.isDigit()) {
            digitSeen = true;
        } else if (c == u'-' || c == u'+') {
            // A sign only before the number.
            if (digitSeen)
                return Invalid;
        } else if (c.isSpace()) {
        } else if (!(fractions && (c == u',' || c == u'.'))) {
            return Invalid;
        }
    }
    return Acceptable;
}

void ValidateAsNumber(QLineEdit& editor, const table::Field* field) {
    const NumberInput wanted = field ? NumberInputOf(*field) : NumberInput::None;
    auto* current = qobject_cast<const NumberValidator*>(editor.validator());
    // Kept while the field stays of one kind: a form refreshes at every move.
    if ((current ? current->input() : NumberInput::None) == wanted)
        return;
    editor.setValidator(wanted == NumberInput::None ? nullptr
                                                    : new NumberValidator(wanted, &editor));
    delete current;
}

QString FieldCaption(const QWidget& editor) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(&editor))
        return captionText(button->text());
    if (const QWidget* window = editor.window())
        for (const QLabel* label : window->findChildren<QLabel*>())
            if (label->buddy() == &editor)
                return captionText(label->text());
    return {};
}

} // namespace widgets
