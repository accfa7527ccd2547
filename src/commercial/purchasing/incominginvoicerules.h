#pragma once

class TDataModule1;

// The record rules of the incoming invoices (heads and lines, whose lines
// book their costs) and of the external services.
void BindIncomingInvoiceRules(TDataModule1& dm);
void BindFremdLeistRules(TDataModule1& dm);

// The question before an external service not yet taken over into an invoice is deleted.
inline constexpr const char* FremdLeistDeleteQuestion =
    "Der Satz wurde noch nicht in eine Rechnung übernommen?\rTrotzdem löschen?";
