#include "operations/monthtimesums.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "timerecordfixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace operationstest {
namespace {

const TimeViewMonth kMarch{2026, 3};

// Objects 10 and 11 and employees 7 and 8 of the time-record fixture, with
// records written as stored rows, so that empty rates and factors stay empty.
class MonthTimeSums : public TimeRecords {
protected:
    void record(int persNr, int objNr, const QDate& day, const QVariant& hours,
                const QVariant& rate, const QVariant& art, const QVariant& aufschlag = {},
                const QString& alias = u"LumoDB"_s) {
        addRow(u"Zeiterf.DB"_s,
               {{u"Z_ID"_s, ++m_id},
                {u"Z_Datum"_s, day.isValid() ? QVariant(day) : QVariant()},
                {u"Z_PersNr"_s, persNr},
                {u"Z_ObjNr"_s, objNr},
                {u"Z_Art"_s, art},
                {u"Z_Stunden"_s, hours},
                {u"Z_EkPreis"_s, rate},
                {u"Z_Aufschlag"_s, aufschlag}},
               alias);
    }
    table::Database& lumo() { return *table::aliases::database(u"LumoDB"_s); }

    int m_id = 0;
};

TEST(TimeViewMonthTest, TheUpDownRollsTheYearAtBothEnds) {
    const struct {
        TimeViewMonth shown;
        int position;
        TimeViewMonth expected;
    } cases[] = {
        {{2026, 12}, 13, {2027, 1}}, // up from December
        {{2027, 1}, 0, {2026, 12}},  // and back down
        {{2004, 1}, 0, {2003, 12}},
        {{2026, 5}, 6, {2026, 6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown.year * 100 + c.shown.month);
        EXPECT_EQ(TimeViewMonthAt(c.shown, c.position), c.expected);
    }
    EXPECT_EQ(TimeViewMonth({2026, 2}).last(), QDate(2026, 2, 28));
    EXPECT_EQ(TimeViewMonth({2026, 3}).text(), u"Monat 3/2026"_s);
    EXPECT_EQ(TimeViewMonth({2026, 3}).filter(), u"Z_Datum>=01.03.2026 AND Z_Datum<=31.03.2026"_s);
}

TEST_F(MonthTimeSums, ThePanelCountsOtherTypesAsNormalEmptyRatesAsZeroAndNoFactor) {
    record(7, 10, QDate(2026, 3, 2), 2.0, 10.0, 1);
    record(7, 10, QDate(2026, 3, 3), 1.0, 10.0, 9);       // type 9: normal time
    record(8, 10, QDate(2026, 3, 4), 3.0, QVariant(), 2); // no rate: no costs
    record(8, 10, QDate(2026, 3, 31), 1.5, 10.0, 2, 1.5); // the factor stays out
    record(7, 10, QDate(2026, 3, 5), 0.0, 10.0, 1);       // no hours
    record(7, 10, QDate(2026, 3, 6), 0.004, 10.0, 1);     // rounds to no hours
    record(7, 10, QDate(2026, 4, 1), 5.0, 10.0, 1);       // next month
    record(7, 10, QDate(), 5.0, 10.0, 1);                 // no date
    record(7, 11, QDate(2026, 3, 2), 7.0, 10.0, 1);       // another object
    const ZeitsumValues s = PanelMonthSums(lumo(), TimeViewMaster::Objekt, 10, kMarch);
    EXPECT_DOUBLE_EQ(s.hours[0], 3.0);
    EXPECT_DOUBLE_EQ(s.costs[0], 30.0);
    EXPECT_DOUBLE_EQ(s.hours[1], 4.5);
    EXPECT_DOUBLE_EQ(s.costs[1], 15.0);
    EXPECT_DOUBLE_EQ(s.totalHours, 7.5);
    EXPECT_DOUBLE_EQ(s.totalCosts, 45.0);

    const ZeitsumValues person = PanelMonthSums(lumo(), TimeViewMaster::Person, 7, kMarch);
    EXPECT_DOUBLE_EQ(person.totalHours, 10.0);
    EXPECT_DOUBLE_EQ(person.totalCosts, 100.0);
    const ZeitsumValues none = PanelMonthSums(lumo(), TimeViewMaster::Objekt, 0, kMarch);
    EXPECT_DOUBLE_EQ(none.totalHours, 0);
}

TEST_F(MonthTimeSums, TheMonthListHasARowPerMasterAppliesTheFactorAndKeepsOtherTypesInTheTotal) {
    addActiveObject(12, 100, u"Haus C"_s);                // no records in March
    record(7, 10, QDate(2026, 3, 2), 2.0, 10.0, 1, 1.5);  // 30.00 with the factor
    record(7, 10, QDate(2026, 3, 3), 1.0, 10.0, 9);       // only in the totals
    record(8, 10, QDate(2026, 3, 4), 3.0, QVariant(), 2); // no rate: no costs
    record(8, 11, QDate(2026, 3, 4), 1.0, 10.0, 1);
    record(8, 11, QDate(2026, 2, 28), 4.0, 10.0, 1); // the month before
    MonthSumTable sums;
    EXPECT_EQ(BuildMonthList(sums, lumo(), lumo(), TimeViewMaster::Objekt, kMarch), 3);
    EXPECT_EQ(sums.rowCount(), 3);
    const std::optional<ZeitsumValues> ten = sums.row(10);
    ASSERT_TRUE(ten);
    EXPECT_DOUBLE_EQ(ten->hours[0], 2.0);
    EXPECT_DOUBLE_EQ(ten->costs[0], 30.0);
    EXPECT_DOUBLE_EQ(ten->hours[1], 3.0);
    EXPECT_DOUBLE_EQ(ten->costs[1], 0.0);
    EXPECT_DOUBLE_EQ(ten->totalHours, 6.0);
    EXPECT_DOUBLE_EQ(ten->totalCosts, 40.0);
    const std::optional<ZeitsumValues> twelve = sums.row(12);
    ASSERT_TRUE(twelve);
    EXPECT_DOUBLE_EQ(twelve->totalHours, 0);
    EXPECT_DOUBLE_EQ(twelve->totalCosts, 0);

    // An empty month: a zero line for every object.
    EXPECT_EQ(BuildMonthList(sums, lumo(), lumo(), TimeViewMaster::Objekt, {2025, 12}), 3);
    EXPECT_DOUBLE_EQ(sums.row(10)->totalHours, 0);
    // By employee: 7 and 8.
    EXPECT_EQ(BuildMonthList(sums, lumo(), lumo(), TimeViewMaster::Person, kMarch), 2);
    EXPECT_DOUBLE_EQ(sums.row(8)->totalHours, 4.0);
    EXPECT_DOUBLE_EQ(sums.row(8)->totalCosts, 10.0);
}

TEST_F(MonthTimeSums, ThePanelRowReplacesTheTableAndTheSharedTableStaysUntouched) {
    record(7, 10, QDate(2026, 3, 2), 2.0, 10.0, 1);
    MonthSumTable sums;
    BuildMonthList(sums, lumo(), lumo(), TimeViewMaster::Objekt, kMarch);
    sums.writeOnly(10, kMarch, PanelMonthSums(lumo(), TimeViewMaster::Objekt, 10, kMarch));
    EXPECT_EQ(sums.rowCount(), 1);
    EXPECT_DOUBLE_EQ(sums.row(10)->costs[0], 20.0);
    EXPECT_FALSE(sums.row(11));
    EXPECT_EQ(open(u"ZeitsumO.DB"_s)->recordCount(), 0);
    // A cursor of the table layer reads the work table, as the prints do.
    table::Table cursor(table::aliases::database(u"LumoDB"_s), sums.name());
    cursor.open();
    EXPECT_EQ(cursor.field(u"ZS_ObjektNo"_s).asInteger(), 10);
}

TEST_F(MonthTimeSums, TwoWorkstationsFillTheirSumsAtTheSameTime) {
    record(7, 10, QDate(2026, 3, 2), 2.0, 10.0, 1);
    table::Database::Options options;
    options.busyTimeoutMs = 50;
    const QString dir = table::aliases::directory(u"LumoDB"_s);
    auto first = table::Database::open(dir, options);
    auto second = table::Database::open(dir, options);
    MonthSumTable mine(first);
    MonthSumTable theirs(second);
    // The other workstation is in the middle of writing its sums.
    table::Transaction busy(*second);
    BuildMonthList(theirs, *second, *second, TimeViewMaster::Objekt, kMarch);
    EXPECT_NO_THROW(BuildMonthList(mine, *first, *first, TimeViewMaster::Objekt, kMarch));
    EXPECT_NO_THROW(
        mine.writeOnly(10, kMarch, PanelMonthSums(*first, TimeViewMaster::Objekt, 10, kMarch)));
    busy.commit();
    EXPECT_EQ(mine.rowCount(), 1);
    EXPECT_EQ(theirs.rowCount(), 2);
}

TEST_F(MonthTimeSums, ArchivedRecordsAreSummedIntoTheClientsWorkTable) {
    record(7, 10, QDate(2026, 3, 2), 2.0, 10.0, 1, {}, u"AblageDB"_s);
    table::Database& archive = *table::aliases::database(u"AblageDB"_s);
    MonthSumTable sums;
    BuildMonthList(sums, archive, lumo(), TimeViewMaster::Objekt, kMarch);
    EXPECT_DOUBLE_EQ(sums.row(10)->totalCosts, 20.0);
    EXPECT_DOUBLE_EQ(PanelMonthSums(archive, TimeViewMaster::Objekt, 10, kMarch).totalHours, 2.0);
    EXPECT_DOUBLE_EQ(PanelMonthSums(lumo(), TimeViewMaster::Objekt, 10, kMarch).totalHours, 0.0);
}

} // namespace
} // namespace operationstest
