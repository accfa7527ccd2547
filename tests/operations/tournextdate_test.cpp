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

TEST(ActivityMatchesWeekday, PaintsTheRowsOfTheTourDayWithAFittingService) {
    struct Case {
        const char* name;
        int weekday;
        const char* wtag;
        const char* service;
        const char* pattern;
        bool green;
    };
    const Case cases[] = {
        {"weekday in the pattern", 1, "135", "A", "AB", true},
        {"weekday not in the pattern", 2, "135", "", "", false},
        {"a tour without weekday matches no row", 0, "*", "", "", false},
        {"a tour without weekday, empty pattern", 0, "", "", "*", false},
        {"\"*\" stands for every weekday", 6, "*", "", "", true},
        {"an empty pattern stands for every weekday", 7, "", "B", "AB", true},
        {"service missing from the tour's services", 2, "", "A", "BC", false},
        {"\"AB*\" offers A", 3, "3", "A", "AB*", true},
        {"\"AB*\" is no wildcard for C", 3, "3", "C", "AB*", false},
        {"a tour offering \"*\" does every service", 3, "3", "C", "*", true},
        {"an activity without service fits any tour", 3, "3", "", "AB", true},
        {"an empty service pattern offers every service", 3, "3", "C", "", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ActivityMatchesWeekday(c.weekday, QString::fromUtf8(c.wtag),
                                         QString::fromUtf8(c.service),
                                         QString::fromUtf8(c.pattern)),
                  c.green)
            << c.name;
}

} // namespace
