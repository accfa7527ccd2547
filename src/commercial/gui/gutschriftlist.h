#pragma once

#include "commercial/gui/doclistdecl.h"

// The credit-note list TF_Gutschrift ("Gutschriften") on the document-list
// host: printing books the notes ("Druc&ken"), "Testdr&uck" prints without
// booking, "&Ablage" journals and archives the current note.
TDocListDecl GutschriftListDeclaration();
// "Datenbanken › Gutschriften".
void ShowGutschriftForm();
