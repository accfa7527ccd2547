#pragma once

#include <QString>
#include <functional>

namespace table {
class Table;
}

// The activity rows of an object (the data module's TabObjTaetig, a detail
// of the current object): editors by column, the column check, moving rows
// and dropping an activity on them.

// The editor a column of the activity grid opens.
enum class TaetigEditor {
    None,       // typed in the grid
    Taetigkeit, // the activity picker
    Intervall,  // the execution-interval lookup
    Ersttermin, // the calendar
    Formular,   // the form-template file editor
};
// By the column's field; a calculated field other than the activity name
// stands for the interval. The template editor only for rows of function 1.
TaetigEditor TaetigEditorFor(const QString& fieldName, bool calculated, int tsFunc);

// The check when the grid's selected column is left: unless the data module
// is filling a new row, a row whose activity number Taetig.DB lacks gets
// openEditor first; still invalid, the invalid-number error is raised.
void CheckObjTaetigColumnExit(table::Table& rows, const std::function<void()>& openEditor);

// Exchanges every field but the key (the first field) of the current row
// with its upper (up) or lower neighbour in one transaction, the cursor
// following the moved content. Nothing happens on the first row (up) or the
// last (down). On an error neither row changes and a German message says why.
// True when the rows were exchanged.
bool MoveObjTaetigRow(table::Table& rows, bool up);

// An activity dropped from the activity form: written into the current row
// (a new row when the object has none) and posted.
void DropTaetigkeit(table::Table& rows, int taetigNr);
