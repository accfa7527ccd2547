#pragma once

// The print forms of the documents as one table: what each form reads and
// which of the shared document rules it follows. The reports themselves (the
// bands and controls a layout adjusts) are the JSON definitions of their
// classes; the rule set (documentreport.h) applies a row of this table to one.

#include <QStringView>
#include <span>

// Heads and lines of one document kind.
struct DocumentTables {
    QStringView head;
    QStringView lines;
};

// Where the tables come from.
enum class DocumentSource {
    Fixed,           // the first pair, always
    BySource,        // the pair at RgPrintSource; the first for an unknown value
    OpenWhenNotZero, // the first pair for RgPrintSource 0, the second for any other
};

// When a line's column prints blank. Kind rules only apply to forms with line
// kinds; the suppress flags never blank a subtotal line (kind 4).
enum DocumentBlank : unsigned {
    BlankZero = 1u << 0,        // the printed text reads back below 0.001
    BlankKinds345 = 1u << 1,    // kind 3, 4 or 5
    BlankKindsAbove2 = 1u << 2, // any kind above 2
    BlankKinds35 = 1u << 3,     // kind 3 or 5
    BlankKindsAbove4 = 1u << 4, // any kind above 4
    BlankNetSuppressed = 1u << 5,
    BlankGrossSuppressed = 1u << 6,
    BlankVatSuppressed = 1u << 7,
    BlankDefaultVat = 1u << 8, // the line has the default VAT code
    BlankOtherVat = 1u << 9,   // the line has any other VAT code
};

// What a column prints when it is not blank.
enum class DocumentShow {
    AsStored,
    PosNr,      // the dotted position number
    PosArtMark, // the "Partopt.txt" mark of the line's kind
    KindTexts,  // kinds 1 and 2: the "Partopt.txt" amount texts when set
};

struct DocumentColumn {
    QStringView control;
    unsigned blank = 0;
    DocumentShow show = DocumentShow::AsStored;
    bool carryOver = false; // a printed amount of a normal line adds to the carry-over
    bool styled = true;     // takes the font style of the line kind
};

enum class DocumentFontStyle {
    None,
    Italic,     // italic for kinds 1 and 2
    ItalicBold, // and bold for subtotals
};

// How the VAT captions read.
enum class DocumentVatCaption {
    Percent,        // "19,0 %"
    PercentTight,   // "19,0%"
    MwstPercent,    // "Mwst 19,0%", sums "Summe Mwst 19,0%"
    MwstPercentDot, // the same with a decimal point
};

// Which rates the VAT captions show.
enum class DocumentVatRates {
    None,
    AtDocumentDate,    // codes 1 and 2 at the print date (the creation date while it is empty)
    DefaultAndReduced, // the default code and code 2 at the print date, today while it is empty
};

struct DocumentForm {
    int formType = 0;
    DocumentSource source = DocumentSource::Fixed;
    std::span<const DocumentTables> tables;
    bool hasLines = true;
    bool suppressFlags = false;   // "Suppress.txt" blanks amount columns
    bool atSigns = false;         // every "@" of the line text prints as two blanks
    bool lineKinds = false;       // kinds from S_PosArt: subtotals, page breaks, kind columns
    bool subtotalOnGross = false; // a subtotal also prints when only the gross column is on
    bool emptyLineBand = false;   // a document without lines prints one empty line band
    DocumentFontStyle fontStyle = DocumentFontStyle::None;
    bool carryOver = false;
    bool copyMark = false;
    bool maskNumber = false;
    DocumentVatCaption vatCaption = DocumentVatCaption::Percent;
    DocumentVatRates vatRates = DocumentVatRates::None;
    QStringView paymentTermsDate; // the date of the payment terms; empty: no payment terms
    std::span<const DocumentColumn> columns;
};

// The forms of 10000, 11000, 12000, 13000, 14000, 40000, 57000 and 76000;
// nullptr for any other type.
const DocumentForm* FindDocumentForm(int formType);
std::span<const DocumentForm> DocumentForms();

// The tables a form reads with the given RgPrintSource.
DocumentTables DocumentTablesFor(const DocumentForm& form, int rgPrintSource);
