#pragma once

#include <QString>
#include <QStringList>

// The supplier-article picker of the purchase orders.

// The popup's list: the title line, then one line per article of the
// supplier in table order (supplier's number, stock number, name, purchase
// price). A ";" inside a field is shown as "," so the columns stay in place.
QStringList LiefArtikelList(int lieferantId);
// The first article line (from 1) that holds searchText, compared in upper
// case; 1 when the text is empty or found nowhere.
int LiefArtikelStartLine(const QStringList& list, const QString& searchText);

// Offers the supplier's articles at the caller's position and returns the
// stock article number of the chosen one, also in result; empty on cancel
// and, after a message, when the supplier has no articles.
QString SelectLiefArtikel(const QString& searchText, int lieferantId, int left, int top,
                          int maxWidth, int maxGridHeight, QString& result);
