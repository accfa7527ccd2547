#pragma once

struct TableFormDecl;

// The supplier form TF_Lieferant ("Lieferanten"): the list of the suppliers,
// their addresses, contacts, bank and booking data, the assortment button
// and the supplier list print.
TableFormDecl LieferantPagesDecl();

// Shows the supplier form with the turnover year of today (the main
// window's "Lieferanten").
void ShowLieferantForm();
