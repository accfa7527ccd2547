#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <utility>
#include <vector>

class TDataModule1;

namespace table {
class Field;
class Table;
} // namespace table

// The rules of a document head: key and defaults of a new head, the delete of
// its lines together with the head, changes of single fields.
struct HeadTableRules {
    QString head; // shared head object, "TabRechKopf"
    QString line; // its shared line object
    // The defaults are written with InitNewRecord set.
    bool initNewRecord = false;
    std::function<void(table::Table& head)> defaults;
    // The lines go through the line object (their rules and bookings run for
    // each); otherwise they are removed by a cursor of their own without rules.
    bool deleteLinesThroughLineObject = true;
    using FieldRule = std::function<void(TDataModule1&, table::Table&, table::Field&)>;
    // Checks before a typed value is taken; raising keeps the former value.
    std::vector<std::pair<QString, FieldRule>> fieldChecks;
    std::vector<std::pair<QString, FieldRule>> fieldRules;
    std::function<void(table::Table& head)> afterScroll;
};
// The head and its lines are deleted together or not at all.
void BindDocumentHeadRules(TDataModule1& dm, const HeadTableRules& rules);
// The same rules on a pair of table objects of a window's own: rules.head
// and rules.line are not read.
void BindDocumentHeadRules(TDataModule1& dm, table::Table& head, table::Table& line,
                           const HeadTableRules& rules);
// The due date of an invoice or incoming-invoice head: print date plus the
// net days of the payment term.
void UpdateFaelligDatum(table::Table& head);

// The record rules of the document tables (invoices, credit notes, delivery
// notes, orders, offers and incoming invoices, heads and lines) and of the
// external services, now and after every client switch.
void InstallDocumentRules(TDataModule1& dm);

// What a new invoice or credit-note line starts with (its key, number and
// head aside), also for lines written in code and booked afterwards.
std::vector<std::pair<QString, QVariant>> NewBillingLineValues();

// The message of an invoice line whose quantity passes what its source line
// has left; allowed is the most the line may now hold.
QString InvoiceQuantityTooHighText(double allowed);
// The message of a delivery-note line lowered below what was invoiced.
QString DeliveryQuantityTooLowText(double invoiced);

// A counted open of the invoice tables: only the first open opens them (with
// the tables' write locks when writeLock is set) and only the last close
// closes them.
void OpenRechnungTables(TDataModule1& dm, bool writeLock);
void CloseRechnungTables(TDataModule1& dm);
// The external services; false when the table cannot be opened.
bool OpenFremdLeist(TDataModule1& dm);
// Closes the external services.
void CloseFremdLeist(TDataModule1& dm);
// Books every line of the current invoice (lines written in code).
void BookAllRechSatz(TDataModule1& dm);
