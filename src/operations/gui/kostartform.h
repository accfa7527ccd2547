#pragma once

class TF_TableForm;
struct TableFormDecl;

// "Kostenarten definieren" (TF_Kostart) over the shared cost-type table: the
// number proposal behind the number column, the rubric and VAT pickers, and
// the columns the cost-type rules reject selected while the form is open.
TableFormDecl KostartFormDecl();
void ShowKostartForm();

// The actions behind the number, rubric and VAT columns (double-click or Alt+W).
void ProposeKostartNumber(TF_TableForm& form);
void ChooseKostartRubrik(TF_TableForm& form);
void ChooseKostartMwst(TF_TableForm& form);
