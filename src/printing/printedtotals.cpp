#include "printing/printedtotals.h"

#include "core/values/money.h"
#include "platform/report/report.h"

#include <QDateTime>

void InstallPrintedTotals(report::Report& rep, const PrintedTotalsSpec& spec) {
    auto totals = std::make_shared<QHash<QString, double>>();
    QHash<QString, QString> amounts, sums;
    for (auto it = spec.amounts.cbegin(); it != spec.amounts.cend(); ++it)
        amounts.insert(it.key().toLower(), it.value());
    for (auto it = spec.sums.cbegin(); it != spec.sums.cend(); ++it)
        sums.insert(it.key().toLower(), it.value());
    report::Hooks& hooks = rep.hooks();
    hooks.onPass(spec.passHook, [totals, start = spec.atPassStart](report::RunContext& ctx) {
        totals->clear();
        if (start)
            start(ctx);
    });
    hooks.onPrint(spec.amountHook, [totals, amounts](report::RunContext&, report::ControlPrint& p) {
        const QString total = amounts.value(p.control.name.toLower());
        if (total.isEmpty() || !p.print)
            return;
        (*totals)[total] += RoundCents(MoneyStrToFloat(p.text));
    });
    hooks.onPrint(spec.sumHook, [totals, sums](report::RunContext&, report::ControlPrint& p) {
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
