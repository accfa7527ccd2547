#include "core/gui/stringgridwidget.h"

#include "core/values/rangeerrors.h"

#include <QTableWidget>

int TableWidgetGrid::rowCount() const {
    return m_table->rowCount() + 1;
}

int TableWidgetGrid::columnCount() const {
    return m_table->columnCount();
}

void TableWidgetGrid::checkIndex(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        RaiseRangeError();
}

QString TableWidgetGrid::cellText(int row, int column) const {
    checkIndex(row, column);
    const QTableWidgetItem* item =
        row == 0 ? m_table->horizontalHeaderItem(column) : m_table->item(row - 1, column);
    return item ? item->text() : QString();
}

void TableWidgetGrid::clearCell(int row, int column) {
    checkIndex(row, column);
    QTableWidgetItem* item =
        row == 0 ? m_table->horizontalHeaderItem(column) : m_table->item(row - 1, column);
    if (item == nullptr)
        return;
    item->setText(QString());
    item->setData(Qt::UserRole, QVariant());
}

void TableWidgetGrid::swapRows(int first, int second) {
    checkIndex(first, 0);
    checkIndex(second, 0);
    if (first == 0 || second == 0)
        RaiseRangeError(); // the title row stays in place
    // With sorting on, setItem would move the rows under our hands.
    const bool sorting = m_table->isSortingEnabled();
    m_table->setSortingEnabled(false);
    for (int column = 0; column < columnCount(); ++column) {
        QTableWidgetItem* a = m_table->takeItem(first - 1, column);
        QTableWidgetItem* b = m_table->takeItem(second - 1, column);
        m_table->setItem(first - 1, column, b);
        m_table->setItem(second - 1, column, a);
    }
    m_table->setSortingEnabled(sorting);
}

void ClearStringGrid(QTableWidget* table) {
    if (table == nullptr)
        return;
    TableWidgetGrid grid(table);
    ClearStringGrid(static_cast<StringGridAccess*>(&grid));
}

void SortStringGrid(QTableWidget* table, int column, const StringGridCompare& compare) {
    if (table == nullptr)
        return;
    TableWidgetGrid grid(table);
    SortStringGrid(static_cast<StringGridAccess&>(grid), column, compare);
}
