#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The calendar's month and year steps. A step keeps the day, cut to the
// length of the new month (31 March - 1 month = 29 February in a leap year;
// 29 February + 1 year = 28 February).
enum class KalenderStep { PreviousMonth, NextMonth, PreviousYear, NextYear };

QDate StepKalenderDate(const QDate& date, KalenderStep step);

// The step of a key pressed with Alt: PgUp previous year, PgDn next year,
// Up next month, Down previous month; none for other keys.
std::optional<KalenderStep> KalenderAltKeyStep(int qtKey);

// The name of the public holiday on the date, empty on other days.
QString KalenderHolidayText(const QDate& date);
