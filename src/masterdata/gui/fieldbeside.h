#pragma once

#include <QString>
#include <functional>

class QLineEdit;
class TF_TableForm;

// A read-only text right of a field of the form's pages (a cost type's name
// beside its number): text gets the field's text as its editor shows it and
// runs whenever that text, the record or its state changes. Returns the
// text's edit; nullptr when the form has no such field.
QLineEdit* AddTextBesideField(TF_TableForm& form, const QString& field, int widthChars,
                              std::function<QString(const QString& fieldText)> text);
