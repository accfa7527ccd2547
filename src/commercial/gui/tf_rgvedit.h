#pragma once

#include "commercial/gui/doceditdecl.h"

namespace widgets {
class DataSource;
}

// "Layout Rechnungsformular" (TF_RgvEdit): the invoice template editor, the
// invoice editor's frame declared over the template tables of its own.

// The declaration; intervals is the list of the interval definitions
// ("Intervall") and lives as long as the editor.
TDocEditDecl RgvEditDeclaration(widgets::DataSource& intervals);

// Opens the editor on the template R_ID = id, or on a new one for 0; the
// R_ID of the template current when it closes comes back. current (when
// given) receives it too, also when an error ended the editor.
int ShowRgvEditForm(int id, int* current = nullptr);

// The column hook of the template lines' rules while the editor is open.
void FocusRgvEditColumn(const QString& fieldComponentName);
