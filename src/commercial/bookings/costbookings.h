#pragma once

#include <QString>
#include <memory>

class QDate;
class TDataModule1;

// Cost entries, cost sums per period, cost type and object, and the
// bookings of incoming-invoice lines. Dates are calendar days as the cost
// tables store them.

// Overhead cost type (A_Personal of Kostart.DB); false when unknown.
bool IsPersonalKostart(int kostart);
// Whether the cost type belongs to section 1; false when unknown.
bool IsRubrik1Kostart(int kostart);

// Counted open and close of the cost-sum tables, so that nested bookings
// open them once; tables a form had open stay open.
void OpenKostSumTables();
void CloseKostSumTables();

// Adds the amounts to the cost sums of all time, the year and the month
// (all types and objects, the type, the object, type and object), and the
// resulting costs to the month turnover of the object's customer. All rows
// are booked together or not at all.
void BookKostSum(int objektId, int kostart, const QDate& datum, double zugang, double bestand,
                 double erloes);

// Books a cost into the cost sums and the article's turnover; with write
// also records it in Kosten.db and returns its K_ID (0 otherwise, and 0
// without any booking when Kosten.db cannot be opened).
int AddKostenEntry(const QString& artNo, int artikelId, int objektId, const QDate& datum,
                   double menge, double betrag, int kostart, bool write);
// Removes the recorded cost and reverses its bookings; nothing for an unknown id.
void DeleteKostenEntry(int kostenId);

// While one lives, the cost bookings above (AddKostenEntry, DeleteKostenEntry,
// BookKostSum) write and delete cost entries through one cursor of the batch
// and only collect what they add to the cost sums and to the customers' month
// turnover; finish() books every row they touched once. For data runs that
// book thousands of entries inside one transaction of their own: without
// finish() nothing collected is booked, and the caller rolls back. One batch
// at a time.
class KostSumBatch {
public:
    KostSumBatch();
    ~KostSumBatch();
    KostSumBatch(const KostSumBatch&) = delete;
    KostSumBatch& operator=(const KostSumBatch&) = delete;

    void finish();

    struct State;

private:
    std::unique_ptr<State> m_state;
};

// The month turnover of a party in a turnover table of the KUmsatz layout;
// noCosts: the table has no cost column.
void BookMonthUmsatz(int number, const QString& databaseName, const QString& tableName,
                     double betrag, double kosten, bool noCosts, const QDate& datum);

// Books the current incoming-invoice line (before its post, or its delete
// with deleting set): cost entry, external service, stock and purchase-order
// delivery. Refuses (after telling why) when a billed external service would
// be lost.
void BookERSatzKosten(TDataModule1& dm, bool deleting);

// Gives back (add false) or takes again (add true) the open quantities on
// order of every line of the current purchase order.
void ReleaseOpenOrderQuantities(TDataModule1& dm, bool add);
