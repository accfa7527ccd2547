#pragma once

struct TableFormDecl;
class TF_TableForm;

// "Rechnungsintervalle": the billing-interval definitions (the data
// module's heads, whose rules number new heads and delete a head's periods
// with it), their calendar editor behind "Bearbeiten" and the list print.
TableFormDecl RechintFormDecl();
void ShowRechintForm();

// "Bearbeiten": the calendar editor on the current definition; the grid
// gets the focus back.
void EditRechintPeriods(TF_TableForm& form);
