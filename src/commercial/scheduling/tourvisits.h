#pragma once

#include "commercial/scheduling/activitydue.h"
#include "commercial/scheduling/plantour.h"

#include <QHash>
#include <QList>
#include <functional>

// How often a tour visits an object, and how often an activity falls due
// there, in a billing period: the quantities of recurring invoice lines.

// The days of From .. To on which a tour with that weekday counts: every
// day of that weekday (1 .. 7); for a tour without weekday the day To alone
// (none when To lies before From).
QList<TDateTime> TourVisitDays(int weekday, TDateTime from, TDateTime to);

// The visits of all the given tours together (one weekday each).
int CountTourVisits(const QList<int>& tourWeekdays, TDateTime from, TDateTime to);
// The visits to the object of every tour that has it among its objects.
int CountTourVisits(int objektNr, TDateTime from, TDateTime to);

// The due occurrences of the activities on the visit days of the tours
// with a weekday (each tour tested with its weekday and service pattern,
// From as fill date). An activity given a start date on the way keeps it in
// the list for the following tests, and storeStart is told (index into the
// list, the date).
int CountActivityOccurrences(QList<ObjectActivity>& activities, const QList<PlanTour>& tours,
                             TDateTime from, TDateTime to, const TLuIntervall& intervals,
                             const FixedDateLookup& fixedDate,
                             const std::function<void(int, TDateTime)>& storeStart);
// The same over the tables: the object's rows of the activity in ObjTaet.db
// and the tours that have the object; start dates given are stored.
int CountActivityOccurrences(int taetigNr, int objektNr, TDateTime from, TDateTime to,
                             const TLuIntervall& intervals);
// The same for the given tours of the object. With unstoredStarts the start
// dates given are kept there by TS_ID instead of being stored, and rows
// without start date take theirs from there: a preview leaves ObjTaet.db
// as it was.
int CountActivityOccurrences(int taetigNr, int objektNr, const QList<PlanTour>& tours,
                             TDateTime from, TDateTime to, const TLuIntervall& intervals,
                             QHash<int, TDateTime>* unstoredStarts);

// The tours of every object, read once for a run over many objects: the
// tours of an object in the tour table's order.
class TToursByObject {
public:
    void Load();
    QList<PlanTour> Of(int objektNr) const;

private:
    QList<PlanTour> m_tours;
    QHash<int, QList<int>> m_tourNrs; // by object
};
