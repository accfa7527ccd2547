#pragma once

class QPainter;
class QRect;

// Marks of the cells of day grids (the appointment preview).

// Two nested rectangles along the inside of the cell, the second one pixel
// further in: yellow on a cell whose brush is the bright blue of a marked
// day, navy on any other.
void DrawGridCellFrame(QPainter& painter, const QRect& cell);

// A raised look: a white line one pixel below the top edge and a grey one one
// pixel inside the right edge, each leaving out the corner pixels.
void DrawGridCellBevel(QPainter& painter, const QRect& cell);
