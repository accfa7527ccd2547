#pragma once

#include "commercial/scheduling/activitydue.h"
#include "commercial/scheduling/plantour.h"

#include <QDate>
#include <QList>

class TDataModule1;

// The appointment preview of one object activity for the twelve months from
// today: the days it is planned on ("P") and the days of existing daily
// lists that hold it ("T"). The preview form marks them.

struct PreviewTour {
    PlanTour tour;
    bool hasObject = false; // the object is among the tour's objects
};

// Planned days from today up to the same day a year later (excluded), sorted.
// A tour takes part when the activity's service or the tour's pattern is
// "*" (each trimmed, empty counting "*") or the pattern holds the service;
// a pattern such as "AB*" is no wildcard here. A rhythm: each such tour with
// the object, on its next date and (with a weekday) every 7 days after,
// where the activity is due. Fixed dates (the interval's rhythm 0, or an
// interval key that no interval has): each such tour whose weekday the
// activity allows, on its marked days of the current and the next eleven
// months that lie in the season and fall on the tour's weekday.
QList<QDate> PlannedActivityDays(const ObjectActivity& activity, const QList<PreviewTour>& tours,
                                 const TLuIntervall& intervals, const FixedDateLookup& fixedDate,
                                 const QDate& today);

struct TerminVorschau {
    QList<QDate> planned; // "P"
    QList<QDate> listed;  // "T": dates of daily lists holding the activity, sorted
};

// The preview of the object activity current in the data module's object
// activity table: for every tour (allTours) or for the data module's current
// tour. The daily lists searched are those of tour tourNr (all for 0).
TerminVorschau FillTerminVorschau(TDataModule1& dm, int tourNr, int objektNr, int taetigNr,
                                  bool allTours, const QDate& today);

// The same for the object activity with key TS_ID activityId, read through a
// cursor of its own, so that no form's cursor moves: for every tour
// (allTours, the daily lists of all tours) or for tour tourNr alone (its
// daily lists). An activity that no longer exists gives an empty preview.
TerminVorschau FillTerminVorschauOfActivity(int activityId, int tourNr, bool allTours,
                                            const QDate& today);
