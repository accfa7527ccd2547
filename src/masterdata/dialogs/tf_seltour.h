#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace table {
class Table;
}
namespace widgets {
class DataGrid;
class DataSource;
} // namespace widgets

// The tour choice "Tourenauswahl" over the data module's second tour cursor
// (TabLUTour): number, name, weekday and staff member of each tour. Every
// call lists the tours by number; a title click sorts for that call only,
// and the search follows the column sorted by.
class TF_SelTour : public QDialog {
    Q_OBJECT
public:
    explicit TF_SelTour(table::Table& tours, QWidget* parent = nullptr);
    ~TF_SelTour() override;

    // Sorts by tour number and moves to the tour (the first row when it is
    // not listed).
    void start(int tourNr);
    // The chosen tour number: -1 unless "&OK" or a double-click chose.
    int chosenNr() const { return m_chosen; }

    widgets::DataGrid* grid() const { return m_grid; }
    QLineEdit* editSearch() const { return m_editSearch; }
    QPushButton* btnOK() const { return m_btnOK; }
    QPushButton* btnCancel() const { return m_btnCancel; }
    // The grid column the list is sorted by, which the search keys follow.
    int sortColumn() const { return m_sortColumn; }

    void btnOKClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void gridTitleClick(const QString& field);

    table::Table& m_tours;
    widgets::DataSource* m_source = nullptr;
    widgets::DataGrid* m_grid = nullptr;
    QLineEdit* m_editSearch = nullptr;
    QPushButton* m_btnOK = nullptr;
    QPushButton* m_btnCancel = nullptr;
    int m_chosen = -1;
    int m_sortColumn = 0;
};

// The tours the tour form shows (its filter), starting on startNr; the chosen
// number, -1 on cancel.
int SelectTour(int startNr, int left, int top, const QString& caption);
// The other tours of the weekday, starting on the next number after
// currentNr; the chosen number, -1 on cancel.
int SelectOtherTourOfDay(int currentNr, int weekday, int left, int top, const QString& caption);
