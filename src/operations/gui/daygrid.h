#pragma once

class QTableWidget;

// The look the calendar grids of months by days share (fixed dates, series,
// preview): no headers, no scroll bars, no selection or editing, the first
// column for the month and every other one dayWidth wide, sized to show all
// thirteen rows and thirty-two columns.
void SetUpDayGrid(QTableWidget& grid, int monthWidth, int dayWidth, int rowHeight);
