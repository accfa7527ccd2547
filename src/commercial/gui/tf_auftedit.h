#pragma once

#include "commercial/gui/tf_angedit.h"

// The order editor TF_AuftEdit ("Aufträge bearbeiten"): the offer editor's
// design with the order's parameters, on the shared order tables.
TNumberedEditorParams AuftEditParams();
TDocEditDecl AuftEditDeclaration();

// Opens the order with that number, or a new order for an empty number, and
// returns when the editor is closed.
void ShowAuftEditForm(const QString& nr);

// While the order editor is open, selects the grid column of the field
// component ("TabAuftSatzS_Menge"); nothing otherwise.
void FocusAuftEditColumn(const QString& fieldComponentName);
