#pragma once

#include "commercial/gui/doclistdecl.h"

// "Angebote": the list of the offers on the data module's shared offer
// tables, declared on the document-list host.
TDocListDecl AngebotListDeclaration();

// Opens the offer list (the caller checked the use right of number 21).
void ShowAngebotForm();
