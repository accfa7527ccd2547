#include "operations/tournextdate.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

TDateTime d(int y, int m, int day) {
    return DateTimeOfDate(QDate(y, m, day));
}

// Wednesday 4 March 2026.
TDateTime today() {
    return d(2026, 3, 4);
}

TEST(AdvanceNextDate, AWeeklyTourNeverShowsAPastDate) {
    struct Case {
        const char* name;
        TDateTime next;
        int weekday;
        TDateTime expected;
    };
    const Case cases[] = {
        {"past Monday moves to the coming Monday", d(2026, 2, 16), 1, d(2026, 3, 9)},
        {"past date on today's weekday moves to today", d(2026, 2, 25), 3, today()},
        {"a later date stays", d(2026, 4, 1), 1, d(2026, 4, 1)},
        {"a date after today but before the weekday moves", d(2026, 3, 5), 7, d(2026, 3, 8)},
        {"today stays on its weekday", today(), 3, today()},
        {"without weekday a past date stays", d(2025, 12, 1), 0, d(2025, 12, 1)},
        {"an empty date becomes today", EmptyDate, 0, today()},
        {"an empty date of a Friday tour becomes Friday", EmptyDate, 5, d(2026, 3, 6)},
        {"an unknown weekday counts as none", d(2026, 1, 1), 9, d(2026, 1, 1)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AdvanceNextDate(c.next, c.weekday, today()), c.expected) << c.name;
}

TEST(ActivityMatchesWeekday, IsTheTourDayMatchOfThePlanningRules) {
    EXPECT_TRUE(ActivityMatchesWeekday(1, QStringLiteral("135"), QStringLiteral("A"),
                                       QStringLiteral("AB")));
    EXPECT_FALSE(ActivityMatchesWeekday(2, QStringLiteral("135"), QString(), QString()));
    EXPECT_FALSE(ActivityMatchesWeekday(2, QString(), QStringLiteral("A"), QStringLiteral("BC")));
    // A tour without weekday matches no row, not even one for every weekday.
    EXPECT_FALSE(ActivityMatchesWeekday(0, QStringLiteral("*"), QString(), QString()));
}

} // namespace
