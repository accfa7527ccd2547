#pragma once

#include <QString>

class QTableWidget;
class QWidget;

// The grids of the rights editors: a set right or membership shows "*" on a
// yellow cell, drawn 24 pixels indented; empty cells are white; the title
// column uses the button face colour.

inline const QString RightsMark = QStringLiteral("*");

// A grid of rows x columns with these captions, read-only, one cell selected
// at a time, the first column `firstWidth` and the others `otherWidth` wide.
QTableWidget* CreateMarkGrid(QWidget* parent, const QString& objectName, int rows,
                             const QStringList& captions, int firstWidth, int otherWidth);
// The rights grid: rows for functions 1..80 with their names and the six
// rights columns.
QTableWidget* CreateRightsGrid(QWidget* parent);

void SetCellText(QTableWidget* grid, int row, int column, const QString& text);
void SetMark(QTableWidget* grid, int row, int column, bool marked);
bool IsMarked(const QTableWidget* grid, int row, int column);
