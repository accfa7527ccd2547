#pragma once

#include <QString>

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
