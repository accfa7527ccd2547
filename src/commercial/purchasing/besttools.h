#pragma once

#include <QChar>
#include <QDate>
#include <QString>
#include <functional>
#include <memory>

class TDataModule1;
namespace table {
class Table;
}

// What the purchase-order editor and the order proposals share: the daily
// consumption of an article, the proposal for one stock, a supplier
// article's order data and long text, and the passes over the proposal list.

// Turnover per day since the first month with turnover, converted to
// quantity at the article's first sales price: the sum of the article's
// positive AUmsatz.DB rows / (days since the earliest of their months x
// price). 0 without turnover, without days or without a price.
double CalcTagesbedarf(int artikelId, double preis1, const QDate& today = QDate::currentDate());
// The same over a cursor of AUmsatz.DB on the index U_IArtJahr (see
// OpenTurnoverByArticle), for runs over many articles; its range is changed.
double CalcTagesbedarf(table::Table& turnover, int artikelId, double preis1, const QDate& today);
std::unique_ptr<table::Table> OpenTurnoverByArticle();
// The same with the price of the article row (A_Preis1).
double CalcTagesbedarf(int artikelId, const QDate& today = QDate::currentDate());

// The proposal for the stock one article row keeps.
struct StockProposal {
    QChar modus;            // 'B' demand calculation, 'S' target/actual comparison
    double tagbedarf = 0.0; // daily consumption ('B' only)
    double vorschlag = 0.0; // never below 0
};
// The rule itself, on an article row's figures; tagbedarf is asked only in
// demand calculation.
struct StockFigures {
    int modus = 0; // A_BestellModus
    double soll = 0, lager = 0, vormerkung = 0, bestellt = 0;
};
StockProposal ProposeForStock(const StockFigures& f, int lieferTage,
                              const std::function<double()>& tagbedarf);
// For the current row of an Artikel.DB table object and the delivery days of
// the chosen supplier article: demand calculation (order mode 1 with
// delivery days) orders the consumption of the delivery time plus reserved
// less ordered and stock; otherwise the target stock less stock plus
// reserved less ordered.
StockProposal CalcObjektVorschlag(table::Table& article, int lieferTage,
                                  const QDate& today = QDate::currentDate());
// Fills the fields of a stock row being inserted or edited (BestObj.DB or
// BVObjekt.DB) from the article row and its proposal; the caller posts.
void FillStockRow(table::Table& stockRow, table::Table& article, const StockProposal& proposal);

// The order data of a supplier's article for the firm's article number.
struct TLiefArtBestellDaten {
    QString liefArtNo;
    double minMenge = 0.0;
    double packMenge = 1.0;
    double ekPreis = 0.0;
    QString bezeichnung;
    int lieferTage = 0;
};
// The supplier's article (A_LieferantID, A_ArtNo) when there is one; else
// the general article's purchase price and name with the other defaults.
TLiefArtBestellDaten GetLiefArtBestellDaten(int lieferantId, const QString& artNo);
// The long text of an ordered line: the supplier article's description, else
// the general article's, else the default.
QString GetLiefArtBeschreibung(int lieferantId, const QString& artNo, const QString& defaultText);

// Every row of the table goes; a closed table is opened for it and closed again.
void EmptyTable(table::Table& t);

// Spreads a changed total over the stock rows of the current proposal row
// (the rule of purchase-order lines).
void DistributeBvObjMenge(TDataModule1& dm, double newTotal);
// After the user changed stock quantities: the proposal row's order
// quantity (packs and minimum applied) and value from the sum of its rows.
void UpdateBvListeFromObjects(TDataModule1& dm);
// Adds one stock's figures to the current proposal row.
void AddBvListeBestand(TDataModule1& dm, double vorschlag, double bestellt, double istbestand);
// The final pass over the proposal list: each row's proposal raised to
// packs and minimum becomes its order quantity, the surplus going to the
// central stock.
void ApplyBestellMengen(TDataModule1& dm);
