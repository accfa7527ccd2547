#pragma once

// The one rule set of the document print forms. A form's row of the document
// form table (documentforms.h) says which rules its report follows; the rule
// set readies the report for one document and installs the print steps:
// line kinds (fonts, subtotals, page breaks), blank columns, the carry-over,
// the copy mark, the masked number, VAT captions, payment terms and the line
// text's "@" markers. Everything is read on the run's own read-only cursors;
// the "@" markers become blanks only in what is printed.

#include "commercial/documents/documentsupport.h"
#include "printing/documentforms.h"
#include "printing/reportentry.h"

#include <QString>
#include <functional>

class QWidget;

namespace report {
class Report;
struct PrintSettings;
} // namespace report

// The print state of one form's entry, apart from every other form's.
struct DocumentPrintState {
    ReportEntryBusy busy;
    bool preview = false;
    bool maskNumber = false;
    TSuppressFlags suppress;
    QString layoutPath; // of the current print, kept until the next
    double carryOver = 0;
    int lineKind = 0; // of the line printing
};

struct DocumentPrintRequest {
    int id = 0; // R_ID of the head
    bool maskNumber = false;
    bool preview = false;
    QString layoutFile;
    // The printer and copies the user chose; none: the layout's printer.
    const report::PrintSettings* printer = nullptr;
};

DocumentPrintState& DocumentPrintStateOf(int formType);

// Readies a report of the form, its layout applied, for the document of the
// request: the tables by RgPrintSource in ReportDatabaseName, captions, logo,
// copy mark and the print steps. False, with nothing changed that outlives
// the report, when the head does not exist.
bool PrepareDocumentReport(report::Report& report, const DocumentForm& form,
                           DocumentPrintState& state, const DocumentPrintRequest& request);

// The entry of a document form: the life cycle of every report entry, the
// form's own busy flag, nothing printed for a missing head.
void PrintDocument(int formType, const DocumentPrintRequest& request, QWidget* parent);

// The user setting "Zweitdruck mit Kopievermerk", read by the window library,
// which installs itself here; off without one.
void SetKopieVermerkSource(std::function<bool()> source);
bool KopieVermerkOn();

// A stored line text (RTF or plain) with every "@" printed as two blanks; the
// formatting of RTF is kept.
QString ReplaceAtSignsInRichText(const QString& stored);

// A VAT rate as the captions of a form write it.
QString VatCaptionText(DocumentVatCaption style, double rate, bool sum);
