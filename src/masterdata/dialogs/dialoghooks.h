#pragma once

class QPoint;
class TDataModule1;

// Connects the common dialogs to the lower layers at start-up, before the
// data module opens its tables: the kit's date fields open F_Kalender, a tour
// row's unknown object number opens the object picker (until the tour form
// installs its own), an object's unknown emergency-service number opens the
// emergency-service picker, and the second tour cursor gets its weekday and
// staff name columns for the tour choice.
void InstallDialogHooks(TDataModule1& dataModule);

// The corner of the form the user works in (the active modal window, else
// the active window), where the pickers of the record rules open.
QPoint ActiveFormCorner();

// The object picker for a tour row's typed number that does not exist: 40
// pixels right of and 200 below the active form's corner; the chosen number.
int SelectTourObjektGeneral(int typed);

// The emergency-service picker for an object's typed number that does not
// exist: 240 pixels right of and 140 below the active form's corner.
int SelectNotdienstGeneral(int typed);
