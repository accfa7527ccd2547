#pragma once

#include "operations/termprevgrid.h"

#include <QDialog>

class QTableWidget;

// "Termin-Vorschau" (TF_TermPrev): a read-only year of days, twelve months
// from the current one, with the marks the planning services write ("P"
// planned on yellow, "T" on a daily list on blue, weekends green, days a
// month lacks grey, today framed). At most one exists: it is opened, filled
// while invisible, shown once and freed.
class TF_TermPrev : public QDialog {
    Q_OBJECT
public:
    explicit TF_TermPrev(const QDate& today, QWidget* parent = nullptr);

    QTableWidget& grid() const { return *m_grid; }
    const TermPrevGrid& marks() const { return m_marks; }
    QDate today() const { return m_today; }
    // Writes the letter into the date's cell; false outside the twelve months.
    bool mark(QChar letter, const QDate& date);

private:
    TermPrevGrid m_marks;
    QDate m_today;
    QTableWidget* m_grid = nullptr;
};

// Creates the preview for the twelve months from today's month, its right
// edge at the main window's right edge, its top at the main window's bottom
// (a preview still open is replaced); true.
bool OpenTermPrevForm();
bool OpenTermPrevFormOn(const QDate& today);
// The open preview; nullptr when none.
TF_TermPrev* OpenTermPrev();
// Marks the date in the open preview; nothing without one or outside its months.
void MarkTermPrevDate(QChar letter, const QDate& date);
// Shows the open preview modally, 100 pixels right of the main window's left
// edge and 64 below its bottom, and frees it; nothing when none is open.
void ShowTermPrevForm();

// The preview of one object activity (key TS_ID) as the object and the tour
// forms show it: every tour (allTours, the object form) or the tour tourNr.
void ShowActivityTermPreview(int activityId, int tourNr, bool allTours);
