#include "commercial/accounts/openitems.h"

#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/messages/messages.h"
#include "core/values/datetimevalue.h"
#include "core/values/money.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDate>
#include <functional>

using table::Table;

namespace {

const QString kDb = QStringLiteral("LumoDB");
const QString kItems = QStringLiteral("OpKopf.DB");

double itemSaldo(Table& t) {
    return FieldFloat(t, QStringLiteral("O_ZahlSumme")) - FieldFloat(t, QStringLiteral("R_Brutto"));
}

// The balance of the items the cursor shows, rounded to cents at each step.
double customerSaldo(int kundenNr) {
    auto items = OpenTempTable(kDb, kItems, QStringLiteral("R_IKundeObj"));
    const QVariantList key{kundenNr};
    items->setRange(key, key);
    double total = 0;
    for (items->first(); !items->eof() && !items->isEmpty(); items->next())
        total = RoundCents(total + itemSaldo(*items));
    return total;
}

// Sum of the item's payments, each rounded to cents.
double paymentSum(const QString& nr) {
    auto payments = OpenTempTable(kDb, QStringLiteral("OPZahl.db"), QStringLiteral("I_RgNo"));
    const QVariantList key{nr};
    payments->setRange(key, key);
    double sum = 0;
    for (payments->first(); !payments->eof() && !payments->isEmpty(); payments->next())
        sum += RoundCents(FieldFloat(*payments, QStringLiteral("OZ_Betrag")));
    return sum;
}

void writeCustomerOpen(int kundenNr, double saldo) {
    auto k = OpenTempTable(kDb, QStringLiteral("Kunden.DB"));
    if (!k->locate({QStringLiteral("K_Nr")}, {kundenNr}))
        return;
    CancelEditOnError(*k, [&] {
        k->edit();
        k->field(QStringLiteral("K_Rechoffen")).setValue(-saldo);
        k->post();
    });
}

// Changes the current item (when change is set) and writes its customer's
// open amount, in one transaction.
void writeItemAndCustomer(Table& item, const std::function<void(Table&)>& change) {
    table::Transaction tx(*item.database());
    if (change)
        CancelEditOnError(item, [&] {
            item.edit();
            change(item);
            item.post();
        });
    const int kunde = FieldInt(item, QStringLiteral("R_KundenNr"));
    writeCustomerOpen(kunde, customerSaldo(kunde));
    tx.commit();
}

void applyPayments(Table& item) {
    const double sum = paymentSum(FieldText(item, QStringLiteral("R_Nr")));
    const double open = RoundCents(FieldFloat(item, QStringLiteral("R_Brutto")) - sum);
    item.field(QStringLiteral("O_ZahlSumme")).setValue(RoundCents(sum));
    item.field(QStringLiteral("O_OffenSumme")).setValue(open);
    if (open < 0.01)
        item.field(QStringLiteral("O_Erledigt")).setValue(true);
}

void settle(Table& item) {
    item.field(QStringLiteral("O_ZahlSumme"))
        .setValue(FieldFloat(item, QStringLiteral("R_Brutto")));
    item.field(QStringLiteral("O_OffenSumme")).setValue(0.0);
    item.field(QStringLiteral("O_Erledigt")).setValue(true);
}

// Runs work on every item the object shows, in its order; afterwards the
// object returns to the item it was on, when that is still shown.
void forEachShownItem(Table& items, const std::function<void(Table&)>& work) {
    RefreshUnlessEditing(items);
    const int current = items.isEmpty() ? 0 : FieldInt(items, QStringLiteral("R_ID"));
    QList<int> ids;
    for (items.first(); !items.eof() && !items.isEmpty(); items.next())
        ids.append(FieldInt(items, QStringLiteral("R_ID")));
    for (int id : ids)
        if (items.locate({QStringLiteral("R_ID")}, {id}))
            work(items);
    items.locate({QStringLiteral("R_ID")}, {current});
}

QDate itemDate(Table& item) {
    const table::Field& druck = item.field(QStringLiteral("R_DatumDruck"));
    return druck.isNull() ? DateOfDateTime(EmptyDate) : druck.asDate();
}

} // namespace

TOpSalden CalcOpSalden(int objektNr, int kundenNr) {
    auto items = OpenTempTable(kDb, kItems);
    TOpSalden s;
    for (items->first(); !items->eof() && !items->isEmpty(); items->next()) {
        const double saldo = itemSaldo(*items);
        s.Gesamt = RoundCents(s.Gesamt + saldo);
        if (FieldInt(*items, QStringLiteral("R_ObjektNr")) == objektNr)
            s.Objekt = RoundCents(s.Objekt + saldo);
        if (FieldInt(*items, QStringLiteral("R_KundenNr")) == kundenNr)
            s.Kunde = RoundCents(s.Kunde + saldo);
    }
    return s;
}

QString OpSaldoText(double saldo) {
    return FormatMoney(0, saldo).rightJustified(17);
}

void InitNewPayment(Table& payment, Table& item) {
    payment.field(QStringLiteral("OZ_ID"))
        .setValue(GetNextId(kDb, QStringLiteral("OPZahl.db"), QStringLiteral("OZ_ID")));
    payment.field(QStringLiteral("OZ_Datum")).setValue(QDate::currentDate());
    payment.field(QStringLiteral("OZ_Comment")).setValue(QString());
    payment.field(QStringLiteral("OZ_Betrag"))
        .setValue(FieldFloat(item, QStringLiteral("O_OffenSumme")));
}

TOpSalden RecalcOpItem(Table& item, bool update) {
    writeItemAndCustomer(item, update ? std::function<void(Table&)>(applyPayments) : nullptr);
    return CalcOpSalden(FieldInt(item, QStringLiteral("R_ObjektNr")),
                        FieldInt(item, QStringLiteral("R_KundenNr")));
}

void RecalcCustomerOpen(int kundenNr) {
    writeCustomerOpen(kundenNr, customerSaldo(kundenNr));
}

void RecalcOpItems(TDataModule1& dm) {
    forEachShownItem(dm.TabOposten(),
                     [](Table& item) { writeItemAndCustomer(item, applyPayments); });
}

bool SettleOpItemsBefore(TDataModule1& dm) {
    Table& items = dm.TabOposten();
    if (items.isEmpty())
        return false;
    const QDate limit = itemDate(items);
    if (!AskYesNo(QStringLiteral("Alle Rechnungen mit Rechnungsdatum vor \r") +
                  limit.toString(QStringLiteral("dd.MM.yyyy")) +
                  QStringLiteral(" erledigt setzen?")))
        return false;
    forEachShownItem(items, [&](Table& item) {
        if (itemDate(item) < limit)
            writeItemAndCustomer(item, settle);
    });
    return true;
}
