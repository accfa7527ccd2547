#pragma once

struct ListFormDecl;

// The customer form TF_Kunden ("Kunden") on the list-form host: the list,
// eight pages, the turnover chart, the open items, the documents and the
// customer list print.
ListFormDecl KundenFormDecl();

// Shows the customers with the turnover year of today (the main window's
// entry and tool-bar button "Kunden", the address book's new customer).
void ShowKundenForm();
