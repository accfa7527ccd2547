#include "commercial/scheduling/tourvisits.h"

#include "commercial/scheduling/fixtermtable.h"
#include "commercial/scheduling/objectactivityrow.h"
#include "core/data/dbhelpers.h"
#include "core/values/calendar.h"
#include "core/values/rangeerrors.h"
#include "platform/table/table.h"

#include <QSet>
#include <QtNumeric>

namespace {

const QString kDb = QStringLiteral("LumoDB");

void addChecked(int& sum, qsizetype amount) {
    if (amount > std::numeric_limits<int>::max() || qAddOverflow(sum, int(amount), &sum))
        RaiseOverflowError();
}

// The tours that have the object among their objects, in the tour table's order.
QList<PlanTour> toursOfObject(int objektNr) {
    QSet<int> numbers;
    auto tourObjects = OpenTempTable(kDb, QStringLiteral("TourObj.db"), QStringLiteral("T_IObjNr"));
    tourObjects->setRange({objektNr}, {objektNr});
    for (; !tourObjects->eof() && !tourObjects->isEmpty(); tourObjects->next())
        numbers.insert(FieldInt(*tourObjects, QStringLiteral("TO_TourNr")));
    QList<PlanTour> result;
    if (numbers.isEmpty())
        return result;
    auto tours = OpenTempTable(kDb, QStringLiteral("Touren.db"));
    for (; !tours->eof() && !tours->isEmpty(); tours->next())
        if (numbers.contains(FieldInt(*tours, QStringLiteral("TO_Nr"))))
            result.append(PlanTourOfRow(*tours));
    return result;
}

} // namespace

QList<TDateTime> TourVisitDays(int weekday, TDateTime from, TDateTime to) {
    QList<TDateTime> days;
    if (to < from)
        return days;
    if (weekday < 1 || weekday > 7) {
        days.append(to);
        return days;
    }
    TDateTime day = from;
    day += (weekday - WeekdayOfDate(from) + 7) % 7;
    for (; day <= to; day += 7)
        days.append(day);
    return days;
}

int CountTourVisits(const QList<int>& tourWeekdays, TDateTime from, TDateTime to) {
    int visits = 0;
    for (int weekday : tourWeekdays)
        addChecked(visits, TourVisitDays(weekday, from, to).size());
    return visits;
}

int CountTourVisits(int objektNr, TDateTime from, TDateTime to) {
    QList<int> weekdays;
    for (const PlanTour& tour : toursOfObject(objektNr))
        weekdays.append(tour.weekday);
    return CountTourVisits(weekdays, from, to);
}

int CountActivityOccurrences(QList<ObjectActivity>& activities, const QList<PlanTour>& tours,
                             TDateTime from, TDateTime to, const TLuIntervall& intervals,
                             const FixedDateLookup& fixedDate,
                             const std::function<void(int, TDateTime)>& storeStart) {
    int count = 0;
    for (const PlanTour& tour : tours) {
        if (tour.weekday == 0)
            continue;
        const DueContext context{tour.nr, tour.weekday, tour.servicePattern,
                                 from,    &intervals,   fixedDate};
        const QList<TDateTime> days = TourVisitDays(tour.weekday, from, to);
        for (int i = 0; i < activities.size(); ++i) {
            for (TDateTime day : days) {
                const DueAnswer answer = IsActivityDue(activities[i], day, context);
                if (answer.startToStore != EmptyDate) {
                    activities[i].startDatum = answer.startToStore;
                    if (storeStart)
                        storeStart(i, answer.startToStore);
                }
                if (answer.due)
                    addChecked(count, 1);
            }
        }
    }
    return count;
}

int CountActivityOccurrences(int taetigNr, int objektNr, TDateTime from, TDateTime to,
                             const TLuIntervall& intervals) {
    return CountActivityOccurrences(taetigNr, objektNr, toursOfObject(objektNr), from, to,
                                    intervals, nullptr);
}

int CountActivityOccurrences(int taetigNr, int objektNr, const QList<PlanTour>& tours,
                             TDateTime from, TDateTime to, const TLuIntervall& intervals,
                             QHash<int, TDateTime>* unstoredStarts) {
    QList<ObjectActivity> activities;
    QList<int> keys;
    {
        auto rows = OpenTempTable(kDb, QStringLiteral("ObjTaet.db"), QStringLiteral("I_TsObjekt"));
        rows->setRange({objektNr}, {objektNr});
        for (; !rows->eof() && !rows->isEmpty(); rows->next()) {
            if (FieldInt(*rows, QStringLiteral("TS_Taetigkeit")) != taetigNr)
                continue;
            activities.append(ObjectActivityOfRow(*rows));
            LookUpActivitySeason(activities.last());
            keys.append(FieldInt(*rows, QStringLiteral("TS_ID")));
            if (unstoredStarts && activities.last().startDatum == EmptyDate)
                activities.last().startDatum = unstoredStarts->value(keys.last(), EmptyDate);
        }
    }
    const FixedDateLookup fixedDate = [](int tour, int objekt, int taetig, TDateTime day) {
        return IsFixedTermDay(tour, objekt, taetig, day) != EmptyDate;
    };
    return CountActivityOccurrences(activities, tours, from, to, intervals, fixedDate,
                                    [&keys, unstoredStarts](int i, TDateTime start) {
                                        if (unstoredStarts)
                                            unstoredStarts->insert(keys[i], start);
                                        else
                                            StoreActivityStartDate(keys[i], start);
                                    });
}

void TToursByObject::Load() {
    m_tours.clear();
    m_tourNrs.clear();
    auto tours = OpenTempTable(kDb, QStringLiteral("Touren.db"));
    for (; !tours->eof() && !tours->isEmpty(); tours->next())
        m_tours.append(PlanTourOfRow(*tours));
    auto tourObjects = OpenTempTable(kDb, QStringLiteral("TourObj.db"));
    for (; !tourObjects->eof() && !tourObjects->isEmpty(); tourObjects->next())
        m_tourNrs[FieldInt(*tourObjects, QStringLiteral("TO_Objekt"))].append(
            FieldInt(*tourObjects, QStringLiteral("TO_TourNr")));
}

QList<PlanTour> TToursByObject::Of(int objektNr) const {
    QList<PlanTour> result;
    const auto it = m_tourNrs.constFind(objektNr);
    if (it == m_tourNrs.cend())
        return result;
    for (const PlanTour& tour : m_tours)
        if (it->contains(tour.nr))
            result.append(tour);
    return result;
}
