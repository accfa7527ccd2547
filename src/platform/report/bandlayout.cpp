#include "platform/report/bandlayout.h"

#include "platform/richtext/rtf.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace report {
namespace {

constexpr double kEpsilon = 0.01;   // a hundredth of a page unit
constexpr int kMaxGeometry = 20000; // design pixels, over five metres
constexpr int kMaxLineWidth = 40;

struct FontEntry {
    QFont font;
    QFontMetricsF metrics;
};

QString fontKey(const FontSpec& f) {
    return f.name + u'|' + QString::number(f.size) + u'|' + QChar(u'0' + f.bold) +
           QChar(u'0' + f.italic) + QChar(u'0' + f.underline) + QChar(u'0' + f.strikeOut);
}

const FontEntry& fontEntry(const FontSpec& spec) {
    static QHash<QString, std::shared_ptr<FontEntry>> cache;
    const QString key = fontKey(spec);
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return **it;
    const QFont font = pageFont(spec);
    auto entry = std::make_shared<FontEntry>(FontEntry{font, QFontMetricsF(font)});
    cache.insert(key, entry);
    return *entry;
}

QStringList breakLines(const QString& text, const FontEntry& f, double width, bool wrap) {
    QString plain = text;
    plain.remove(u'\r');
    const QStringList paragraphs = plain.split(u'\n');
    if (!wrap)
        return paragraphs;
    QStringList lines;
    for (const QString& p : paragraphs) {
        if (p.isEmpty() || f.metrics.horizontalAdvance(p) <= width) {
            lines.append(p);
            continue;
        }
        QTextLayout layout(p, f.font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            QString part = p.mid(line.textStart(), line.textLength());
            while (!part.isEmpty() && part.back().isSpace())
                part.chop(1);
            lines.append(part);
        }
        layout.endLayout();
    }
    return lines;
}

std::vector<double> documentLineBottoms(QTextDocument& doc) {
    std::vector<double> bottoms;
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextLayout* tl = b.layout();
        const double top = layout->blockBoundingRect(b).top();
        for (int i = 0; tl && i < tl->lineCount(); ++i) {
            const QTextLine line = tl->lineAt(i);
            bottoms.push_back(top + line.y() + line.height());
        }
    }
    std::sort(bottoms.begin(), bottoms.end());
    return bottoms;
}

double contentHeight(const BandBox& box) {
    if (box.kind == ControlContent::Text)
        return double(box.lines.size() - box.firstLine) * box.lineHeight;
    if (box.kind == ControlContent::Rich && box.document)
        return box.document->size().height() - box.docTop;
    return box.rect.height();
}

bool splittable(const BandBox& box) {
    return box.kind == ControlContent::Text || box.kind == ControlContent::Rich;
}

// The lowest point up to which the box can print above `cut` (absolute in the
// band); the box's top when not even its first line fits.
double boundaryAtOrAbove(const BandBox& box, double cut) {
    const double top = box.rect.top();
    if (box.kind == ControlContent::Text) {
        const int fitting = int(std::floor((cut - top + kEpsilon) / box.lineHeight));
        return top + std::max(0, fitting) * box.lineHeight;
    }
    double best = top;
    for (const double b : box.lineBottoms) {
        if (b <= box.docTop + kEpsilon)
            continue;
        const double at = top + (b - box.docTop);
        if (at <= cut + kEpsilon)
            best = std::max(best, at);
    }
    return best;
}

QSizeF naturalSize(const QImage& image) {
    const double dpiX = image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() * 0.0254 : 96.0;
    const double dpiY = image.dotsPerMeterY() > 0 ? image.dotsPerMeterY() * 0.0254 : 96.0;
    return {image.width() * kUnitsPerInch / dpiX, image.height() * kUnitsPerInch / dpiY};
}

} // namespace

QFont pageFont(const FontSpec& spec) {
    static QHash<QString, QFont> cache;
    const FontSpec s = clampedFont(spec);
    const QString key = fontKey(s);
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    QFont font(s.name);
    font.setPixelSize(std::max(1, int(std::lround(s.size * kUnitsPerInch / 72.0))));
    font.setBold(s.bold);
    font.setItalic(s.italic);
    font.setUnderline(s.underline);
    font.setStrikeOut(s.strikeOut);
    font.setHintingPreference(QFont::PreferNoHinting);
    cache.insert(key, font);
    return font;
}

FontSpec clampedFont(FontSpec spec) {
    if (!(spec.size >= 1))
        spec.size = 1;
    spec.size = std::min(spec.size, 500.0);
    if (spec.name.trimmed().isEmpty())
        spec.name = QStringLiteral("Arial");
    return spec;
}

int clampedGeometry(int designPixels) {
    return std::clamp(designPixels, 0, kMaxGeometry);
}

int clampedLineWidth(int designPixels) {
    return std::clamp(designPixels, 0, kMaxLineWidth);
}

std::shared_ptr<QTextDocument> richDocument(const QString& stored, const FontSpec& font,
                                            Alignment alignment) {
    auto doc = std::make_shared<QTextDocument>();
    doc->documentLayout()->setPaintDevice(layoutDevice());
    doc->setDocumentMargin(0);
    const FontSpec f = clampedFont(font);
    QFont base(f.name);
    base.setPointSizeF(f.size);
    base.setBold(f.bold);
    base.setItalic(f.italic);
    base.setUnderline(f.underline);
    base.setStrikeOut(f.strikeOut);
    base.setHintingPreference(QFont::PreferNoHinting);
    doc->setDefaultFont(base);
    QTextOption option = doc->defaultTextOption();
    option.setAlignment(alignment == Alignment::Right    ? Qt::AlignRight
                        : alignment == Alignment::Center ? Qt::AlignHCenter
                                                         : Qt::AlignLeft);
    doc->setDefaultTextOption(option);
    const QByteArray bytes = stored.toLatin1();
    bool read = false;
    if (richtext::isRtf(bytes)) {
        try {
            richtext::readRtf(bytes, doc.get());
            read = true;
        } catch (const richtext::RtfError&) {
            // A damaged text still prints as what it holds.
        }
    }
    if (!read) {
        doc->setPlainText(stored);
        QTextCursor all(doc.get());
        all.select(QTextCursor::Document);
        QTextCharFormat format;
        format.setForeground(f.color);
        all.mergeCharFormat(format);
    }
    return doc;
}

BandLayout layoutBand(const Component& band, const std::vector<ControlContent>& contents,
                      double width) {
    BandLayout out;
    out.width = width;
    const double designHeight = clampedGeometry(band.height) * kUnitsPerDesignPixel;
    if (!band.transparent)
        out.fill = band.color;
    if (band.frame.any())
        out.frame = band.frame;

    struct Placed {
        double designTop, designBottom, growth, shift = 0;
    };
    std::vector<Placed> placed;
    for (const ControlContent& c : contents) {
        const Component& k = *c.control;
        BandBox box;
        box.kind = c.kind;
        box.rect = QRectF(clampedGeometry(k.left), clampedGeometry(k.top), clampedGeometry(k.width),
                          clampedGeometry(k.height));
        box.rect = QRectF(box.rect.topLeft() * kUnitsPerDesignPixel,
                          box.rect.size() * kUnitsPerDesignPixel);
        const double design = box.rect.height();
        if (c.kind == ControlContent::Shape) {
            box.shape = k.shape;
            box.pen = k.frame;
            box.pen.width = clampedLineWidth(k.frame.width);
            if (!c.transparent)
                box.fill = c.color;
        } else {
            if (!c.transparent)
                box.fill = c.color;
            if (k.frame.any()) {
                FrameSpec frame = k.frame;
                frame.width = clampedLineWidth(frame.width);
                box.frame = frame;
            }
        }
        if (c.kind == ControlContent::Text) {
            box.font = clampedFont(c.font);
            box.alignment = k.alignment;
            const FontEntry& f = fontEntry(box.font);
            box.lineHeight = std::max(1.0, f.metrics.lineSpacing());
            box.lines = breakLines(c.text, f, box.rect.width(), k.wordWrap || k.autoStretch);
            const double natural = box.lines.size() * box.lineHeight;
            if (k.autoStretch && natural > box.rect.height())
                box.rect.setHeight(natural);
            bool tooWide = false;
            for (const QString& line : std::as_const(box.lines))
                tooWide =
                    tooWide || f.metrics.horizontalAdvance(line) > box.rect.width() + kEpsilon;
            box.clipText = tooWide || natural > box.rect.height() + kEpsilon;
        } else if (c.kind == ControlContent::Rich && c.document) {
            box.document = c.document;
            box.document->setTextWidth(box.rect.width());
            box.lineBottoms = documentLineBottoms(*box.document);
            const double natural = box.document->size().height();
            if (k.autoStretch && natural > box.rect.height())
                box.rect.setHeight(natural);
        } else if (c.kind == ControlContent::Picture) {
            box.picture = c.picture;
            box.center = k.center;
            box.stretch = k.stretch;
        }
        placed.push_back({box.rect.top(), box.rect.top() + design, box.rect.height() - design});
        out.boxes.push_back(std::move(box));
    }

    // Controls below a grown control move down by its growth.
    std::vector<size_t> order(placed.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return placed[a].designTop < placed[b].designTop; });
    for (const size_t i : order) {
        for (const size_t j : order) {
            if (j == i || placed[j].growth + placed[j].shift <= 0)
                continue;
            if (placed[j].designBottom <= placed[i].designTop + kEpsilon)
                placed[i].shift = std::max(placed[i].shift, placed[j].shift + placed[j].growth);
        }
    }
    // The band grows by as much as its lowest moved control, keeping the space below it.
    double height = designHeight;
    for (size_t i = 0; i < placed.size(); ++i) {
        out.boxes[i].rect.translate(0, placed[i].shift);
        const double extra = placed[i].shift + std::max(0.0, placed[i].growth);
        if (extra > 0 && placed[i].designBottom <= designHeight + kEpsilon)
            height = std::max(height, designHeight + extra);
        else if (extra > 0)
            height = std::max(height, out.boxes[i].rect.bottom());
    }
    out.height = height;
    return out;
}

BandLayout splitBand(BandLayout& layout, double available) {
    double cut = available;
    for (const BandBox& box : layout.boxes) {
        if (box.rect.bottom() <= available + kEpsilon || box.rect.top() >= available - kEpsilon)
            continue;
        cut = std::min(cut, splittable(box) ? boundaryAtOrAbove(box, available) : box.rect.top());
    }
    const bool forced = cut <= kEpsilon;
    if (forced)
        cut = available;

    BandLayout part;
    part.width = layout.width;
    part.fill = layout.fill;
    part.frame = layout.frame;
    part.height = cut;
    BandLayout rest = part;
    rest.boxes.clear();
    rest.height = std::max(0.0, layout.height - cut);

    for (BandBox& box : layout.boxes) {
        const double top = box.rect.top();
        if (box.rect.bottom() <= cut + kEpsilon) {
            part.boxes.push_back(std::move(box));
            continue;
        }
        if (top >= cut - kEpsilon) {
            box.rect.translate(0, -cut);
            rest.boxes.push_back(std::move(box));
            continue;
        }
        BandBox first = box;
        double consumed = cut - top; // of the box's height, printed on this part
        if (box.kind == ControlContent::Text) {
            int fitting = int(std::floor((cut - top + kEpsilon) / box.lineHeight));
            const int remaining = int(box.lines.size()) - box.firstLine;
            if (fitting <= 0) {
                fitting = 1; // forced: a line taller than the page prints cut off
                first.clipText = true;
            } else if (fitting < remaining) {
                consumed = fitting * box.lineHeight;
            }
            first.rect.setHeight(std::min(consumed, cut - top));
            if (fitting < remaining) {
                box.firstLine += fitting;
                box.rect = QRectF(box.rect.left(), 0, box.rect.width(),
                                  std::max(contentHeight(box), box.rect.height() - consumed));
                rest.boxes.push_back(std::move(box));
            }
        } else if (box.kind == ControlContent::Rich) {
            const double boundary = boundaryAtOrAbove(box, cut);
            if (boundary > top + kEpsilon)
                consumed = boundary - top;
            first.rect.setHeight(consumed);
            box.docTop += consumed;
            box.rect = QRectF(box.rect.left(), 0, box.rect.width(), box.rect.height() - consumed);
            if (box.rect.height() > kEpsilon)
                rest.boxes.push_back(std::move(box));
        } else {
            // Only a forced cut reaches here: the box prints cut off, the rest is lost.
            first.rect.setHeight(cut - top);
            first.clipText = true;
        }
        part.boxes.push_back(std::move(first));
    }
    rest.height = std::max(rest.height, 0.0);
    layout = std::move(rest);
    return part;
}

void emitBand(const BandLayout& layout, double x, double y, Page& page) {
    const QRectF bandRect(x, y, layout.width, layout.height);
    if (layout.fill)
        page.items.push_back(FillItem{bandRect, *layout.fill});
    for (const BandBox& box : layout.boxes) {
        const QRectF r = box.rect.translated(x, y);
        if (box.fill && box.kind != ControlContent::Shape)
            page.items.push_back(FillItem{r, *box.fill});
        switch (box.kind) {
        case ControlContent::Text:
            for (int i = box.firstLine; i < box.lines.size(); ++i) {
                const double ly = r.top() + (i - box.firstLine) * box.lineHeight;
                if (ly >= r.bottom() - kEpsilon)
                    break;
                const double lh = std::min(box.lineHeight, r.bottom() - ly);
                if (box.lines[i].isEmpty())
                    continue;
                page.items.push_back(TextItem{QRectF(r.left(), ly, r.width(), lh), box.lines[i],
                                              box.font, box.alignment,
                                              box.clipText || lh < box.lineHeight - kEpsilon});
            }
            break;
        case ControlContent::Rich:
            if (box.document)
                page.items.push_back(RichTextItem{r, box.document, box.docTop});
            break;
        case ControlContent::Picture: {
            if (box.picture.isNull())
                break;
            QRectF target = r;
            if (!box.stretch) {
                target.setSize(naturalSize(box.picture));
                if (box.center)
                    target.moveCenter(r.center());
            }
            page.items.push_back(ImageItem{target, r, box.picture});
            break;
        }
        case ControlContent::Shape:
            page.items.push_back(ShapeItem{r, box.shape, box.pen.color, box.pen.style,
                                           box.pen.width * kUnitsPerDesignPixel,
                                           box.fill.value_or(Qt::white), box.fill.has_value()});
            break;
        }
        if (box.frame)
            page.items.push_back(FrameItem{r, *box.frame});
    }
    if (layout.frame)
        page.items.push_back(FrameItem{bandRect, *layout.frame});
}

} // namespace report
