#pragma once

#include <QWidget>

class QComboBox;
class QSpinBox;
class QToolButton;

// The month and year a view shows: the month box "cbMonat" ("Januar" to
// "Dezember") with its up-down "UpDownMonat", which rolls the year beyond
// December and below January, and the year "edJahr" with its up-down
// "UpDown1" (2000 to 2100; the year is stepped, not typed).
class MonthYearBox : public QWidget {
    Q_OBJECT
public:
    explicit MonthYearBox(QWidget* parent = nullptr);

    int year() const;
    int month() const; // 1..12
    // Shows the month without signalling.
    void setMonth(int year, int month);
    // The month up-down: +1 or -1, rolling the year (not beyond the year's range).
    void stepMonth(int delta);
    void setMonthEnabled(bool enabled);
    void setYearEnabled(bool enabled);

    QComboBox& monthBox() const { return *m_month; }
    QSpinBox& yearBox() const { return *m_year; }
    QToolButton& monthUp() const { return *m_up; }
    QToolButton& monthDown() const { return *m_down; }

Q_SIGNALS:
    // The user chose another month or year.
    void changed();

private:
    QComboBox* m_month = nullptr;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
    QSpinBox* m_year = nullptr;
};
