#include "commercial/scheduling/terminvorschau.h"

#include "commercial/scheduling/fixtermmonths.h"
#include "commercial/scheduling/fixtermtable.h"
#include "commercial/scheduling/objectactivityrow.h"
#include "commercial/scheduling/servicematch.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/values/calendar.h"
#include "platform/table/table.h"

#include <QSet>
#include <algorithm>

namespace {

const QString kDb = QStringLiteral("LumoDB");

void rhythmDays(const ObjectActivity& activity, const PlanTour& tour, const TLuIntervall& intervals,
                TDateTime first, TDateTime end, QSet<TDateTime>& days) {
    const TDateTime next = tour.nextDate;
    if (!WeekdayFitsPattern(WeekdayOfDate(next), activity.wtag))
        return;
    DueContext context{tour.nr,   WeekdayOfDate(next), tour.servicePattern,
                       EmptyDate, &intervals,          {}};
    NextDateCarry carry;
    auto test = [&](TDateTime day) {
        context.fillDate = day;
        if (IsActivityDue(activity, day, context, &carry).due)
            days.insert(day);
    };
    if (tour.weekday == 0) {
        if (next >= first && next < end)
            test(next);
        return;
    }
    // The tour comes on its next date and every seven days after it.
    TDateTime day = next;
    if (const qint64 behind = qint64(first - next); behind > 0)
        day += TDateTime((behind + 6) / 7 * 7);
    for (; day < end; day += 7)
        test(day);
}

void fixedDays(const ObjectActivity& activity, const PlanTour& tour, const FixedDateLookup& fixed,
               const QDate& today, TDateTime first, TDateTime end, QSet<TDateTime>& days) {
    if (tour.weekday < 1 || tour.weekday > 7 || !WeekdayFitsPattern(tour.weekday, activity.wtag) ||
        !fixed)
        return;
    const QDate firstOfMonth(today.year(), today.month(), 1);
    for (QDate d = firstOfMonth; d < firstOfMonth.addMonths(12); d = d.addDays(1)) {
        const TDateTime day = DateTimeOfDate(d);
        if (day >= first && day < end && d.dayOfWeek() == tour.weekday &&
            DateInSeason(day, activity.saisonVon, activity.saisonBis) &&
            fixed(tour.nr, activity.objektNr, activity.taetigNr, day))
            days.insert(day);
    }
}

QList<QDate> sortedDates(const QSet<TDateTime>& days) {
    QList<TDateTime> sorted(days.cbegin(), days.cend());
    std::sort(sorted.begin(), sorted.end());
    QList<QDate> result;
    for (TDateTime d : sorted)
        result.append(DateOfDateTime(d));
    return result;
}

// The dates of the daily lists of the tour (all tours for 0) that hold the activity.
QList<QDate> listedDays(int tourNr, int objektNr, int taetigNr) {
    auto tglObjects = OpenTempTable(kDb, QStringLiteral("TglObj.DB"));
    tglObjects->setFilter(QStringLiteral("A_ObjektNr=%1").arg(objektNr));
    tglObjects->setFiltered(true);
    QSet<int> withObject;
    for (tglObjects->first(); !tglObjects->eof() && !tglObjects->isEmpty(); tglObjects->next())
        withObject.insert(FieldInt(*tglObjects, QStringLiteral("A_TourID")));
    auto rows = OpenTempTable(kDb, QStringLiteral("TglTaet.DB"));
    rows->setFilter(QStringLiteral("A_ObjNr=%1 and A_TaetigNr=%2").arg(objektNr).arg(taetigNr));
    rows->setFiltered(true);
    QSet<int> tourIds;
    for (rows->first(); !rows->eof() && !rows->isEmpty(); rows->next()) {
        const int id = FieldInt(*rows, QStringLiteral("A_TourID"));
        if (withObject.contains(id))
            tourIds.insert(id);
    }
    QSet<TDateTime> days;
    if (tourIds.isEmpty())
        return {};
    auto tours = OpenTempTable(kDb, QStringLiteral("TglTour.DB"));
    for (; !tours->eof() && !tours->isEmpty(); tours->next()) {
        if (!tourIds.contains(FieldInt(*tours, QStringLiteral("A_TourID"))))
            continue;
        if (tourNr != 0 && FieldInt(*tours, QStringLiteral("A_TourNr")) != tourNr)
            continue;
        days.insert(DateTimeOfDate(tours->field(QStringLiteral("A_Date")).asDateOr(QDate())));
    }
    return sortedDates(days);
}

} // namespace

QList<QDate> PlannedActivityDays(const ObjectActivity& activity, const QList<PreviewTour>& tours,
                                 const TLuIntervall& intervals, const FixedDateLookup& fixedDate,
                                 const QDate& today) {
    const TDateTime first = DateTimeOfDate(today);
    const TDateTime end = DateTimeOfDate(today.addYears(1));
    // Unlike the due rule, an interval key that names no interval means fixed dates.
    const bool onFixedDates = FindWeeksOfMode(intervals, activity.modus).value_or(0) == 0;
    QSet<TDateTime> days;
    for (const PreviewTour& t : tours) {
        if (!MatchServicePattern(t.tour.servicePattern, activity.serviceId))
            continue;
        if (onFixedDates)
            fixedDays(activity, t.tour, fixedDate, today, first, end, days);
        else if (t.hasObject)
            rhythmDays(activity, t.tour, intervals, first, end, days);
    }
    return sortedDates(days);
}

namespace {

TerminVorschau previewOf(TDataModule1& dm, ObjectActivity activity, int tourNr,
                         const std::function<QList<PlanTour>()>& readTours, const QDate& today) {
    const int objektNr = activity.objektNr;
    const int taetigNr = activity.taetigNr;
    LookUpActivitySeason(activity);
    QList<PreviewTour> tours;
    for (const PlanTour& tour : readTours())
        tours.append(
            {tour, IntPairExists(kDb, QStringLiteral("TourObj.db"),
                                 QStringLiteral("TO_TourNr;TO_Objekt"), tour.nr, objektNr)});

    // The month texts of each tour are read once, not per day.
    QHash<int, FixTermMonths> months;
    const FixedDateLookup fixedDate = [&months](int tour, int objekt, int taetig, TDateTime day) {
        auto it = months.find(tour);
        if (it == months.end()) {
            FixTermMonths texts;
            ReadFixTermMonths(tour, objekt, taetig, texts);
            it = months.insert(tour, texts);
        }
        const QDate d = DateOfDateTime(day);
        return IsMarkedDay((*it)[d.month() - 1], d.day());
    };
    OpenForCall opened(dm.TabAusfInterv());
    const TLuIntervall intervals = LoadAusfIntervalle(dm.TabAusfInterv());
    opened.close();
    return {PlannedActivityDays(activity, tours, intervals, fixedDate, today),
            listedDays(tourNr, objektNr, taetigNr)};
}

QList<PlanTour> allToursRead() {
    QList<PlanTour> tours;
    auto all = OpenTempTable(kDb, QStringLiteral("Touren.db"));
    for (; !all->eof() && !all->isEmpty(); all->next())
        tours.append(PlanTourOfRow(*all));
    return tours;
}

} // namespace

TerminVorschau FillTerminVorschau(TDataModule1& dm, int tourNr, int objektNr, int taetigNr,
                                  bool allTours, const QDate& today) {
    ObjectActivity activity = ObjectActivityOfRow(dm.TabObjTaetig());
    activity.objektNr = objektNr;
    activity.taetigNr = taetigNr;
    return previewOf(
        dm, activity, tourNr,
        [&dm, allTours]() -> QList<PlanTour> {
            if (allTours)
                return allToursRead();
            if (dm.TabTour().isOpen() && !dm.TabTour().isEmpty())
                return {PlanTourOfRow(dm.TabTour())};
            return {};
        },
        today);
}

TerminVorschau FillTerminVorschauOfActivity(int activityId, int tourNr, bool allTours,
                                            const QDate& today) {
    auto rows = OpenTempTable(kDb, QStringLiteral("ObjTaet.db"));
    if (!rows->locate({QStringLiteral("TS_ID")}, {activityId}))
        return {};
    const ObjectActivity activity = ObjectActivityOfRow(*rows);
    rows.reset();
    return previewOf(
        DataModule1(), activity, tourNr,
        [allTours, tourNr]() -> QList<PlanTour> {
            if (allTours)
                return allToursRead();
            auto tours = OpenTempTable(kDb, QStringLiteral("Touren.db"));
            if (!tours->locate({QStringLiteral("TO_Nr")}, {tourNr}))
                return {};
            return {PlanTourOfRow(*tours)};
        },
        today);
}
