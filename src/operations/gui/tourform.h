#pragma once

#include <QString>

struct ListFormDecl;
class TF_ListForm;
class TourPanel;

// The tour form "Touren" (TF_Tour): the tours with their next execution
// date, and below them the current tour's objects, their activities and the
// tour's staff. A long-lived form on the list-form host with right 14,
// created at start-up after the activity form.
ListFormDecl TourFormDecl();

// The lower part of the form; nullptr when the form has none.
TourPanel* TourPanelOf(TF_ListForm& form);

// The main window's entry and tool-bar button "Touren": the tour table on
// the remembered tour, the form shown without a modal loop.
void ShowTourForm();

// The object picker of the tour-object rule for a typed number that is no
// object: 40 px right of and 200 px below the active form's corner, with
// the tour form's remembered sort while that form exists. The chosen number,
// the typed one on cancel.
int SelectTourObjekt(int objektNr);

// "Tour duplizieren" on the form: asks for the new number until it can be
// used or the user cancels, copies the current tour and shows the copy.
void DuplicateCurrentTour(TF_ListForm& form);
// The next-date rule of the current tour, its holiday note and the activity
// colours (after every scroll and after a date was chosen).
void ShowTourRecord(TF_ListForm& form);
// The holiday note ("lbFeiertag") as the form shows it.
QString TourHolidayText(TF_ListForm& form);

// Registers the form among the long-lived forms and installs its object
// picker; called once at start-up before the long-lived forms are built.
void InstallTourForm();
