#pragma once

#include "commercial/gui/doclistdecl.h"

// The purchase-order list TF_Bestellung ("Bestellungen") on the document-list
// host: printing makes an order printed and its open quantities count as on
// order; deleting a printed order gives them back; "Ablage" moves printed
// orders into the archive and lowers what they had on order; the editor and
// the order proposals open from here.
TDocListDecl BestellungListDeclaration();

// "Datenbanken › Bestellungen".
void ShowBestellungForm();
