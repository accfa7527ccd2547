#pragma once

namespace table {
class Table;
}

// The rules of the payment table an open-items window shows (OPZahl.db
// linked to the items by OZ_RgNo = R_Nr): a new payment proposes the item's
// whole open amount; every post and every delete of a payment and the
// recalculation of its item and customer that follows are one transaction.
// A recalculation that fails undoes the payment's write, and its error goes
// to the caller. items must outlive payments' rules (the window's lifetime).
void InstallPaymentRules(table::Table& payments, table::Table& items);

class TDataModule1;

// Deleting an open item and recomputing its customer's open amount are one
// transaction (the item's payments and lines go first, by the data module).
void InstallOpenItemAccountRules(TDataModule1& dm);
