#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

// The month picker "Monat bestimmen" of the bookkeeping and payroll exports:
// the caller's text above a month and a year list.
class TF_SelectMonat : public QDialog {
    Q_OBJECT
public:
    explicit TF_SelectMonat(QWidget* parent = nullptr);

    // Offers the years minYear to maxYear and selects year (the third entry,
    // or the last of fewer, when it is not offered) and month (January when
    // it is no month).
    void start(int month, int year, int minYear, int maxYear, const QString& caption);
    // The choice once confirmed; false when nothing can be read from it.
    bool chosen(int& month, int& year) const;

    QLabel* Label1;
    QComboBox* CbMonth;
    QComboBox* CbYear;
    QPushButton* BitBtn1;
    QPushButton* BitBtn3;
};

// Shows the picker modally; OK sets month (1 to 12) and year and gives true,
// cancel gives false and leaves both as they were.
bool SelectMonth(int& month, int& year, int minYear, int maxYear, const QString& caption);
