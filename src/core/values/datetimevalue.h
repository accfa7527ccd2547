#pragma once

#include <QDate>

// The date-time value of the tables and forms: days since 30.12.1899 as a
// double, the fraction being the time of day.
using TDateTime = double;

// 0.0 (30.12.1899) stands for "no date" everywhere.
inline constexpr TDateTime EmptyDate = 0.0;

// The calendar day of D (its whole part, as the toolkit decodes it); an
// invalid QDate when D is not a finite value between 1.1.0001 and 31.12.9999.
QDate DateOfDateTime(TDateTime d);

// The date-time value of midnight of Date; 0.0 for an invalid Date.
TDateTime DateTimeOfDate(const QDate& date);

// The date-time value of a moment (date and time of day).
TDateTime DateTimeOfMoment(const QDate& date, const QTime& time);
