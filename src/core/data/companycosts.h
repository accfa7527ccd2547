#pragma once

namespace table {
class Table;
}

// The yearly cost sums of the company record, from which the staff records
// derive an overhead per working hour. Null fields count 0; each sum puts the
// record into edit state, stores its results unrounded and posts.
void CalkLohnkosten(table::Table& firmen);
void CalcLohnnebenkosten(table::Table& firmen);
void CalcGemeinkosten(table::Table& firmen);
// All three in this order, e.g. on leaving the yearly hours.
void CalcAll(table::Table& firmen);

// Choosing a bank in either list of the company form fills both fields: the
// bank table's current row gives the BLZ or the name to the company record,
// which is put into edit state and not posted.
void CopyBankBlzToFirma(table::Table& firmen, table::Table& banken);
void CopyBankNameToFirma(table::Table& firmen, table::Table& banken);
