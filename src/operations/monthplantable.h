#pragma once

#include "operations/monthtour.h"

#include <QList>
#include <QString>
#include <array>

class WorkTable;

namespace table {
struct TableDef;
}

// The print table of the monthly plans: P_ID (position from 0), P_TourNo,
// P_TourName (40), P_F01..P_F31, and the index "SORT" on P_TourNo in which
// the reports read it.
table::TableDef MonthPlanTableDef();

struct MonthPlanRow {
    int nr = 0;
    QString text;
    std::array<int, 32> days{}; // index 1..31
};

// Tour and object plans: the day values as they are (0 = no list).
QList<MonthPlanRow> MonthPlanRows(const QList<MonthEntry>& entries);
// Activity plan: the character code of each day's letter (32 = no row).
QList<MonthPlanRow> MonthPlanRows(const QList<MonthActivityEntry>& entries);

// Writes the rows into the work table in one transaction.
void FillMonthPlanTable(const WorkTable& work, const QList<MonthPlanRow>& rows);
