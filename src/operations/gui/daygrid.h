#pragma once

class QTableWidget;

// The look the calendar grids of months by days share (fixed dates, series,
// preview): no headers, no scroll bars, no selection or editing, the first
// column for the month and every other one dayWidth wide, sized to show all
// thirteen rows and thirty-two columns.
void SetUpDayGrid(QTableWidget& grid, int monthWidth, int dayWidth, int rowHeight);

class QFont;
class QString;

// The designed width of a column, or more when text in the given size and
// weight of font (plus padding) would not fit: the fonts of the system may
// run wider than those the grids were designed with.
int DayGridColumnWidth(int designed, const QFont& font, int pointSize, bool bold,
                       const QString& text, int padding);
