#pragma once

#include "masterdata/reportpatterns.h"

#include <QDialog>

class PatternGrid;

// "Definition Berichtsintervalle < 1 Monat": the days of every month on
// which a report is due, any number of them.
class TF_DefMon : public QDialog {
    Q_OBJECT
public:
    explicit TF_DefMon(QWidget* parent = nullptr);
    PatternGrid& grid() const { return *m_grid; }
    void load(const QString& pattern);
    QString pattern() const;
    // A double-click on day d: marks it or clears its mark.
    void toggleDay(int day);

private:
    PatternGrid* m_grid;
};

// True with the new pattern (31 characters) when the user confirms; the
// editor reads what it can of a pattern of either form.
bool EditMonthPattern(QString& pattern);
