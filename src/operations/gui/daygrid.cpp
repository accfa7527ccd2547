#include "operations/gui/daygrid.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableWidget>

void SetUpDayGrid(QTableWidget& grid, int monthWidth, int dayWidth, int rowHeight) {
    grid.horizontalHeader()->hide();
    grid.verticalHeader()->hide();
    grid.horizontalHeader()->setMinimumSectionSize(dayWidth);
    grid.horizontalHeader()->setDefaultSectionSize(dayWidth);
    grid.setColumnWidth(0, monthWidth);
    grid.verticalHeader()->setDefaultSectionSize(rowHeight);
    grid.setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid.setSelectionMode(QAbstractItemView::NoSelection);
    grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.setFixedSize(monthWidth + (grid.columnCount() - 1) * dayWidth + 2 * grid.frameWidth(),
                      grid.rowCount() * rowHeight + 2 * grid.frameWidth());
}

int DayGridColumnWidth(int designed, const QFont& font, int pointSize, bool bold,
                       const QString& text, int padding) {
    QFont f = font;
    f.setPointSize(pointSize);
    f.setBold(bold);
    return qMax(designed, QFontMetrics(f).horizontalAdvance(text) + padding);
}
