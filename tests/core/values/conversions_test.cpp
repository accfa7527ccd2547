#include "core/regionalguard.h"
#include "core/values/conversions.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

namespace {

struct IntCase {
    qint64 value;
    int width;
    const char* expected;
};

TEST(IntToText, WidthPadsWithBlanksButNeverCuts) {
    const IntCase cases[] = {
        {-5, 3, " -5"},
        {67890, 3, "67890"},
        {7, 0, "7"},
        {0, 1, "0"},
        {42, 6, "    42"},
        {-2147483648LL, 0, "-2147483648"},
        {1234567890123LL, 15, "  1234567890123"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IntToStrWidth(c.value, c.width), QString::fromLatin1(c.expected))
            << c.value << " width " << c.width;
}

TEST(IntToText, ZeroPaddingFillsToWidth) {
    const IntCase cases[] = {
        {7, 3, "007"}, {1234, 2, "1234"}, {0, 4, "0000"}, {5, 0, "5"}, {-5, 3, "-05"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IntToStrZero(c.value, c.width), QString::fromLatin1(c.expected))
            << c.value << " width " << c.width;
}

struct FloatCase {
    int width;
    int decimals;
    double x;
    const char* fix;
    const char* local;
};

TEST(FloatToText, FixedAndLocalNotation) {
    RegionalGuard german;
    const FloatCase cases[] = {
        {8, 2, 3.14159, "    3.14", "    3,14"},
        {0, 5, 2.5, "2.5000000000", "2,5000000000"},
        {0, 2, 0.1, "0.1000000000", "0,1000000000"},
        {1, 2, 1234.567, "1234.57", "1234,57"},
        {1, 0, 2.5, "3", "3"},
        {1, 0, -2.5, "-3", "-3"},
        // Halves of the decimal text round away from zero, even where the
        // double lies just below (2.675 is held as 2.67499999...).
        {1, 2, 2.675, "2.68", "2,68"},
        {1, 2, 1.005, "1.01", "1,01"},
        {1, 2, -1.005, "-1.01", "-1,01"},
        {1, 2, 0.125, "0.13", "0,13"},
        {1, 2, -0.001, "0.00", "0,00"},
        {6, 3, -1.5, "-1.500", "-1,500"},
        {0, 0, 1e12 + 0.1, "1000000000000.1000000000", "1000000000000,1000000000"},
        {1, 1, 99.96, "100.0", "100,0"},
        {1, 2, 1e20, "100000000000000000000.00", "100000000000000000000,00"},
        {1, 3, 1e-7, "0.000", "0,000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FloatToStrFix(c.width, c.decimals, c.x), QString::fromLatin1(c.fix))
            << c.width << "/" << c.decimals << "/" << c.x;
        EXPECT_EQ(FloatToStrLocal(c.width, c.decimals, c.x), QString::fromLatin1(c.local))
            << c.width << "/" << c.decimals << "/" << c.x;
    }
}

struct GroupedCase {
    int width;
    int decimals;
    double x;
    const char* expected;
};

TEST(FloatToText, GroupedUsesRegionalSeparators) {
    RegionalGuard german;
    const GroupedCase cases[] = {
        {0, 2, 9876543.219, "9.876.543,22"},
        {0, 2, -123.45, "-123,45"},
        {0, 2, -123456.7, "-123.456,70"},
        {0, 0, 1234, "1.234"},
        {0, 0, -123456, "-123.456"},
        {0, 2, -999999.999, "-1.000.000,00"},
        {0, 2, 123, "123,00"},
        {12, 2, 1234.5, "    1.234,50"},
        {3, 1, 0.05, "0,1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStrGrouped(c.width, c.decimals, c.x), QString::fromUtf8(c.expected))
            << c.x;
}

TEST(FloatToText, GroupedFollowsOtherSeparators) {
    RegionalGuard english(RegionalGuard::english(QStringLiteral("$")));
    EXPECT_EQ(FloatToStrGrouped(0, 2, 9876543.219), QStringLiteral("9,876,543.22"));
    EXPECT_EQ(FloatToStrLocal(0, 1, 1.5), QStringLiteral("1.5000000000"));
}

TEST(Padding, ExactWidthCutsOrFills) {
    EXPECT_EQ(PadRight(QStringLiteral("Domvera"), 3), QStringLiteral("Dom"));
    EXPECT_EQ(PadRight(QStringLiteral("ab"), 5), QStringLiteral("ab   "));
    EXPECT_EQ(PadLeft(QStringLiteral("7"), 3), QStringLiteral("  7"));
    EXPECT_EQ(PadLeft(QStringLiteral("Domvera"), 3), QStringLiteral("Dom"));
    EXPECT_EQ(PadRight(QStringLiteral("abc"), 0), QString());
    EXPECT_EQ(PadLeft(QString(), 255), QString(255, u' '));
    EXPECT_EQ(RepeatChar(u'-', 4), QStringLiteral("----"));
    EXPECT_EQ(RepeatChar(u'x', 0), QString());
    EXPECT_EQ(RepeatChar(u'x', 255).size(), 255);
}

TEST(Padding, LengthsBeyondShortStringsRaise) {
    for (int bad : {256, 1000, -1}) {
        EXPECT_THROW(PadRight(QStringLiteral("a"), bad), DbError) << bad;
        EXPECT_THROW(PadLeft(QStringLiteral("a"), bad), DbError) << bad;
        EXPECT_THROW(RepeatChar(u'a', bad), DbError) << bad;
    }
}

TEST(BooleanText, CatalogLettersAndWords) {
    EXPECT_EQ(BoolToJNChar(true), QChar(u'J'));
    EXPECT_EQ(BoolToJNChar(false), QChar(u'N'));
    EXPECT_EQ(BoolToJN(true), QStringLiteral("J"));
    EXPECT_EQ(BoolToJN(false), QStringLiteral("N"));
    EXPECT_EQ(BoolToJaNein(true), QStringLiteral("Ja"));
    EXPECT_EQ(BoolToJaNein(false), QStringLiteral("Nein"));
}

TEST(TextToText, TrimRemovesBlanksAndControlCharacters) {
    const QString messy = QStringLiteral("\t\r\n  ab c \x01");
    EXPECT_EQ(TrimStr(messy), QStringLiteral("ab c"));
    EXPECT_EQ(TrimText(messy), QStringLiteral("ab c"));
    EXPECT_EQ(TrimStr(QStringLiteral(" \t ")), QString());
    EXPECT_EQ(TrimStr(QStringLiteral("x")), QStringLiteral("x"));
}

TEST(TextToText, UpperKeepsLength) {
    EXPECT_EQ(UpperStr(QStringLiteral("straße äöü 1a")), QStringLiteral("STRAßE ÄÖÜ 1A"));
}

struct BarCase {
    const char* text;
    const char* field;
    const char* rest;
};

TEST(TextToText, CutBarFieldTakesThePartBeforeTheFirstBar) {
    const BarCase cases[] = {
        {"A|B|", "A", "B|"}, {"AB", "", "AB"}, {"|X", "", "X"}, {"", "", ""}, {"A|", "A", ""},
    };
    for (const auto& c : cases) {
        QString text = QString::fromLatin1(c.text);
        QString field = QStringLiteral("old");
        CutBarField(text, field);
        EXPECT_EQ(field, QString::fromLatin1(c.field)) << c.text;
        EXPECT_EQ(text, QString::fromLatin1(c.rest)) << c.text;
    }
}

} // namespace
