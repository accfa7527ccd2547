#include "core/regionalguard.h"
#include "core/values/numberparsing.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

struct IntCase {
    const char* text;
    int expected;
};

TEST(ReadInteger, AcceptsOnlyWholeNumbersInRange) {
    const IntCase cases[] = {
        {" 42 ", 42},
        {"\t7\r", 7},
        {"-17", -17},
        {"+5", 5},
        {"$1F", 31},
        {"$ff", 255},
        {"-$10", -16},
        {"2147483647", std::numeric_limits<int>::max()},
        {"-2147483648", std::numeric_limits<int>::min()},
        {"$7FFFFFFF", std::numeric_limits<int>::max()},
        {"4a", 0},
        {"", 0},
        {"   ", 0},
        {"-", 0},
        {"$", 0},
        {"$G", 0},
        {"1 2", 0},
        {"1.0", 0},
        {"2147483648", 0},
        {"-2147483649", 0},
        {"99999999999999999999", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrToIntZero(QString::fromLatin1(c.text)), c.expected) << '"' << c.text << '"';
}

TEST(ReadInteger, DefaultReplacesOnlyFailures) {
    EXPECT_EQ(StrToIntDefault(QString(), 9), 9);
    EXPECT_EQ(StrToIntDefault(QStringLiteral("x"), -1), -1);
    EXPECT_EQ(StrToIntDefault(QStringLiteral("12"), 9), 12);
    EXPECT_EQ(StrToIntDefault(QStringLiteral("0"), 9), 0);
}

TEST(ReadInteger, DigitsToIntSkipsEverythingButDigits) {
    const IntCase cases[] = {
        {"RE-00123", 123}, {"abc", 0},         {"", 0},
        {"1a2b3", 123},    {"-5", 5},          {"0002147483647", std::numeric_limits<int>::max()},
        {"2147483648", 0}, {"99999999999", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DigitsToInt(QString::fromLatin1(c.text)), c.expected) << c.text;
}

struct FloatCase {
    const char* text;
    double expected;
};

TEST(ReadFloat, LocalDecimalSeparatorAndNoThousands) {
    RegionalGuard german;
    const FloatCase cases[] = {
        {"1,5", 1.5},     {" 1 234,5 ", 1234.5}, {"1.234,5", 0.0}, {"1.5", 1.5},
        {"-0,25", -0.25}, {"+2", 2.0},           {"", 0.0},        {"abc", 0.0},
        {"1e3", 1000.0},  {"inf", 0.0},          {"nan", 0.0},     {"1,2,3", 0.0},
        {"0x10", 0.0},    {"1e999", 0.0},        {",5", 0.5},      {"5,", 5.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrToFloatLocal(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(ReadFloat, FollowsTheRegionalSeparator) {
    RegionalGuard english(RegionalGuard::english(QStringLiteral("$")));
    EXPECT_EQ(StrToFloatLocal(QStringLiteral("1.5")), 1.5);
    EXPECT_EQ(StrToFloatLocal(QStringLiteral("1,5")), 0.0);
}

} // namespace
