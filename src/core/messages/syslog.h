#pragma once

#include <QString>

class QDateTime;

// Cleared for the rest of the run when the log cannot be written.
extern bool LogEnabled;

// Appends "dd.mm.yyyy hh:nn:ss<user>message" (user: CurrentUserText cut and
// right-aligned to 20 characters) to LogFileName, trimming the file to the
// whole lines of its last 20,001 bytes once it reaches 51,200 bytes. Never
// reports a failure; a call while a line is being written does nothing.
void WriteLog(const QString& msg);
void LogTimestamp();

// The log line without its line end, for a given time.
QString FormatLogLine(const QDateTime& time, const QString& userText, const QString& msg);

// For tests: the clock the log uses (nullptr: the system clock).
using LogClock = QDateTime (*)();
LogClock SetLogClock(LogClock clock);
