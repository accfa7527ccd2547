#include "commercial/billing/recurringbilling.h"

#include "commercial/billing/recurringmemo.h"
#include "commercial/billing/recurringrun.h"
#include "core/messages/messages.h"
#include "core/messages/syslog.h"
#include "core/values/datetext.h"
#include "datasafety/autobackup.h"

#include <exception>

namespace {

template <typename F> void call(const F& hook, auto&&... args) {
    if (hook)
        hook(std::forward<decltype(args)>(args)...);
}

// Gives the run's tables back after an error without hiding that error: a
// second failure on the way is only logged.
void finishAfterError(TRecurringRun& run) {
    try {
        run.Finish();
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("Dauerrechnungen: Fehler beim Schließen nach einem Fehler: ") +
                 QString::fromUtf8(e.what()));
    }
}

} // namespace

int RunRecurringBilling(TDataModule1& dm, int mode, const QDate& today,
                        const RecurringBillingHooks& hooks) {
    call(hooks.addLine, RecurringMemoHeader());
    QDate from(today.year(), today.month(), 1);
    QDate to = from.addDays(from.daysInMonth() - 1);
    if (!hooks.pickRange || !hooks.pickRange(from, to))
        return 0;
    if (mode == RecurringCreateInvoices)
        OfferAutomaticBackup(AutoBackupSwitch::Ask, QStringLiteral("Rechnungserstellung"),
                             QStringLiteral("Autosicherung vor Rechnungserstellung am ") +
                                 DateToStrDMY(DateTimeOfDate(today)));
    call(hooks.processEvents);
    return ProcessRecurringBilling(dm, mode, from, to, today, hooks);
}

int ProcessRecurringBilling(TDataModule1& dm, int mode, const QDate& from, const QDate& to,
                            const QDate& today, const RecurringBillingHooks& hooks) {
    TRecurringRun run(dm, mode == RecurringFillPlan, today, hooks);
    auto summary = [&] {
        ShowInfo(RecurringSummaryText(run.CreatedCount()));
        call(hooks.showCount, QString());
    };
    call(hooks.setRunning, true);
    try {
        run.Begin();
        run.ProcessAllObjects(from, to);
    } catch (...) {
        finishAfterError(run);
        call(hooks.setRunning, false);
        summary();
        throw;
    }
    run.Finish();
    call(hooks.setRunning, false);
    summary();
    return run.CreatedCount();
}

void CreateSingleRecurringInvoice(TDataModule1& dm, int objektNr, const QString& rgvNr,
                                  const QDate& planDate, const QDate& today) {
    const RecurringBillingHooks none;
    TRecurringRun run(dm, false, today, none);
    try {
        run.Begin();
        run.CreateOneInvoice(objektNr, rgvNr, planDate);
    } catch (...) {
        finishAfterError(run);
        throw;
    }
    run.Finish();
}
