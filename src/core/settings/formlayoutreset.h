#pragma once
#include <QStringList>

// The placement files that hold the program's form layouts in the Windows
// directory. Besides the five numbered files the program writes two more
// (the DATEV and plan-check forms); a reset removes them too, so that every
// form starts again at its designed place.
QStringList FormLayoutFileNames();

// Deletes the layout files from WindowsDir and leaves the marker
// "DELDEF.DSF", so that the files are deleted once more at the next start
// (forms still open write their placement again when they close).
// False when a file could not be removed or the marker not written.
bool ResetFormLayouts();
