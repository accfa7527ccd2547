#pragma once

#include <QStringList>

class QDate;

namespace table {
class Table;
}

// "Zahlungseingänge auflisten": the payments received in a period, one line
// per open-item number with the sum of its payments in the period, as
// fixed-width text lines (each begins with ten blanks) that the form shows,
// prints and saves. items is the open-item object: a number it does not show
// (the open-item filter refuses it while items is filtered) is listed with
// its sum only and adds nothing to the gross and net totals. A payment without a date counts as inside.
QStringList PaymentListLines(table::Table& items, const QDate& from, const QDate& to);
