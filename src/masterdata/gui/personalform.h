#pragma once

struct ListFormDecl;
struct TableFormDecl;
class TF_TableForm;

// The staff form TF_Personal ("Mitarbeiter"): the list of the employees and
// its six pages, with the fixed choice lists, the health insurers, the bank
// pair, the cost type of each time type and the staff list print.
TableFormDecl PersonalPagesDecl();
// The same on the list-form host: the rights of function 6 ("Dokum." with
// the use right of function 7), the number proposal and the bank pair.
ListFormDecl PersonalFormDecl();

// The cost-type picker of "Zeitart n" (1 to 8): a new choice is posted.
void ChoosePersonalKostart(TF_TableForm& form, int zeitart);

// Shows the staff form (the main window's "Mitarbeiter").
void ShowPersonalForm();
