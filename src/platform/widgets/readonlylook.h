#pragma once

#include <QString>

class QLineEdit;

namespace widgets {

// A field the user never types into looks it: the background of a disabled
// field and no text cursor (an arrow, or a pointing hand where a double-click
// sets the value). howSet, when given, becomes its tool tip and says how the
// value is set ("Doppelklick: Kunde wählen").
void ShowAsReadOnly(QLineEdit& edit, const QString& howSet = {});

} // namespace widgets
