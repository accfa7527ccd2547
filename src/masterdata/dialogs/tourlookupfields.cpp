#include "masterdata/dialogs/tourlookupfields.h"

#include "platform/table/table.h"

using namespace Qt::StringLiterals;

namespace {

// One field of the row whose key field holds key, read on a cursor of its
// own on the tour cursor's database (alive while the tour cursor is).
QString lookupText(table::Table& tours, const QString& tableName, const QString& keyField,
                   const QVariant& key, const QString& resultField) {
    if (key.isNull())
        return {};
    std::shared_ptr<table::Database> db(std::shared_ptr<void>(), tours.database());
    table::Table cursor(std::move(db), tableName);
    cursor.setReadOnly(true);
    cursor.open();
    return cursor.lookup({keyField}, {key}, resultField).toString();
}

} // namespace

void AddTourLookupFields(table::Table& tours) {
    if (tours.findField(u"TO_WochentagName"_s))
        return;
    // Calculated fields are declared on a closed cursor.
    const bool wasOpen = tours.isOpen();
    if (wasOpen)
        tours.close();
    tours.addCalculatedField(u"TO_WochentagName"_s, table::FieldType::String, 20);
    tours.addCalculatedField(u"TO_PersonName"_s, table::FieldType::String, 40);
    tours.onCalcFields += [](table::Table& t) {
        t.field(u"TO_WochentagName"_s)
            .setValue(lookupText(t, u"Wochtag.db"_s, u"WT_Nr"_s, t.field(u"TO_Wochentag"_s).value(),
                                 u"WT_Name"_s));
        t.field(u"TO_PersonName"_s)
            .setValue(lookupText(t, u"Personal.DB"_s, u"P_Nr"_s, t.field(u"TO_Person"_s).value(),
                                 u"P_Name1"_s));
    };
    if (wasOpen)
        tours.open();
}
