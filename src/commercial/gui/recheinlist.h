#pragma once

struct TDocListDecl;

// "Eingangs-Rechnungen": the recorded incoming invoices on the document-list
// host, with printing, deleting and the hand-over to payment monitoring of
// the current invoice, the booking journal and the list print.
TDocListDecl RechEinListDeclaration();
void ShowRechEinForm();
