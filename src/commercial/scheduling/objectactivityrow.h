#pragma once

#include "commercial/scheduling/activitydue.h"

namespace table {
class Table;
}

// The due rule's view of the activity row a cursor of ObjTaet.db stands on;
// the season is left open (see LookUpActivitySeason).
ObjectActivity ObjectActivityOfRow(table::Table& objTaet);
// Fills in the season of the activity's own row in Taetig.DB (open when there is none).
void LookUpActivitySeason(ObjectActivity& activity);
// Stores the start date into the activity row with key TS_ID (nothing when it is gone).
void StoreActivityStartDate(int tsId, TDateTime start);
