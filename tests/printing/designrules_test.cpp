#include "platform/richtext/rtf.h"
#include "printing/basereport.h"
#include "printing/designrules.h"

#include <gtest/gtest.h>

namespace {

using report::ComponentClass;

struct DragCase {
    int pos, delta, raster, limit, expected;
};

TEST(DesignDragTest, SnapsToTheRasterWithinTheBand) {
    const DragCase cases[] = {
        {10, 3, 4, 100, 10},   // less than one step: no move
        {10, -3, 4, 100, 10},  // also backwards
        {10, 5, 4, 100, 12},   // 15 div 4 * 4
        {10, 4, 4, 100, 12},   // exactly one step
        {10, -4, 4, 100, 4},   // 6 div 4 * 4
        {10, 1, 1, 100, 11},   // raster 1 follows the pointer
        {10, 16, 16, 100, 16}, // the largest raster
        {4, -20, 4, 100, 0},   // past the left or top edge: 0
        {90, 20, 4, 100, 100}, // past the right or bottom edge: band size minus proxy size
        {0, 8, 4, -20, 0},     // a proxy larger than its band stays at 0
    };
    for (const DragCase& c : cases)
        EXPECT_EQ(DraggedPosition(c.pos, c.delta, c.raster, c.limit), c.expected)
            << c.pos << " + " << c.delta << " raster " << c.raster;
}

TEST(DesignDragTest, TheRasterIsOneValueFromOneToSixteen) {
    const int saved = DesignRaster();
    SetDesignRaster(0);
    EXPECT_EQ(DesignRaster(), 1);
    SetDesignRaster(17);
    EXPECT_EQ(DesignRaster(), 16);
    SetDesignRaster(saved);
}

struct KeyCase {
    DesignKeyModifier modifier;
    DesignArrow arrow;
    DesignGeometry before;
    DesignGeometry after;
    bool consumed;
};

TEST(DesignKeyTest, MovesWithinTheBandAndSizesWithinTheLimits) {
    using M = DesignKeyModifier;
    using A = DesignArrow;
    // The band is 200 x 50.
    const KeyCase cases[] = {
        {M::Ctrl, A::Left, {10, 5, 20, 10}, {9, 5, 20, 10}, true},
        {M::Ctrl, A::Up, {10, 5, 20, 10}, {10, 4, 20, 10}, true},
        {M::Ctrl, A::Right, {10, 5, 20, 10}, {11, 5, 20, 10}, true},
        {M::Ctrl, A::Down, {10, 5, 20, 10}, {10, 6, 20, 10}, true},
        {M::Ctrl, A::Left, {0, 0, 20, 10}, {0, 0, 20, 10}, true},
        {M::Ctrl, A::Up, {0, 0, 20, 10}, {0, 0, 20, 10}, true},
        {M::Ctrl, A::Right, {180, 40, 20, 10}, {180, 40, 20, 10}, true},
        {M::Ctrl, A::Down, {180, 40, 20, 10}, {180, 40, 20, 10}, true},
        {M::Shift, A::Left, {0, 0, 9, 10}, {0, 0, 8, 10}, true},
        {M::Shift, A::Left, {0, 0, 8, 10}, {0, 0, 8, 10}, true},
        {M::Shift, A::Right, {0, 0, 999, 10}, {0, 0, 1000, 10}, true},
        {M::Shift, A::Right, {0, 0, 1000, 10}, {0, 0, 1000, 10}, true},
        {M::Shift, A::Up, {0, 0, 20, 8}, {0, 0, 20, 8}, true},
        {M::Shift, A::Up, {0, 0, 20, 9}, {0, 0, 20, 8}, true},
        {M::Shift, A::Down, {0, 0, 20, 499}, {0, 0, 20, 500}, true},
        {M::Shift, A::Down, {0, 0, 20, 500}, {0, 0, 20, 500}, true},
        {M::None, A::Right, {10, 5, 20, 10}, {10, 5, 20, 10}, false},
    };
    for (const KeyCase& c : cases) {
        DesignGeometry g = c.before;
        EXPECT_EQ(ApplyDesignKey(c.modifier, c.arrow, 200, 50, g), c.consumed);
        EXPECT_EQ(g, c.after) << int(c.modifier) << '/' << int(c.arrow) << " from " << c.before.left
                              << ',' << c.before.top << ',' << c.before.width << ','
                              << c.before.height;
    }
}

TEST(DesignMarginTest, ReadsWhatUsersType) {
    const std::pair<const char*, double> cases[] = {
        {"10,5 mm", 10.5}, {"10,5", 10.5}, {"10.5mm", 10.5}, {" 20.00 mm", 20.0},
        {"12 cm", 12.0},   {"7 8", 7.0},   {"abc", 0.0},     {"", 0.0},
        {"mm", 0.0},       {"-3,5", -3.5}, {"1e999", 0.0},   {"15,00 Millimeter", 15.0},
    };
    for (const auto& [text, mm] : cases)
        EXPECT_DOUBLE_EQ(MarginFieldMm(QString::fromUtf8(text)), mm) << text;
    EXPECT_EQ(MarginFieldPixels(QStringLiteral("10,5 mm")), 40); // 39.9 rounded
    EXPECT_EQ(MarginFieldText(40), QStringLiteral(" 10.53 mm"));
    EXPECT_EQ(MarginFieldText(38), QStringLiteral(" 10.00 mm"));
    EXPECT_EQ(MarginFieldText(0), QStringLiteral("  0.00 mm"));
}

TEST(DesignMarginTest, LeftAndRightMarginsTakeTheirGrowthFromThePrintableWidth) {
    DesignMargins m{38, 38, 38, 38, 722};
    ApplyMarginFields({QStringLiteral("10,5 mm"), QStringLiteral("15"), QStringLiteral("5 mm"),
                       QStringLiteral("20 mm")},
                      210, 297, m);
    EXPECT_EQ(m.left, 40);
    EXPECT_EQ(m.top, 57);
    EXPECT_EQ(m.right, 19);
    EXPECT_EQ(m.bottom, 76);
    EXPECT_EQ(m.printWidth, 722 - 2 + 19);

    // Margins stay where a layout file gives them back: 0 to half the paper
    // minus 10 mm.
    ApplyMarginFields(
        {QStringLiteral("-5"), QStringLiteral("abc"), QStringLiteral("500"), QStringLiteral("0")},
        210, 297, m);
    EXPECT_EQ(m.left, 0);
    EXPECT_EQ(m.top, 0);
    EXPECT_EQ(m.right, 361); // 95 mm
    EXPECT_EQ(m.printWidth, 722 - 2 + 19 + 40 - (361 - 19));
}

TEST(DesignSwitchTest, BandsGroupsAndSubDetailsAlwaysPrint) {
    const std::pair<ComponentClass, bool> cases[] = {
        {ComponentClass::Band, false},    {ComponentClass::SubDetail, false},
        {ComponentClass::Group, false},   {ComponentClass::ChildBand, true},
        {ComponentClass::Label, true},    {ComponentClass::DBText, true},
        {ComponentClass::RichText, true}, {ComponentClass::DBRichText, true},
        {ComponentClass::Image, true},    {ComponentClass::SysData, true},
        {ComponentClass::Expr, true},     {ComponentClass::Shape, true},
    };
    for (const auto& [cls, switchable] : cases) {
        EXPECT_EQ(IsSwitchable(cls), switchable) << report::className(cls).toStdString();
        EXPECT_EQ(IsStructureRow(cls), !switchable);
    }
}

TEST(DesignLabelTest, WhatEachKindOfProxyShowsAndOffers) {
    report::Component c;
    c.name = QStringLiteral("Ctl");
    c.caption = QStringLiteral("Text");
    c.cls = ComponentClass::Label;
    EXPECT_EQ(LabelProxyText(c), QStringLiteral("Text"));
    c.cls = ComponentClass::DBText;
    EXPECT_EQ(LabelProxyText(c), QStringLiteral("Ctl"));
    c.cls = ComponentClass::Expr;
    EXPECT_EQ(LabelProxyText(c), QStringLiteral("Ctl"));
    c.cls = ComponentClass::DBRichText;
    EXPECT_EQ(LabelProxyText(c), QStringLiteral("Ctl"));
    c.cls = ComponentClass::SysData;
    EXPECT_EQ(LabelProxyText(c), QStringLiteral("Text"));
    c.caption.clear();
    EXPECT_EQ(LabelProxyText(c), QStringLiteral("Ctl"));
    c.cls = ComponentClass::RichText;
    c.caption = QString::fromLatin1(
        richtext::rtfFromPlainText(QStringLiteral("Erste Zeile\nZweite Zeile")));
    EXPECT_EQ(LabelProxyText(c), QStringLiteral("Erste Zeile\nZweite Zeile"));

    EXPECT_EQ(LabelKindOf(ComponentClass::Label), kLabelText);
    EXPECT_EQ(LabelKindOf(ComponentClass::DBText), kLabelData);
    EXPECT_EQ(LabelKindOf(ComponentClass::RichText), kLabelRich);
    EXPECT_EQ(LabelKindOf(ComponentClass::DBRichText), kLabelRich);
    EXPECT_EQ(LabelKindOf(ComponentClass::SysData), kLabelSys);
    EXPECT_EQ(LabelKindOf(ComponentClass::Expr), kLabelExpr);
    EXPECT_EQ(LabelKindOf(ComponentClass::Image), -1);
    EXPECT_EQ(LabelKindOf(ComponentClass::Shape), -1);
    for (int kind = 0; kind <= 4; ++kind) {
        EXPECT_EQ(HasCaptionEntry(kind), kind <= 1);
        EXPECT_EQ(HasAlignEntry(kind), kind != kLabelRich);
    }
}

} // namespace
