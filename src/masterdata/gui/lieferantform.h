#pragma once

struct ListFormDecl;
struct TableFormDecl;

// The supplier form TF_Lieferant ("Lieferanten"): the list of the suppliers,
// their addresses, contacts, bank and booking data, the assortment button
// and the supplier list print.
TableFormDecl LieferantPagesDecl();
// The same on the list-form host: the rights of function 9 ("Sortiment"
// with the export right), the number proposal, the bank pair and the open
// incoming invoices.
ListFormDecl LieferantFormDecl();

// Shows the supplier form with the turnover year of today (the main
// window's "Lieferanten").
void ShowLieferantForm();
