#pragma once

#include <QString>
#include <functional>

class QLineEdit;
class QWidget;
class TF_TableForm;

// A read-only text right of a field of the form's pages (a cost type's name
// beside its number): text gets the field's text as its editor shows it and
// runs whenever that text, the record or its state changes. Returns the
// text's edit; nullptr when the form has no such field.
// Puts widget right of the field's editor in the editor's row, at its top;
// false when the form has no such field.
bool PlaceBesideField(TF_TableForm& form, const QString& field, QWidget& widget);

QLineEdit* AddTextBesideField(TF_TableForm& form, const QString& field, int widthChars,
                              std::function<QString(const QString& fieldText)> text);
