#pragma once

#include "commercial/gui/doceditdecl.h"

class QString;

// The purchase-order editor TF_BestEdit ("Bestellung erfassen" /
// "Bestellung bearbeiten") on the shared purchase-order tables, declared on
// the document-editor frame: the supplier, the lines with their pickers,
// and each line's spreading over the central stock and the objects.
TDocEditDecl BestEditDeclaration();

// Opens the current order of TabBestKopf with that number, or a new order
// for an empty number, and returns when the editor is closed.
void ShowBestEditForm(const QString& nr);
