#pragma once

#include <QString>

namespace table {
class Table;
}

// Quantities already billed of order and delivery-note lines, and the
// object's own article list, as the document editors and line rules need them.

// Caps menge (an increase of a line copied from a source line) to what the
// source line has not delivered yet: sourceKind 2 is an order line
// ("Auftsatz.DB"), any other a delivery-note line ("LSsatz.DB"). True when
// menge was lowered. Nothing for menge <= 0, id 0 or a missing line.
bool LimitToUndeliveredMenge(int sourceKind, double& menge, int sourceLineId);
// The delivery-note line's delivered quantity moves by newMenge - oldMenge
// (nothing when they are equal, for id 0 or a missing line).
void AdjustMengeGeliefert(int lineId, double newMenge, double oldMenge);
// Whether the object keeps its own copy of the article number.
bool HasObjektArtikel(const QString& artNo, int objId);
// The id of the object's copy of the article number (object 0: the central
// article); 0 when there is none. Sees articles that other cursors just posted.
int ArtikelIdOfObjekt(const QString& artNo, int objId);

// The revenue account of the current line: account when not 0, otherwise
// the cost type of the line's article (S_PosTyp 0, S_MatID), external
// service (2, S_RefID) or activity (other types but a free line 4, which
// has none), and failing that the first cost type of section 2 for
// articles, 3 for external services and 1 for all others.
int DefaultErloesKonto(table::Table& lines, int account);
// TS_ID of the object activity of the pair; 0 when there is none.
int FindObjTaetId(int objekt, int taetigkeit);
// The weekday pattern of the report interval; empty when it is unknown.
QString GetZahlIntervPattern(int zahlIvId);
// "Preis als Sonderpreis merken": the article's A_Preis1 becomes price, but
// only for an object's own article (a general article keeps its price).
// True when the price was written.
bool SetObjektArtikelPreis(int artikelId, double price);
