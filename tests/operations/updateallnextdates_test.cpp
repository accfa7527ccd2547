#include "dailylistfixture.h"
#include "operations/tournextdate.h"

namespace operationstest {
namespace {

// Wednesday 4 March 2026.
TDateTime wednesday() {
    return DateTimeOfDate(QDate(2026, 3, 4));
}

class NextDates : public Generation {
protected:
    QDate nextDate(int tourNr) {
        auto t = open(QStringLiteral("Touren.db"));
        EXPECT_TRUE(t->locate({QStringLiteral("TO_Nr")}, {tourNr}));
        return t->field(QStringLiteral("TO_NextDate")).asDateOr(QDate());
    }
};

TEST_F(NextDates, EveryTourIsBroughtUpToTodayButOneEditedElsewhereWaits) {
    addPlanTour(1, 1, QDate(2026, 2, 16), QStringLiteral("*"));
    addPlanTour(2, 0, QDate(2026, 1, 7), QStringLiteral("*"));
    addPlanTour(3, 0, QDate(), QStringLiteral("*"));
    addPlanTour(4, 5, QDate(2026, 2, 20), QStringLiteral("*"));
    addPlanTour(5, 2, QDate(2026, 4, 7), QStringLiteral("*"));
    {
        datatest::HeldElsewhere held(QStringLiteral("Touren.db"), QStringLiteral("TO_ID"), 4);
        EXPECT_EQ(UpdateAllNextDates(wednesday()), 2);
    }
    EXPECT_EQ(nextDate(1), QDate(2026, 3, 9));
    EXPECT_EQ(nextDate(2), QDate(2026, 1, 7));
    EXPECT_EQ(nextDate(3), QDate(2026, 3, 4));
    EXPECT_EQ(nextDate(4), QDate(2026, 2, 20));
    EXPECT_EQ(nextDate(5), QDate(2026, 4, 7));
    // At its next scroll the tour moves on.
    EXPECT_EQ(UpdateAllNextDates(wednesday()), 1);
    EXPECT_EQ(nextDate(4), QDate(2026, 3, 6));
}

TEST_F(NextDates, OnTheToursCursorAnEmptyDateIsPostedAndAMoveAwaitsThePost) {
    addPlanTour(1, 0, QDate(), QStringLiteral("*"));
    addPlanTour(2, 1, QDate(2026, 2, 16), QStringLiteral("*"));
    table::Table& tours = shared(dm->TabTour());
    ASSERT_TRUE(tours.locate({QStringLiteral("TO_Nr")}, {1}));
    EXPECT_TRUE(AdvanceNextDate(tours, wednesday()));
    EXPECT_FALSE(tours.isEditing());
    EXPECT_EQ(nextDate(1), QDate(2026, 3, 4));

    ASSERT_TRUE(tours.locate({QStringLiteral("TO_Nr")}, {2}));
    EXPECT_TRUE(AdvanceNextDate(tours, wednesday()));
    EXPECT_TRUE(tours.isEditing());
    EXPECT_EQ(tours.field(QStringLiteral("TO_NextDate")).asDate(), QDate(2026, 3, 9));
    EXPECT_EQ(nextDate(2), QDate(2026, 2, 16));
    tours.post();
    EXPECT_EQ(nextDate(2), QDate(2026, 3, 9));
    EXPECT_FALSE(AdvanceNextDate(tours, wednesday()));
}

} // namespace
} // namespace operationstest
