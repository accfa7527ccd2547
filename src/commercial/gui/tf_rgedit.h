#pragma once

#include "commercial/gui/doceditdecl.h"

class QString;

// The invoice editor TF_RgEdit ("Rechnungen bearbeiten") on the shared
// invoice tables, declared on the document-editor frame.
TDocEditDecl RgEditDeclaration();

// Opens the invoice with that number, or a new manual invoice for an empty
// number, and returns when the editor is closed.
void ShowRgEditForm(const QString& nr);

// While the invoice editor is open, selects the grid column of the field
// component ("TabRechSatzS_Menge"); nothing otherwise.
void FocusRgEditColumn(const QString& fieldComponentName);
