#include "operations/termprevgrid.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using Kind = TermPrevGrid::CellKind;

namespace {

TEST(TermPrevGrid, TwelveMonthsFromTheCurrentOne) {
    TermPrevGrid grid(QDate(2024, 3, 20));
    EXPECT_EQ(grid.startDate(), QDate(2024, 3, 1));
    EXPECT_EQ(grid.endDate(), QDate(2025, 2, 28));
    EXPECT_EQ(grid.monthTitle(1), u"03/2024"_s);
    EXPECT_EQ(grid.monthTitle(12), u"02/2025"_s);
    EXPECT_TRUE(grid.mark(u'P', QDate(2024, 4, 10)));
    EXPECT_EQ(grid.rowOf(QDate(2024, 4, 10)), 2);
    EXPECT_EQ(grid.cellText(2, 10), u"P"_s);
    // Outside the months nothing is written.
    EXPECT_FALSE(grid.mark(u'P', QDate(2024, 2, 29)));
    EXPECT_FALSE(grid.mark(u'T', QDate(2025, 3, 1)));
    EXPECT_TRUE(grid.mark(u'T', QDate(2025, 2, 28)));
    EXPECT_EQ(grid.cellText(12, 28), u"T"_s);
    EXPECT_THROW(grid.cellText(13, 1), DbError);
}

TEST(TermPrevGrid, CellKindsFollowTheDayAndItsMark) {
    TermPrevGrid grid(QDate(2024, 3, 20));
    EXPECT_EQ(grid.cellKind(1, 1), Kind::Plain);   // Friday 1 March
    EXPECT_EQ(grid.cellKind(1, 2), Kind::Weekend); // Saturday
    EXPECT_EQ(grid.cellKind(2, 31), Kind::Missing);
    EXPECT_EQ(grid.cellKind(12, 29), Kind::Missing); // 2025 is no leap year
    grid.mark(u'P', QDate(2024, 3, 2));
    EXPECT_EQ(grid.cellKind(1, 2), Kind::Planned) << "a mark wins over the weekend";
    grid.mark(u'T', QDate(2024, 3, 2));
    EXPECT_EQ(grid.cellKind(1, 2), Kind::Listed);
}

} // namespace
