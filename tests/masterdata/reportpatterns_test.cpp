#include "masterdata/reportpatterns.h"

#include <QList>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QList<int> markedDays(const MonthPatternMarks& marks) {
    QList<int> days;
    for (int d = 1; d <= 31; ++d)
        if (marks[d - 1])
            days.append(d);
    return days;
}

TEST(ReportPatterns, MonthPatternMarksEveryCharacterButZero) {
    const struct {
        QString pattern;
        QList<int> days;
    } cases[] = {
        {u"*"_s + QString(13, u'0') + u"*"_s + QString(16, u'0'), {1, 15}},
        {u"*0000000000000*O000000000000000"_s, {1, 15, 16}}, // a letter O marks too
        {u""_s, {}},
        {u"01.03;15.06;"_s, {2, 3, 5, 6, 7, 8, 9, 11, 12}}, // a year list read as days
        {QString(40, u'*'),
         [] {
             QList<int> all;
             for (int d = 1; d <= 31; ++d)
                 all.append(d);
             return all;
         }()}, // characters after the 31st have no day
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern.toStdString());
        EXPECT_EQ(markedDays(ReadMonthPattern(c.pattern)), c.days);
    }
}

TEST(ReportPatterns, MonthPatternIsAlways31Characters) {
    EXPECT_EQ(WriteMonthPattern({}), QString(31, u'0'));
    MonthPatternMarks marks{};
    marks[0] = marks[30] = true;
    EXPECT_EQ(WriteMonthPattern(marks), u"*" + QString(29, u'0') + u"*");
    EXPECT_EQ(WriteMonthPattern(ReadMonthPattern(u"01.03;15.06;"_s)),
              u"0**0*****0**"_s + QString(19, u'0'));
}

TEST(ReportPatterns, YearPatternRoundTripsAndIgnoresWhatItCannotRead) {
    const QString quarterly = u"15.01;15.04;15.07;15.10;"_s;
    EXPECT_EQ(WriteYearPattern(ReadYearPattern(quarterly)), quarterly);
    EXPECT_EQ(WriteYearPattern(ReadYearPattern(u"01.03;15.06;"_s)), u"01.03;15.06;"_s);
    // Without the final ";", out of order, with entries that are not dates.
    EXPECT_EQ(WriteYearPattern(ReadYearPattern(u"15.06;xx.01;32.01;01.13;00.05;01.03"_s)),
              u"01.03;15.06;"_s);
    // A month pattern holds no readable entry.
    EXPECT_EQ(WriteYearPattern(ReadYearPattern(u"*00000000000000*000000000000000"_s)), QString());
    EXPECT_EQ(WriteYearPattern({}), QString());
}

TEST(ReportPatterns, YearDaysFollowTheMonthsWithoutLeapDay) {
    EXPECT_TRUE(IsYearPatternDay(3, 31));
    EXPECT_FALSE(IsYearPatternDay(4, 31));
    EXPECT_TRUE(IsYearPatternDay(2, 28));
    EXPECT_FALSE(IsYearPatternDay(2, 29));
    EXPECT_FALSE(IsYearPatternDay(13, 1));
}

TEST(ReportPatterns, ToggleRefusesImpossibleDaysAndAThirteenthDate) {
    YearPatternMarks marks{};
    EXPECT_EQ(ToggleYearPatternDay(marks, 4, 31), YearMarkChange::Cleared);
    EXPECT_EQ(ToggleYearPatternDay(marks, 2, 29), YearMarkChange::Cleared);
    EXPECT_EQ(CountYearPatternDates(marks), 0);
    for (int m = 1; m <= 12; ++m)
        ASSERT_EQ(ToggleYearPatternDay(marks, m, 1), YearMarkChange::Marked);
    EXPECT_EQ(ToggleYearPatternDay(marks, 3, 31), YearMarkChange::TooManyDates);
    EXPECT_FALSE(marks[2][30]);
    EXPECT_EQ(ToggleYearPatternDay(marks, 3, 1), YearMarkChange::Cleared);
    EXPECT_EQ(ToggleYearPatternDay(marks, 3, 31), YearMarkChange::Marked);
    EXPECT_EQ(CountYearPatternDates(marks), 12);
    // A 29 February read from a stored pattern is cleared by a double-click.
    YearPatternMarks stored = ReadYearPattern(u"29.02;"_s);
    EXPECT_TRUE(stored[1][28]);
    EXPECT_EQ(ToggleYearPatternDay(stored, 2, 29), YearMarkChange::Cleared);
    EXPECT_FALSE(stored[1][28]);
}

} // namespace
