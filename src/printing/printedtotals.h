#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <memory>

namespace report {
class Report;
class RunContext;
} // namespace report

// Totals of a list print that add what was printed: each amount control's
// printed text is read back as an amount, rounded to cents and added to its
// total; a summary label prints its total rounded to cents as a money text
// in place of its caption. A control that a layout switches off prints
// nothing and so adds nothing. Every pass starts at 0.
struct PrintedTotalsPlan {
    QString passHook;   // the report's before-pass hook
    QString amountHook; // the on-print hook of the amount controls
    QString sumHook;    // the on-print hook of the summary labels
    // Amount control -> total, summary label -> total (names in any case).
    QHash<QString, QString> amounts;
    QHash<QString, QString> sums;
    // What else the pass hook does (filters of the run's cursors).
    std::function<void(report::RunContext&)> atPassStart;
};
void InstallPrintedTotals(report::Report& rep, const PrintedTotalsPlan& plan);

// The print time of the lists: "dd.mm.yyyy hh:nn" followed by " Uhr", as the
// on-print hook `hook` of a system-data control.
void InstallPrintTimeHook(report::Report& rep, const QString& hook);
