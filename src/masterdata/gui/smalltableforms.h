#pragma once

struct TableFormDecl;

// The five short lists that other records point to, each on a cursor of
// its own: payment terms, payment methods, units of measure, health
// insurers and banks. Append: the form starts on a new row (the bank
// fields' "&Neuer Eintrag"); otherwise on the last row.
TableFormDecl ZahlBedFormDecl();
TableFormDecl ZahlartFormDecl();
TableFormDecl MengEinhFormDecl();
TableFormDecl KrankenkasseFormDecl();
TableFormDecl BankenFormDecl();

void ShowZahlBedForm(bool append);
void ShowZahlartForm(bool append);
void ShowMengEinhForm(bool append);
void ShowKrankenkasseForm(bool append);
// Ends a pending edit of the shared bank table first, whose lists the other
// forms show.
void ShowBankenForm(bool append);
