#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace table {
class Table;
}

// The fixed choice lists of the staff form. A closed list accepts only its
// entries; an open one also takes a typed text. values, when given, are what
// the field stores for each text (P_Kinder is a number).
struct FixedChoiceList {
    QString field;
    QStringList texts;
    QVariantList values;
    bool closed = false;
};
QList<FixedChoiceList> PersonalChoiceLists();

// The cost-type field of the employee that a time type of the given type
// (ZA_Type) books into: "P_Kostart2" to "P_Kostart8" for types 2 to 8,
// "P_Kostart1" for every other type.
QString PersonalKostartField(int zeitartType);

// "Vorgaben übernehmen": writes the cost type of every time type
// (Zeitart.DB) into the current employee's field for its type, and posts
// the employee once. Nothing without time types.
void TakeZeitartKostarten(table::Table& personal);
