#pragma once

#include <QDate>
#include <QString>
#include <functional>

class TDataModule1;

// What the daily-list form lends the generation run. Empty members do nothing
// (pickRange: cancel).
struct DailyListRunHooks {
    // The range dialog with the proposal in from and to; false on cancel.
    std::function<bool(QDate& from, QDate& to)> pickRange;
    // true: hourglass, object and activity grids detached, status panel
    // shown; false (on every path once true was given): all restored.
    std::function<void(bool running)> setRunning;
    // The form shows the day (its daily tours).
    std::function<void(const QDate& day)> showDay;
    // The status panel: its caption and the two counts of the current day.
    std::function<void(const QString& caption, const QString& counts)> showState;
    std::function<void()> processEvents;
};

// The range of a run: proposed from today to the day before the same day
// next month. A start before today is refused with a message and an end
// before the start asked again; 32 days or more need a "Ja". False when the
// user cancels.
bool ChooseDailyListRange(const QDate& today, const DailyListRunHooks& hooks, QDate& from,
                          QDate& to);

// The whole generation started by the daily-list form's "Erzeugen": range,
// warning about lists already generated, backup offer, then for each day and
// tour (kind 0, in number order) the tours that run that day get their list
// with the activities that fall due. Each daily tour is written whole or not
// at all; TglTaet.DB stays write-locked for the run. Ends with "Es wurden N
// Tageslisten erzeugt" also after an error, which then goes to the caller.
// Returns the number of lists made.
int CreateDailyLists(TDataModule1& dm, const QDate& today, const QDate& shownDay,
                     const DailyListRunHooks& hooks);

// The run itself once range, warning and backup are settled: the lock, the
// days and the closing message; shownDay is shown again at the end.
int GenerateDailyLists(TDataModule1& dm, const QDate& from, const QDate& to, const QDate& shownDay,
                       const DailyListRunHooks& hooks);
