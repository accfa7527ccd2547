#pragma once

#include "commercial/scheduling/activityintervals.h"
#include "core/values/datetimevalue.h"

#include <QString>
#include <functional>

// The due rule of object activities: whether an activity of an object falls
// due in the seven days from a given day, and its next execution date. One
// rule for the daily lists, the recurring-invoice generator and the
// appointment preview, over plain values so that each caller feeds its own
// context. Dates are whole days; EmptyDate stands for no date.

// An activity row of an object (ObjTaet.db) with the season of its activity.
struct ObjectActivity {
    int objektNr = 0;           // TS_Objekt
    int taetigNr = 0;           // TS_Taetigkeit
    int modus = 1;              // TS_Modus, an interval key; null counts 1
    TDateTime startDatum = 0.0; // TS_StartDatum; EmptyDate when null
    QString serviceId;          // TS_ServiceID
    QString wtag;               // TS_Wtag, weekday digits
    TDateTime saisonVon = 0.0;  // T_SaisonVon of the activity; EmptyDate: open
    TDateTime saisonBis = 0.0;
};

// Whether day is a marked fixed date of the tour, object and activity.
using FixedDateLookup = std::function<bool(int tourNr, int objektNr, int taetigNr, TDateTime day)>;

// What the caller knows about the tour and the run.
struct DueContext {
    int tourNr = 0;
    int weekday = 0;                         // weekday number to test, 1 = Monday .. 7 = Sunday
    QString servicePattern;                  // TO_ServPatt
    TDateTime fillDate = 0.0;                // start date given to an activity that has none
    const TLuIntervall* intervals = nullptr; // none: every mode counts one week
    FixedDateLookup fixedDate;               // none: no day is a fixed date
};

// The last next date worked out for an activity, so that a caller walking
// days forward steps on from there instead of from the start date each time.
struct NextDateCarry {
    TDateTime start = 0.0; // the start date it was worked out from
    TDateTime day = 0.0;   // the day it was asked for
    TDateTime next = 0.0;
};

// The first execution date on or after day: the start date (day when none)
// when it is not before day; otherwise stepped by the interval's weeks or
// months (a start on the last day of a month, day 29 to 31, stays on month
// ends), or day itself when it is a marked fixed date, else EmptyDate.
// Raises on overflow (7 x weeks, dates past the calendar).
TDateTime NextActivityDate(const ObjectActivity& activity, TDateTime day, const DueContext& context,
                           NextDateCarry* carry = nullptr);

struct DueAnswer {
    bool due = false;
    // The fill date when the activity had no start date and passed the
    // weekday, service and season tests: the caller stores it as
    // TS_StartDatum. EmptyDate otherwise.
    TDateTime startToStore = 0.0;
};

// Whether the activity is due in the seven days day .. day + 6 for the tour
// of the context: weekday, service and season fit, the start date (the fill
// date when it has none) lies before day + 7, and its next date on or after
// day lies before day + 7.
DueAnswer IsActivityDue(const ObjectActivity& activity, TDateTime day, const DueContext& context,
                        NextDateCarry* carry = nullptr);
