#pragma once

#include <QTableWidget>

// The day grid of the report-interval editors: a fixed first row of day
// numbers (and, for the year, a fixed first column of month names) around
// cells that a double-click marks with "*". Fixed cells are drawn small and
// bold on the button face, marked cells large and bold on yellow.
class PatternGrid : public QTableWidget {
    Q_OBJECT
public:
    // dayColumns day columns "01".."dayColumns", after a fixed title column
    // of titleWidth pixels when titleWidth > 0.
    PatternGrid(int markRows, int dayColumns, int titleWidth, int dayWidth,
                QWidget* parent = nullptr);

    // Day d (from 1) of mark row r (from 1); rows and columns of the
    // widget include the fixed ones.
    bool isMarked(int row, int day) const;
    void setMarked(int row, int day, bool marked);
    void setRowTitle(int row, const QString& title);
    int firstDayColumn() const { return m_titled ? 1 : 0; }

Q_SIGNALS:
    // A double-click on a mark cell.
    void markCellChosen(int row, int day);

private:
    bool m_titled;
};

class QDialog;

// Lays out an editor: the grid above "OK" (accepts) and "Abbruch" (rejects).
void LayOutPatternEditor(QDialog& editor, PatternGrid& grid);
