#include "core/datagui/gridcellpainting.h"

#include <QColor>
#include <QPainter>
#include <QRect>

namespace {

// The blue that day grids fill marked days with.
const QColor kMarkedDayBlue(0x20, 0x20, 0xFF);

class PainterPen {
public:
    PainterPen(QPainter& painter, const QColor& color)
        : m_painter(painter), m_saved(painter.pen()) {
        m_painter.setPen(QPen(color, 0));
    }
    ~PainterPen() { m_painter.setPen(m_saved); }
    PainterPen(const PainterPen&) = delete;
    PainterPen& operator=(const PainterPen&) = delete;

private:
    QPainter& m_painter;
    QPen m_saved;
};

} // namespace

void DrawGridCellFrame(QPainter& painter, const QRect& cell) {
    const QColor color =
        painter.brush().color() == kMarkedDayBlue ? QColor(Qt::yellow) : QColor(0x00, 0x00, 0x80);
    PainterPen pen(painter, color);
    const QBrush savedBrush = painter.brush();
    painter.setBrush(Qt::NoBrush);
    // A cosmetic pen draws a rectangle one pixel wider and higher than given.
    painter.drawRect(cell.adjusted(0, 0, -1, -1));
    painter.drawRect(cell.adjusted(1, 1, -2, -2));
    painter.setBrush(savedBrush);
}

void DrawGridCellBevel(QPainter& painter, const QRect& cell) {
    {
        PainterPen pen(painter, Qt::white);
        painter.drawLine(cell.left() + 1, cell.top() + 1, cell.right() - 1, cell.top() + 1);
    }
    PainterPen pen(painter, QColor(0x80, 0x80, 0x80));
    painter.drawLine(cell.right() - 1, cell.top() + 1, cell.right() - 1, cell.bottom() - 1);
}
