#include "core/data/datamoduletimer.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/messages/messages.h"
#include "core/messages/soundmessage.h"
#include "core/messages/syslog.h"
#include "core/settings/regionalsettings.h"
#include "core/values/datetimevalue.h"
#include "platform/errors.h"
#include "platform/table/table.h"

#include <QDateTime>
#include <QLocale>

using table::Table;

namespace {

// The tables of the long-lived master-data forms, in the order they are refreshed.
const char* const kRefreshedByForm[] = {"TabFirmen",   "TabKunden", "TabArtikel", "TabTaetig",
                                        "TabPersonal", "TabObjekt", "TabTour"};

constexpr int kLogEvery = 240;    // ticks: one hour
constexpr int kReminderAbove = 4; // a check at every fifth tick

TimerClock& timerClock() {
    static TimerClock c;
    return c;
}

QDateTime now() {
    return timerClock() ? timerClock()() : QDateTime::currentDateTime();
}

// Null and the zero date both mean "no date".
QDate dateOrEmpty(Table& t, const QString& field) {
    const table::Field* f = t.findField(field);
    if (!f || f->isNull())
        return {};
    const QDate d = f->asDate();
    return DateTimeOfDate(d) == EmptyDate ? QDate() : d;
}

QDate zeroDate() {
    return DateOfDateTime(EmptyDate);
}

// The moment the reminder is due: the alarm date (the appointment's date
// without one) plus the alarm time.
QDateTime alarmMoment(Table& t) {
    QDate day = dateOrEmpty(t, QStringLiteral("T_AlarmDate"));
    if (!day.isValid())
        day = dateOrEmpty(t, QStringLiteral("T_Date"));
    if (!day.isValid())
        day = zeroDate();
    const table::Field* time = t.findField(QStringLiteral("T_AlarmTime"));
    return QDateTime(day, time && !time->isNull() ? time->asTime() : QTime(0, 0));
}

QDateTime shownMoment(Table& t, const QDate& today) {
    const table::Field* date = t.findField(QStringLiteral("T_Date"));
    const table::Field* time = t.findField(QStringLiteral("T_AlarmTime"));
    return QDateTime(date && !date->isNull() ? date->asDate() : today,
                     time && !time->isNull() ? time->asTime() : QTime(0, 0));
}

void restorePosition(Table& t, const table::Bookmark& mark, bool wasOpen) {
    if (!wasOpen) {
        t.close();
        return;
    }
    if (mark.valid && t.bookmarkValid(mark))
        t.gotoBookmark(mark);
}

bool isNetworkInstallation(TDataModule1& dm) {
    const auto& hook = DataModuleTimerHooksRegistry().networkInstallation;
    return hook ? hook() : GetBdeUserCount(dm.session()) > 1;
}

} // namespace

DataModuleTimerCounters& TimerCounters() {
    static DataModuleTimerCounters counters;
    return counters;
}

DataModuleTimerHooks& DataModuleTimerHooksRegistry() {
    static DataModuleTimerHooks hooks;
    return hooks;
}

TimerClock SetTimerClock(TimerClock c) {
    TimerClock previous = std::move(timerClock());
    timerClock() = std::move(c);
    return previous;
}

QString TerminAlarmLine(const QDateTime& moment, const QString& shortText) {
    const RegionalSettings& regional = Regional();
    const QLocale german(QLocale::German, QLocale::Germany);
    return german.toString(moment.date(), regional.longDateFormat) + QLatin1Char(' ') +
           moment.time().toString(regional.longTimeFormat) + QLatin1Char(' ') + shortText;
}

void RefreshIfBrowsing(Table& t) {
    if (t.state() == table::TableState::Browse)
        t.refresh();
}

void CheckTerminAlarms(TDataModule1& dm) {
    Table& t = dm.TabTermObj();
    // Moving on would post an appointment the user is editing; the next check comes soon.
    if (t.isEditing())
        return;
    const bool wasOpen = t.isOpen();
    if (!wasOpen)
        t.open();
    const table::Bookmark mark = t.bookmark();
    const QDateTime current = now();
    int count = 0;
    QString text;
    try {
        for (t.first(); !t.eof() && !t.isEmpty(); t.next()) {
            if (!GetFieldBoolOrDefault(t.findField(QStringLiteral("T_Alarm")), false) ||
                GetFieldBoolOrDefault(t.findField(QStringLiteral("T_AlarmDone")), false) ||
                !(current > alarmMoment(t)))
                continue;
            if (count == 0)
                text = QStringLiteral("Termin-Erinnerung:\r");
            text += TerminAlarmLine(shownMoment(t, current.date()),
                                    GetFieldStrOrDefault(t.findField(QStringLiteral("T_Kurztext")),
                                                         QString())) +
                    QLatin1Char('\r');
            ++count;
            t.edit();
            t.field(QStringLiteral("T_AlarmDone")).setValue(true);
        }
        // The last reminded row is posted here: closing would discard it.
        if (t.isEditing())
            t.post();
        restorePosition(t, mark, wasOpen);
    } catch (...) {
        try {
            if (t.isEditing())
                t.cancel();
            restorePosition(t, mark, wasOpen);
        } catch (const std::exception&) {
            // The scan's own error is the one the user sees.
        }
        throw;
    }
    if (count > 0)
        ShowSoundMessage(text, 1);
}

void Timer1Tick(TDataModule1& dm) {
    DataModuleTimerCounters& counters = TimerCounters();
    if (++counters.log >= kLogEvery) {
        counters.log = 0;
        LogTimestamp();
    }
    // Off while a modal module form is open, and while a client switch has no tables.
    if (!dm.IsTimerWorkEnabled() || !dm.hasTables())
        return;
    if (++counters.reminder > kReminderAbove) {
        counters.reminder = 0;
        CheckTerminAlarms(dm);
    }
    if (!isNetworkInstallation(dm))
        return;
    const auto& formVisible = DataModuleTimerHooksRegistry().formVisible;
    if (!formVisible)
        return;
    for (const char* name : kRefreshedByForm) {
        const QString tableObject = QString::fromLatin1(name);
        if (formVisible(tableObject))
            RefreshIfBrowsing(dm.table(tableObject));
    }
}

void Timer1Timer(TDataModule1& dm) {
    // An error must not leave the event loop; the next tick runs normally.
    try {
        Timer1Tick(dm);
    } catch (const Abort&) {
    } catch (const DbError& e) {
        ShowError(e.message());
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
    }
}
