#pragma once

#include <QDate>
#include <QString>
#include <functional>

class TDataModule1;

// The recurring-invoice generator: invoices (or the rows of the invoice
// plan) from the invoice templates of the active objects for the billing
// periods whose creation date falls in a date range.

// What the run's window lends it. Empty members do nothing (pickRange: cancel).
struct RecurringBillingHooks {
    // The date-range dialog with the proposal in from and to; false on cancel.
    std::function<bool(QDate& from, QDate& to)> pickRange;
    // A line of the memo.
    std::function<void(const QString& line)> addLine;
    // The count beside the memo; an empty text clears it.
    std::function<void(const QString& text)> showCount;
    // true: hourglass, count shown; false (on every path once true was given): all restored.
    std::function<void(bool running)> setRunning;
    std::function<void()> processEvents;
};

enum RecurringBillingMode : int {
    RecurringCreateInvoices = 0,
    RecurringFillPlan = 1,
};

// The whole run: memo header, range (the current month proposed), in create
// mode the backup offer, then the periods. Every invoice is one transaction;
// a plan run empties and refills Rechplan.db in one transaction and writes
// nothing else. Shows "N Rechnungen erstellt." also after an error, which
// then goes to the caller. Returns the number of invoices (plan rows) made.
int RunRecurringBilling(TDataModule1& dm, int mode, const QDate& today,
                        const RecurringBillingHooks& hooks);

// The run over a range already chosen, after the backup offer.
int ProcessRecurringBilling(TDataModule1& dm, int mode, const QDate& from, const QDate& to,
                            const QDate& today, const RecurringBillingHooks& hooks);

// The one invoice of a plan row: the object's template with that number for
// the period created on planDate. Reports its outcome in a message box.
void CreateSingleRecurringInvoice(TDataModule1& dm, int objektNr, const QString& rgvNr,
                                  const QDate& planDate, const QDate& today);
