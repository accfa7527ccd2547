#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

// A grid of texts whose row 0 is the fixed title row, each cell with an
// optional attached value. The helpers below work through this interface, so
// the same code serves the in-memory grid and the table widgets of the forms.
class StringGridAccess {
public:
    virtual ~StringGridAccess() = default;
    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    virtual QString cellText(int row, int column) const = 0;
    // Empties the cell's text and drops its attached value.
    virtual void clearCell(int row, int column) = 0;
    // Exchanges every cell (texts and attached values) of two rows.
    virtual void swapRows(int first, int second) = 0;
};

// The in-memory grid. Indexes outside the grid raise a DbError.
class StringGrid : public StringGridAccess {
public:
    StringGrid(int rows, int columns);

    int rowCount() const override { return m_rows; }
    int columnCount() const override { return m_columns; }
    QString cellText(int row, int column) const override;
    void clearCell(int row, int column) override;
    void swapRows(int first, int second) override;

    void setCellText(int row, int column, const QString& text);
    QVariant cellObject(int row, int column) const;
    void setCellObject(int row, int column, const QVariant& object);

private:
    struct Cell {
        QString text;
        QVariant object;
    };
    qsizetype indexOf(int row, int column) const;

    int m_rows;
    int m_columns;
    QList<Cell> m_cells;
};

// Positive when the first text belongs after the second.
using StringGridCompare = std::function<int(const QString&, const QString&)>;

// Empties every cell, the title row included, and drops every attached value.
// A null grid is accepted and left alone.
void ClearStringGrid(StringGridAccess* grid);
// Sorts the rows below the title row by the texts of Column (a stable bubble
// sort with the caller's comparison); does nothing with fewer than two data rows.
void SortStringGrid(StringGridAccess& grid, int column, const StringGridCompare& compare);
