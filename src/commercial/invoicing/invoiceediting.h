#pragma once

#include "core/data/dockinds.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <functional>
#include <utility>
#include <vector>

namespace table {
class Table;
}

// The data side of the invoice editor: the new manual invoice, which head
// fields may still change, the change of the invoice date and the copy of
// another document's lines into the invoice.

inline const QString ObjektFixedText =
    QStringLiteral("Sie können die Objektzuordnung nicht mehr ändern!");
inline const QString ObjektHasLinesText =
    ObjektFixedText + QStringLiteral("\rUm ein anderes Objekt zuzuordnen müssen Sie zuerst alle "
                                     "Rechnungspositionen löschen!");
inline const QString ProvisionalInvoiceNrText =
    QStringLiteral("Eine vorläufige Rechnungsnummer kann nicht verändert werden!");
inline const QString NoValidRecordsText =
    QStringLiteral("Es wurden keine gültigen Datensätze gefunden!");
inline const QString UseCustomerAddressText =
    QStringLiteral("Kundenadresse als Rechnungsanschrift verwenden?");
inline const QString ManualInvoiceIvName = QStringLiteral("Manuelle Rechnung");

// R_Buchung bits of an invoice head.
inline constexpr int InvoiceBookedBit = 1;
inline constexpr int InvoiceDateChangedBit = 16;

// Appends and posts the head of a new manual invoice (the head rule gives
// R_ID): provisional number "*" + six digits of R_ID, R_Creator 1, today's
// dates, the print form, everything else 0 or empty.
void AppendManualInvoiceHead(table::Table& head, int printFormNo, const QDate& today);
// The same head of any manual document, with the document's own values
// (state, number, name) given by own once the head rule gave R_ID.
void AppendManualDocumentHead(
    table::Table& head, int printFormNo, const QDate& today,
    const std::function<std::vector<std::pair<QString, QVariant>>(table::Table&)>& own);

// Why the object may not change (empty: it may): only a new or manual
// invoice, and only while it has no lines.
QString InvoiceObjektRefusal(bool newOrManual, bool hasLines);
// The customer changes only on a new or manual invoice or in service mode.
bool InvoiceCustomerChangeable(bool newOrManual, bool serviceMode);
// Whether the invoice run has given the invoice its final number.
bool InvoiceIsBooked(table::Table& head);

// The invoice date becomes date, as one transaction: R_Buchung gets the bit
// for a changed date, the due date moves to date + the net days, R_Jahr and
// R_Monat follow, every line takes the VAT rates valid at the date and the
// sums follow. On a failure nothing is changed and a DbError names it.
void ChangeInvoiceDate(table::Table& head, table::Table& lines, const QDate& date);

// Copies the lines of the document sourceNr of the source into the current
// invoice (CopyDocumentPositions), gives lines without a revenue account
// their default one, recalculates the sums and, for a delivery note, marks
// it billed by the invoice; all as one transaction. Returns the number of
// lines copied (0: nothing changed) or -1 when the document is not found.
// On a failure nothing is changed and a DbError names it.
int CopyIntoInvoice(TDocSource source, const QString& sourceNr, table::Table& head,
                    table::Table& lines);
