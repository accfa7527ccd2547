#pragma once

#include "core/values/datetimevalue.h"

#include <QString>

// What the planning rules read of a tour (Touren.db).
struct PlanTour {
    int nr = 0;               // TO_Nr
    int weekday = 0;          // TO_Wochentag, 1 = Monday .. 7 = Sunday, 0 = none
    TDateTime nextDate = 0.0; // TO_NextDate; EmptyDate when null
    QString servicePattern;   // TO_ServPatt
};

namespace table {
class Table;
}
// The tour the cursor of Touren.db stands on.
PlanTour PlanTourOfRow(table::Table& tours);
