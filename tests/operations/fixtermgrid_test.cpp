#include "commercial/planningvalues.h"
#include "operations/fixtermgrid.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

using planningtest::marks;

namespace {

TEST(FixTermGrid, ShowsTheStartMonthAndTheElevenFollowing) {
    const FixTermGrid grid(2025, 8, 1);
    EXPECT_EQ(grid.monthOfRow(0), 8);
    EXPECT_EQ(grid.yearOfRow(0), 2025);
    EXPECT_EQ(grid.monthOfRow(4), 12);
    EXPECT_EQ(grid.monthOfRow(5), 1);
    EXPECT_EQ(grid.yearOfRow(5), 2026);
    EXPECT_EQ(grid.monthOfRow(11), 7);
    EXPECT_TRUE(grid.dayExists(6, 28));
    EXPECT_FALSE(grid.dayExists(6, 29)); // February 2026
    EXPECT_FALSE(grid.dayExists(1, 31)); // September
    EXPECT_EQ(grid.dateOf(5, 12), QDate(2026, 1, 12));
    EXPECT_FALSE(grid.dateOf(1, 31).isValid());
}

TEST(FixTermGrid, MarksOfMissingDaysSlideDownWhenLoaded) {
    FixTermMonths months;
    months[0] = marks({31});          // January
    months[1] = marks({29, 30, 31});  // February
    months[3] = marks({31});          // April
    months[5] = QStringLiteral("++"); // June, a short text
    FixTermGrid grid(2026, 1, 0);
    grid.load(months);
    EXPECT_TRUE(grid.isMarked(0, 31));
    EXPECT_TRUE(grid.isMarked(1, 28));
    EXPECT_FALSE(grid.dayExists(1, 29));
    EXPECT_TRUE(grid.isMarked(3, 30));
    EXPECT_TRUE(grid.isMarked(5, 1));
    EXPECT_TRUE(grid.isMarked(5, 2));
    // Saved back, the slid marks stand on the days the grid showed.
    const FixTermMonths saved = grid.save();
    EXPECT_EQ(saved[1], marks({28}));
    EXPECT_EQ(saved[3], marks({30}));
    EXPECT_EQ(saved[5], marks({1, 2}));
    EXPECT_EQ(saved[2], QString(31, u'-'));
}

TEST(FixTermGrid, SavesAllTwelveMonthsByCalendarMonthFromAnyStart) {
    FixTermGrid grid(2025, 8, 1);
    grid.toggle(0, 4);  // 4 August 2025
    grid.toggle(5, 12); // 12 January 2026
    grid.toggle(5, 13);
    grid.toggle(5, 13);
    grid.toggle(1, 31); // a day September lacks stays blank
    const FixTermMonths saved = grid.save();
    EXPECT_EQ(saved[7], marks({4}));
    EXPECT_EQ(saved[0], marks({12}));
    EXPECT_EQ(saved[8], QString(31, u'-'));
    for (const QString& month : saved)
        EXPECT_EQ(month.size(), 31);
    EXPECT_EQ(grid.cellText(1, 31), QStringLiteral(" "));
}

TEST(FixTermGrid, EachCellHasItsPaintingCase) {
    FixTermGrid grid(2026, 3, 1); // March 2026: the 2nd is a Monday
    grid.toggle(0, 2);
    grid.toggle(0, 3);
    struct Case {
        int row, day;
        FixTermGrid::CellKind kind;
        const char* text;
    };
    const Case cases[] = {
        {0, 2, FixTermGrid::CellKind::MarkedTourDay, "*"},
        {0, 3, FixTermGrid::CellKind::Marked, "*"},
        {0, 9, FixTermGrid::CellKind::TourDay, nullptr},
        {0, 4, FixTermGrid::CellKind::Weekday, nullptr},
        {0, 7, FixTermGrid::CellKind::Weekend, nullptr},
        {0, 8, FixTermGrid::CellKind::Weekend, nullptr},
        {1, 31, FixTermGrid::CellKind::Missing, " "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(grid.cellKind(c.row, c.day), c.kind) << c.day;
        if (c.text)
            EXPECT_EQ(grid.cellText(c.row, c.day), QString::fromLatin1(c.text)) << c.day;
        else
            EXPECT_EQ(grid.cellText(c.row, c.day).size(), 2) << c.day;
    }
    EXPECT_THROW(grid.cellKind(12, 1), DbError);
    EXPECT_THROW(grid.cellKind(0, 32), DbError);
}

TEST(FixTermGrid, AMarkOnTheLastOfThirtyOneDaysOfFebruaryIsSavedOnThe28th) {
    FixTermMonths months;
    months[1] = QString(30, u'-') + u'+';
    // Opened in August 2026: the February row is 2027, no leap year.
    FixTermGrid grid(2026, 8, 3);
    grid.load(months);
    EXPECT_EQ(grid.monthOfRow(6), 2);
    EXPECT_TRUE(grid.isMarked(6, 28));
    const FixTermMonths saved = grid.save();
    EXPECT_EQ(saved[1], QString(27, u'-') + u'+' + QString(3, u'-'));
}

TEST(FixTermCaption, NamesTourObjectActivityAndTheToursWeekday) {
    EXPECT_EQ(FixTermCaption(12, 3405, 7, 2),
              QStringLiteral("Feste Ausführungstermine festlegen für   Tour: 12  Objekt: 3405  "
                             "Tätigkeit: 7  (Dienstag)"));
    EXPECT_EQ(FixTermCaption(1, 2, 3, 0),
              QStringLiteral("Feste Ausführungstermine festlegen für   Tour: 1  Objekt: 2  "
                             "Tätigkeit: 3  ()"));
}

} // namespace
