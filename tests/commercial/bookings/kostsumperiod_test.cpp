#include "commercial/bookingfixture.h"
#include "commercial/bookings/costbookings.h"
#include "commercial/bookings/kostsumperiod.h"
#include "core/data/dbhelpers.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

TEST(KostsumPeriodTest, FiltersAndTexts) {
    EXPECT_EQ(KostsumPeriod::monthOf(2026, 3).headFilter(KostsumSide::Objekte),
              u"K_Jahr=2026 AND K_Monat=3 AND K_ObjektID>=0"_s);
    EXPECT_EQ(KostsumPeriod::yearOf(2026).headFilter(KostsumSide::Kostenarten),
              u"K_Jahr=2026 AND K_Monat=0 AND K_Kostart>=0"_s);
    EXPECT_EQ(KostsumPeriod::total().headFilter(KostsumSide::Objekte),
              u"K_Jahr=0 AND K_Monat=0 AND K_ObjektID>=0"_s);
    EXPECT_EQ(KostsumPeriod::monthOf(2026, 3).text(), u"Monat 3/2026"_s);
    EXPECT_EQ(KostsumPeriod::yearOf(2026).text(), u"Jahr 2026"_s);
    EXPECT_EQ(KostsumPeriod::total().text(), u"Gesamtzeitraum"_s);
    EXPECT_DOUBLE_EQ(KostsumDiff(1000.0, 250.0), 750.0);
    EXPECT_DOUBLE_EQ(KostsumSaldo(1000.0, 250.0, 900.0), 150.0);
    EXPECT_DOUBLE_EQ(KostsumDiff(0.015, 0.0), 0.02);
}

class KostsumFields : public bookingtest::Bookings {};

TEST_F(KostsumFields, RowsNameTheMainStoreAndRowsWithoutCostType) {
    auto objects = open(u"Objekte.DB"_s);
    ASSERT_TRUE(objects->locate({u"O_ID"_s}, {7}));
    objects->edit();
    objects->field(u"O_Match"_s).setValue(u"HAUS A"_s);
    objects->post();
    auto types = open(u"Kostart.DB"_s);
    ASSERT_TRUE(types->locate({u"A_Nr"_s}, {bookingtest::kKostartWaren}));
    types->edit();
    types->field(u"A_Text"_s).setValue(u"Waren"_s);
    types->post();
    const QDate day(2026, 3, 1);
    BookKostSum(0, 0, day, 10.0, 0, 0);
    BookKostSum(7, bookingtest::kKostartWaren, day, 1000.0, 250.0, 900.0);
    BookKostSum(8, 4711, day, 1.0, 0, 0); // a cost type that does not exist
    for (const bool named : {true, false}) {
        SCOPED_TRACE(named);
        auto t = open(u"KostSumD.db"_s);
        AddKostsumFields(*t, {named, named});
        t->setFilter(u"K_Jahr=2026 AND K_Monat=3"_s);
        t->setFiltered(true);
        QStringList seen;
        for (t->first(); !t->eof(); t->next())
            seen << u"%1|%2|%3|%4"_s
                        .arg(FieldText(*t, u"ObjektName"_s), FieldText(*t, u"KostartName"_s))
                        .arg(FieldFloat(*t, u"Diff"_s))
                        .arg(FieldFloat(*t, u"Saldo"_s));
        QStringList expected{u"HAUS A|Waren|750|150"_s, u"||1|-1"_s,
                             named ? u"Hauptlager|ohne Kostenzuordnung|10|-10"_s : u"||10|-10"_s};
        seen.sort();
        expected.sort();
        EXPECT_EQ(seen, expected);
    }
}

} // namespace
