#include "masterdata/dialogs/tourlookupfields.h"

#include "masterdata/dialogs/displayfields.h"
#include "platform/table/table.h"

using namespace Qt::StringLiterals;

namespace {

QString lookupText(table::Table& tours, const QString& tableName, const QString& keyField,
                   const QVariant& key, const QString& resultField) {
    const QVariantList row = LookupRow(tours, tableName, keyField, key, {resultField});
    return row.isEmpty() ? QString() : row.first().toString();
}

} // namespace

void AddTourLookupFields(table::Table& tours) {
    AddDisplayFields(tours,
                     {{u"TO_WochentagName"_s, table::FieldType::String, 20},
                      {u"TO_PersonName"_s, table::FieldType::String, 40}},
                     [](table::Table& t) {
                         t.field(u"TO_WochentagName"_s)
                             .setValue(lookupText(t, u"Wochtag.db"_s, u"WT_Nr"_s,
                                                  t.field(u"TO_Wochentag"_s).value(),
                                                  u"WT_Name"_s));
                         t.field(u"TO_PersonName"_s)
                             .setValue(lookupText(t, u"Personal.DB"_s, u"P_Nr"_s,
                                                  t.field(u"TO_Person"_s).value(), u"P_Name1"_s));
                     });
}
