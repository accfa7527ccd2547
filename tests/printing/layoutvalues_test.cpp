#include "printing/layoutvalues.h"

#include <gtest/gtest.h>

using report::Alignment;

namespace {

TEST(LayoutValuesTest, IntegersReadLikeTheOldRuntime) {
    const struct {
        const char16_t* text;
        int value;
    } cases[] = {
        {u"17", 17},
        {u" 17 ", 17},
        {u"\t-5\r", -5},
        {u"+8", 8},
        {u"$1F", 31},
        {u"$ff", 255},
        {u"-$10", -16},
        {u"$FF000005", -16777211},
        {u"17a", 0},
        {u"1 7", 0},
        {u"", 0},
        {u"abc", 0},
        {u"$", 0},
        {u"$123456789", 0},
        {u"0x1F", 0},
        {u"2147483648", 0},
        {u"-2147483648", -2147483647 - 1},
        {u"12.5", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LayoutInteger(QString::fromUtf16(c.text)), c.value)
            << QString::fromUtf16(c.text).toStdString();
}

TEST(LayoutValuesTest, BooleansAlignmentsAndFrameStyles) {
    for (const char16_t* t : {u"true", u"TRUE", u" True ", u"\ttrue"})
        EXPECT_TRUE(LayoutBool(QString::fromUtf16(t)));
    for (const char16_t* t : {u"1", u"yes", u"false", u"", u"truex"})
        EXPECT_FALSE(LayoutBool(QString::fromUtf16(t)));

    EXPECT_EQ(LayoutAlignment(QStringLiteral("taLeftJustify")), Alignment::Left);
    EXPECT_EQ(LayoutAlignment(QStringLiteral(" TARIGHTJUSTIFY ")), Alignment::Right);
    for (const char16_t* t : {u"taCenter", u"", u"links", u"taLeft"})
        EXPECT_EQ(LayoutAlignment(QString::fromUtf16(t)), Alignment::Center);

    EXPECT_EQ(LayoutFrameStyle(QStringLiteral("psDash")), report::psDash);
    EXPECT_EQ(LayoutFrameStyle(QStringLiteral("  PSDASH ")), report::psDash);
    EXPECT_EQ(LayoutFrameStyle(QStringLiteral("psInsideFrame")), report::psInsideFrame);
    EXPECT_EQ(LayoutFrameStyle(QStringLiteral("psDashed")), report::psSolid);
    EXPECT_EQ(LayoutFrameStyleText(report::psClear), QStringLiteral("psClear"));
    EXPECT_EQ(LayoutFrameStyleText(9), QStringLiteral("psSolid"));
    EXPECT_EQ(LayoutAlignmentText(Alignment::Right), QStringLiteral("taRightJustify"));
}

TEST(LayoutValuesTest, FontStylesAreSubstringsInAnyOrderAndCase) {
    report::FontSpec font;
    font.italic = true;
    ApplyLayoutFontStyle(QStringLiteral("underline;bOLD"), font);
    EXPECT_TRUE(font.bold);
    EXPECT_TRUE(font.underline);
    EXPECT_FALSE(font.italic);
    EXPECT_FALSE(font.strikeOut);
    EXPECT_EQ(LayoutFontStyleText(font), QStringLiteral("[Bold,Underline]"));
    ApplyLayoutFontStyle(QStringLiteral("[]"), font);
    EXPECT_EQ(LayoutFontStyleText(font), QStringLiteral("[]"));
    ApplyLayoutFontStyle(QStringLiteral("[Bold,Italic,Underline,StrikeOut]"), font);
    EXPECT_TRUE(font.bold && font.italic && font.underline && font.strikeOut);
}

TEST(LayoutValuesTest, ColoursAreWindowsValues) {
    // 0x00BBGGRR; system colours (negative, both old and new high bits) in the
    // standard scheme.
    EXPECT_EQ(ColorOfLayoutValue(255), QColor(255, 0, 0));
    EXPECT_EQ(ColorOfLayoutValue(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ColorOfLayoutValue(0x1FFFFFFF), QColor(255, 255, 255));         // clNone
    EXPECT_EQ(ColorOfLayoutValue(-16777211), QColor(255, 255, 255));          // clWindow
    EXPECT_EQ(ColorOfLayoutValue(-16777208), QColor(0, 0, 0));                // clWindowText
    EXPECT_EQ(ColorOfLayoutValue(-16777201), QColor(0xF0, 0xF0, 0xF0));       // clBtnFace
    EXPECT_EQ(ColorOfLayoutValue(int(0x80000018)), QColor(0xFF, 0xFF, 0xE1)); // clInfoBk
    EXPECT_EQ(ColorOfLayoutValue(-16777000), QColor(0, 0, 0)); // no such system colour
    EXPECT_EQ(LayoutValueOfColor(QColor(0x12, 0x34, 0x56)), 0x563412);
    EXPECT_EQ(LayoutValueOfColor(Qt::white), 16777215);
    EXPECT_EQ(ColorOfLayoutValue(LayoutValueOfColor(QColor(1, 2, 3))), QColor(1, 2, 3));
}

} // namespace
