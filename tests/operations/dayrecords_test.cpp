#include "operations/dayrecords.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "timerecordfixture.h"

#include <gtest/gtest.h>

using Kind = MessagePresenter::Kind;
using namespace Qt::StringLiterals;

namespace operationstest {
namespace {

struct MinutesCase {
    QTime von, bis;
    int minutes;
};

TEST(ObjektTimeMinutes, CountWholeMinutesOfTheClock) {
    const MinutesCase cases[] = {
        {QTime(8, 0), QTime(10, 30), 150},  {QTime(11, 0), QTime(12, 15), 75},
        {QTime(7, 59, 59), QTime(8, 1), 1}, // the seconds are dropped from the duration
        {QTime(22, 0), QTime(2, 0), 0},     // past midnight: no hours of its own
        {QTime(9, 0), QTime(9, 0), 0},      {QTime(), QTime(), 0},
        {QTime(), QTime(1, 30), 90}, // an empty from time is midnight
    };
    for (const MinutesCase& c : cases) {
        SCOPED_TRACE(c.von.toString().toStdString() + " " + c.bis.toString().toStdString());
        EXPECT_EQ(ObjektTimeMinutes(c.von, c.bis), c.minutes);
    }
}

TEST(DistributeDayHours, WindowsFirstThenEqualSharesOfTheRest) {
    TObjektTimeList items{
        {1, QTime(8, 0), QTime(10, 30)}, {2, QTime(11, 0), QTime(12, 15)}, {3, QTime(), QTime()}};
    DistributeDayHours(items, 8.0);
    const double share = 4.25 / 3;
    EXPECT_DOUBLE_EQ(items[0].hours, 2.5 + share); // 3.91666...
    EXPECT_DOUBLE_EQ(items[1].hours, 1.25 + share);
    EXPECT_DOUBLE_EQ(items[2].hours, share);
    EXPECT_NE(items[2].hours, 1.42); // unrounded

    // A window past midnight gets its share only.
    TObjektTimeList late{{1, QTime(22, 0), QTime(1, 0)}, {2, QTime(8, 0), QTime(10, 0)}};
    DistributeDayHours(late, 6.0);
    EXPECT_DOUBLE_EQ(late[0].hours, 2.0);
    EXPECT_DOUBLE_EQ(late[1].hours, 4.0);

    // Windows above the daily hours keep exactly their own hours.
    TObjektTimeList full{
        {1, QTime(6, 0), QTime(12, 0)}, {2, QTime(13, 0), QTime(16, 0)}, {3, QTime(), QTime()}};
    DistributeDayHours(full, 8.0);
    EXPECT_DOUBLE_EQ(full[0].hours, 6.0);
    EXPECT_DOUBLE_EQ(full[1].hours, 3.0);
    EXPECT_DOUBLE_EQ(full[2].hours, 0.0);
}

// Tuesday 10 March: tour 1 (led by 7) visits 10 from 08:00 to 10:30, 11
// from 11:00 to 12:15 and 10 again without times; tour 2 (led by 8, with 7
// as staff) visits 11 without times. Employee 7's daily hours are 8.
class DayRecordsFromLists : public TimeRecords {
protected:
    void SetUp() override {
        TimeRecords::SetUp();
        addTour(1, 2, 7);
        addTour(2, 2, 8);
        addRow(u"TourPers.DB"_s, {{u"TP_ID"_s, 1}, {u"TP_TourNr"_s, 2}, {u"TP_Pnr"_s, 7}});
        addDailyTour(1, 1, kMarch10);
        addDailyTour(2, 2, kMarch10);
        addTimedObject(1, 1, 10, QTime(8, 0), QTime(10, 30));
        addTimedObject(2, 1, 11, QTime(11, 0), QTime(12, 15));
        addTimedObject(3, 1, 10, QTime(), QTime());
        setField(u"Personal.DB"_s, u"P_Nr"_s, 7, u"P_Kostart1"_s, 500);
        // Another client's filter and index on the shared daily tours stay.
        table::Table& shared = dm->TabTglTour();
        shared.open();
        shared.setIndexName(u"I_TourDate"_s);
        shared.setFilter(u"A_TourNr=2"_s);
        shared.setFiltered(true);
    }
    void addTimedObject(int id, int tourId, int objektNr, const QTime& von, const QTime& bis) {
        addRow(u"TglObj.DB"_s, {{u"A_TOID"_s, id},
                                {u"A_TourID"_s, tourId},
                                {u"A_ObjektNr"_s, objektNr},
                                {u"A_VonUhr"_s, von.isValid() ? QVariant(von) : QVariant()},
                                {u"A_BisUhr"_s, bis.isValid() ? QVariant(bis) : QVariant()}});
    }
    DayRecords& day() {
        if (!m_day)
            m_day = std::make_unique<DayRecords>(cursor());
        return *m_day;
    }
    // "object:hours" of the employee's records on the day, in key order.
    QStringList recordsOf(int persNr, const QDate& date = QDate(2026, 3, 10)) {
        QStringList result;
        for (const QVariantMap& r : rows(u"Zeiterf.DB"_s))
            if (r.value("Z_PersNr").toInt() == persNr && r.value("Z_Datum").toDate() == date)
                result.append(u"%1:%2"_s.arg(r.value("Z_ObjNr").toInt())
                                  .arg(r.value("Z_Stunden").toDouble(), 0, 'f', 4));
        return result;
    }
    void TearDown() override {
        m_day.reset();
        TimeRecords::TearDown();
    }

private:
    std::unique_ptr<DayRecords> m_day;
};

TEST_F(DayRecordsFromLists, LeaderAndStaffOfTwoToursGetsTheObjectsOfBoth) {
    EXPECT_TRUE(day().IsPersonOnTour(1, 7));
    EXPECT_TRUE(day().IsPersonOnTour(2, 7));
    EXPECT_FALSE(day().IsPersonOnTour(1, 8));
    EXPECT_FALSE(day().IsPersonOnTour(3, 7));
    addTimedObject(4, 2, 11, QTime(), QTime());
    EXPECT_EQ(day().CreateDayRecords(7, false, kMarch10), DayRecordOutcome::Written);
    // Windows 2.5 + 1.25; the rest 4.25 shared by four items.
    EXPECT_EQ(recordsOf(7),
              (QStringList{u"10:3.5625"_s, u"11:2.3125"_s, u"10:1.0625"_s, u"11:1.0625"_s}));
    auto t = open(u"Zeiterf.DB"_s);
    EXPECT_EQ(t->field(u"Z_Text"_s).asString(), u"Objekt-Arbeitszeit"_s);
    EXPECT_EQ(t->field(u"Z_Art"_s).asInteger(), 1);
    EXPECT_DOUBLE_EQ(t->field(u"Z_EkPreis"_s).asFloat(), 12.00);
    EXPECT_EQ(t->field(u"Z_Kostart"_s).asInteger(), 500);
    EXPECT_NE(t->field(u"Z_KostID"_s).asInteger(), 0);
    // The sums round each record: 3.56 + 2.31 + 1.06 + 1.06.
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdNormal"), 7.99);
    // The shared daily tours kept their filter and index.
    EXPECT_EQ(dm->TabTglTour().indexName(), u"I_TourDate"_s);
    EXPECT_TRUE(dm->TabTglTour().isFiltered());
}

TEST_F(DayRecordsFromLists, HoursAreStoredUnrounded) {
    ASSERT_EQ(day().CreateDayRecords(7, false, kMarch10), DayRecordOutcome::Written);
    QList<double> hours;
    for (const QVariantMap& r : rows(u"Zeiterf.DB"_s))
        hours.append(r.value("Z_Stunden").toDouble());
    ASSERT_EQ(hours.size(), 3);
    EXPECT_DOUBLE_EQ(hours[0], 2.5 + 4.25 / 3);
    EXPECT_DOUBLE_EQ(hours[1], 1.25 + 4.25 / 3);
    EXPECT_DOUBLE_EQ(hours[2], 4.25 / 3);
}

TEST_F(DayRecordsFromLists, RunningTheDayTwiceReplacesTheFirstRunAfterTheQuestion) {
    day().CreateDayRecords(7, false, kMarch10);
    presenter.answers = {true};
    EXPECT_EQ(day().CreateDayRecords(7, false, kMarch10), DayRecordOutcome::Written);
    EXPECT_EQ(recordsOf(7).size(), 3);
    EXPECT_EQ(count(u"Kosten.DB"_s), 3);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdNormal"), 3.92 + 2.67 + 1.42);
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{u"Möchten Sie vorhandene Datensätze löschen?"_s});
    // No keeps the day; the quiet run for all replaces without asking.
    presenter.answers = {false};
    EXPECT_EQ(day().CreateDayRecords(7, false, kMarch10), DayRecordOutcome::Kept);
    EXPECT_EQ(day().CreateDayRecords(7, true, kMarch10), DayRecordOutcome::Written);
    EXPECT_EQ(presenter.texts(Kind::Question).size(), 2);
    EXPECT_EQ(recordsOf(7).size(), 3);
    EXPECT_EQ(watch.insideTransaction, 0);
}

TEST_F(DayRecordsFromLists, WithoutTheDeleteRightTheDayStaysAsItWas) {
    day().CreateDayRecords(7, false, kMarch10);
    CurrentUser.rights.set(kZeiterfRight, rbAllRights & ~0x20);
    EXPECT_EQ(day().CreateDayRecords(7, true, kMarch10), DayRecordOutcome::Kept);
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{u"Sie haben keine Berechtigung zum Löschen der Daten."_s});
    EXPECT_EQ(recordsOf(7).size(), 3);
}

TEST_F(DayRecordsFromLists, NoDailyHoursAndNoWindowsDeleteNothing) {
    post(8, kMarch10, 5, 10.00);
    addDailyTour(3, 3, kMarch10);
    addTour(3, 2, 8);
    addTimedObject(5, 3, 11, QTime(), QTime());
    presenter.answers = {true};
    // Employee 8 has no daily hours: tour 2 has no times, tour 3 neither.
    EXPECT_EQ(day().CreateDayRecords(8, false, kMarch10), DayRecordOutcome::NothingToWrite);
    EXPECT_EQ(recordsOf(8), QStringList{u"0:5.0000"_s});
    EXPECT_TRUE(presenter.texts(Kind::Question).isEmpty());
}

TEST_F(DayRecordsFromLists, ADayWithoutToursTellsOnlyTheSingleEmployee) {
    const QDate other(2026, 3, 11);
    EXPECT_EQ(day().CreateDayRecords(7, false, other), DayRecordOutcome::NoDailyTours);
    EXPECT_EQ(presenter.texts(Kind::Error), QStringList{u"Keine Einträge gefunden!"_s});
    presenter.boxes.clear();
    int events = 0;
    EXPECT_EQ(day().CreateDayRecordsForAll(other, [&events] { ++events; }), 0);
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_EQ(events, 2); // between employees
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 0);
}

TEST_F(DayRecordsFromLists, EveryoneAtOnceWritesEachEmployeesDay) {
    setField(u"Personal.DB"_s, u"P_Nr"_s, 8, u"P_StundenProTag"_s, 4.0);
    addTimedObject(4, 2, 11, QTime(), QTime());
    EXPECT_EQ(day().CreateDayRecordsForAll(kMarch10, {}), 2);
    EXPECT_EQ(recordsOf(7).size(), 4);
    EXPECT_EQ(recordsOf(8), QStringList{u"11:4.0000"_s});
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(DayRecordsFromLists, AFailureInTheMiddleLeavesTheEmployeesDayAsItWas) {
    post(7, kMarch10, 1, 12.00, 1, 11, u"von Hand"_s);
    failOn(u"INSERT ON Zeiterf WHEN NEW.Z_ObjNr = 11"_s);
    presenter.answers = {true};
    EXPECT_THROW(day().CreateDayRecords(7, false, kMarch10), std::exception);
    EXPECT_EQ(recordsOf(7), QStringList{u"11:1.0000"_s});
    EXPECT_EQ(count(u"Kosten.DB"_s), 1);
    EXPECT_DOUBLE_EQ(sum(7, kMarch10, "ZS_StdNormal"), 1.0);
    EXPECT_EQ(watch.insideTransaction, 0);
}

TEST_F(DayRecordsFromLists, AnObjectGoneFromTheMasterDataEndsTheActionBeforeAnyWrite) {
    addTimedObject(6, 1, 99, QTime(13, 0), QTime(14, 0));
    EXPECT_THROW(day().CreateDayRecords(7, true, kMarch10), Abort);
    EXPECT_EQ(presenter.texts(Kind::Error), QStringList{u"Unbekanntes Objekt!"_s});
    EXPECT_EQ(count(u"Zeiterf.DB"_s), 0);
    EXPECT_EQ(watch.insideTransaction, 0);
}

} // namespace
} // namespace operationstest
