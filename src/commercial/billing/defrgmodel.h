#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <array>
#include <vector>

// One billing period of an interval definition as the calendar editor holds
// it; a null date is a date not set yet.
struct TRgPeriod {
    int Nr = 1;
    QDate RangeStart;
    QDate RangeEnd;
    QDate BillDate;
    QDate CreateDate;
};

// The editing model behind the calendar editor of a billing-interval
// definition: the working copy of its periods, the selection and the drag,
// and what every cell of the two-year calendar shows, so that the window
// only paints and forwards the mouse. Rows are 1 .. 24 (January 2002 to
// December 2003), columns the days 1 .. 31.
class TDefRgModel {
public:
    static constexpr int MaxPeriods = 120;
    static constexpr int BaseYear = 2002;
    static constexpr int Rows = 24;
    static constexpr int Days = 31;

    struct Rgb {
        int r, g, b;
    };
    // Palette entries 1 .. 12 of the period colours.
    static const std::array<Rgb, 12> Palette;
    static constexpr Rgb SelectedColor{255, 255, 0};
    static constexpr Rgb MissingDayColor{238, 238, 238};
    static constexpr Rgb FreeColor{255, 255, 255};

    struct Cell {
        bool missing = false; // the month has no such day
        int period = 0;       // index 1 .. count of the period drawn there, 0: free
        int nr = 0;           // its number
        int palette = 0;      // 1 .. 12, 0 when free
        bool selected = false;
        bool billDate = false;   // shows "R"
        bool createDate = false; // shows "E"
        QString text() const;    // "E", "R", the number right-aligned in two, or empty
    };

    // The stored periods in table order; more than MaxPeriods raise the
    // range-check error. They are sorted and renumbered, nothing selected.
    void Load(const QList<TRgPeriod>& periods);
    const QList<TRgPeriod>& Periods() const { return m_periods; }
    int Count() const { return int(m_periods.size()); }
    // 1 .. Count, 0 when none.
    int Selected() const { return m_selected; }
    void Select(int index);
    bool Dragging() const { return m_dragging; }

    // Sorted by RangeStart (equal starts keep their order), numbered 1, 2, …,
    // a reversed range swapped; the selection follows its period.
    void SortPeriods();

    // The day a cell stands for; invalid outside the grid or for a day the
    // month does not have.
    static QDate DateOfCell(int row, int day);
    // The cell of a date of 2002 or 2003; false for other years.
    static bool CellOfDate(const QDate& date, int& row, int& day);
    Cell CellAt(int row, int day) const;
    // Moves of less than 3 pixels both ways from the press point are no drag.
    static bool IsDragMove(int dx, int dy);

    // Left button: selects the period of the cell, or makes a new one-day
    // period on a free day (not beyond MaxPeriods, not on a 2002 day whose
    // 2003 day is taken); either starts dragging. True when it did.
    bool PressLeft(int row, int day);
    // Moving with the left button held over a cell: moves the start or the
    // end of the selected period to its day when the days passed over allow
    // it. True when the period changed.
    bool DragTo(int row, int day);
    // Button released: the drag ends and the list is sorted again.
    void Release();
    // Right button: the day becomes the selected period's invoice date (with
    // Shift) or its creation date. True when it changed.
    bool PressRight(int row, int day, bool shift);

    // "Definition löschen": removes the selected period.
    void DeleteSelected();
    // "Alles löschen" after the question "Gesamte Tabelle löschen?"; true when confirmed.
    bool DeleteAllAsked();

    // The first gap in list order as "Fehler in Zeile N: …"; empty when every
    // period is complete.
    QString CompletenessError() const;
    // OK: shows that error and answers false, or answers true.
    bool CheckOk() const;

    // The period list's texts: Nr, Beginn, Ende, Rechnungsdatum, Erstelldatum.
    QStringList ListRow(int index) const;

private:
    // The period index (1-based) drawn on each day, later periods over earlier.
    const std::vector<int>& owners() const;
    int ownerOf(const QDate& date) const;
    void changed() { m_ownersValid = false; }

    QList<TRgPeriod> m_periods;
    int m_selected = 0;
    bool m_dragging = false;
    mutable std::vector<int> m_owners;
    mutable bool m_ownersValid = false;
};
