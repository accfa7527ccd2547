#pragma once

#include "core/stringgrid.h"

class QTableWidget;

// A QTableWidget seen as a string grid: row 0 is the horizontal header (the
// title row), rows 1 ... are the table's rows; a cell's attached value is its
// item's Qt::UserRole data.
class TableWidgetGrid : public StringGridAccess {
public:
    explicit TableWidgetGrid(QTableWidget* table) : m_table(table) {}

    int rowCount() const override;
    int columnCount() const override;
    QString cellText(int row, int column) const override;
    void clearCell(int row, int column) override;
    void swapRows(int first, int second) override;

private:
    void checkIndex(int row, int column) const;
    QTableWidget* m_table;
};

// The string-grid helpers on a table widget; a null table is accepted by ClearStringGrid.
void ClearStringGrid(QTableWidget* table);
void SortStringGrid(QTableWidget* table, int column, const StringGridCompare& compare);
