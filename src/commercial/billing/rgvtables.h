#pragma once

#include <QString>

class TDataModule1;

namespace table {
class Table;
}

// The record rules of the invoice templates ("Rgvkopf.db" heads, "RgvSatz.DB"
// lines) on a pair of table objects of a window's own: the template editor
// and the template list each open their pair and bind these rules to it.
//
// Heads: a new head gets the next free R_ID (a fresh one after a key clash)
// with R_AutoLS, R_Ausgesetzt and R_LeerRechnungErlaubt false; a head is
// deleted with its lines in one transaction. Lines: the rules of every
// document line (position number, defaults, line and document sums, the
// line kind), a template line's own defaults (manual source, calculation
// mode 0), a typed VAT rate choosing the VAT code whose rate it is today,
// and the calculation mode checked against the object's planned activities.

inline const QString RgvRechmodeRefusedText =
    QStringLiteral("Ungültiger Berechnungsmodus!\rBerechnung nach Tätigkeitshäufigkeit ist nur "
                   "möglich\rfür beim Objekt definierte Tätigkeiten!");
inline const QString RgvHeadInListText =
    QStringLiteral("Rechnungsvorlagen werden im Editor angelegt (\"Neuanlage\").");

struct TRgvTableRules {
    // The list refuses new heads: templates are made in the editor.
    bool headInsert = true;
    // A change of R_Intervall also brings R_PlanDatum up to date (the
    // list); R_IVname follows it always.
    bool intervalPlanDate = false;
};

void BindRgvTableRules(TDataModule1& dm, table::Table& head, table::Table& lines,
                       const TRgvTableRules& rules = {});

// Calculation modes 2 and up bill by the frequency of an activity planned at
// the object: only an activity line (S_PosTyp 1) whose activity number
// (S_SrcNr) is planned at objektNr may carry them.
bool RgvRechmodeAllowed(table::Table& line, int objektNr, int mode);
// Whether the current line may take the activity taetigNr: a line of mode 2
// and up only when it is an activity line already and the activity is
// planned at objektNr.
bool RgvActivityAllowed(table::Table& line, int objektNr, int taetigNr);
