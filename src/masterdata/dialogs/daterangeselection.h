#pragma once

#include "core/values/datetimevalue.h"

#include <QString>
#include <optional>

// The range picker's year of months: rows 1 to 12 are twelve consecutive
// months starting with the month before the start date's month, columns 1 to
// 31 their days; row 0 and column 0 hold the captions.
class DateRangeSelection {
public:
    static constexpr int Rows = 13;
    static constexpr int Columns = 32;

    DateRangeSelection(TDateTime start, TDateTime end);

    TDateTime start() const { return m_start; }
    TDateTime end() const { return m_end; }
    int baseYear() const { return m_baseYear; }
    int baseMonth() const { return m_baseMonth; }

    // The year and month of a row (1 to 12).
    int yearOfRow(int row) const;
    int monthOfRow(int row) const;
    // The date of a cell, none for captions and for days the month lacks.
    std::optional<TDateTime> cellDate(int row, int column) const;
    // The cell's text: month names, day numbers "01" to "31", "*" for the
    // days of the range.
    QString cellText(int row, int column) const;
    bool isMarked(int row, int column) const;

    // A double-click on the cell moves the nearer end of the range to its day
    // (the start's or the end's own day makes a one-day range); false for
    // captions and for cells that are no day.
    bool pick(int row, int column);

    // "%3d Tage" for end - start + 1; longer than 31 days is shown in red.
    int days() const;
    QString daysText() const;
    bool tooLong() const { return days() > 31; }

private:
    TDateTime m_start;
    TDateTime m_end;
    int m_baseYear = 0;
    int m_baseMonth = 0;
};
