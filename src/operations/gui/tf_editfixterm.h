#pragma once

#include "operations/fixtermgrid.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

// "Feste Ausführungstermine festlegen": the fixed execution dates of one
// activity of one object on one tour, as a grid of the current month and
// the eleven that follow, one column per day. A click marks or unmarks a
// day; "Speichern" writes all twelve month texts.
class TF_EditFixterm : public QDialog {
    Q_OBJECT
public:
    TF_EditFixterm(int tourNr, int objektNr, int taetigNr, int weekday, const QDate& today,
                   QWidget* parent = nullptr);

    QTableWidget& grid() const { return *m_grid; }
    const FixTermGrid& marks() const { return m_marks; }
    QPushButton& saveButton() const { return *m_save; }
    // The hover labels: the date, its weekday and its holiday.
    QLabel& dateLabel() const { return *m_date; }
    QLabel& dayLabel() const { return *m_day; }
    QLabel& holidayLabel() const { return *m_holiday; }

    // What a click on the day cell does (row 1 .. 12, column = day).
    void toggle(int row, int column);
    // What the mouse over a cell shows.
    void hover(int row, int column);
    // Writes the marks and closes with OK; an error keeps the dialog open.
    void save();

private:
    void load();
    void fill();

    int m_tourNr, m_objektNr, m_taetigNr;
    FixTermGrid m_marks;
    QTableWidget* m_grid = nullptr;
    QLabel* m_date = nullptr;
    QLabel* m_day = nullptr;
    QLabel* m_holiday = nullptr;
    QPushButton* m_save = nullptr;
    int m_shownRow = -1, m_shownDay = -1;
};

// Opens the dialog modally for the activity on the tour (its weekday 0 .. 7,
// 0 for a tour without weekday), starting with today's month; true when
// "Speichern" wrote the marks.
bool ShowEditFixtermForm(int tourNr, int objektNr, int taetigNr, int weekday);
