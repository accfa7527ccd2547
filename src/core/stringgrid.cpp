#include "core/stringgrid.h"

#include "core/values/rangeerrors.h"

#include <utility>

StringGrid::StringGrid(int rows, int columns) : m_rows(rows), m_columns(columns) {
    if (rows < 0 || columns < 0)
        RaiseRangeError();
    m_cells.resize(qsizetype(rows) * columns);
}

qsizetype StringGrid::indexOf(int row, int column) const {
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns)
        RaiseRangeError();
    return qsizetype(row) * m_columns + column;
}

QString StringGrid::cellText(int row, int column) const {
    return m_cells.at(indexOf(row, column)).text;
}

void StringGrid::clearCell(int row, int column) {
    m_cells[indexOf(row, column)] = Cell{};
}

void StringGrid::swapRows(int first, int second) {
    for (int column = 0; column < m_columns; ++column)
        std::swap(m_cells[indexOf(first, column)], m_cells[indexOf(second, column)]);
}

void StringGrid::setCellText(int row, int column, const QString& text) {
    m_cells[indexOf(row, column)].text = text;
}

QVariant StringGrid::cellObject(int row, int column) const {
    return m_cells.at(indexOf(row, column)).object;
}

void StringGrid::setCellObject(int row, int column, const QVariant& object) {
    m_cells[indexOf(row, column)].object = object;
}

void ClearStringGrid(StringGridAccess* grid) {
    if (grid == nullptr)
        return;
    for (int row = 0; row < grid->rowCount(); ++row) {
        for (int column = 0; column < grid->columnCount(); ++column)
            grid->clearCell(row, column);
    }
}

void SortStringGrid(StringGridAccess& grid, int column, const StringGridCompare& compare) {
    const int rows = grid.rowCount();
    if (rows < 3)
        return;
    if (column < 0 || column >= grid.columnCount())
        RaiseRangeError();
    // A consistent comparison is done after at most Rows passes; the cap keeps
    // a comparison that calls equal texts "after" from exchanging them forever.
    bool exchanged = true;
    for (int pass = 0; exchanged && pass < rows; ++pass) {
        exchanged = false;
        for (int row = 1; row < rows - 1; ++row) {
            if (compare(grid.cellText(row, column), grid.cellText(row + 1, column)) > 0) {
                grid.swapRows(row, row + 1);
                exchanged = true;
            }
        }
    }
}
