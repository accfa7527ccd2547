#pragma once

#include <QString>

namespace table {
class Table;
}

// The assortment of a supplier: the shared supplier-article object shows the
// rows of one supplier (or of one article number), and its rows must name
// an existing article.

// The supplier whose assortment TabLiefArt shows; new rows belong to it.
int LiefArtLieferantId();
// Shows the supplier's rows only. A filter the table refuses is shown, the
// filter switched off and the table opened unfiltered.
void FilterLiefArtByLieferant(int lieferantId);
// Shows the rows of every supplier for the article number.
void FilterLiefArtByArtNo(const QString& artNo);
// The row's article number must be one of the article table's; otherwise
// the error box is shown and the operation refused.
void CheckLiefArtArtikel(table::Table& liefArt);
// The change rule of the supplier article number: a number the supplier
// already has is shown, the edit cancelled and refused; then the article check.
void LiefArtArtNoChanged(table::Table& liefArt);
