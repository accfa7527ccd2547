#pragma once

#include "commercial/billing/defrgmodel.h"

#include <QDialog>
#include <QWidget>

class QLabel;
class QTableWidget;

// The two-year calendar of the billing-period editor: paints what the model
// says each cell shows and hands the mouse to the model.
class DefRgCalendar : public QWidget {
    Q_OBJECT
public:
    DefRgCalendar(TDefRgModel& model, QWidget* parent = nullptr);

    // The cell of a day in widget coordinates (row 1 .. 24, day 1 .. 31).
    QRect cellRect(int row, int day) const;
    QSize sizeHint() const override;

Q_SIGNALS:
    // The periods or the selection changed.
    void changed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The row and day under a point; false outside the day cells.
    bool cellAt(const QPoint& at, int& row, int& day) const;

    TDefRgModel& m_model;
    QPoint m_pressedAt;
    int m_titleWidth;
    int m_dayWidth;
    int m_rowHeight;
};

// "Rechnungstermine festlegen": the periods of one billing-interval
// definition drawn on the calendar of 2002 and 2003, with their list.
class TF_DefRg : public QDialog {
    Q_OBJECT
public:
    explicit TF_DefRg(QWidget* parent = nullptr);

    void load(const QList<TRgPeriod>& periods);
    TDefRgModel& model() { return m_model; }
    DefRgCalendar& calendar() const { return *m_calendar; }
    QTableWidget& periodList() const { return *m_list; }
    QLabel& help() const { return *m_help; }

    // The commands of the buttons.
    void deleteAll();
    void deleteSelected();
    void redraw();

    // OK keeps the window open while a period lacks a date.
    void accept() override;

private:
    void showPeriods();

    TDefRgModel m_model;
    DefRgCalendar* m_calendar;
    QTableWidget* m_list;
    QLabel* m_help;
};

// Shows the editor for definition defNo, captioned with its description;
// true when the user confirmed with OK and the periods were saved.
bool EditRgTermine(int defNo, const QString& comment);
