#pragma once

// The geometry of one printed band: its controls' boxes with their text
// broken into lines, stretching controls grown and the controls below them
// moved down, and the split of a band that does not fit at a line boundary.
// Positions are page units relative to the band's top left corner.

#include "platform/report/pagemodel.h"

#include <QFont>
#include <optional>

namespace report {

// What one control prints, after its value was formatted and its hook ran.
struct ControlContent {
    enum Kind { Text, Rich, Picture, Shape };
    const Component* control = nullptr;
    Kind kind = Text;
    QString text;
    FontSpec font;
    QColor color = Qt::white;
    bool transparent = true;
    std::shared_ptr<QTextDocument> document;
    QImage picture;
};

struct BandBox {
    ControlContent::Kind kind = ControlContent::Text;
    QRectF rect;
    std::optional<QColor> fill;
    std::optional<FrameSpec> frame;
    // Text: the lines from firstLine on, one lineHeight apart.
    QStringList lines;
    int firstLine = 0;
    double lineHeight = 0;
    FontSpec font;
    Alignment alignment = Alignment::Left;
    bool clipText = false;
    // Rich text: the document slice from docTop; lineBottoms in document coordinates.
    std::shared_ptr<QTextDocument> document;
    double docTop = 0;
    std::vector<double> lineBottoms;
    // Picture and shape.
    QImage picture;
    bool center = false, stretch = false;
    ShapeKind shape = ShapeKind::Rectangle;
    FrameSpec pen;
};

struct BandLayout {
    double width = 0;
    double height = 0;
    std::optional<QColor> fill;
    std::optional<FrameSpec> frame;
    std::vector<BandBox> boxes;
};

// A QFont sized in page units (its pixel size), for measuring and drawing.
QFont pageFont(const FontSpec& spec);
// Values a layout cannot take are clamped: negative or huge geometry, tiny or
// huge fonts, absurd line widths.
FontSpec clampedFont(FontSpec spec);
int clampedGeometry(int designPixels);
int clampedLineWidth(int designPixels);

// A rich text read from a field's or label's stored text (RTF or plain), the
// control's font as its default; laid out on the page-unit device.
std::shared_ptr<QTextDocument> richDocument(const QString& stored, const FontSpec& font,
                                            Alignment alignment);

BandLayout layoutBand(const Component& band, const std::vector<ControlContent>& contents,
                      double width);

// Takes from `layout` the part that fits into `available` and returns it; the
// rest stays in `layout`, moved up to start at 0. The part is never empty
// when `available` > 0: a line or box that cannot fit anywhere is cut.
BandLayout splitBand(BandLayout& layout, double available);

// Adds the band's items to a page with the band's top at y.
void emitBand(const BandLayout& layout, double x, double y, Page& page);

} // namespace report
