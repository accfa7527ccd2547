#pragma once

struct TableFormDecl;
class TF_TableForm;

// "Berichtsintervalle": the report intervals on a cursor of their own; the
// two pattern editors write a row's definition.
TableFormDecl ZahlIntervFormDecl();
void ShowZahlIntervForm();

// The actions of "&< Monat" and "&>= Monat": the editor on the current
// row's pattern; a confirmed pattern is posted.
void EditMonthIntervall(TF_TableForm& form);
void EditYearIntervall(TF_TableForm& form);
