#pragma once

#include <QColor>
#include <QString>

class QLineEdit;
class QChar;
class QKeyEvent;

namespace widgets {
class DataGrid;
class DataSource;
} // namespace widgets

// Sorting, searching and column moves shared by every list grid.
//
// The most recent sort is remembered once for the whole program: a form that
// sorts keeps its own sort column and passes force when it re-applies it.
QString LastSortField();
int LastSortColumn();
void ResetLastSort();

// The title colour of the column a grid is sorted by (a pale lilac).
QColor SortTitleColor();

void SetGridColor(widgets::DataGrid& grid, const QColor& color);

// Switches the grid's table to the index whose field list holds the first ten
// characters of fieldName earliest and marks that column; the table keeps its
// index when none does. Nothing happens when fieldName is the last sort field
// and force is false. Returns the sort column.
int SortGridByField(const QString& fieldName, widgets::DataGrid& grid, bool force);

// The handler of a click on a column title: the first index (the primary one
// included) whose fields begin with fieldName becomes the table's index; with
// none, the grid's first column decides. Returns the sort column.
int SortGridByColumn(widgets::DataGrid& grid, const QString& fieldName);

QString GetSortFieldName();
// The field of a grid column; defaultName for a negative column.
QString GetColumnFieldName(const widgets::DataGrid& grid, int column, const QString& defaultName);

// Selects the grid field named by a component name such as "TabKundenKU_Name"
// (the table object's name followed by the field) or by the bare field name,
// without regard to case; nothing happens when no column matches.
void SelectGridField(widgets::DataGrid& grid, const QString& componentName);

// Moves from a column that must not be edited to its left neighbour when key
// is Qt::Key_Left, otherwise to the right one; the edges turn back inwards.
void SkipGridColumn(widgets::DataGrid& grid, int column, int key);

// The incremental search of the list forms: moves the table to the nearest
// key of its current index at or after text upper-cased (letters a to z
// only). The bound grids do not repaint record by record meanwhile.
void FindKeyUpperCase(widgets::DataSource& source, const QString& text);

// Judges one key typed into a list's search box while the list is sorted by
// grid column `column`: a refused key becomes the null character. A text
// box holding characters the column's type cannot search for is emptied.
void FilterSearchKey(const widgets::DataGrid& grid, QLineEdit& searchEdit, int column, QChar& key);
// The key a search box judges: backspace as #8, a printable character as
// itself; the null character for any other key (arrows, function keys).
QChar TypedSearchKey(const QKeyEvent& event);
