#pragma once

#include "masterdata/gui/fielddecls.h"
#include "masterdata/gui/tableformdecl.h"

class QLabel;
class QWidget;

namespace table {
class Table;
}

// Column actions that several table forms share.

// How a date column's calendar treats a cancelled choice.
enum class CalendarCancel {
    Nothing,    // the row stays as it was
    EditAnyway, // the row goes into edit state with its old date
};

// The calendar on a date column: opens at the form's corner + (dx, dy) on
// the field's date (today when empty and todayWhenEmpty); OK puts the row
// into edit state and writes the chosen date, without posting.
ColumnAction CalendarColumn(const QString& field, int dx, int dy, bool todayWhenEmpty,
                            CalendarCancel onCancel);

// "Vorsc&hau" (tag 1) and "Dr&uck" of a list print.
QList<PrintButtonDecl> ListPrintButtons(int formType, const QString& entry);
// The same pair as the list forms caption it: "Druck" (a direct print,
// tag 0) and "Vorsc&hau".
QList<PrintButtonDecl> DruckVorschauButtons(int formType, const QString& entry);

// The navigator of forms with their own post and cancel buttons: first,
// prior, next, last, insert, delete and refresh.
QList<widgets::DbNavigator::Button> BrowseNavigator();

// An action that rewrites the form's table behind its widgets (a record copy
// on a cursor of its own): the widgets stay quiet meanwhile and show the
// table's view once afterwards.
FormActionDecl QuietTableAction(const QString& caption, std::function<void(table::Table& t)> work);
// The navigator of forms that post and cancel through it: the above with
// post and cancel before refresh.
QList<widgets::DbNavigator::Button> EditNavigator();

// The hidden label in which a form keeps a picker's last sort field, so that
// the placement can store it (name + ".Caption"); made on first use.
QLabel& HiddenSortLabel(QWidget& form, const QString& name);
