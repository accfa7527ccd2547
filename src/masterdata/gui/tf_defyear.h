#pragma once

#include "masterdata/reportpatterns.h"

#include <QDialog>

class PatternGrid;

// "Definition Berichtsintervalle >= 1 Monat": up to twelve dates of the
// year, one row per month.
class TF_DefYear : public QDialog {
    Q_OBJECT
public:
    explicit TF_DefYear(QWidget* parent = nullptr);
    PatternGrid& grid() const { return *m_grid; }
    void load(const QString& pattern);
    QString pattern() const;
    // A double-click on day and month; a thirteenth date is refused with a
    // message.
    void toggleDate(int month, int day);

private:
    YearPatternMarks m_marks{};
    PatternGrid* m_grid;
    void showMarks();
};

// True with the new pattern ("dd.mm;" entries) when the user confirms.
bool EditYearPattern(QString& pattern);
