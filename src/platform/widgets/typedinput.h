#pragma once

#include <QDate>
#include <QString>
#include <QValidator>
#include <QVariant>
#include <optional>

class QLineEdit;
class QWidget;

namespace table {
class Field;
}

namespace widgets {

// A date as a user types it into a date field: "01.03.2024", "1.3.2024",
// "1.3.24", "010324" or "01032024". Two-digit years 00 to 49 are 20xx, 50 to
// 99 are 19xx. nullopt for a text that names no real day.
std::optional<QDate> ParseTypedDate(const QString& text);

// "\"31.02.2024\" ist kein gültiges Datum!"
QString NotADateMessage(const QString& typed);

// The value for a field of what the user typed: a date field's text becomes
// its date (raising DbError with NotADateMessage when it is none); every
// other value stays as it is, for the table to check.
QVariant TypedFieldValue(const table::Field& field, const QVariant& typed);

// What a field takes as typed numbers: None for other fields and for number
// fields that show a text of their own (minutes as "1:30").
enum class NumberInput { None, Whole, Fractions };
NumberInput NumberInputOf(const table::Field& field);

// Keeps letters out of a number field while they are typed: digits, blanks,
// a sign and, with fractions, the decimal and thousands separators. Whatever
// passes is acceptable here; the field itself still checks the whole value.
class NumberValidator : public QValidator {
    Q_OBJECT
public:
    explicit NumberValidator(NumberInput input, QObject* parent = nullptr);
    NumberInput input() const { return m_input; }
    State validate(QString& text, int& position) const override;

private:
    NumberInput m_input;
};

// Gives a one-line editor of the field the validator its kind of number
// needs, or takes it away for a field that is no number.
void ValidateAsNumber(QLineEdit& editor, const table::Field* field);

// The caption of the label standing for an editor on its form ("&Druckpause:"
// gives "Druckpause"), or a check box's own text; empty when there is none.
QString FieldCaption(const QWidget& editor);

} // namespace widgets
