#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

class TDataModule1;

// The runs of purchasing that change several tables at once: creating the
// order proposals, turning one supplier's proposals into a purchase order,
// the state change of a printed order, deleting an order with its quantities
// on order, and the steps around moving printed orders into the archive.

struct ProposalRunResult {
    int proposals = 0;      // rows of BVliste.db written
    int stockRows = 0;      // rows of BVObjekt.DB written
    QStringList duplicates; // article numbers an article row would have joined twice
};
// "Er&zeugen": replaces the proposal list by the proposals of every
// stock-kept general article in one transaction; a failure keeps the old list.
// The caller has checked the create right and asked before an existing list
// is overwritten. progress is called once per article number.
ProposalRunResult CreateOrderProposals(TDataModule1& dm, const QDate& today = QDate::currentDate(),
                                       const std::function<void()>& progress = {});

struct OrderFromProposalsResult {
    QString orderNr; // empty when no order was left
    int lines = 0;
    QStringList failed; // "article number: error" of the lines not written
};
// "Bestellen": a new purchase order of the supplier number liefNr with one
// line per proposal row of that supplier. The head is written first (a
// failure raises and changes nothing); then each line with its stock rows and
// the deletion of its proposal row is one transaction, so that a line that
// fails keeps its proposal row. A head left without lines is deleted and its
// number given back.
OrderFromProposalsResult OrderProposalsOfSupplier(TDataModule1& dm, int liefNr,
                                                  const QDate& today = QDate::currentDate());

// Creates and posts a new open purchase-order head on the data module's
// TabBestKopf (number from the purchase-order counter, dates today); the
// supplier's address when liefNr names one. Raises on failure with nothing
// written and the drawn number given back.
void CreateBestellungHead(TDataModule1& dm, int liefNr, int printForm, const QDate& today);

// Before a print of the current head: an open order is dated today.
void DateOpenOrderForPrint(TDataModule1& dm, const QDate& today = QDate::currentDate());
// After the current head was printed: counted, unmarked and, on its first
// print, made printed with its open quantities on order, in one transaction.
void MarkOrderPrinted(TDataModule1& dm);
// The state change of the current head's first print: printed, its open
// quantities on order (the caller's transaction holds both).
void PlaceOrderOnFirstPrint(TDataModule1& dm);
// A printed current head gives back its open quantities on order.
void ReleaseIfPrinted(TDataModule1& dm);
// Deletes the current head; a printed one first gives back its open
// quantities on order. One transaction.
void DeletePurchaseOrder(TDataModule1& dm);

// Before the archive dialog: marked open orders are unmarked; the stock rows
// of the marked printed orders are marked (BO_Selected). One transaction.
// Returns how many printed orders stay marked.
int PrepareOrdersForArchive(TDataModule1& dm);
// After the archive dialog: every marked stock row whose line left the working
// tables lowers its article's quantity on order by its open quantity (never
// below 0) and is deleted; the orders still present are unmarked with their
// stock rows. One transaction.
void FinishOrdersArchive(TDataModule1& dm);

#include "platform/table/tabledef.h"

// The purchase-order editor's line commands, on the data module's
// TabBestSatz (current line) and TabBestObj (its stock rows).

// Makes the general or object article artikelId the line's article: number,
// texts, unit, price and cost type, the supplier's own article (liefId, 0:
// none) winning where it has values; posts the line. False when the article
// is missing (nothing changed).
bool SetBestLineArticle(TDataModule1& dm, int artikelId, int liefId);
// Rebuilds the line's stock rows from the article rows of its number: the
// central stock always, each object when its proposal is above 0; the line's
// quantity becomes their sum. One transaction.
void SpreadBestLineOverStocks(TDataModule1& dm, int liefId,
                              const QDate& today = QDate::currentDate());
// After the user changed stock quantities: their sum becomes the line's
// quantity (nothing without a stock row).
void SumStockRowsIntoLine(TDataModule1& dm);
// The objects that keep the line's article and have no stock row in the line
// yet, written into the work table (an object table's layout); their count.
int FillSelectableObjects(TDataModule1& dm, const QString& workTable);
// The layout of that work table.
table::TableDef SelectableObjectsDef();
// A stock row added by hand for the object with number objektNr (mode "M",
// quantity 0).
void AddManualStockRow(TDataModule1& dm, int objektNr);
