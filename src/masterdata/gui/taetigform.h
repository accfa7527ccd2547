#pragma once

struct ListFormDecl;
struct TableFormDecl;
class TF_TableForm;

// The activity catalogue TF_Taetig ("Tätigkeiten"): the grid of the
// activities (a drag source for the object form), the two rich texts and
// the calculation fields below it, the copy and the activity list print.
TableFormDecl TaetigPagesDecl();
// The same on the list-form host, with the rights of function 8 and the
// number proposal.
ListFormDecl TaetigFormDecl();

// The pickers behind the base unit (posted) and the cost type (left in
// edit), callable on an open form.
void ChooseTaetigBasisEinheit(TF_TableForm& form);
void ChooseTaetigKostart(TF_TableForm& form);

// Shows the activity catalogue (the main window's "Leistungen").
void ShowTaetigForm();
