#pragma once

#include <QString>
#include <functional>

class QDateTime;
class TDataModule1;

namespace table {
class Table;
}

// The data module's 15-second timer: the hourly log line, the appointment
// reminder and, in a network installation, the refresh of the visible
// master-data forms' tables.

inline constexpr int Timer1Interval = 15000; // ms

// The process-wide tick counters; never reset by a client switch.
struct DataModuleTimerCounters {
    int log = 239;    // the first "TIMESTAMP" comes at the first tick
    int reminder = 5; // the first reminder check comes at the first tick
};
DataModuleTimerCounters& TimerCounters();

// Callbacks of the forms and of the installation; empty ones as described.
struct DataModuleTimerHooks {
    // Whether the form showing the table object ("TabKunden") exists and is
    // visible; empty: no such form is open.
    std::function<bool(const QString& tableObject)> formVisible;
    // Whether several workstations work on the data; empty: more than one
    // session is connected to the shared network directory.
    std::function<bool()> networkInstallation;
};
DataModuleTimerHooks& DataModuleTimerHooksRegistry();

// The clock of the reminder; returns the previous one (empty: the system clock).
using TimerClock = std::function<QDateTime()>;
TimerClock SetTimerClock(TimerClock clock);

// One tick. Raises what the reminder raises; the log line is written first.
void Timer1Tick(TDataModule1& dm);
// The timer's event: one tick, an error shown to the user instead of raised.
void Timer1Timer(TDataModule1& dm);
// Reminds of due appointments in one box and marks them reminded.
void CheckTerminAlarms(TDataModule1& dm);
// Refreshes an open table in browse state; nothing otherwise.
void RefreshIfBrowsing(table::Table& t);

// The reminder line of one appointment, without its line end.
QString TerminAlarmLine(const QDateTime& moment, const QString& shortText);
