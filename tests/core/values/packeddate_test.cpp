#include "core/values/packeddate.h"
#include "platform/errors.h"

#include <QDate>
#include <gtest/gtest.h>
#include <limits>

namespace {

TPackedDate P(int y, int m, int d) {
    return {quint16(y), quint8(m), quint8(d)};
}

::testing::AssertionResult SameDate(TPackedDate actual, TPackedDate expected) {
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << int(actual.Day) << "." << int(actual.Month) << "." << actual.Year << " instead of "
           << int(expected.Day) << "." << int(expected.Month) << "." << expected.Year;
}

TEST(PackedDate, StoresDayInTheHighByteAndYearInTheLowWord) {
    const TPackedDate p = P(2024, 3, 5);
    EXPECT_EQ(p.raw(), 0x050307E8u);
    EXPECT_EQ(TPackedDate::fromRaw(0x050307E8u), p);
    // Ordering by the raw word would put 5.3.2024 after 1.12.2030.
    EXPECT_GT(p.raw(), P(2030, 12, 1).raw());
    EXPECT_TRUE(TPackedDate().isNull());
}

TEST(PackedDate, RoundTripsThroughDateTimeAndDayNumbers) {
    for (QDate date(1899, 12, 30); date <= QDate(2101, 1, 1); date = date.addDays(13)) {
        const TPackedDate p = P(date.year(), date.month(), date.day());
        const qint32 dayNo = PackedToDayNo(p);
        EXPECT_EQ(dayNo, QDate(1899, 12, 30).daysTo(date));
        EXPECT_TRUE(SameDate(DayNoToPacked(dayNo), p));
        EXPECT_TRUE(SameDate(DateToPacked(PackedToDate(p) + 0.75), p));
    }
    EXPECT_EQ(PackedToDayNo(P(2024, 3, 5)), 45356);
}

TEST(PackedDate, UnusableValuesGiveNoDate) {
    const TPackedDate unusable[] = {P(2024, 3, 0),  P(2024, 0, 5),   P(2024, 13, 1), P(2023, 2, 29),
                                    P(2024, 4, 31), P(1898, 12, 31), P(0, 1, 1),     TPackedDate()};
    for (const TPackedDate p : unusable) {
        EXPECT_FALSE(IsValidPackedDate(p)) << p.raw();
        EXPECT_EQ(PackedToDate(p), 0.0) << p.raw();
        EXPECT_EQ(PackedToDayNo(p), 0) << p.raw();
    }
    EXPECT_TRUE(IsValidPackedDate(P(1899, 1, 1)));
    EXPECT_TRUE(IsValidPackedDate(P(2024, 2, 29)));
}

TEST(PackedDate, UndecodableDateTimeGivesZero) {
    const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(), 3.0e6, -7.0e5};
    for (double d : values)
        EXPECT_TRUE(DateToPacked(d).isNull()) << d;
}

TEST(PackedDate, DaySteps) {
    struct Case {
        TPackedDate start;
        TPackedDate next;
    } const cases[] = {
        {P(2024, 2, 28), P(2024, 2, 29)},
        {P(2023, 2, 28), P(2023, 3, 1)},
        {P(2024, 12, 31), P(2025, 1, 1)},
        {TPackedDate(), P(1899, 12, 31)},
        {P(2173, 10, 13), P(2173, 10, 14)},
        {P(2173, 10, 14), P(2173, 10, 14)}, // the last date a step may leave
        {P(2200, 1, 1), P(2200, 1, 1)},
    };
    for (const Case& c : cases) {
        TPackedDate p = c.start;
        IncPackedDay(p);
        EXPECT_TRUE(SameDate(p, c.next));
    }

    TPackedDate p = P(2024, 3, 1);
    DecPackedDay(p);
    EXPECT_TRUE(SameDate(p, P(2024, 2, 29)));
    p = P(1899, 12, 31);
    DecPackedDay(p);
    EXPECT_TRUE(SameDate(p, P(1899, 12, 30)));
    DecPackedDay(p); // day number 0: no further
    EXPECT_TRUE(SameDate(p, P(1899, 12, 30)));
}

struct MonthCase {
    TPackedDate start;
    TPackedDate incremented;
    TPackedDate toMonthEnd;
    TPackedDate decremented;
};

TEST(PackedDate, MonthStepsKeepTheDayCutToTheMonth) {
    const MonthCase cases[] = {
        {P(2024, 1, 31), P(2024, 2, 29), P(2024, 2, 29), P(2023, 12, 31)},
        {P(2023, 1, 31), P(2023, 2, 28), P(2023, 2, 28), P(2022, 12, 31)},
        {P(2024, 12, 15), P(2025, 1, 15), P(2025, 1, 31), P(2024, 11, 15)},
        {P(2023, 2, 28), P(2023, 3, 28), P(2023, 3, 31), P(2023, 1, 28)},
        {P(2023, 3, 31), P(2023, 4, 30), P(2023, 4, 30), P(2023, 2, 28)},
        {P(2024, 1, 10), P(2024, 2, 10), P(2024, 2, 29), P(2023, 12, 10)},
        {P(2000, 3, 30), P(2000, 4, 30), P(2000, 4, 30), P(2000, 2, 29)},
        {P(1900, 3, 29), P(1900, 4, 29), P(1900, 4, 30), P(1900, 2, 28)},
    };
    for (const MonthCase& c : cases) {
        TPackedDate p = c.start;
        IncPackedMonth(p);
        EXPECT_TRUE(SameDate(p, c.incremented));
        p = c.start;
        IncPackedMonthEx(p, true);
        EXPECT_TRUE(SameDate(p, c.toMonthEnd));
        p = c.start;
        DecPackedMonth(p);
        EXPECT_TRUE(SameDate(p, c.decremented));
    }
}

TEST(PackedDate, YearStepCutsLeapDay) {
    TPackedDate p = P(2024, 2, 29);
    IncPackedYear(p);
    EXPECT_TRUE(SameDate(p, P(2025, 2, 28)));
    p = P(2024, 3, 1);
    IncPackedYear(p);
    EXPECT_TRUE(SameDate(p, P(2025, 3, 1)));
}

TEST(PackedDate, StepsBeyondTheFieldsRaiseInsteadOfWrapping) {
    TPackedDate noMonth = P(2024, 0, 5);
    EXPECT_THROW(DecPackedMonth(noMonth), DbError);
    EXPECT_TRUE(SameDate(noMonth, P(2024, 0, 5)));
    TPackedDate last = P(65535, 12, 1);
    EXPECT_THROW(IncPackedMonth(last), DbError);
    EXPECT_THROW(IncPackedYear(last), DbError);
    EXPECT_TRUE(SameDate(last, P(65535, 12, 1)));
}

TEST(DateTimeArithmetic, MonthStepsDropTheTime) {
    double d = PackedToDate(P(2024, 1, 31)) + 0.5;
    IncMonthOfDate(d);
    EXPECT_EQ(d, PackedToDate(P(2024, 2, 29)));
    d = PackedToDate(P(2024, 1, 10)) + 0.25;
    DecMonthOfDate(d);
    EXPECT_EQ(d, PackedToDate(P(2023, 12, 10)));
}

TEST(DateTimeArithmetic, YearChangesGiveNoDateForAMissingLeapDay) {
    const double leapDay = PackedToDate(P(2024, 2, 29));
    EXPECT_EQ(SetYearOfDate(2028, leapDay), PackedToDate(P(2028, 2, 29)));
    EXPECT_EQ(SetYearOfDate(2023, leapDay), 0.0);
    EXPECT_EQ(IncYearOfDate(leapDay), 0.0);
    EXPECT_EQ(DecYearOfDate(leapDay), 0.0);
    const double day = PackedToDate(P(2024, 12, 31));
    EXPECT_EQ(IncYearOfDate(day), PackedToDate(P(2025, 12, 31)));
    EXPECT_EQ(DecYearOfDate(day), PackedToDate(P(2023, 12, 31)));
}

} // namespace
