#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

class QDate;

namespace table {
class Table;
}

// The article stocks of Artikel.db: the central stock (A_ObjID 0) and one
// stock per object. Copies and deletes run on cursors of their own, past the
// shared table's record rules, and refresh the shared article table after.

// "Warenlager [Objekt n]": the article form's caption for the stock of the
// object with that number (0: the central stock).
QString ArtikelStockCaption(int objektNr);

// A central article that the object's stock does not hold yet, as the
// import offers it: its number, and the list text (the number cut or padded
// to ten characters, then A_Bezeich1).
struct CentralArticleChoice {
    QString artNo;
    QString text;
};
// In key order.
QList<CentralArticleChoice> CentralArticlesMissingIn(int objId);

// Copies the central articles with the given numbers into the object's
// stock, all or none: a new row (or the object's row of that number) takes
// every field the central article fills, with the object's id and the stock,
// stock value, inflow totals, reservations and ordered quantity 0. A number
// no central article has any more is skipped. Raises a DbError naming the
// article that failed; nothing is copied then.
void ImportCentralArticles(int objId, const QStringList& artNos);

// "Artikelsatz kopieren": a copy of the current article of the shared table
// in the same stock, under the next free article number, with stock, stock
// value and reservations 0 and no storage place; the shared table is moved
// onto it. Returns the new number.
QString CopyArtikelRecord(table::Table& article);

// "del ObjArt": after a Yes to its question, deletes every object's stock in
// one transaction (the central stock stays). False when the user said No.
bool DeleteObjectStocks(table::Table& article);

// The VAT codes valid on the day (Mwst_Nr, Mwst_Kurz; an empty bound is
// open), as the article form offers them.
QList<std::pair<int, QString>> VatRatesValidOn(const QDate& day);

// Leaving the stock field: the article goes into edit state and its stock
// value becomes purchase price × stock, in cents (not posted).
void SetArtikelLagerwert(table::Table& article);

// The main supplier taken from the selected row of the article's supplier
// list (A_LieferantID), posted; nothing while the list is empty. True when
// taken.
bool TakeHauptLieferant(table::Table& article, table::Table& liefArt);
