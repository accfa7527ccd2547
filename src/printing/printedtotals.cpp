#include "printing/printedtotals.h"

#include "core/values/money.h"
#include "platform/report/report.h"

#include <QDateTime>

void InstallPrintedTotals(report::Report& rep, const PrintedTotalsPlan& plan) {
    auto totals = std::make_shared<QHash<QString, double>>();
    QHash<QString, QString> amounts, sums;
    for (auto it = plan.amounts.cbegin(); it != plan.amounts.cend(); ++it)
        amounts.insert(it.key().toLower(), it.value());
    for (auto it = plan.sums.cbegin(); it != plan.sums.cend(); ++it)
        sums.insert(it.key().toLower(), it.value());
    report::Hooks& hooks = rep.hooks();
    hooks.onPass(plan.passHook, [totals, start = plan.atPassStart](report::RunContext& ctx) {
        totals->clear();
        if (start)
            start(ctx);
    });
    hooks.onPrint(plan.amountHook, [totals, amounts](report::RunContext&, report::ControlPrint& p) {
        const QString total = amounts.value(p.control.name.toLower());
        if (total.isEmpty() || !p.print)
            return;
        (*totals)[total] += RoundCents(MoneyStrToFloat(p.text));
    });
    hooks.onPrint(plan.sumHook, [totals, sums](report::RunContext&, report::ControlPrint& p) {
        const QString total = sums.value(p.control.name.toLower());
        if (!total.isEmpty())
            p.text = FormatMoney(1, RoundCents(totals->value(total)));
    });
}

void InstallPrintTimeHook(report::Report& rep, const QString& hook) {
    rep.hooks().onPrint(hook, [](report::RunContext&, report::ControlPrint& p) {
        p.text = QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm")) +
                 QStringLiteral(" Uhr");
    });
}
