#include "commercial/commercialrulesfixture.h"
#include "commercial/planningvalues.h"
#include "commercial/scheduling/tourvisits.h"
#include "commercial/tourrows.h"

#include <QDate>

using planningtest::activity;
using planningtest::d;

namespace {

const TLuIntervall kIntervals = {{1, 1}, {2, 2}, {8, -1}, {17, 0}};

// March 2025 starts on a Saturday and has five Saturdays, Sundays and Mondays.
TEST(TourVisits, AWeekdayTourCountsOnlyTheDaysOfItsWeekday) {
    struct Case {
        const char* name;
        QList<int> weekdays;
        TDateTime from, to;
        int visits;
    };
    const Case cases[] = {
        {"five Mondays", {1}, d(2025, 3, 1), d(2025, 3, 31), 5},
        {"four Tuesdays", {2}, d(2025, 3, 1), d(2025, 3, 31), 4},
        {"two tours", {1, 2}, d(2025, 3, 1), d(2025, 3, 31), 9},
        {"no Friday in the range", {5}, d(2025, 3, 1), d(2025, 3, 6), 0},
        {"the last day is the weekday", {4}, d(2025, 3, 1), d(2025, 3, 6), 1},
        {"one day on the weekday", {6}, d(2025, 3, 1), d(2025, 3, 1), 1},
        {"a tour without weekday counts the end day", {0}, d(2025, 3, 1), d(2025, 3, 31), 1},
        {"a range ending before it begins", {0, 1}, d(2025, 3, 5), d(2025, 3, 1), 0},
        {"no tour", {}, d(2025, 3, 1), d(2025, 3, 31), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountTourVisits(c.weekdays, c.from, c.to), c.visits) << c.name;
}

TEST(TourVisits, OccurrencesAreCountedOnTheVisitDaysOfToursWithAWeekday) {
    const QList<PlanTour> monday{{4, 1, EmptyDate, QStringLiteral("AB")}};
    const QList<PlanTour> mondayAndWithout{{4, 1, EmptyDate, QStringLiteral("AB")},
                                           {5, 0, EmptyDate, QStringLiteral("*")}};
    struct Case {
        const char* name;
        ObjectActivity activity;
        QList<PlanTour> tours;
        int count;
    };
    const Case cases[] = {
        {"weekly on five Mondays", activity(1, d(2025, 1, 6)), monday, 5},
        {"a tour without weekday adds nothing", activity(1, d(2025, 1, 6)), mondayAndWithout, 5},
        {"every second week", activity(2, d(2025, 3, 3)), monday, 3},
        {"monthly", activity(8, d(2025, 1, 31)), monday, 1},
        {"service the tour does not do", activity(1, d(2025, 1, 6), "C"), monday, 0},
        {"starting in the middle of the month", activity(1, d(2025, 3, 18)), monday, 3},
    };
    for (const Case& c : cases) {
        QList<ObjectActivity> rows{c.activity};
        EXPECT_EQ(CountActivityOccurrences(rows, c.tours, d(2025, 3, 1), d(2025, 3, 31), kIntervals,
                                           {}, {}),
                  c.count)
            << c.name;
    }
}

TEST(TourVisits, AnActivityWithoutStartDateStartsOnTheFirstDayOfThePeriod) {
    QList<ObjectActivity> rows{activity(2, EmptyDate)};
    QList<std::pair<int, TDateTime>> stored;
    const QList<PlanTour> monday{{4, 1, EmptyDate, QString()}};
    // From Saturday 1 March: the start date is 1 March, so the two-week
    // rhythm (1, 15, 29 March) hits the windows of Mondays 10 and 24 March.
    EXPECT_EQ(CountActivityOccurrences(rows, monday, d(2025, 3, 1), d(2025, 3, 31), kIntervals, {},
                                       [&](int i, TDateTime start) {
                                           stored.append({i, start});
                                       }),
              2);
    EXPECT_EQ(stored, (QList<std::pair<int, TDateTime>>{{0, d(2025, 3, 1)}}));
    EXPECT_EQ(rows[0].startDatum, d(2025, 3, 1));
}

class TourVisitTables : public commercialtest::CommercialRules {
protected:
    void SetUp() override {
        CommercialRules::SetUp();
        for (const char* file : {"Touren.db", "TourObj.db", "ObjTaet.db"})
            table::aliases::database(datatest::kDb)->emptyTable(QString::fromLatin1(file));
    }
};

TEST_F(TourVisitTables, CountsTheToursThatHaveTheObject) {
    using namespace tourtest;
    addTour(1, 1);
    addTour(2, 2);
    addTour(3, 0);
    addTour(4, 5);
    addTourObject(1, 1, 7);
    addTourObject(2, 2, 7);
    addTourObject(3, 3, 7);
    addTourObject(4, 4, 8);
    // Five Mondays, four Tuesdays and the end day of the tour without weekday.
    EXPECT_EQ(CountTourVisits(7, d(2025, 3, 1), d(2025, 3, 31)), 10);
    EXPECT_EQ(CountTourVisits(9, d(2025, 3, 1), d(2025, 3, 31)), 0);

    addActivity(1, 7, 3, 1, QDate(2025, 1, 6));
    addActivity(2, 7, 3, 2, QVariant());
    addActivity(3, 7, 4, 1, QDate(2025, 1, 6));
    addActivity(4, 8, 3, 1, QDate(2025, 1, 6));
    // Weekly: 5 Mondays + 4 Tuesdays; the two-week row starts on 1 March
    // (1, 15, 29 March): Mondays 10 and 24, Tuesdays 11 and 25.
    EXPECT_EQ(CountActivityOccurrences(3, 7, d(2025, 3, 1), d(2025, 3, 31), kIntervals), 13);
    auto rows = open(QStringLiteral("ObjTaet.db"));
    ASSERT_TRUE(rows->locate({QStringLiteral("TS_ID")}, {2}));
    EXPECT_EQ(rows->field(QStringLiteral("TS_StartDatum")).asDate(), QDate(2025, 3, 1));
}

} // namespace
