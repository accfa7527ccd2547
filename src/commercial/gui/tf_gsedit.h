#pragma once

#include "commercial/gui/doceditdecl.h"

#include <QString>

// The credit-note editor TF_GsEdit ("Gutschriften bearbeiten"): the
// delivery-note editor's design with the credit note's values (tf_lsedit.h).
TDocEditDecl GsEditDeclaration();

// Opens the credit note numbered nr, or a new one when nr is empty. The
// head table is the list's (held open by it, opened for the call otherwise).
void EditGutschrift(const QString& nr);

// While the credit-note editor is open, selects the grid column of the
// field component ("TabGsSatzS_Menge"); nothing otherwise.
void FocusGsEditColumn(const QString& fieldComponentName);
