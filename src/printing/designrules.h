#pragma once

// The rules of the layout designer that need no window: how dragging snaps to
// the raster, what the arrow keys do, how margin fields are read and shown,
// and which controls the user may switch off.

#include "platform/report/reportdef.h"

#include <QString>

struct DesignMargins;

// The grid step of dragging, 1 to 16, one value for the whole process that
// lasts from one opening of the designer to the next; it starts at 4.
int DesignRaster();
void SetDesignRaster(int raster);
inline constexpr int kMinRaster = 1;
inline constexpr int kMaxRaster = 16;

// Keyboard size limits of a proxy in design pixels.
inline constexpr int kMinProxySize = 8;
inline constexpr int kMaxProxyWidth = 1000;
inline constexpr int kMaxProxyHeight = 500;

// One axis of a drag: `pos` moves by `delta` snapped down to the raster when
// the pointer went at least one raster step; it stays within 0 and `limit`
// (the parent's size minus the proxy's), 0 winning when the proxy is larger
// than its band.
int DraggedPosition(int pos, int delta, int raster, int limit);

struct DesignGeometry {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const DesignGeometry&) const = default;
};

enum class DesignKeyModifier { None, Ctrl, Shift };
enum class DesignArrow { Left, Up, Right, Down };

// Ctrl + arrow moves by one pixel within the parent, Shift + arrow sizes by
// one within the keyboard limits. False when the key is none of these (the
// window then lets it through).
bool ApplyDesignKey(DesignKeyModifier modifier, DesignArrow arrow, int parentWidth,
                    int parentHeight, DesignGeometry& geometry);

// A margin field as the user typed it ("10,5 mm", "10.5", "12mm", "abc"):
// commas are points, everything from the first "m" and from the first blank
// after trimming is dropped; what is not a number reads 0. In millimetres.
double MarginFieldMm(const QString& text);
int MarginFieldPixels(const QString& text);
// "%6.2f mm" of the design pixels: " 10.00 mm".
QString MarginFieldText(int designPixels);

// Applies the four fields to the stored margins: top and bottom are taken,
// a changed left or right margin shrinks or widens the printable width by its
// growth. Each margin stays within what a layout file gives back on reading
// (0 to half the paper minus 10 mm), so the designer shows what is saved.
struct MarginFields {
    QString left, top, right, bottom;
};
void ApplyMarginFields(const MarginFields& fields, double paperWidthMm, double paperHeightMm,
                       DesignMargins& margins);

// Bands, groups and sub-details always print; every other control, child
// bands included, may be switched on and off.
bool IsSwitchable(report::ComponentClass cls);
// The control list draws these rows red.
bool IsStructureRow(report::ComponentClass cls);

// The kinds of label proxies; -1 for a class that gets no label proxy.
enum LabelKind { kLabelText = 0, kLabelData = 1, kLabelRich = 2, kLabelSys = 3, kLabelExpr = 4 };
int LabelKindOf(report::ComponentClass cls);
// The text a label proxy shows for the control.
QString LabelProxyText(const report::Component& control);
// Which entries of the label menu apply to a kind.
bool HasCaptionEntry(int kind); // "Beschriftung" (kind 0) / "Formatierung" (kind 1)
bool HasAlignEntry(int kind);
