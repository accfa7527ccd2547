#pragma once

#include <QDate>
#include <vector>

// The first plan date of an invoice template made from an old billing
// definition: the earliest billing date of the interval definition
// (billingDates, moved into the year of the start and the year after, days
// cut to the month's length) after the start and before today + 730 days.
// The start is the latest of the next invoice date, the last invoice date and
// the contract start, today when that is empty or before 2000. Interval 0 or
// no such date gives an invalid date. An invalid input date counts as the
// zero date.
QDate ConvertedRgvPlanDate(int intervall, const std::vector<QDate>& billingDates,
                           const QDate& nextInvoice, const QDate& lastInvoice,
                           const QDate& contractStart, const QDate& today);
