#include "core/values/minutes.h"
#include "platform/errors.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

struct TextCase {
    qint32 minutes;
    int width;
    const char* text;
};

TEST(Minutes, MinutesToStrKeepsTheSignOnTheHours) {
    const TextCase cases[] = {
        {90, 0, "1:30"},
        {0, 0, "0:00"},
        {5, 0, "0:05"},
        {-90, 0, "-1:30"},
        {-30, 0, "-0:30"},
        {-60, 0, "-1:00"},
        {600, 0, "10:00"},
        {90, 3, "  1:30"},
        {-90, 3, " -1:30"},
        {-30, 3, "-  0:30"},
        {1439, 2, "23:59"},
        {std::numeric_limits<qint32>::min(), 0, "-35791394:08"},
        {90, 30, "                    "}, // never beyond 20 characters
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(MinutesToStr(c.minutes, c.width), QString::fromUtf8(c.text))
            << c.minutes << "/" << c.width;
}

TEST(Minutes, MinutesToStrZeroPadsTheHours) {
    const TextCase cases[] = {
        {90, 2, "01:30"},  {-90, 2, "-1:30"},   {-90, 3, "-01:30"}, {-600, 2, "-10:00"},
        {-30, 2, "-0:30"}, {-630, 2, "-10:30"}, {0, 2, "00:00"},    {90, 0, "1:30"},
        {-90, 0, "-1:30"}, {6000, 2, "100:00"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(MinutesToStrZero(c.minutes, c.width), QString::fromUtf8(c.text))
            << c.minutes << "/" << c.width;
}

TEST(Minutes, MinutesToHours) {
    EXPECT_DOUBLE_EQ(MinutesToHours(90), 1.5);
    EXPECT_DOUBLE_EQ(MinutesToHours(-90), -1.5);
    EXPECT_DOUBLE_EQ(MinutesToHours(0), 0.0);
}

TEST(Minutes, StrToMinutes) {
    struct Case {
        const char* text;
        qint32 minutes;
    } const cases[] = {
        {"2:05", 125},
        {"-1:30", -90},
        {"1:-30", -90},
        {"-0:30", -30},
        {"230", 0},
        {"", 0},
        {"0:00", 0},
        {" 10 : 15 ", 615},
        {"x:30", 30},
        {"1:xx", 60},
        {"35791394:07", std::numeric_limits<qint32>::max()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StrToMinutes(QString::fromUtf8(c.text)), c.minutes) << c.text;
}

TEST(Minutes, TextRoundTrip) {
    for (qint32 minutes : {0, 1, 59, 60, 61, 1439, 6000, -1, -59, -61, -6000})
        EXPECT_EQ(StrToMinutes(MinutesToStr(minutes, 0)), minutes) << minutes;
}

TEST(Minutes, StrToMinutesBeyondTheRangeRaises) {
    EXPECT_THROW(StrToMinutes(QStringLiteral("35791394:08")), DbError);
    EXPECT_THROW(StrToMinutes(QStringLiteral("99999999999:00")), DbError);
}

} // namespace
