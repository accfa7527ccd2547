#pragma once

#include <QStringView>
#include <span>

// The form types: every printed document and list of the program is one,
// with its catalogue name (the comment of its system row in "QrFrmDef.DB"),
// the class of its report definition and its print entry.
struct FormTypeInfo {
    int type = 0;
    QStringView catalogueName;
    QStringView reportClass;
    QStringView printEntry; // empty: the designer opens it, nothing prints it
};

// In ascending order of type.
std::span<const FormTypeInfo> FormTypes();
// nullptr for a number that is no form type.
const FormTypeInfo* FindFormType(int formType);

// The form type of a form id: its hundred (10003 -> 10000, 22105 -> 22100).
int FormTypeOfId(int formId);
// The id of the print form a type is shipped with: its first user form.
int DefaultFormIdOfType(int formType);
