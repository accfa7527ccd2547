#pragma once

#include "operations/monthtour.h"
#include "operations/monthtouredits.h"

#include <QDate>
#include <QDialog>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableWidget;
class QToolButton;

// "Tourenübersicht" (TF_EditMonTour): the daily lists of one month as three
// day grids (tours, objects of the selected tour, activities of the selected
// object). Double-clicks open the popup of state changes, inserts and
// deletes; a right click picks a cell up and the next click drops it on the
// tour grid to move a list, an object or an activity. The window paints and
// forwards: the lists live in MonthTourModel, the changes in monthtouredits.
class TF_EditMonTour : public QDialog {
    Q_OBJECT
public:
    explicit TF_EditMonTour(QWidget* parent = nullptr);
    ~TF_EditMonTour() override;

    // Shows the month of date; false (nothing shown) when it has no list.
    bool openMonth(const QDate& date);

    MonthTourModel& model() { return m_model; }
    QTableWidget& grid(MonthGrid which) const;
    QToolButton& backButton() const { return *m_back; }
    QToolButton& forwardButton() const { return *m_forward; }
    QPushButton& deliveryNoteButton() const { return *m_ls; }
    QPushButton& button(const QString& objectName) const;
    QMenu& popup() const { return *m_popup; }
    QLabel& dateLabel() const { return *m_dateLabel; }
    QLabel& dayLabel() const { return *m_dayLabel; }
    QDate currentDate() const { return m_currentDate; }
    bool picking() const { return m_picking; }

    // What the mouse does on a cell, callable as the grids call it.
    void clickCell(MonthGrid which, int row, int col);
    void rightClickCell(MonthGrid which, int row, int col);
    void doubleClickCell(MonthGrid which, int row, int col);
    void hoverCell(MonthGrid which, int row, int col);
    void headerClick(int col); // row 0 of the tour grid

    void previousMonth();
    void nextMonth();
    void editDeliveryNote();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildUi();
    void fillGrids();
    void fillGrid(MonthGrid which);
    void paintRowLabels(MonthGrid which);
    void reloadMonth();
    // Reloads the month when a change ends. The change's own error, when one
    // is on its way, is the one the user sees; otherwise a failed reload is.
    class ReloadOnExit {
    public:
        explicit ReloadOnExit(TF_EditMonTour& form);
        ~ReloadOnExit() noexcept(false);
        ReloadOnExit(const ReloadOnExit&) = delete;
        ReloadOnExit& operator=(const ReloadOnExit&) = delete;

    private:
        TF_EditMonTour& m_form;
        int m_errorsInFlight;
    };
    void setCaptions();
    MonthCell selectedCell() const;
    bool isDayCell(MonthGrid which, int row, int col) const;
    bool cellIsEmpty(MonthGrid which, int row, int col) const;
    void pickUp(MonthGrid which, int row, int col);
    void drop(MonthGrid which, int row, int col);
    void endPicking();
    void updateDeliveryButton(bool enable);
    void updateObjectButtons();

    // Popup actions.
    void setState(int state);
    void allOpenDone();
    void allToursDone();
    void insertTaetig();
    void deleteTaetig();
    void insertObjekt();
    void deleteObjekt();
    void printPlan(QPushButton* button, bool allTours, int kind);

    MonthTourModel m_model;
    QDate m_currentDate;
    MonthPick m_pick;
    bool m_picking = false;
    int m_hoverCol = 0;

    QToolButton* m_back = nullptr;
    QToolButton* m_forward = nullptr;
    QLineEdit* m_edMonat = nullptr;
    QLineEdit* m_edJahr = nullptr;
    QLabel* m_dateLabel = nullptr;
    QLabel* m_dayLabel = nullptr;
    QLabel* m_sortObj = nullptr;
    QPushButton* m_ls = nullptr;
    QTableWidget* m_grids[3] = {};
    QLabel* m_noObjects = nullptr;
    QLabel* m_noActivities = nullptr;
    QMenu* m_popup = nullptr;
    QAction* m_items[9] = {};
};

// Opens the overview of date's month below the main window; "Keine
// Tageslisten gefunden!" and no window for a month without lists.
void ShowMonTourForm(const QDate& date);
