#pragma once

struct ListFormDecl;
struct TableFormDecl;

// The emergency services "Notdienste" (TF_Notdienst): the outside firms
// called when something breaks at an object, with their address, bank and
// memo. A long-lived list form, created at start-up.
TableFormDecl NotdienstTableDecl();
ListFormDecl NotdienstFormDecl();

// Shows the long-lived form without a modal loop.
void ShowNotdienstForm();
