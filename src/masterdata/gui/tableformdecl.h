#pragma once

#include "platform/widgets/datagridmodel.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/fieldform.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <utility>

class TF_TableForm;
struct ListPrintButton;

// A master-data table form is declared, not written: one TableFormDecl says
// everything a form does differently, and TF_TableForm (tf_tableform.h)
// builds it, opens it and runs it. A declaration function returns the
// value; the declaration test (tests/masterdata/gui) checks every
// declaration against the table definitions and the print forms, so a new
// form adds its function to TableFormDecls() (tableforms.h).
//
// What the host does for every form: the navigator, "Überneh&men" (F10) and
// "&Abbrechen" (Alt+Backspace), the grid in the tooltip colour while it has
// the focus, Ctrl+PgDn from the grid to the field pages and Ctrl+PgUp back,
// the help button, the print buttons, "S&chließen", the placement below the
// main window and, on activation, the first grid column selected and the
// grid focused.
//
// Extension points, for forms whose needs go beyond this:
// - ColumnAction: a dialog run by a double-click on a grid column (in place
//   of editing the cell) or Alt+W there; tableformactions.h has the common
//   ones (the calendar on a date column).
// - widgets::FieldDecl::pick and ::lookupCopies on the field pages.
// - buttons and contextMenu: actions on the form.
// - setup: anything else, run once on the built form (a label, a caption
//   computed from the current owner record).
// - SetListPrinter (tf_tableform.h): makes the declared print buttons live.
// The long-lived list forms (search line, rights, the delete guard of their
// right number) are declared in listformdecl.h around a TableFormDecl and
// run by TF_ListForm, which derives from TF_TableForm.

// Where the form's rows come from.
enum class TableSource {
    // The data module's shared table object (accessor name, e.g. "TabMwst"):
    // the table's record rules apply, and its current record is the one the
    // rest of the program sees.
    Shared,
    // A cursor of the form's own on the table file in "LumoDB", opened by
    // the opener and closed on every path; only the declaration's new-row
    // values and delete guards apply, and no other form's cursor moves.
    Own,
};

// "Vorsc&hau" (tag 1) or "Dr&uck": the print-form type offered and the
// report entry that prints the list.
struct PrintButtonDecl {
    QString caption;
    int formType = 0;
    QString entry;
    int tag = 0;
    // At the click, before the print-form choice: what this button prints
    // beyond the plain list, from the form's state (listbutton.h: the
    // form type of the visible page, the entry's arguments, the protocol's
    // variant, a dispatch on the chosen form's hundred, a step undone after).
    std::function<void(TF_TableForm&, ListPrintButton&)> prepare;
    // Empty: the bottom row. Else the title of the box the button shares
    // with the other buttons of that group (printGroup finds it by it).
    QString group;
};

// A button of the bottom row or an item of the grid's context menu. An item
// without an action only closes the menu ("Abbruch").
struct FormActionDecl {
    QString caption;
    std::function<void(TF_TableForm&)> run;
};

// A dialog behind a grid column.
struct ColumnAction {
    QString field;
    std::function<void(TF_TableForm&)> run;
};

// The shared table that a LookupCombo field of the pages lists.
struct LookupDecl {
    QString field; // the field of the page
    QString table; // accessor name of the data module's table
};

// Refuses the deletion of a row that rows of another table refer to: the
// rows of `table` passing `filter` (in which "%1" stands for the row's key)
// are counted; one is enough. fileWord names that table in the message
// ("Kundendatei").
struct ReferenceGuardDecl {
    QString table;
    QString filter;
    QString fileWord;
};

// Where the form keeps its grid's column layout between runs.
struct PlacementDecl {
    QString file; // e.g. kPlacementFile01; empty: nothing is stored
    QString section;
    QStringList properties; // e.g. "DBGrid1.Columns"
    // What of the window itself is kept (core/formplacement.h); 0: nothing.
    int options = 0;
};

// How a click on a column title sorts the grid (the program run remembers
// the column per form).
enum class TitleSort {
    None,
    ByColumn, // the first index whose fields begin with the column's field
    ByField,  // the index holding the field earliest
};

struct TableFormDecl {
    QString formClass; // the form's object name, e.g. "TF_Mwst"
    QString caption;
    TableSource source = TableSource::Shared;
    QString table; // Shared: accessor name; Own: table file in "LumoDB"
    // Own tables: the integer key that a new row gets (last key + 1), and
    // the values it starts with. Shared tables have these in their rules.
    QString keyField;
    QList<std::pair<QString, QVariant>> newRowValues;
    QList<ReferenceGuardDecl> deleteGuards; // Own tables only, as the above

    QString gridName; // object name of the grid, as stored placements name it
    QList<widgets::GridColumn> columns;
    QList<ColumnAction> columnActions;
    TitleSort titleSort = TitleSort::None;
    QString initialSortField; // sorted by on activation until a title is clicked

    QList<widgets::DbNavigator::Button> navigatorButtons;
    bool postCancelButtons = false; // "Überneh&men" and "&Abbrechen"

    // The field pages below the grid; LookupCombo fields name their list in
    // lookups (their FieldDecl::lookup is filled by the host).
    QList<widgets::FieldDecl> fields;
    QList<LookupDecl> lookups;
    // Further shared tables the form's actions read, open while it is shown.
    QStringList openTables;

    QList<FormActionDecl> buttons; // bottom row, left of the print buttons
    QList<FormActionDecl> contextMenu;
    QList<PrintButtonDecl> prints;
    QString helpPage;            // below "Handbuch/Html/"; empty: no "&?Info?"
    bool closeIsDefault = false; // Enter outside an edit closes the form
    // "S&chließen"; without it the window's own frame closes the form.
    bool closeButton = true;
    QString closeCaption = QStringLiteral("S&chließen");

    QSize minimumSize{610, 290};
    PlacementDecl placement;
    // Closing with unsaved changes asks "Möchten Sie die Änderungen
    // speichern?"; otherwise they are discarded.
    bool askSaveOnClose = false;
    std::function<void(TF_TableForm&)> setup;
};
