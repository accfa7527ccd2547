#include "commercial/billing/recurringmemo.h"

#include "core/values/conversions.h"
#include "core/values/datetext.h"
#include "core/values/datetimevalue.h"
#include "core/values/money.h"

namespace {

const QString kCreated = QStringLiteral("Rechnungen erstellt.");

QString dmy(const QDate& d) {
    return DateToStrDMY(DateTimeOfDate(d));
}

// Right-aligned as a format width does it: longer texts stay whole.
QString money(double amount, int width) {
    return FormatMoney(0, amount).rightJustified(width);
}

} // namespace

QString RecurringMemoHeader() {
    return QStringLiteral("ObjNr Formular     Rg-Datum   Plandatum        Betrag Zeitraumtext");
}

QString RecurringMemoLineStart(int objektNr, const QString& rgvNr, const QDate& billDate,
                               const QDate& planDate) {
    return IntToStrWidth(objektNr, 5) + u' ' + PadRight(rgvNr, 13) + dmy(billDate) + u' ' +
           dmy(planDate) + u' ';
}

QString RecurringMemoAmount(double amount) {
    return money(amount, 12);
}

QString RecurringMemoMade(double gross, const QString& periodText) {
    return RecurringMemoAmount(gross) + u' ' + periodText;
}

QString RecurringMemoExists(double existingGross) {
    return RecurringMemoAmount(existingGross) + QStringLiteral(" (bereits vorhanden)");
}

QString RecurringMemoEmpty(double gross) {
    return RecurringMemoAmount(gross) + QStringLiteral(" (leer, nicht erstellt)");
}

QString RecurringMemoPlanTotal(double total) {
    return money(total, 53) + QStringLiteral(" (Gesamt-Bruttosumme)");
}

QString RecurringCountText(int count) {
    return IntToStrWidth(count, 3) + u' ' + kCreated;
}

QString RecurringSummaryText(int count) {
    return QString::number(count) + u' ' + kCreated;
}
