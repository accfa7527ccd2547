#pragma once

#include "platform/table/tabledef.h"

#include <QList>
#include <QString>

namespace table {
class Table;
}

// A display field of a cursor whose value is read from another table of
// the same database: the row of `table` whose `key` holds the cursor's
// `ownKey` gives `result` (null when there is none). Fields are filled in
// the order given, so an ownKey may name an earlier display field.
struct LookupFieldDecl {
    QString name;
    table::FieldType type = table::FieldType::String;
    int size = 0;
    QString ownKey;
    QString table;
    QString key;
    QString result;
    // The database alias of the looked-up table; empty: the cursor's own
    // (an archive table's records look up the client's master data).
    QString alias;
};

// Declares the fields on the cursor (closed for it and opened again when it
// was open); the lookups run on read-only cursors of their own, so no shared
// table object moves. Nothing when the first field exists already.
void AddLookupFields(table::Table& t, const QList<LookupFieldDecl>& fields);

// The object's activity rows: "TsTaetigname", "TsTaetigSaisonVon",
// "TsTaetigSaisonBis", "TsGruppe" from the activity, "ModusName" the
// execution interval's text.
void AddObjTaetigLookupFields(table::Table& rows);
// The object's emergency services: the service's search name, trade and
// address ("ND_Match", "ND_Branche", "ND_Name1", ...), by OND_NdNr.
void AddObjNotdienstLookupFields(table::Table& rows);
// The object's tours: "TourWochentag" (the tour's weekday name) and
// "TourDienste" (its service pattern), by TO_TourNr.
void AddObjTourLookupFields(table::Table& rows);
