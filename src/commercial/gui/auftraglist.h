#pragma once

#include "commercial/gui/doclistdecl.h"

// "Aufträge": the list of the orders on the data module's shared order
// tables, declared on the document-list host.
TDocListDecl AuftragListDeclaration();

// Opens the order list (the caller checked the use right of number 22).
void ShowAuftragForm();
