#pragma once

#include <QString>

namespace table {
class Table;
}

// "Sortiment [Lieferant n]": the assortment form's caption.
QString LiefArtCaption(int lieferantNr);

// Puts the chosen article number into the assortment row (edit state, not
// posted) and fills the row's texts, price, VAT code, packing and weight from
// the first article of any stock with that number, when there is one. False,
// with the row untouched, for an empty choice or the row's own number.
bool TakeArticleIntoLiefArt(table::Table& liefArt, const QString& artNo);
