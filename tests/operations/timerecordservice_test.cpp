#include "operations/timerecordservice.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "timerecordfixture.h"

#include <QDate>
#include <gtest/gtest.h>

using Kind = MessagePresenter::Kind;
using namespace Qt::StringLiterals;

namespace operationstest {
namespace {

// Rate and cost type of a record by employee and time type.
struct RateCase {
    const char* name;
    int persNr;
    int zeitart;
    double rate;
    int kostart;
};

class RateAndCostType : public TimeRecords, public ::testing::WithParamInterface<RateCase> {
protected:
    void SetUp() override {
        TimeRecords::SetUp();
        // Type 3 has no factor; its cost type 501 stands for employees without one.
        setField(u"Zeitart.DB"_s, u"ZA_Type"_s, 3, u"ZA_Aufschlag"_s, QVariant());
        setField(u"Zeitart.DB"_s, u"ZA_Type"_s, 3, u"ZA_Kostart"_s, 501);
        setField(u"Zeitart.DB"_s, u"ZA_Type"_s, 2, u"ZA_Kostart"_s, 501);
        setField(u"Personal.DB"_s, u"P_Nr"_s, 7, u"P_Kostart1"_s, 500);
        setField(u"Personal.DB"_s, u"P_Nr"_s, 7, u"P_Kostart2"_s, 0);
    }
};

TEST_P(RateAndCostType, FollowTheTimeTypeAndTheEmployee) {
    const RateCase& c = GetParam();
    TimeRecordService service;
    EXPECT_DOUBLE_EQ(service.CalcStundensatz(c.persNr, c.zeitart), c.rate);
    EXPECT_EQ(service.GetPersonalKostart(c.persNr, c.zeitart), c.kostart);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RateAndCostType,
    ::testing::Values(RateCase{"OwnCostType", 7, 1, 12.00, 500},
                      // 1.25 x 12.00; the employee's explicit 0 is kept.
                      RateCase{"FactorAndExplicitZero", 7, 2, 15.00, 0},
                      // No factor: rate 0; no own cost type: the time type's.
                      RateCase{"EmptyFactorAndTypesCostType", 7, 3, 0.00, 501},
                      // A type without row counts factor 1.0 and has no cost type.
                      RateCase{"TypeWithoutRow", 7, 9, 12.00, 0},
                      RateCase{"MissingEmployee", 99, 2, 0.00, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TimeRecords, OvertimeAddsItsHoursAndCostsToItsColumnsAndTheTotals) {
    post(7, kMarch10, 2.5, 12.34, 2);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdUeb1"), 2.50);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_EkUeb1"), 30.85);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdGesamt"), 2.50);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_EkGesamt"), 30.85);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdNormal"), 0);
    EXPECT_EQ(watch.insideTransaction, 0);
}

TEST_F(TimeRecords, AnEighthOfAnHourIsRoundedPerRecordInTheSumsButNotInTheWeek) {
    post(7, kMarch10, 0.125, 10.00);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdNormal"), 0.13);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_EkNormal"), 1.30);
    EXPECT_DOUBLE_EQ(monthCosts(kMarch10), 1.25);
    const WeekDayHours hours = cursor().service().weekDayHours(7, kMarch10);
    EXPECT_DOUBLE_EQ(hours.week, 0.125);
    EXPECT_DOUBLE_EQ(hours.day, 0.125);
}

TEST_F(TimeRecords, AnUnknownTypeIsNormalTimeInTheSumsAndLeftOutOfWeekAndDay) {
    post(7, kMarch10, 3, 10.00, 1);
    post(7, kMarch10.addDays(1), 2, 10.00, 1);
    auto t = open(u"Zeiterf.DB"_s);
    for (t->first(); !t->eof(); t->next())
        if (t->field(u"Z_Stunden"_s).asFloat() == 2) {
            t->edit();
            t->field(u"Z_Art"_s).setValue(9);
            t->post();
        }
    cursor().service().RebuildMonthSums(7, kMarch10);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdNormal"), 5);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_EkNormal"), 50);
    const WeekDayHours week = cursor().service().weekDayHours(7, kMarch10.addDays(1));
    EXPECT_DOUBLE_EQ(week.week, 3);
    EXPECT_DOUBLE_EQ(week.day, 0);
}

TEST_F(TimeRecords, RecordsWithoutHoursCountOnlyWithARateAndAddNothing) {
    post(7, kMarch10, 0, 0);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdGesamt"), 0);
    post(7, kMarch10, 0, 12.00);
    post(7, kMarch10, 1, 12.00);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdGesamt"), 1);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_EkGesamt"), 12);
}

TEST_F(TimeRecords, WeekRunsMondayToSundayAgainstTheEmployeesLimits) {
    const QDate monday(2026, 3, 9), sunday(2026, 3, 15);
    post(7, monday.addDays(-1), 9, 12.00); // the Sunday before
    post(7, monday, 20, 12.00);
    post(7, sunday, 21, 12.00);
    post(7, monday.addDays(7), 5, 12.00);
    WeekDayHours hours = cursor().service().weekDayHours(7, sunday);
    EXPECT_DOUBLE_EQ(hours.week, 41);
    EXPECT_DOUBLE_EQ(hours.day, 21);
    EXPECT_TRUE(hours.weekAboveLimit());
    EXPECT_TRUE(hours.dayAboveLimit());
    hours = cursor().service().weekDayHours(7, monday.addDays(2));
    EXPECT_DOUBLE_EQ(hours.day, 0);
    EXPECT_FALSE(hours.dayAboveLimit());
    // A limit of 0 shows any hours in red.
    post(8, monday, 0.5, 10.00);
    EXPECT_TRUE(cursor().service().weekDayHours(8, monday).weekAboveLimit());
    EXPECT_EQ(WeekDayHoursText(41), u" 41.00 Std"_s);
    EXPECT_EQ(WeekDayHoursText(0.125), u"  0.13 Std"_s);
}

TEST_F(TimeRecords, DeletingTheMonthsLastRecordLeavesARowOfZeros) {
    post(7, kMarch10, 2, 12.00);
    table::Table& t = cursor().table();
    cursor().showDay(7, kMarch10);
    ASSERT_FALSE(t.isEmpty());
    t.deleteRecord();
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdGesamt"), 0);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_EkGesamt"), 0);
    EXPECT_EQ(count(u"Kosten.DB"_s), 0);
    EXPECT_DOUBLE_EQ(monthCosts(kMarch10), 0);
}

TEST_F(TimeRecords, ANewRecordStartsWithTheDefaultsOfItsEmployeeAndDay) {
    setField(u"Personal.DB"_s, u"P_Nr"_s, 7, u"P_Kostart1"_s, 500);
    table::Table& t = cursor().table();
    cursor().showDay(7, kMarch10);
    t.append();
    // The window's master link gives the employee; the rate follows him.
    t.field(u"Z_PersNr"_s).setValue(7);
    t.field(u"Z_Art"_s).setValue(1);
    EXPECT_EQ(t.field(u"Z_Datum"_s).asDate(), kMarch10);
    EXPECT_EQ(t.field(u"Z_ObjNr"_s).asInteger(), 0);
    EXPECT_EQ(t.field(u"Z_KostID"_s).asInteger(), 0);
    EXPECT_DOUBLE_EQ(t.field(u"Z_Stunden"_s).asFloat(), 0);
    EXPECT_DOUBLE_EQ(t.field(u"Z_EkPreis"_s).asFloat(), 12.00);
    EXPECT_EQ(t.field(u"Z_Kostart"_s).asInteger(), 500);
    t.field(u"Z_Art"_s).setValue(2);
    EXPECT_DOUBLE_EQ(t.field(u"Z_EkPreis"_s).asFloat(), 15.00);
    t.cancel();
    EXPECT_EQ(askedRights, QList<int>{kZeiterfRight});
}

TEST_F(TimeRecords, WithoutTheCreateRightNoRecordIsStarted) {
    createAllowed = false;
    cursor().showDay(7, kMarch10);
    EXPECT_THROW(cursor().table().append(), Abort);
    EXPECT_FALSE(cursor().table().isEditing());
}

TEST_F(TimeRecords, UnknownObjectsAndCostTypesAreRefusedAndKeepTheOldValue) {
    table::Table& t = cursor().table();
    cursor().showDay(7, kMarch10);
    t.append();
    t.field(u"Z_ObjNr"_s).setValue(10);
    EXPECT_THROW(t.field(u"Z_ObjNr"_s).setValue(12), Abort);
    EXPECT_EQ(t.field(u"Z_ObjNr"_s).asInteger(), 10);
    EXPECT_THROW(t.field(u"Z_Kostart"_s).setValue(777), Abort);
    t.field(u"Z_Kostart"_s).setValue(501);
    // A cost type of the employee that no longer exists refuses the type.
    setField(u"Personal.DB"_s, u"P_Nr"_s, 7, u"P_Kostart4"_s, 888);
    t.field(u"Z_PersNr"_s).setValue(7);
    EXPECT_THROW(t.field(u"Z_Art"_s).setValue(4), Abort);
    EXPECT_EQ(t.field(u"Z_Art"_s).asInteger(), 1);
    EXPECT_EQ(t.field(u"Z_Kostart"_s).asInteger(), 501);
    t.cancel();
    EXPECT_EQ(presenter.texts(Kind::Error),
              (QStringList{u"Unbekanntes Objekt!"_s,
                           u"Kostenart: Sie müssen eine gültige Nummer eingeben"_s,
                           u"Kostenart: Sie müssen eine gültige Nummer eingeben"_s}));
}

TEST_F(TimeRecords, EveryPostReplacesTheCostEntryDatedOnTheRecordsDay) {
    // The cursor's new records start on the 10th; these are for the 20th.
    const QDate other(2026, 4, 20);
    post(7, other, 2, 12.00, 1, 10);
    post(8, other, 1, 10.00, 1, 11);
    auto costs = open(u"Kosten.DB"_s);
    ASSERT_TRUE(costs->locate({u"K_ID"_s}, {1}));
    EXPECT_EQ(costs->field(u"K_Datum"_s).asDate(), other);
    EXPECT_DOUBLE_EQ(costs->field(u"K_Betrag"_s).asFloat(), 24.00);
    EXPECT_EQ(costs->field(u"K_ObjID"_s).asInteger(), 10);
    EXPECT_EQ(costs->field(u"K_KostArt"_s).asInteger(), 500);

    // A change of the text alone still gives a new entry in place of the old.
    table::Table& t = cursor().table();
    cursor().showDay(7, other);
    t.edit();
    t.field(u"Z_Text"_s).setValue(u"Fenster"_s);
    t.post();
    EXPECT_EQ(t.field(u"Z_KostID"_s).asInteger(), 3);
    EXPECT_EQ(column(u"Kosten.DB"_s, u"K_ID"_s), (QList<int>{2, 3}));
    EXPECT_DOUBLE_EQ(monthCosts(other), 34.00);
    EXPECT_DOUBLE_EQ(monthCosts(kMarch10), 0);
    // The sums are those of the record's own employee and month.
    EXPECT_DOUBLE_EQ(sum(7, other, "ZS_StdNormal"), 2);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdNormal"), -1);
}

TEST_F(TimeRecords, WithTheSwitchOffARecordKeepsItsEntryAndItsDeleteStillRemovesIt) {
    post(7, kMarch10, 2, 12.00);
    table::Table& t = cursor().table();
    cursor().showDay(7, kMarch10);
    const int kostId = t.field(u"Z_KostID"_s).asInteger();
    ASSERT_NE(kostId, 0);
    KostenAusZeiterfassOn = false;
    t.edit();
    t.field(u"Z_Stunden"_s).setValue(3.0);
    t.post();
    EXPECT_EQ(t.field(u"Z_KostID"_s).asInteger(), kostId);
    EXPECT_EQ(count(u"Kosten.DB"_s), 1);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdNormal"), 3);
    t.deleteRecord();
    EXPECT_EQ(count(u"Kosten.DB"_s), 0);
    EXPECT_DOUBLE_EQ(monthCosts(kMarch10), 0);
}

TEST_F(TimeRecords, AFailedWriteAfterTheCostEntryChangesNothingAndKeepsTheEdit) {
    post(7, kMarch10, 2, 12.00);
    table::Table& t = cursor().table();
    cursor().showDay(7, kMarch10);
    const int kostId = t.field(u"Z_KostID"_s).asInteger();
    failOn(u"UPDATE ON Zeiterf"_s);
    t.edit();
    t.field(u"Z_Stunden"_s).setValue(5.0);
    EXPECT_THROW(t.post(), std::exception);
    EXPECT_TRUE(t.isEditing());
    EXPECT_EQ(t.field(u"Z_KostID"_s).asInteger(), kostId);
    auto costs = open(u"Kosten.DB"_s);
    ASSERT_EQ(costs->recordCount(), 1);
    EXPECT_EQ(costs->field(u"K_ID"_s).asInteger(), kostId);
    EXPECT_DOUBLE_EQ(monthCosts(kMarch10), 24.00);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdNormal"), 2);

    // Once the cause is gone the same edit goes through.
    stopFailing();
    t.post();
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdNormal"), 5);
    EXPECT_DOUBLE_EQ(monthCosts(kMarch10), 60.00);
    EXPECT_EQ(count(u"Kosten.DB"_s), 1);
}

TEST_F(TimeRecords, AFailedDeleteKeepsTheRecordItsEntryAndTheSums) {
    post(7, kMarch10, 2, 12.00);
    table::Table& t = cursor().table();
    cursor().showDay(7, kMarch10);
    failOn(u"DELETE ON Zeiterf"_s);
    EXPECT_THROW(t.deleteRecord(), std::exception);
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 1);
    EXPECT_EQ(count(u"Kosten.DB"_s), 1);
    EXPECT_DOUBLE_EQ(monthCosts(kMarch10), 24.00);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdNormal"), 2);
}

TEST_F(TimeRecords, ARecordMovedToAnotherMonthOrEmployeeLeavesBothSumsRight) {
    post(7, kMarch10, 2, 12.00);
    table::Table& t = cursor().table();
    cursor().showDay(7, kMarch10);
    t.edit();
    t.field(u"Z_Datum"_s).setValue(QDate(2026, 4, 1));
    t.field(u"Z_PersNr"_s).setValue(8);
    t.post();
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdNormal"), 0);
    EXPECT_DOUBLE_EQ(sum(8, QDate(2026, 4, 1), "ZS_StdNormal"), 2);
    EXPECT_DOUBLE_EQ(monthCosts(QDate(2026, 4, 1)), 24.00);
    EXPECT_DOUBLE_EQ(monthCosts(kMarch10), 0);
}

TEST_F(TimeRecords, ARangeDeleteTakesEntriesAlongAndRebuildsEveryMonthItTouched) {
    post(7, kMarch10, 2, 12.00);
    post(7, QDate(2026, 3, 31), 1, 12.00);
    post(8, QDate(2026, 4, 1), 3, 10.00);
    post(8, QDate(2026, 4, 2), 4, 10.00);
    KostenAusZeiterfassOn = false; // the entries go anyway
    cursor().service().DeleteZeiterfRange(QDate(2026, 3, 11), QDate(2026, 4, 1));
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 2);
    EXPECT_EQ(count(u"Kosten.DB"_s), 2);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdNormal"), 2);
    EXPECT_DOUBLE_EQ(sum(8, QDate(2026, 4, 1), "ZS_StdNormal"), 4);
    EXPECT_DOUBLE_EQ(monthCosts(QDate(2026, 4, 1)), 40.00);

    // An employee left without any record keeps a row of zeros.
    cursor().service().DeleteZeiterfRange(QDate(2026, 4, 1), QDate(2026, 4, 30));
    EXPECT_DOUBLE_EQ(sum(8, QDate(2026, 4, 1), "ZS_StdNormal"), 0);
    EXPECT_DOUBLE_EQ(sum(8, QDate(2026, 4, 1), "ZS_EkGesamt"), 0);
    EXPECT_EQ(count(u"Kosten.DB"_s), 1);
}

TEST_F(TimeRecords, ARangeDeleteThatFailsLeavesEverything) {
    post(7, kMarch10, 2, 12.00);
    post(8, kMarch10, 3, 10.00);
    failOn(u"DELETE ON Zeiterf WHEN OLD.Z_PersNr = 8"_s);
    EXPECT_THROW(cursor().service().DeleteZeiterfRange(kMarch10, kMarch10), std::exception);
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 2);
    EXPECT_EQ(count(u"Kosten.DB"_s), 2);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdNormal"), 2);
}

} // namespace
} // namespace operationstest
