#pragma once

#include <QString>

class QWidget;

// The outgoing-invoice list (form type 37000): the marked rows of the booking
// journal with per-row amounts as stored and twelve totals (net, VAT and
// gross, overall and per VAT code 0, 1, 2) in which credit notes and
// incoming invoices count negative.

// The period and print time the list shows; callers set them before the print.
extern QString RaListRangeFrom; // "dd.mm.yyyy"
extern QString RaListRangeTo;   // "dd.mm.yyyy"
extern QString RaListPrintTime; // "dd.mm.yyyy - hh:nn Uhr"

// The print time text of now: "11.12.2026 - 15:04 Uhr".
QString RaListPrintTimeNow();

// title replaces the subtitle L_Titel2 when not empty. indexName is the
// calling list's index: "R_IKundenNr" means customer and object
// ("R_IKundeObj"), an index the journal lacks falls back to "R_INr".
// extraFilter ("R_Satzart=0") joins the mark filter with " AND ". Preview
// waits until it is closed; a call while the list is open does nothing;
// nothing is written.
void PrintRAListe(const QString& title, const QString& indexName, const QString& extraFilter,
                  bool preview, const QString& layoutFile, QWidget* parent = nullptr);
