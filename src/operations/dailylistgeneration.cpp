#include "operations/dailylistgeneration.h"

#include "commercial/scheduling/activitydue.h"
#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/messages/messages.h"
#include "core/values/calendar.h"
#include "core/values/conversions.h"
#include "core/values/datetext.h"
#include "core/values/packeddate.h"
#include "core/values/rangeerrors.h"
#include "datasafety/autobackup.h"
#include "operations/dailylistmasters.h"
#include "operations/dailylistwriter.h"
#include "platform/table/table.h"

#include <QtNumeric>

namespace {

// Whether a tour runs on day: on its next date and, with a weekday, every
// seven days after it; never before it. Its weekday is not compared with
// the day's, and holidays are not skipped.
bool tourRunsOn(const PlanTour& tour, TDateTime day) {
    if (tour.weekday == 0)
        return tour.nextDate == day;
    const qint64 after = qint64(day) - qint64(tour.nextDate);
    return day >= tour.nextDate && after % 7 == 0;
}

QString servicePatternOf(const PlanTour& tour) {
    const QString pattern = TrimStr(tour.servicePattern);
    return pattern.isEmpty() ? QStringLiteral("*") : pattern;
}

void count(int& counter, int amount = 1) {
    if (qAddOverflow(counter, amount, &counter))
        RaiseOverflowError();
}

struct DayCounts {
    int tours = 0;
    int activities = 0;
};

// One tour on one day, in its own transaction; false when its list was
// already generated before.
bool generateTour(DailyListWriter& writer, DailyListMasters& masters, const MasterTour& tour,
                  TDateTime day, DayCounts& counts) {
    table::Transaction tx(*table::aliases::database(QStringLiteral("LumoDB")));
    writer.syncKeys();
    if (!writer.TakeDailyTour(tour))
        return false;
    const DueContext context{tour.plan.nr,
                             WeekdayOfDate(day),
                             servicePatternOf(tour.plan),
                             day,
                             &masters.intervals,
                             [&masters](int t, int o, int a, TDateTime d) {
                                 return masters.isFixedTermDay(t, o, a, d);
                             }};
    int added = 0;
    for (const MasterTourObject& object : tour.objects) {
        writer.beginObject(object);
        auto activities = masters.activities.find(object.objektNr);
        if (activities == masters.activities.end())
            continue;
        for (MasterActivity& a : *activities) {
            const DueAnswer answer = IsActivityDue(a.due, day, context, &a.carry);
            if (answer.startToStore != EmptyDate) {
                writer.storeStartDate(a.tsId, answer.startToStore);
                a.due.startDatum = answer.startToStore;
            }
            if (!answer.due)
                continue;
            DailyActivityValues v;
            v.tourNr = tour.plan.nr;
            v.objektNr = object.objektNr;
            v.taetigNr = a.due.taetigNr;
            v.serviceId = a.due.serviceId.isEmpty() ? QStringLiteral("*") : a.due.serviceId;
            v.zusatzText = a.name;
            v.param = a.param;
            v.tourText = a.tourText;
            v.kontrollText = a.kontrollText;
            if (!writer.AddDailyListActivity(v))
                continue;
            count(added);
            if (a.func != 0)
                writer.AddDailyListFunction(tour.plan.nr, object.objektNr, a.due.taetigNr, a.func,
                                            a.param);
        }
    }
    tx.commit();
    count(counts.tours);
    count(counts.activities, added);
    return true;
}

template <typename F> void call(const F& hook, auto&&... args) {
    if (hook)
        hook(std::forward<decltype(args)>(args)...);
}

} // namespace

bool ChooseDailyListRange(const QDate& today, const DailyListRunHooks& hooks, QDate& from,
                          QDate& to) {
    for (;;) {
        from = today;
        TDateTime end = DateTimeOfDate(today);
        IncMonthOfDate(end);
        to = DateOfDateTime(end).addDays(-1);
        if (!hooks.pickRange || !hooks.pickRange(from, to))
            return false;
        if (from < today) {
            ShowError(QStringLiteral("Sie können keine Tageslisten für Zeiträume vor dem\r "
                                     "aktuellen Tagesdatum erstellen!"));
            continue;
        }
        if (to < from)
            continue;
        break;
    }
    const qint64 days = from.daysTo(to) + 1;
    return days <= 31 ||
           AskYesNo(
               QStringLiteral("Möchten Sie wirklich für %1 Tage Tageslisten erstellen?").arg(days));
}

int GenerateDailyLists(TDataModule1& dm, const QDate& from, const QDate& to, const QDate& shownDay,
                       const DailyListRunHooks& hooks) {
    DailyListMasters masters = LoadDailyListMasters(dm);
    DailyListWriter writer(masters);
    writer.lockActivities();
    call(hooks.setRunning, true);
    int total = 0;
    auto finish = [&] {
        call(hooks.showDay, shownDay);
        call(hooks.setRunning, false);
        writer.unlockActivities();
        ShowInfo(QStringLiteral("Es wurden %1 Tageslisten erzeugt").arg(total));
    };
    try {
        const QString caption = QStringLiteral("Tageslisten-Erstellung:");
        for (QDate date = from; date <= to; date = date.addDays(1)) {
            call(hooks.showDay, date);
            writer.setDay(date);
            const TDateTime day = DateTimeOfDate(date);
            DayCounts counts;
            call(hooks.showState, caption, IntToStrWidth(0, 5) + IntToStrWidth(0, 5));
            for (const MasterTour& tour : masters.tours) {
                if (tour.objects.isEmpty() || !tourRunsOn(tour.plan, day))
                    continue;
                if (!generateTour(writer, masters, tour, day, counts))
                    continue;
                call(hooks.showState, caption,
                     IntToStrWidth(counts.tours, 5) + IntToStrWidth(counts.activities, 5));
            }
            count(total, counts.tours);
            call(hooks.processEvents);
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return total;
}

int CreateDailyLists(TDataModule1& dm, const QDate& today, const QDate& shownDay,
                     const DailyListRunHooks& hooks) {
    QDate from, to;
    if (!ChooseDailyListRange(today, hooks, from, to))
        return 0;
    if (const int existing = CountGeneratedDailyLists(from, to); existing > 0) {
        if (!AskWarningOkCancel(
                QStringLiteral("Es sind bereits %1 Tageslisten im ausgewählten Zeitraum "
                               "vorhanden.\r\rBeachten Sie bitte, dass existierende Tageslisten "
                               "NICHT überschrieben werden.\rSie müssen neu zu erstellende "
                               "Tageslisten zuerst manuell löschen!")
                    .arg(existing)))
            return 0;
    }
    table::Table& company = dm.TabFirmen();
    OpenForCall opened(company);
    const bool ask = company.isEmpty() ||
                     company.field(QStringLiteral("F_AutosichernTglErstell")).asBooleanOr(true);
    opened.close();
    OfferAutomaticBackup(ask ? AutoBackupSwitch::Ask : AutoBackupSwitch::Skip,
                         QStringLiteral("Tageslistenerstellung"),
                         QStringLiteral("Autosicherung vor Tageslisten-Erstellung für den ") +
                             DateToStrDMY(DateTimeOfDate(shownDay)));
    call(hooks.processEvents);
    return GenerateDailyLists(dm, from, to, shownDay, hooks);
}
