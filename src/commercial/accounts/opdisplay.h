#pragma once

#include <QColor>
#include <QString>

class QDate;
class QVariant;

// How the open-item list shows its items and filters.

// How overdue an unsettled item is, by whole days past its due date.
enum class TOpOverdue {
    NotDue, // due today or later: the grid's own colour
    Orange, // 1 to 13 days
    Pink,   // 14 to 27 days
    Red,    // 28 days or more, and every item without a due date
};
// dueDate: R_FaelligDatum; null counts as 30.12.1899.
TOpOverdue OpOverdueClass(const QVariant& dueDate, const QDate& today);
// The colour of the "Offen" cell; invalid for NotDue.
QColor OpOverdueColor(TOpOverdue overdue);
// The row colour of a settled item.
QColor OpSettledRowColor();

// The caption of a filter of the open-item list as the prints show it.
QString OpFilterCaption(int mode, int objektNr, int kundenNr, int monat, int jahr,
                        const QString& searchText);

// The limit date "Auslagern" proposes: the last day of the month before the
// previous month, but not before the earliest item (when that is valid).
QDate ProposedArchiveLimit(const QDate& today, const QDate& earliest);
