#include "commercial/commercialrulesfixture.h"
#include "commercial/planningvalues.h"
#include "commercial/scheduling/terminvorschau.h"

using planningtest::activity;
using planningtest::d;

namespace {

// Wednesday 4 March 2026; the preview runs to 3 March 2027.
const QDate kToday(2026, 3, 4);
const TLuIntervall kIntervals = {{1, 1}, {2, 2}, {17, 0}};

PreviewTour tour(int weekday, TDateTime next, bool hasObject = true, const char* pattern = "*") {
    return {{4, weekday, next, QString::fromLatin1(pattern)}, hasObject};
}

QList<QDate> everyWeek(QDate from, int stepDays, QDate before) {
    QList<QDate> days;
    for (; from < before; from = from.addDays(stepDays))
        days.append(from);
    return days;
}

TEST(TerminVorschau, RhythmDaysFollowTheToursThatHaveTheObject) {
    const QDate end(2027, 3, 4);
    const QList<QDate> mondays = everyWeek(QDate(2026, 3, 9), 7, end);
    ASSERT_EQ(mondays.size(), 52);
    struct Case {
        const char* name;
        ObjectActivity activity;
        QList<PreviewTour> tours;
        QList<QDate> days;
    };
    ObjectActivity tuesdaysOnly = activity(1, d(2026, 3, 2));
    tuesdaysOnly.wtag = QStringLiteral("2");
    ObjectActivity serviceC = activity(1, d(2026, 3, 2));
    serviceC.serviceId = QStringLiteral("C");
    const Case cases[] = {
        {"weekly on a Monday tour", activity(1, d(2026, 3, 2)), {tour(1, d(2026, 3, 9))}, mondays},
        {"a past next date steps on",
         activity(1, d(2026, 3, 2)),
         {tour(1, d(2026, 1, 5))},
         mondays},
        {"every second week",
         activity(2, d(2026, 3, 9)),
         {tour(1, d(2026, 3, 9))},
         everyWeek(QDate(2026, 3, 9), 14, end)},
        {"a tour without the object",
         activity(1, d(2026, 3, 2)),
         {tour(1, d(2026, 3, 9), false)},
         {}},
        {"a tour without weekday comes once",
         activity(1, d(2026, 3, 2)),
         {tour(0, d(2026, 3, 20))},
         {QDate(2026, 3, 20)}},
        {"the activity's weekdays exclude the tour's", tuesdaysOnly, {tour(1, d(2026, 3, 9))}, {}},
        {"a service no tour does",
         serviceC,
         {tour(1, d(2026, 3, 9), true, "AB"), tour(2, d(2026, 3, 10), true, "B")},
         {}},
        // Unlike the due rule, a star inside a pattern is no wildcard here.
        {"a pattern with a star but without the service",
         serviceC,
         {tour(1, d(2026, 3, 9), true, "AB*")},
         {}},
        {"a tour pattern of its own service",
         serviceC,
         {tour(1, d(2026, 3, 9), true, " C ")},
         mondays},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlannedActivityDays(c.activity, c.tours, kIntervals, {}, kToday), c.days)
            << c.name;
}

TEST(TerminVorschau, FixedDatesAreTheMarkedDaysOnTheToursWeekdayInTheSeason) {
    const QList<TDateTime> marked{d(2026, 3, 2), d(2026, 3, 16), d(2026, 3, 17), d(2027, 2, 1),
                                  d(2027, 3, 1)};
    const FixedDateLookup lookup = [&](int tourNr, int objekt, int taetig, TDateTime day) {
        return tourNr == 4 && objekt == 7 && taetig == 3 && marked.contains(day);
    };
    const ObjectActivity a = activity(17, d(2025, 1, 1));
    // 2 March lies before today, 17 March is a Tuesday, March 2027 is beyond
    // the eleven months after the current one.
    EXPECT_EQ(PlannedActivityDays(a, {tour(1, d(2026, 3, 9), false)}, kIntervals, lookup, kToday),
              (QList<QDate>{QDate(2026, 3, 16), QDate(2027, 2, 1)}));
    ObjectActivity summer = a;
    summer.saisonVon = d(2000, 4, 1);
    summer.saisonBis = d(2000, 10, 31);
    EXPECT_TRUE(PlannedActivityDays(summer, {tour(1, d(2026, 3, 9))}, kIntervals, lookup, kToday)
                    .isEmpty());
    EXPECT_TRUE(
        PlannedActivityDays(a, {tour(0, d(2026, 3, 16))}, kIntervals, lookup, kToday).isEmpty());
}

TEST(TerminVorschau, AnIntervalKeyNoIntervalHasMeansFixedDates) {
    const FixedDateLookup lookup = [](int, int, int, TDateTime day) {
        return day == d(2026, 3, 16);
    };
    // Key 5 names no interval: fixed dates, not a weekly rhythm.
    const ObjectActivity unknown = activity(5, d(2026, 3, 2));
    EXPECT_EQ(
        PlannedActivityDays(unknown, {tour(1, d(2026, 3, 9), false)}, kIntervals, lookup, kToday),
        QList<QDate>{QDate(2026, 3, 16)});
}

class TerminVorschauTables : public commercialtest::CommercialRules {
protected:
    void SetUp() override {
        CommercialRules::SetUp();
        for (const char* file : {"Touren.db", "TourObj.db", "ObjTaet.db", "Objekte.DB",
                                 "TglTour.DB", "TglObj.DB", "TglTaet.DB"})
            table::aliases::database(datatest::kDb)->emptyTable(QString::fromLatin1(file));
    }
    void addDailyRow(int tourId, int tourNr, const QDate& date, int objektNr, int taetigNr) {
        if (!IntValueExists(datatest::kDb, QStringLiteral("TglTour.DB"), QStringLiteral("A_TourID"),
                            tourId))
            addRow(QStringLiteral("TglTour.DB"), {{QStringLiteral("A_TourID"), tourId},
                                                  {QStringLiteral("A_TourNr"), tourNr},
                                                  {QStringLiteral("A_Date"), date}});
        addRow(QStringLiteral("TglObj.DB"), {{QStringLiteral("A_TOID"), ++m_objectRows},
                                             {QStringLiteral("A_TourID"), tourId},
                                             {QStringLiteral("A_ObjektNr"), objektNr}});
        addRow(QStringLiteral("TglTaet.DB"), {{QStringLiteral("A_TOTID"), ++m_activityRows},
                                              {QStringLiteral("A_TourID"), tourId},
                                              {QStringLiteral("A_ObjNr"), objektNr},
                                              {QStringLiteral("A_TaetigNr"), taetigNr}});
    }
    int m_objectRows = 0;
    int m_activityRows = 0;
};

TEST_F(TerminVorschauTables, ListedDaysAreThoseOfDailyListsHoldingTheActivity) {
    addRow(QStringLiteral("Objekte.DB"), {{QStringLiteral("O_ID"), 7},
                                          {QStringLiteral("O_Nr"), 7},
                                          {QStringLiteral("O_Aktiv"), true}});
    addRow(QStringLiteral("ObjTaet.db"), {{QStringLiteral("TS_ID"), 1},
                                          {QStringLiteral("TS_Objekt"), 7},
                                          {QStringLiteral("TS_Taetigkeit"), 3},
                                          {QStringLiteral("TS_Modus"), 1},
                                          {QStringLiteral("TS_StartDatum"), QDate(2026, 3, 2)}});
    addRow(QStringLiteral("Touren.db"), {{QStringLiteral("TO_ID"), 4},
                                         {QStringLiteral("TO_Nr"), 4},
                                         {QStringLiteral("TO_Wochentag"), 1},
                                         {QStringLiteral("TO_NextDate"), QDate(2026, 3, 9)},
                                         {QStringLiteral("TO_ServPatt"), QStringLiteral("*")}});
    addRow(QStringLiteral("TourObj.db"), {{QStringLiteral("T_TourID"), 1},
                                          {QStringLiteral("TO_TourNr"), 4},
                                          {QStringLiteral("TO_Objekt"), 7}});
    addDailyRow(1, 4, QDate(2026, 3, 9), 7, 3);
    addDailyRow(2, 4, QDate(2026, 3, 2), 7, 3);
    addDailyRow(3, 5, QDate(2026, 3, 3), 7, 3);
    addDailyRow(4, 4, QDate(2026, 3, 16), 7, 8);
    addDailyRow(5, 4, QDate(2026, 3, 23), 9, 3);

    ASSERT_TRUE(shared(dm->TabObjekt()).locate({QStringLiteral("O_Nr")}, {7}));
    shared(dm->TabObjTaetig());
    ASSERT_TRUE(shared(dm->TabTour()).locate({QStringLiteral("TO_Nr")}, {4}));

    const TerminVorschau one = FillTerminVorschau(*dm, 4, 7, 3, false, kToday);
    EXPECT_EQ(one.listed, (QList<QDate>{QDate(2026, 3, 2), QDate(2026, 3, 9)}));
    ASSERT_EQ(one.planned.size(), 52);
    EXPECT_EQ(one.planned.first(), QDate(2026, 3, 9));

    const TerminVorschau all = FillTerminVorschau(*dm, 0, 7, 3, true, kToday);
    EXPECT_EQ(all.listed, (QList<QDate>{QDate(2026, 3, 2), QDate(2026, 3, 3), QDate(2026, 3, 9)}));
    EXPECT_EQ(all.planned, one.planned);

    // By the activity's key, without the forms' cursors: the same marks.
    dm->TabObjTaetig().close();
    dm->TabTour().close();
    const TerminVorschau keyed = FillTerminVorschauOfActivity(1, 4, false, kToday);
    EXPECT_EQ(keyed.listed, one.listed);
    EXPECT_EQ(keyed.planned, one.planned);
    const TerminVorschau keyedAll = FillTerminVorschauOfActivity(1, 0, true, kToday);
    EXPECT_EQ(keyedAll.listed, all.listed);
    EXPECT_EQ(keyedAll.planned, all.planned);
    EXPECT_TRUE(FillTerminVorschauOfActivity(99, 0, true, kToday).planned.isEmpty());
}

} // namespace
