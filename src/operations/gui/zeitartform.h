#pragma once

class TF_TableForm;
struct TableFormDecl;

namespace table {
class Field;
}

// "Arbeitszeit-Arten" (TF_Zeitart) on a cursor of its own over Zeitart.DB:
// the eight fixed time types, renamed and given factor and cost type here
// but never added or deleted.
TableFormDecl ZeitartFormDecl();
void ShowZeitartForm();

// The cost-type picker behind the "Kostenart" column: a new choice other
// than 0 is posted at once.
void ChooseZeitartKostart(TF_TableForm& form);

// Shows a float field with two decimals ("#0.00").
void ShowTwoDecimals(table::Field& field);
