#pragma once
#include <QStringList>

// The placement files that hold the program's form layouts in the Windows
// directory. Besides the five numbered files the program writes two more
// (the DATEV and plan-check forms); a reset removes them too, so that every
// form starts again at its designed place.
QStringList FormLayoutFileNames();

// Takes the windows' positions, sizes and states out of the layout files in
// WindowsDir, so that every form starts again at its designed place, and
// leaves the marker "DELDEF.DSF" to do it once more at the next start (forms
// still open write their placement again when they close). Column layouts,
// sort columns and the last user's name stay. False when a file could not
// be rewritten or the marker not written.
bool ResetFormLayouts();
// The same for the layout files without the marker; raises DbError.
void ClearLayoutFiles();
