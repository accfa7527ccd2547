#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <utility>
#include <vector>

class TDataModule1;

namespace table {
class Field;
class Table;
} // namespace table

// The rules every document line table shares (position number and defaults
// of a new line, recalculation of the line and the document, the line kind,
// a fresh key after a post error) and the hooks where a table adds its own.
// A line's bookings run in one transaction with the line's own write: when
// the write fails, the bookings are undone and the line's remembered booking
// state is set back, so that a retried post books exactly once.

struct LineTableRules {
    QString line; // shared line object, "TabRechSatz"
    QString head; // shared head object, "TabRechKopf"; empty: the line has no head
    // New lines get a position number within the bounds of the insert point.
    bool positionNumbers = true;
    // S_PosNr is shown dotted (a typed number is normalised whenever the
    // table has position numbers).
    bool posNrDisplay = true;
    // Defaults of a new line after S_ID and S_PosNr (InitNewRecord is set).
    std::function<void(table::Table& line)> defaults;
    // Moves an open editor's focus after a new line was started.
    std::function<void()> focusAfterNew;
    // Field changes that recalculate the line (CalcDocumentLine).
    QStringList recalcFields;
    // Whether the recalculation runs now; empty: unless a new record is being filled.
    std::function<bool(TDataModule1&, table::Table& line)> recalcWhen;
    // Runs after the line was recalculated by a field change.
    std::function<void(TDataModule1&, table::Table& line, table::Table& head)> afterRecalc;
    // A change of S_PosArt applies the kind's defaults and recalculates the document.
    bool posArtRule = true;
    // Runs after the kind's defaults, before the document is recalculated.
    std::function<void(TDataModule1&, table::Table& line)> afterPosArtDefaults;
    // Checks of single fields before a typed value is taken; raising (or
    // throwing Abort) keeps the former value.
    std::vector<
        std::pair<QString, std::function<void(TDataModule1&, table::Table&, table::Field&)>>>
        fieldChecks;
    // Further change rules of single fields.
    std::vector<
        std::pair<QString, std::function<void(TDataModule1&, table::Table&, table::Field&)>>>
        fieldRules;
    // Runs first before a post (e.g. the line calculation).
    std::function<void(TDataModule1&, table::Table& line)> beforePost;
    // The line's bookings: false before a post, true before a delete. They run
    // in the transaction of the line's own write.
    std::function<void(TDataModule1&, bool reverse)> booking;
    // Runs before a delete, before the reversing booking.
    std::function<void(TDataModule1&, table::Table& line)> beforeDelete;
    // After post and delete the document sums are recalculated.
    bool recalcSumsAfterWrite = true;
    // Runs after a post and after a delete (e.g. focus of the editor).
    std::function<void()> afterWrite;
};

// While one lives, a line write leaves the document sums for later instead
// of summing every line again after each write: a run that writes many lines
// of one document sums once, with finish(). Scopes nest; an inner one hands
// what it left to the outer one.
class DeferredDocumentSums {
public:
    DeferredDocumentSums();
    ~DeferredDocumentSums();
    DeferredDocumentSums(const DeferredDocumentSums&) = delete;
    DeferredDocumentSums& operator=(const DeferredDocumentSums&) = delete;
    // Sums the documents whose writes were left, once each.
    void finish();
    // Leaves the sums of the line's document to the innermost scope; false
    // when none lives.
    static bool leave(table::Table& line, table::Table& head);

private:
    DeferredDocumentSums* m_outer;
    std::vector<std::pair<table::Table*, table::Table*>> m_left; // line, head
};

// While one lives, new lines take their position numbers from the run that
// appends them (a copy numbers them after the document's lines), so the
// rules look for no free number between the lines.
class RunNumbersLines {
public:
    RunNumbersLines();
    ~RunNumbersLines();
    RunNumbersLines(const RunNumbersLines&) = delete;
    RunNumbersLines& operator=(const RunNumbersLines&) = delete;
    static bool active();

private:
    bool m_was;
};

void BindCommonLineRules(TDataModule1& dm, const LineTableRules& rules);
// The same rules on a pair of table objects of a window's own (the invoice
// templates' editor and list): rules.line and rules.head are not read; head
// may be nullptr for lines without a head.
void BindCommonLineRules(TDataModule1& dm, table::Table& line, table::Table* head,
                         const LineTableRules& rules);

// Computes the current line's amounts (net, VAT rate and amount, gross; for
// offer lines also the calculation values) at the document date of the head.
// Does nothing while a new record is being filled or inside itself; lines of
// kinds without own amounts are left alone (incoming-invoice lines are always
// computed). The line is put into edit state, not posted.
void CalcDocumentLine(table::Table& line, table::Table& head);
// Recalculates the document sums of the head from its lines; a pending edit
// of the line is posted first. Does nothing while recalculation is
// suspended, while a new record is being filled or inside itself, and when
// the head is not the line's head. Other lines are written through a cursor
// of their own; the head is left in edit state.
void RecalcDocumentSums(table::Table& line, table::Table& head);
// As RecalcDocumentSums, every normal line taking the rates at the document date.
void RecalcDocumentWithVatRates(table::Table& line, table::Table& head);
// The line kind's defaults on the current line (edit state, not posted).
void ApplyPosArtDefaults(table::Table& line, int newKind);
// Shows the field's position number dotted ("1.02").
void ShowPosNrAsText(table::Field& posNr);

// Sets the fields the table has to the values; others are passed over.
void SetFieldsIfPresent(table::Table& t, const std::vector<std::pair<QString, QVariant>>& values);
// What every new document line starts with: a free line of quantity 1
// without amounts, at today's rate of the default VAT code. The line
// tables add their own fields to it.
std::vector<std::pair<QString, QVariant>> NewLineValues();
// Today's rate of the default VAT code from the client's rate table.
double CurrentDefaultVatRate();

// Callbacks of the document editors; empty ones behave as if the form were closed.
struct DocumentFormHooks {
    std::function<void(const QString& fieldObject)> FocusRgEditColumn;
    std::function<void(const QString& fieldObject)> FocusAngEditColumn;
    std::function<void(const QString& fieldObject)> FocusCalcColumn;
    std::function<void(const QString& fieldObject)> FocusAuftEditColumn;
    std::function<void(const QString& fieldObject)> FocusLSEditColumn;
    std::function<void(const QString& fieldObject)> FocusGsEditColumn;
    std::function<void(const QString& fieldObject)> FocusRgvEditColumn;
    // Whether the offer calculation form is open.
    std::function<bool()> CalcFormOpen;
    // The incoming-invoice form shows its record count after a scroll.
    std::function<void()> ShowERRecordCount;
};
DocumentFormHooks& DocumentFormHooksRegistry();
