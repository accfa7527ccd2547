#pragma once

#include <functional>
#include <vector>

class TDataModule1;

// The record rules of purchase orders (head, lines, the objects each line
// orders for) and of the order proposals: keys, the insert guards of the
// object tables, the spreading of a changed line quantity over the line's
// objects, the proposal's order value and the quantity on order of the
// articles.

// Callbacks of the purchasing forms; empty ones behave as if the form were closed.
struct PurchasingFormHooks {
    // The purchase-order editor enables its button for new object rows.
    std::function<void()> UpdateNewObjectButton;
    // The order-proposal form recomputes its sums.
    std::function<void()> UpdateSums;
};
PurchasingFormHooks& PurchasingFormHooksRegistry();

// Binds the rules to the data module's table objects, now and after every client switch.
void InstallPurchasingRules(TDataModule1& dm);

namespace table {
class Table;
}

// One stock row as the spreading rule sees it.
struct StockQuantity {
    bool central = false; // BO_ObjID 0
    double menge = 0.0;
};
// The quantities a new total gives the stock rows (the rule of purchase-order
// lines and proposals): an increase goes to the central row, a decrease first
// empties the central row and then cuts the objects in proportion; cents at
// every step. Empty when nothing changes.
std::vector<double> SpreadStockQuantities(const std::vector<StockQuantity>& rows, double newTotal);

// Spreads a new total over the stock rows a table object shows (BO_ObjID 0
// is the central stock): an increase goes to the central row, a decrease
// first empties the central row and then cuts the objects in proportion.
// Every amount is rounded to cents; no central row leaves an increase
// unbooked. All rows or none are written.
void SpreadOverStockRows(table::Table& stockRows, double newTotal);

// Spreads the quantity menge of the current purchase-order line over its
// object rows: the objects keep their quantities and the central row takes
// the rest; when menge is below what the objects alone order, the objects
// shrink in proportion and the central row gets 0. All rows or none are
// written.
void DistributeBestellMenge(TDataModule1& dm, double menge);

// Books the open quantity (ordered less delivered) of every object row of
// the current purchase order into the articles' quantity on order: added
// when the order is placed, taken off (never below 0) when it is withdrawn.
// All articles are booked or none; the line cursor keeps its position and the
// object table its open state on every path.
void UpdateArtikelBestellt(TDataModule1& dm, bool add);
