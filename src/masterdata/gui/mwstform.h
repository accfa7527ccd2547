#pragma once

struct TableFormDecl;

// "Mehrwertsteuer-Sätze" over the shared VAT-rate table, with the calendar
// on both validity columns.
TableFormDecl MwstFormDecl();
void ShowMwstForm();
