#include "core/datagui/gridcellpainting.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

QImage paintCell(const QColor& brush, void (*draw)(QPainter&, const QRect&)) {
    QImage image(12, 10, QImage::Format_RGB32);
    image.fill(Qt::lightGray);
    QPainter painter(&image);
    painter.setBrush(brush);
    draw(painter, QRect(1, 1, 10, 8));         // pixels 1..10 × 1..8
    EXPECT_EQ(painter.brush().color(), brush); // the caller's brush stays
    return image;
}

TEST(DrawGridCellFrame, TwoNestedRectanglesInsideTheCell) {
    const QColor navy(0, 0, 0x80);
    const QImage image = paintCell(Qt::white, DrawGridCellFrame);
    // Outer ring on the cell's border pixels, inner ring one further in.
    for (const QPoint p : {QPoint(1, 1), QPoint(10, 1), QPoint(1, 8), QPoint(10, 8), QPoint(2, 2),
                           QPoint(9, 7), QPoint(5, 1), QPoint(5, 7)})
        EXPECT_EQ(image.pixelColor(p), navy) << p.x() << "," << p.y();
    // Outside the cell and the inside of the rings stay untouched.
    for (const QPoint p : {QPoint(0, 0), QPoint(11, 9), QPoint(3, 3), QPoint(8, 6)})
        EXPECT_EQ(image.pixelColor(p), QColor(Qt::lightGray)) << p.x() << "," << p.y();
}

TEST(DrawGridCellFrame, YellowOnAMarkedBlueCell) {
    const QImage image = paintCell(QColor(0x20, 0x20, 0xFF), DrawGridCellFrame);
    EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::yellow));
    EXPECT_EQ(image.pixelColor(9, 7), QColor(Qt::yellow));
}

TEST(DrawGridCellBevel, WhiteTopAndGreyRightLineWithoutCorners) {
    const QImage image = paintCell(Qt::white, DrawGridCellBevel);
    const QColor grey(0x80, 0x80, 0x80);
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(8, 2), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(9, 3), grey);
    EXPECT_EQ(image.pixelColor(9, 7), grey);
    for (const QPoint p : {QPoint(1, 2), QPoint(10, 2), QPoint(9, 8), QPoint(1, 1), QPoint(5, 5)})
        EXPECT_EQ(image.pixelColor(p), QColor(Qt::lightGray)) << p.x() << "," << p.y();
}

} // namespace
