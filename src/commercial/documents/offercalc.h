#pragma once

class QString;

namespace table {
class Table;
}

// The calculation sheet's own ways of filling an offer line: cost and base
// data come with the article or the service, the line's VAT code and cost
// type stay as they were.

// The current line (put into edit state, not posted) takes the article
// A_ID: origin 3, type 0, id, number, short text, the description when
// there is one, the packing unit's short name when the unit exists, the
// purchase price as cost price and price 1 as base sale price, which
// reprices the line. False, and the line untouched, when the article is gone.
bool FillCalcLineFromArtikel(table::Table& line, int artikelId);
// The same from the service T_ID: origin 8, type 1, its number as text, base
// unit, search term, tour text, base price as cost and sale price and its
// minutes.
bool FillCalcLineFromTaetigkeit(table::Table& line, int taetigId);

// The start id of the pickers: the line's S_MatID when the line came from
// an article (origin 3) or a service (origin 8), else 0.
int CalcArtikelStartId(table::Table& line);
int CalcTaetigStartId(table::Table& line);

// Which calculation print a chosen print form stands for: 39000 the sheet,
// 39500 the service list, 0 nothing (a cancelled choice or a form of another
// group).
int CalcPrintGroup(int formId);

// The sheet's head: the offer's id as eight digits with leading zeros.
QString CalcNumberText(int angId);

// The offer's cost per year and per instalment: the sums of the normal
// lines' stored costs, rounded to cents. Profit is the revenue minus these.
struct TOfferCosts {
    double year = 0.0;
    double instalment = 0.0;
};
TOfferCosts OfferCosts(int angId);
