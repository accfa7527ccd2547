#include "printing/designrules.h"

#include "platform/report/bandlayout.h"
#include "printing/basereport.h"
#include "printing/layoutvalues.h"

#include <QTextDocument>
#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace Qt::StringLiterals;
using report::ComponentClass;

namespace {

int& raster() {
    static int value = 4;
    return value;
}

int withinLimit(int pos, int limit) {
    return std::max(std::min(pos, limit), 0);
}

int maxMarginPixels(double paperMm) {
    return std::max(DesignPixelsOfMm(paperMm / 2 - 10), 0);
}

} // namespace

int DesignRaster() {
    return raster();
}

void SetDesignRaster(int value) {
    raster() = std::clamp(value, kMinRaster, kMaxRaster);
}

int DraggedPosition(int pos, int delta, int step, int limit) {
    if (step < 1 || std::abs(delta) < step)
        return pos;
    // Pascal's div: truncated towards zero; a negative result is raised to 0 anyway.
    return withinLimit((pos + delta) / step * step, limit);
}

bool ApplyDesignKey(DesignKeyModifier modifier, DesignArrow arrow, int parentWidth,
                    int parentHeight, DesignGeometry& g) {
    const bool horizontal = arrow == DesignArrow::Left || arrow == DesignArrow::Right;
    const int step = arrow == DesignArrow::Left || arrow == DesignArrow::Up ? -1 : 1;
    switch (modifier) {
    case DesignKeyModifier::Ctrl:
        if (horizontal)
            g.left = withinLimit(g.left + step, parentWidth - g.width);
        else
            g.top = withinLimit(g.top + step, parentHeight - g.height);
        return true;
    case DesignKeyModifier::Shift: {
        int& size = horizontal ? g.width : g.height;
        const int max = horizontal ? kMaxProxyWidth : kMaxProxyHeight;
        if ((step < 0 && size > kMinProxySize) || (step > 0 && size < max))
            size += step;
        return true;
    }
    case DesignKeyModifier::None:
        break;
    }
    return false;
}

double MarginFieldMm(const QString& text) {
    QString t = text;
    t.replace(u',', u'.');
    const qsizetype m = t.indexOf(u'm');
    if (m >= 0)
        t.truncate(m);
    t = t.trimmed();
    const qsizetype blank = t.indexOf(u' ');
    if (blank >= 0)
        t.truncate(blank);
    bool ok = false;
    const double value = t.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

int MarginFieldPixels(const QString& text) {
    const double pixels = std::round(MarginFieldMm(text) * report::kDesignPixelsPerMm);
    return int(std::clamp(pixels, -1.0e6, 1.0e6));
}

QString MarginFieldText(int designPixels) {
    return u"%1 mm"_s.arg(designPixels / report::kDesignPixelsPerMm, 6, 'f', 2);
}

void ApplyMarginFields(const MarginFields& fields, double paperWidthMm, double paperHeightMm,
                       DesignMargins& margins) {
    const int maxH = maxMarginPixels(paperWidthMm);
    const int maxV = maxMarginPixels(paperHeightMm);
    margins.top = std::clamp(MarginFieldPixels(fields.top), 0, maxV);
    margins.bottom = std::clamp(MarginFieldPixels(fields.bottom), 0, maxV);
    const int left = std::clamp(MarginFieldPixels(fields.left), 0, maxH);
    const int right = std::clamp(MarginFieldPixels(fields.right), 0, maxH);
    margins.printWidth += (margins.left - left) + (margins.right - right);
    margins.left = left;
    margins.right = right;
}

bool IsSwitchable(ComponentClass cls) {
    return !IsStructureRow(cls);
}

bool IsStructureRow(ComponentClass cls) {
    return cls == ComponentClass::Band || cls == ComponentClass::SubDetail ||
           cls == ComponentClass::Group;
}

int LabelKindOf(ComponentClass cls) {
    switch (cls) {
    case ComponentClass::Label:
        return kLabelText;
    case ComponentClass::DBText:
        return kLabelData;
    case ComponentClass::RichText:
    case ComponentClass::DBRichText:
        return kLabelRich;
    case ComponentClass::SysData:
        return kLabelSys;
    case ComponentClass::Expr:
        return kLabelExpr;
    default:
        return -1;
    }
}

QString LabelProxyText(const report::Component& c) {
    switch (c.cls) {
    case ComponentClass::Label:
        return c.caption;
    case ComponentClass::RichText:
        return report::richDocument(c.caption, c.font, c.alignment)->toPlainText();
    case ComponentClass::SysData:
        // A system-data control without a prefix is known by its name.
        return c.caption.isEmpty() ? c.name : c.caption;
    default:
        return c.name;
    }
}

bool HasCaptionEntry(int kind) {
    return kind == kLabelText || kind == kLabelData;
}

bool HasAlignEntry(int kind) {
    return kind == kLabelText || kind == kLabelData || kind == kLabelSys || kind == kLabelExpr;
}
