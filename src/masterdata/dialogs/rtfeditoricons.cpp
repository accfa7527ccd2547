#include "masterdata/dialogs/rtfeditoricons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

namespace {

constexpr int kSize = 20;
const QColor kInk(0x20, 0x20, 0x20);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kBlue(0x1E, 0x5A, 0xA8);

QPixmap canvas() {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void glyph(QPainter& p, const QRect& box, const QString& text, const QFont& font,
           const QColor& color) {
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font);
    p.setPen(color);
    p.drawText(box, Qt::AlignCenter, text);
}

QFont glyphFont(const char* family, int pixels) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    return font;
}

QIcon letter(const QString& text, bool bold, bool italic, bool underline) {
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    QFont font = glyphFont("Liberation Serif", 16);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    glyph(p, QRect(0, 0, kSize, kSize), text, font, kInk);
    return QIcon(pixmap);
}

QIcon alignment(Qt::Alignment align) {
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    const int lengths[] = {16, 10, 16, 12, 16};
    for (int i = 0; i < 5; ++i) {
        const int length = lengths[i];
        int left = 2;
        if (align == Qt::AlignHCenter)
            left = 2 + (16 - length) / 2;
        else if (align == Qt::AlignRight)
            left = 18 - length;
        p.fillRect(left, 3 + i * 3, length, 2, kInk);
    }
    return QIcon(pixmap);
}

void sheet(QPainter& p, const QRect& r) {
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(r);
    for (int y = r.top() + 3; y < r.bottom() - 1; y += 3)
        p.drawLine(r.left() + 2, y, r.right() - 2, y);
}

QIcon printer() {
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    sheet(p, QRect(5, 1, 10, 8));
    p.setPen(kInk);
    p.setBrush(QColor(0x9A, 0x9A, 0x9A));
    p.drawRoundedRect(QRect(1, 8, 18, 8), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRect(5, 13, 10, 5));
    p.fillRect(15, 10, 2, 2, QColor(0x2E, 0xA0, 0x3A));
    return QIcon(pixmap);
}

QIcon scissors() {
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.6));
    p.drawLine(QPointF(5, 2), QPointF(13, 13));
    p.drawLine(QPointF(15, 2), QPointF(7, 13));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kBlue, 1.8));
    p.drawEllipse(QPointF(5.5, 15.5), 3, 3);
    p.drawEllipse(QPointF(14.5, 15.5), 3, 3);
    return QIcon(pixmap);
}

QIcon copies() {
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    sheet(p, QRect(1, 1, 11, 13));
    sheet(p, QRect(7, 6, 11, 13));
    return QIcon(pixmap);
}

QIcon clipboard() {
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setPen(kInk);
    p.setBrush(QColor(0xC8, 0x96, 0x4B));
    p.drawRoundedRect(QRect(2, 3, 13, 16), 2, 2);
    p.setBrush(QColor(0x9A, 0x9A, 0x9A));
    p.drawRect(QRect(5, 1, 7, 4));
    sheet(p, QRect(8, 7, 10, 12));
    return QIcon(pixmap);
}

QIcon undoArrow() {
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arc;
    arc.moveTo(5, 8);
    arc.cubicTo(10, 3, 19, 6, 16, 15);
    p.setPen(QPen(kBlue, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({QPointF(1, 8), QPointF(8, 3), QPointF(8, 13)}));
    return QIcon(pixmap);
}

// A window outline with its title bar; the small size shows a smaller one
// in front of a second.
QIcon windowSize(bool large) {
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setPen(kInk);
    const auto frame = [&p](const QRect& r) {
        p.setBrush(kPaper);
        p.drawRect(r);
        p.fillRect(r.left(), r.top(), r.width() + 1, 3, kBlue);
    };
    if (large) {
        frame(QRect(1, 2, 17, 15));
    } else {
        frame(QRect(6, 2, 12, 10));
        frame(QRect(1, 7, 12, 10));
    }
    return QIcon(pixmap);
}

QIcon fontIcon() {
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    glyph(p, QRect(0, 0, 13, kSize), QStringLiteral("A"), glyphFont("Liberation Serif", 17), kBlue);
    glyph(p, QRect(10, 6, 10, 14), QStringLiteral("a"), glyphFont("Liberation Sans", 11), kInk);
    return QIcon(pixmap);
}

} // namespace

QIcon RtfEditorIconOf(RtfEditorIcon icon, const QStyle& style) {
    switch (icon) {
    case RtfEditorIcon::Close:
        return style.standardIcon(QStyle::SP_DialogApplyButton);
    case RtfEditorIcon::Enlarge:
        return windowSize(true);
    case RtfEditorIcon::Shrink:
        return windowSize(false);
    case RtfEditorIcon::Load:
        return style.standardIcon(QStyle::SP_DialogOpenButton);
    case RtfEditorIcon::Save:
        return style.standardIcon(QStyle::SP_DialogSaveButton);
    case RtfEditorIcon::Print:
        return printer();
    case RtfEditorIcon::Font:
        return fontIcon();
    case RtfEditorIcon::Bold:
        return letter(QStringLiteral("F"), true, false, false);
    case RtfEditorIcon::Italic:
        return letter(QStringLiteral("K"), false, true, false);
    case RtfEditorIcon::Underline:
        return letter(QStringLiteral("U"), false, false, true);
    case RtfEditorIcon::AlignLeft:
        return alignment(Qt::AlignLeft);
    case RtfEditorIcon::AlignCenter:
        return alignment(Qt::AlignHCenter);
    case RtfEditorIcon::AlignRight:
        return alignment(Qt::AlignRight);
    case RtfEditorIcon::Cut:
        return scissors();
    case RtfEditorIcon::Copy:
        return copies();
    case RtfEditorIcon::Paste:
        return clipboard();
    case RtfEditorIcon::Undo:
        return undoArrow();
    }
    return {};
}
