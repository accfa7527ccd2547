#pragma once

#include <QString>

class QDate;
class TDataModule1;

namespace table {
class Table;
}

// The arithmetic of the open items (OpKopf.DB) and their payments
// (OPZahl.db, linked by the item's number R_Nr): paid and open amounts, the
// settled flag, the balances and the customer's open amount K_Rechoffen.

// Balances (paid minus gross: positive overpaid, negative owed) of an
// object, a customer and of all open items, each summed in cents.
struct TOpSalden {
    double Objekt = 0;
    double Kunde = 0;
    double Gesamt = 0;
};
TOpSalden CalcOpSalden(int objektNr, int kundenNr);
// The balance as the form shows it: money text right-aligned in 17.
QString OpSaldoText(double saldo);

// The values of a payment the user starts for the item: next free key,
// today, no comment, and the item's whole open amount proposed.
void InitNewPayment(table::Table& payment, table::Table& item);

// Recalculates the current item: with update its paid and open amounts from
// its payments (settled once less than a cent is open; never unsettled
// here), and always the customer's open amount (minus the customer's
// balance). The item and the customer are written in one transaction.
// Returns the balances of the item's object and customer and the total.
TOpSalden RecalcOpItem(table::Table& item, bool update);

// The customer's open amount K_Rechoffen from the customer's items as they
// are stored (minus the customer's balance); a customer not found is left.
void RecalcCustomerOpen(int kundenNr);

// "Rechnen": every item the open-item object shows, recalculated with update,
// each in its own transaction.
void RecalcOpItems(TDataModule1& dm);

// "Erledigen": after the question, every item the open-item object shows
// that is dated before the current item (no date counts as 30.12.1899) is
// settled as fully paid (no payment is written), with its customer's open
// amount, each in one transaction. False when the user declined.
bool SettleOpItemsBefore(TDataModule1& dm);
