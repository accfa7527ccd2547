#include "commercial/commercialrulesfixture.h"
#include "commercial/scheduling/fixtermmonths.h"
#include "commercial/scheduling/fixtermtable.h"

#include <QDate>

using commercialtest::CommercialRules;

namespace {

// 15 March 2026: month index 315.
const QDate kToday(2026, 3, 15);
constexpr int kCurrent = 315;

class FixTermTable : public CommercialRules {
protected:
    void SetUp() override {
        CommercialRules::SetUp();
        table::aliases::database(datatest::kDb)->emptyTable(QStringLiteral("TglFterm.DB"));
    }
    // Row with every month marked on its 10th (and the 3rd for the second row).
    void addFixTerm(int id, int tourNr) {
        QList<std::pair<QString, QVariant>> values{{QStringLiteral("TF_ID"), id},
                                                   {QStringLiteral("TF_TourNr"), tourNr},
                                                   {QStringLiteral("TF_ObjNr"), 7},
                                                   {QStringLiteral("TF_TaetigNr"), 3}};
        for (int m = 1; m <= 12; ++m)
            values.append({FixTermFieldName(m), original(id)});
        addRow(QStringLiteral("TglFterm.DB"), values);
    }
    static QString original(int id) {
        MonthMarks marks{};
        marks[9] = true;
        marks[id == 1 ? 2 : 20] = true;
        return EncodeMonthMarks(marks);
    }
    FixTermMonths stored(int tourNr) {
        FixTermMonths months;
        EXPECT_TRUE(ReadFixTermMonths(tourNr, 7, 3, months));
        return months;
    }
    int updateMonth() {
        return shared(dm->TabFirmen()).field(QStringLiteral("F_FixtermUpdateMonth")).asIntegerOr(0);
    }
};

TEST_F(FixTermTable, UnsetUpdateMonthIsDecemberOfTheYearBefore) {
    setCompanyField(QStringLiteral("F_FixtermUpdateMonth"), QVariant());
    EXPECT_EQ(GetFixTermUpdateMonth(*dm, kToday), 312);
    setCompanyField(QStringLiteral("F_FixtermUpdateMonth"), 300);
    EXPECT_EQ(GetFixTermUpdateMonth(*dm, kToday), 300);
}

TEST_F(FixTermTable, EveryPassedMonthIsCarriedOnceAndAtMostTheLastTwelve) {
    struct Case {
        const char* name;
        int lastCarried;
        int firstCarried; // the months firstCarried .. kCurrent - 1 move
    };
    const Case cases[] = {
        {"carried last month", kCurrent - 1, kCurrent},
        {"two months passed", kCurrent - 3, kCurrent - 2},
        {"a pause of 12 months", kCurrent - 13, kCurrent - 12},
        {"a pause of 13 months", kCurrent - 14, kCurrent - 12},
        {"a pause of 23 months", kCurrent - 24, kCurrent - 12},
        {"a pause of 25 months", kCurrent - 26, kCurrent - 12},
    };
    for (const Case& c : cases) {
        table::aliases::database(datatest::kDb)->emptyTable(QStringLiteral("TglFterm.DB"));
        addFixTerm(1, 4);
        addFixTerm(2, 5);
        setCompanyField(QStringLiteral("F_FixtermUpdateMonth"), c.lastCarried);
        EXPECT_EQ(AdvanceFixTermine(*dm, kToday), kCurrent - c.firstCarried) << c.name;
        EXPECT_EQ(updateMonth(), qMax(c.lastCarried, kCurrent - 1)) << c.name;
        for (int id : {1, 2}) {
            FixTermMonths expected;
            for (int m = 1; m <= 12; ++m)
                expected[m - 1] = original(id);
            for (int i = c.firstCarried; i < kCurrent; ++i)
                expected[MonthOfFixTermMonth(i) - 1] = ShiftFixTermMonth(i, original(id));
            EXPECT_EQ(stored(id + 3), expected) << c.name << " row " << id;
        }
        // A second run in the same month changes nothing.
        const FixTermMonths after = stored(4);
        EXPECT_EQ(AdvanceFixTermine(*dm, kToday), 0) << c.name;
        EXPECT_EQ(stored(4), after) << c.name;
    }
}

TEST_F(FixTermTable, ARowHeldElsewhereLeavesEveryRowAndTheMonthAsTheyWere) {
    addFixTerm(1, 4);
    addFixTerm(2, 5);
    setCompanyField(QStringLiteral("F_FixtermUpdateMonth"), kCurrent - 3);
    {
        datatest::HeldElsewhere held(QStringLiteral("TglFterm.DB"), QStringLiteral("TF_ID"), 2);
        EXPECT_THROW(AdvanceFixTermine(*dm, kToday), DbError);
        EXPECT_EQ(stored(4)[0], original(1));
        EXPECT_EQ(stored(4)[1], original(1));
        EXPECT_EQ(updateMonth(), kCurrent - 3);
    }
    EXPECT_EQ(AdvanceFixTermine(*dm, kToday), 2);
    EXPECT_EQ(stored(4)[0], ShiftFixTermMonth(kCurrent - 2, original(1)));
    EXPECT_EQ(stored(5)[1], ShiftFixTermMonth(kCurrent - 1, original(2)));
}

TEST_F(FixTermTable, MarkedDaysAreFixedDatesOfTheirTourObjectAndActivity) {
    FixTermMonths months;
    MonthMarks march{};
    march[14] = true;
    months[2] = EncodeMonthMarks(march);
    months[3] = QStringLiteral("+");
    WriteFixTermMonths(4, 7, 3, months);
    const TDateTime day = DateTimeOfDate(QDate(2025, 3, 15));
    EXPECT_EQ(IsFixedTermDay(4, 7, 3, day), day);
    EXPECT_EQ(IsFixedTermDay(4, 7, 3, day + 1), EmptyDate);
    EXPECT_EQ(IsFixedTermDay(5, 7, 3, day), EmptyDate);
    const TDateTime april1 = DateTimeOfDate(QDate(2031, 4, 1));
    EXPECT_EQ(IsFixedTermDay(4, 7, 3, april1), april1);
    EXPECT_FALSE(dm->TabTglFixTerm().isOpen());

    // Saving again replaces the row's texts.
    months[2] = QString(31, u'-');
    WriteFixTermMonths(4, 7, 3, months);
    EXPECT_EQ(IsFixedTermDay(4, 7, 3, day), EmptyDate);
    EXPECT_EQ(open(QStringLiteral("TglFterm.DB"))->recordCount(), 1);
}

} // namespace
