#pragma once

#include <QString>

class QDate;

// The lines the recurring-invoice run reports in its memo (a fixed-pitch
// font): one per billing period, and the count beside it.

// "ObjNr Formular     Rg-Datum   Plandatum        Betrag Zeitraumtext"
QString RecurringMemoHeader();
// Object number right-aligned in 5, a blank, the template number cut or
// filled to 13, invoice date and plan date as "dd.mm.yyyy", each followed
// by a blank.
QString RecurringMemoLineStart(int objektNr, const QString& rgvNr, const QDate& billDate,
                               const QDate& planDate);
// The amount as money text right-aligned in 12.
QString RecurringMemoAmount(double amount);
// The ends of a line: made (amount, a blank, the period text), billed
// already, or empty and therefore not made.
QString RecurringMemoMade(double gross, const QString& periodText);
QString RecurringMemoExists(double existingGross);
QString RecurringMemoEmpty(double gross);
// The plan's total line: the money text right-aligned in 53 and " (Gesamt-Bruttosumme)".
QString RecurringMemoPlanTotal(double total);
// The count right-aligned in 3, a blank and "Rechnungen erstellt.".
QString RecurringCountText(int count);
// The closing box: the count without padding and " Rechnungen erstellt.".
QString RecurringSummaryText(int count);
