#include "platform/report/pagerenderer.h"

#include "platform/report/bandlayout.h"
#include "platform/report/pagemodel.h"

#include <QPainter>
#include <QTextDocument>

namespace report {
namespace {

Qt::PenStyle penStyle(int style) {
    switch (style) {
    case psDash:
        return Qt::DashLine;
    case psDot:
        return Qt::DotLine;
    case psDashDot:
        return Qt::DashDotLine;
    case psDashDotDot:
        return Qt::DashDotDotLine;
    case psClear:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

QPen makePen(const QColor& color, int style, double width) {
    QPen pen(color, width, penStyle(style));
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

struct Painter {
    QPainter& p;

    void operator()(const FillItem& item) const { p.fillRect(item.rect, item.color); }

    void operator()(const FrameItem& item) const {
        const FrameSpec& f = item.frame;
        if (!f.any())
            return;
        const double width = clampedLineWidth(f.width) * kUnitsPerDesignPixel;
        p.setPen(makePen(f.color, f.style, width));
        p.setBrush(Qt::NoBrush);
        QRectF r = item.rect;
        if (f.style == psInsideFrame)
            r.adjust(width / 2, width / 2, -width / 2, -width / 2);
        if (f.top)
            p.drawLine(r.topLeft(), r.topRight());
        if (f.bottom)
            p.drawLine(r.bottomLeft(), r.bottomRight());
        if (f.left)
            p.drawLine(r.topLeft(), r.bottomLeft());
        if (f.right)
            p.drawLine(r.topRight(), r.bottomRight());
    }

    void operator()(const TextItem& item) const {
        p.setFont(pageFont(item.font));
        p.setPen(item.font.color);
        const int align = (item.alignment == Alignment::Right    ? Qt::AlignRight
                           : item.alignment == Alignment::Center ? Qt::AlignHCenter
                                                                 : Qt::AlignLeft) |
                          Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
        if (item.clip) {
            p.save();
            p.setClipRect(item.rect, Qt::IntersectClip);
        }
        p.drawText(item.rect, align, item.text);
        if (item.clip)
            p.restore();
    }

    void operator()(const ImageItem& item) const {
        p.save();
        p.setClipRect(item.clip, Qt::IntersectClip);
        p.drawImage(item.rect, item.image);
        p.restore();
    }

    void operator()(const RichTextItem& item) const {
        if (!item.document)
            return;
        p.save();
        p.setClipRect(item.rect, Qt::IntersectClip);
        p.translate(item.rect.left(), item.rect.top() - item.docTop);
        item.document->drawContents(&p,
                                    QRectF(0, item.docTop, item.rect.width(), item.rect.height()));
        p.restore();
    }

    void operator()(const ShapeItem& item) const {
        p.setPen(makePen(item.pen, item.penStyle, item.penWidth));
        p.setBrush(item.filled ? QBrush(item.brush) : QBrush(Qt::NoBrush));
        const QRectF& r = item.rect;
        switch (item.shape) {
        case ShapeKind::Rectangle:
            p.drawRect(r);
            break;
        case ShapeKind::Circle:
            p.drawEllipse(r);
            break;
        case ShapeKind::HorLine:
            p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
            break;
        case ShapeKind::VertLine:
            p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
            break;
        case ShapeKind::TopAndBottom:
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.bottomLeft(), r.bottomRight());
            break;
        case ShapeKind::RightAndLeft:
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.drawLine(r.topRight(), r.bottomRight());
            break;
        }
    }
};

} // namespace

QPaintDevice* layoutDevice() {
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = int(kUnitsPerMm * 1000);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return &device;
}

void paintPage(QPainter& painter, const Document& document, int index, double dotsPerInch) {
    if (index < 0 || index >= int(document.pages.size()))
        return;
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    const double scale = dotsPerInch / kUnitsPerInch;
    painter.scale(scale, scale);
    const Painter visitor{painter};
    for (const PageItem& item : document.pages[size_t(index)].items)
        std::visit(visitor, item);
    painter.restore();
}

QImage renderPage(const Document& document, int index, double dotsPerInch) {
    const QSizeF paper = document.paperUnits() * (dotsPerInch / kUnitsPerInch);
    QImage image(paper.toSize(), QImage::Format_RGB32);
    const int dotsPerMeter = int(dotsPerInch / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPage(painter, document, index, dotsPerInch);
    return image;
}

} // namespace report
