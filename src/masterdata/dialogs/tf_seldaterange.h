#pragma once

#include "core/values/datetimevalue.h"

#include <QDialog>
#include <memory>

class DateRangeSelection;
class QLineEdit;
class QPushButton;
class QTableWidget;

// "Datumsbereich wählen": a year of months as rows and their days as
// columns; the range is marked with "*" and changed by double-clicks on days
// (the nearer end moves). Below, the chosen start, end and number of days.
class TF_SelDateRange : public QDialog {
    Q_OBJECT
public:
    static constexpr int CellSize = 20;

    TF_SelDateRange(TDateTime start, TDateTime end, QWidget* parent = nullptr);
    ~TF_SelDateRange() override;

    const DateRangeSelection& selection() const { return *m_selection; }
    QTableWidget* grid() const { return m_grid; }
    QLineEdit* edStart() const { return m_edStart; }
    QLineEdit* edEnd() const { return m_edEnd; }
    QLineEdit* edDays() const { return m_edDays; }
    QPushButton* okButton() const { return m_btnOK; }

    // A double-click on the cell.
    void gridDblClick(int row, int column);

private:
    void refresh();

    std::unique_ptr<DateRangeSelection> m_selection;
    QTableWidget* m_grid = nullptr;
    QLineEdit* m_edStart = nullptr;
    QLineEdit* m_edEnd = nullptr;
    QLineEdit* m_edDays = nullptr;
    QPushButton* m_btnOK = nullptr;
    QPushButton* m_btnCancel = nullptr;
};

// Opens beside the main window (100 pixels right of its left edge, 140 below
// its bottom); true with both dates set on OK, false and unchanged otherwise.
bool PickDateRange(TDateTime& start, TDateTime& end);
