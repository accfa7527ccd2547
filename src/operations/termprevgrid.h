#pragma once

#include <QChar>
#include <QDate>
#include <QString>
#include <array>

// The year view of the appointment preview ("Termin-Vorschau"): twelve
// months from the first day of the current month, one row per month (rows
// 1 .. 12), one column per day (1 .. 31); cells hold one-letter marks ("P"
// planned, "T" on a daily list). Other indexes raise.
class TermPrevGrid {
public:
    // How a day cell is painted; a later kind wins over an earlier one.
    enum class CellKind {
        Missing, // the month lacks the day: grey, blank
        Plain,   // white
        Weekend, // Saturday or Sunday: green
        Planned, // "P": yellow
        Listed,  // "T": blue
    };

    explicit TermPrevGrid(const QDate& today);

    QDate startDate() const { return m_start; } // the first day of today's month
    QDate endDate() const { return m_end; }     // a year later, minus one day
    bool inRange(const QDate& date) const;

    // Row of the date's month, counted from the start month (may lie outside 1 .. 12).
    int rowOf(const QDate& date) const;
    // The cell's date; invalid when the month lacks the day.
    QDate dateOf(int row, int day) const;
    // "MM/YYYY" of the row's month.
    QString monthTitle(int row) const;

    // Writes the letter into the date's cell; false (nothing written) when
    // the date lies outside start .. end.
    bool mark(QChar letter, const QDate& date);
    QString cellText(int row, int day) const;
    CellKind cellKind(int row, int day) const;

private:
    int index(int row, int day) const;

    QDate m_start;
    QDate m_end;
    std::array<QChar, 12 * 31> m_marks{};
};
