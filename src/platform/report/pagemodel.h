#pragma once

// The device-independent pages a run produces. Preview, printer, PDF and
// images all paint these, so a print from the preview prints what it shows.
// Coordinates are in units of 1/100 mm from the paper's top left corner;
// text is laid out once (line breaks fixed) and only drawn by the devices.

#include "platform/report/reportdef.h"

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <memory>
#include <variant>
#include <vector>

class QTextDocument;

namespace report {

inline constexpr double kUnitsPerMm = 100.0;
inline constexpr double kUnitsPerInch = 2540.0;
inline constexpr double kUnitsPerDesignPixel = kUnitsPerMm / kDesignPixelsPerMm;

// One line of text in its box, aligned horizontally, never wrapped again.
struct TextItem {
    QRectF rect;
    QString text;
    FontSpec font;
    Alignment alignment = Alignment::Left;
    bool clip = false; // the text is wider or taller than its box
};

struct FillItem {
    QRectF rect;
    QColor color;
};

struct FrameItem {
    QRectF rect;
    FrameSpec frame;
};

struct ImageItem {
    QRectF rect; // where the picture goes (centring and stretching applied)
    QRectF clip; // the control's box
    QImage image;
};

// A slice of a laid-out rich text: document coordinates docTop .. docTop + rect.height().
struct RichTextItem {
    QRectF rect;
    std::shared_ptr<QTextDocument> document;
    double docTop = 0;
};

struct ShapeItem {
    QRectF rect;
    ShapeKind shape = ShapeKind::Rectangle;
    QColor pen;
    int penStyle = psSolid;
    double penWidth = kUnitsPerDesignPixel;
    QColor brush;
    bool filled = false;
};

using PageItem = std::variant<TextItem, FillItem, FrameItem, ImageItem, RichTextItem, ShapeItem>;

struct Page {
    std::vector<PageItem> items;
};

struct Document {
    QString title;
    bool landscape = false;
    QSizeF paperMm{210, 297}; // A4 in the page's orientation
    std::vector<Page> pages;

    QSizeF paperUnits() const { return paperMm * kUnitsPerMm; }
};

// The layout device of rich text: documents are laid out in page units.
class QPaintDevice* layoutDevice();

} // namespace report
