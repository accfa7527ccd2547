#pragma once

#include "commercial/scheduling/fixtermmonths.h"

#include <QDate>
#include <QString>
#include <array>

// The twelve-month grid of the fixed-date editor: one row per month from
// the start month on (December followed by January of the next year), one
// column per day 1 .. 31. Rows are 0 .. 11, days 1 .. 31.
class FixTermGrid {
public:
    // How a day cell is painted.
    enum class CellKind {
        Missing,       // the month lacks the day: button face, blank
        Weekday,       // unmarked Monday .. Friday: green letters
        Weekend,       // unmarked Saturday or Sunday: red letters
        TourDay,       // unmarked day of the tour's weekday: blue letters
        Marked,        // marked day off the tour's weekday: red "*" on yellow
        MarkedTourDay, // marked day of the tour's weekday: blue "*" on yellow
    };

    FixTermGrid(int startYear, int startMonth, int tourWeekday);

    int yearOfRow(int row) const;
    int monthOfRow(int row) const;
    bool dayExists(int row, int day) const;
    // The date of an existing day; an invalid date otherwise.
    QDate dateOf(int row, int day) const;
    bool isMarked(int row, int day) const;

    // The stored texts by calendar month (index 0 = January). Marks on days
    // a month lacks slide down to the month's last day.
    void load(const FixTermMonths& months);
    // An existing day changes between marked and unmarked; others stay blank.
    void toggle(int row, int day);
    // All twelve texts by calendar month, each of 31 characters.
    FixTermMonths save() const;

    // What the cell shows: "*" for a mark, the first two letters of the
    // weekday's short name, or a blank for a missing day.
    QString cellText(int row, int day) const;
    CellKind cellKind(int row, int day) const;

private:
    int m_startYear;
    int m_startMonth;
    int m_tourWeekday;
    std::array<MonthMarks, 12> m_marks{};
};

// The fixed-date dialog's caption: "Feste Ausführungstermine festlegen für"
// with three blanks, then "Tour: ", "Objekt: " and "Tätigkeit: " with their
// numbers, two blanks before each, and the tour's long weekday name in
// brackets (empty brackets for a tour without weekday).
QString FixTermCaption(int tourNr, int objektNr, int taetigNr, int weekday);
