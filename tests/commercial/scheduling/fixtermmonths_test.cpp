#include "commercial/planningvalues.h"
#include "commercial/scheduling/fixtermmonths.h"

#include <gtest/gtest.h>

using planningtest::marks;

namespace {

TEST(FixTermMonths, TextsAreReadPaddedOrCutAndWrittenWhole) {
    EXPECT_EQ(FixTermFieldName(3), QStringLiteral("TF_Termine03"));
    EXPECT_EQ(FixTermFieldName(12), QStringLiteral("TF_Termine12"));
    EXPECT_EQ(PadMonthMarks(QString()), QString(31, QLatin1Char(' ')));
    EXPECT_EQ(PadMonthMarks(QStringLiteral("-+")), QStringLiteral("-+") + QString(29, u' '));
    EXPECT_EQ(PadMonthMarks(QString(40, u'+')), QString(31, u'+'));

    const QString shortText = QStringLiteral("--+ +x");
    EXPECT_FALSE(IsMarkedDay(shortText, 1));
    EXPECT_TRUE(IsMarkedDay(shortText, 3));
    EXPECT_TRUE(IsMarkedDay(shortText, 5));
    EXPECT_FALSE(IsMarkedDay(shortText, 6));
    EXPECT_FALSE(IsMarkedDay(shortText, 20));
    EXPECT_FALSE(IsMarkedDay(shortText, 0));
    EXPECT_FALSE(IsMarkedDay(QString(40, u'+'), 32));

    const QString written = EncodeMonthMarks(DecodeMonthMarks(shortText));
    EXPECT_EQ(written, QStringLiteral("--+-+") + QString(26, u'-'));
    EXPECT_EQ(EncodeMonthMarks(MonthMarks{}), QString(31, u'-'));
}

TEST(FixTermMonths, MonthIndexCountsFromJanuary2000) {
    EXPECT_EQ(FixTermMonthIndex(2000, 1), 1);
    EXPECT_EQ(FixTermMonthIndex(2024, 1), 289);
    EXPECT_EQ(FixTermMonthIndex(2025, 12), 312);
    for (int index : {-13, -12, -1, 0, 1, 12, 13, 289, 312}) {
        EXPECT_EQ(FixTermMonthIndex(YearOfFixTermMonth(index), MonthOfFixTermMonth(index)), index);
        EXPECT_GE(MonthOfFixTermMonth(index), 1);
        EXPECT_LE(MonthOfFixTermMonth(index), 12);
    }
}

TEST(FixTermMonths, AMarkMovesToTheSameWeekdayOfTheSameWeekAYearLater) {
    struct Case {
        const char* name;
        int monthIndex;
        std::initializer_list<int> from;
        std::initializer_list<int> to;
    };
    const Case cases[] = {
        // Monday 8 January 2024 -> Monday 13 January 2025.
        {"second week", 289, {8}, {13}},
        // Monday 1 January 2024 -> Monday 6 January 2025.
        {"first week", 289, {1}, {6}},
        // Wednesday 31 January 2024 -> the Wednesday from the 22nd: 22 January 2025.
        {"day 31 into the fourth week", 289, {31}, {22}},
        // Thursday 29 February 2024 -> Thursday 27 February 2025.
        {"leap day", 290, {29}, {27}},
        // Day 31 of April (30 days) counts as Wednesday 30 April 2025 -> 22 April 2026
        {"a day the month lacks", 304, {31}, {22}},
        {"several marks", 289, {1, 8, 15, 22}, {6, 13, 20, 27}},
        {"nothing marked", 289, {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShiftFixTermMonth(c.monthIndex, marks(c.from)), marks(c.to)) << c.name;
    // A text shorter than 31 characters is read as padded.
    EXPECT_EQ(ShiftFixTermMonth(289, QStringLiteral("-------+")), marks({13}));
}

} // namespace
