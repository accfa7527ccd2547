#include "commercial/bookings/costbookings.h"
#include "operations/overheaddistribution.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "timerecordfixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace operationstest {
namespace {

const QDate kMarch(2026, 3, 1);

// Objects 10, 11 and 12 of customer 100; cost type 500 is overhead, 501
// travel costs; costs of the month booked per object, overhead on the main
// store.
class Overhead : public TimeRecords {
protected:
    void SetUp() override {
        TimeRecords::SetUp();
        addActiveObject(12, 100, u"Haus C"_s);
        setField(u"Kostart.DB"_s, u"A_Nr"_s, 500, u"A_Personal"_s, true);
    }
    // The month's detail row of the cost type and object: K_Zugang; -1 without row.
    double detail(int kostart, int objektNr) {
        auto t = open(u"KostSumD.db"_s);
        if (!t->locate({u"K_Jahr"_s, u"K_Monat"_s, u"K_Kostart"_s, u"K_ObjektNr"_s},
                       {2026, 3, kostart, objektNr}))
            return -1;
        return t->field(u"K_Zugang"_s).asFloatOr(0);
    }
    // Every row of both statistics tables, to compare before and after.
    QStringList statistics() {
        QStringList rows;
        for (const QString& file : {u"KostSumH.db"_s, u"KostSumD.db"_s}) {
            auto t = open(file);
            for (t->first(); !t->eof(); t->next()) {
                QStringList values;
                for (int f = 0; f < t->fieldCount(); ++f)
                    values << t->field(f).value().toString();
                rows << values.join(u';');
            }
        }
        return rows;
    }
    std::vector<std::pair<int, double>> zugaenge(const OverheadDistribution& d) {
        std::vector<std::pair<int, double>> out;
        for (const OverheadBooking& b : d.bookings())
            out.emplace_back(b.objektNr, b.zugang);
        return out;
    }
};

TEST_F(Overhead, TheMonthsCostsShareTheMainStoresOverhead) {
    BookKostSum(10, 501, kMarch, 300.0, 0, 0);
    BookKostSum(11, 501, kMarch, 100.0, 0, 0);
    BookKostSum(0, 500, kMarch, 100.0, 0, 0);
    OverheadDistribution d(500, 2026, 3);
    ASSERT_TRUE(d.readMainStore());
    EXPECT_DOUBLE_EQ(d.mainStore().zugang, 100.0);
    ASSERT_TRUE(d.plan(DistributionKey::KostenMonat));
    d.book();
    EXPECT_DOUBLE_EQ(detail(500, 10), 75.0);
    EXPECT_DOUBLE_EQ(detail(500, 11), 25.0);
    EXPECT_DOUBLE_EQ(detail(500, 0), 0.0);
    // Distributed once: the main store holds nothing more.
    OverheadDistribution again(500, 2026, 3);
    EXPECT_FALSE(again.readMainStore());
}

TEST_F(Overhead, RoundingLeavesTheRestOnTheFirstLargestAndNegativeValuesTakeNegativeShares) {
    const struct {
        const char* name;
        std::vector<double> costs; // objects 10, 11, 12
        std::vector<std::pair<int, double>> expected;
    } cases[] = {
        {"ThreeEqual", {1.0, 1.0, 1.0}, {{0, -100.0}, {11, 33.33}, {12, 33.33}, {10, 33.34}}},
        {"Negative", {300.0, -100.0, 0.0}, {{0, -100.0}, {11, -50.0}, {12, 0.0}, {10, 150.0}}},
        {"LargestLater", {1.0, 3.0, 0.0}, {{0, -100.0}, {10, 25.0}, {12, 0.0}, {11, 75.0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        table::aliases::database(u"LumoDB"_s)->emptyTable(u"KostSumH.db"_s);
        table::aliases::database(u"LumoDB"_s)->emptyTable(u"KostSumD.db"_s);
        for (size_t i = 0; i < c.costs.size(); ++i)
            BookKostSum(10 + int(i), 501, kMarch, c.costs[i], 0, 0);
        BookKostSum(0, 500, kMarch, 100.0, 0, 0);
        OverheadDistribution d(500, 2026, 3);
        ASSERT_TRUE(d.readMainStore());
        ASSERT_TRUE(d.plan(DistributionKey::KostenMonat));
        EXPECT_EQ(zugaenge(d), c.expected);
    }
}

TEST_F(Overhead, KeysReadRevenueOrCostsOfTheirPeriod) {
    BookKostSum(10, 501, QDate(2026, 1, 1), 0, 0, 100.0); // revenue in January
    BookKostSum(11, 501, kMarch, 0, 0, 300.0);            // revenue in March
    BookKostSum(10, 501, QDate(2025, 6, 1), 50.0, 0, 0);  // costs of an earlier year
    BookKostSum(0, 500, kMarch, 80.0, 0, 0);
    OverheadDistribution d(500, 2026, 3);
    ASSERT_TRUE(d.readMainStore());
    ASSERT_TRUE(d.plan(DistributionKey::ErloesMonat));
    EXPECT_EQ(zugaenge(d), (std::vector<std::pair<int, double>>{{0, -80.0}, {11, 80.0}}));
    ASSERT_TRUE(d.plan(DistributionKey::ErloesJahr));
    EXPECT_EQ(zugaenge(d),
              (std::vector<std::pair<int, double>>{{0, -80.0}, {10, 20.0}, {11, 60.0}}));
    ASSERT_TRUE(d.plan(DistributionKey::KostenGesamt));
    EXPECT_EQ(zugaenge(d),
              (std::vector<std::pair<int, double>>{{0, -80.0}, {11, 0.0}, {10, 80.0}}));
    // No costs at all in March: nothing to key by.
    EXPECT_FALSE(d.plan(DistributionKey::KostenMonat));
    EXPECT_TRUE(d.bookings().empty());
}

TEST_F(Overhead, ASumWithoutAPositiveValueIsNoKey) {
    BookKostSum(10, 501, kMarch, -100.0, 0, 0);
    BookKostSum(11, 501, kMarch, -50.0, 0, 0);
    BookKostSum(0, 500, kMarch, 100.0, 0, 0);
    OverheadDistribution d(500, 2026, 3);
    ASSERT_TRUE(d.readMainStore());
    EXPECT_FALSE(d.plan(DistributionKey::KostenMonat));
    EXPECT_TRUE(d.bookings().empty());
}

TEST_F(Overhead, AFailingBookingLeavesTheStatisticsAsTheyWere) {
    BookKostSum(10, 501, kMarch, 300.0, 0, 0);
    BookKostSum(11, 501, kMarch, 100.0, 0, 0);
    BookKostSum(0, 500, kMarch, 100.0, 0, 0);
    const QStringList before = statistics();
    OverheadDistribution d(500, 2026, 3);
    ASSERT_TRUE(d.readMainStore());
    ASSERT_TRUE(d.plan(DistributionKey::KostenMonat));
    // The second booking (object 11) fails.
    failOn(u"INSERT ON KostSumD WHEN NEW.K_ObjektID = 11"_s);
    EXPECT_THROW(d.book(), std::exception);
    stopFailing();
    EXPECT_EQ(statistics(), before);
    EXPECT_DOUBLE_EQ(detail(500, 0), 100.0);
}

} // namespace
} // namespace operationstest
