#include "printing/gui/designproxies.h"

#include "printing/layoutvalues.h"

#include <QPainter>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Band proxies: light grey, captions in Arial 7 points of a strong blue.
constexpr int kBandBackground = 14540253;
constexpr int kBandCaptionColor = 16719904;
constexpr int kPenFactor = 3;

QFont fontOf(const report::FontSpec& spec) {
    QFont font(spec.name);
    font.setPixelSize(std::max(DesignPixelsOfPoints(spec.size), 1));
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    return font;
}

} // namespace

int DesignPixelsOfPoints(double points) {
    return int(std::lround(points * 3.8 * 25.4 / 72.0));
}

void PaintProxyFrame(QWidget& widget, const report::FrameSpec& frame) {
    if (!frame.top && !frame.right && !frame.bottom && !frame.left)
        return;
    QPainter painter(&widget);
    painter.setPen(QPen(frame.color, frame.width * kPenFactor));
    const QRect r = widget.rect();
    const QPoint topLeft = r.topLeft(), topRight = r.topRight();
    const QPoint bottomRight = r.bottomRight(), bottomLeft = r.bottomLeft();
    if (frame.top)
        painter.drawLine(topLeft, topRight);
    if (frame.right)
        painter.drawLine(topRight, bottomRight);
    if (frame.bottom)
        painter.drawLine(bottomRight, bottomLeft);
    if (frame.left)
        painter.drawLine(bottomLeft, topLeft);
}

TPrivateLabel::TPrivateLabel(int kind, QWidget* parent) : QLabel(parent), m_kind(kind) {
    setAutoFillBackground(true);
    setWordWrap(true);
    setMargin(0);
    setIndent(0);
    setTextFormat(Qt::PlainText);
}

void TPrivateLabel::setTextColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::Disabled, QPalette::WindowText, color);
    setPalette(p);
}

void TPrivateLabel::setDesignFont(const report::FontSpec& font) {
    setFont(fontOf(font));
}

void TPrivateLabel::setBackground(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
}

void TPrivateLabel::setDesignAlignment(report::Alignment alignment) {
    const Qt::Alignment horizontal = alignment == report::Alignment::Right    ? Qt::AlignRight
                                     : alignment == report::Alignment::Center ? Qt::AlignHCenter
                                                                              : Qt::AlignLeft;
    setAlignment(horizontal | Qt::AlignTop);
}

void TPrivateLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    PaintProxyFrame(*this, frame);
}

TPrivatePanel::TPrivatePanel(const QString& caption, QWidget* parent)
    : QWidget(parent), m_caption(caption) {
    setObjectName(caption);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, ColorOfLayoutValue(kBandBackground));
    setPalette(p);
}

void TPrivatePanel::paintEvent(QPaintEvent*) {
    {
        QPainter painter(this);
        QFont font(u"Arial"_s);
        font.setPixelSize(DesignPixelsOfPoints(7));
        painter.setFont(font);
        painter.setPen(switchedOn ? ColorOfLayoutValue(kBandCaptionColor) : QColor(Qt::gray));
        painter.drawText(rect().adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                         switchedOn ? m_caption : m_caption + u" (aus)"_s);
    }
    PaintProxyFrame(*this, frame);
}

TPrivateImage::TPrivateImage(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void TPrivateImage::setPicture(const QImage& picture) {
    m_picture = picture;
    update();
}

void TPrivateImage::paintEvent(QPaintEvent*) {
    {
        QPainter painter(this);
        if (m_picture.isNull()) {
            painter.setPen(Qt::gray);
            painter.drawText(rect(), Qt::AlignCenter, objectName());
        } else {
            QRect target = rect();
            if (!stretch) {
                target.setSize(m_picture.size());
                if (center)
                    target.moveCenter(rect().center());
            }
            painter.setClipRect(rect());
            painter.drawImage(target, m_picture);
        }
    }
    PaintProxyFrame(*this, frame);
}
