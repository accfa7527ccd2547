#include "commercial/planningvalues.h"
#include "commercial/scheduling/activitydue.h"
#include "commercial/scheduling/servicematch.h"
#include "platform/errors.h"

#include <QDate>
#include <gtest/gtest.h>

using planningtest::activity;
using planningtest::d;

namespace {

std::string text(TDateTime t) {
    return t == EmptyDate ? "leer" : DateOfDateTime(t).toString(u"dd.MM.yyyy").toStdString();
}

// The default execution intervals of a new client.
const TLuIntervall kIntervals = {{1, 1},   {2, 2},   {3, 3},   {4, 4},   {12, 5},
                                 {9, 6},   {13, 7},  {10, 8},  {14, 9},  {15, 10},
                                 {16, 11}, {11, 12}, {8, -1},  {20, -2}, {5, -3},
                                 {19, -4}, {6, -6},  {7, -12}, {17, 0},  {99, 400000000}};
constexpr int kEveryWeek = 1, kEverySecondWeek = 2, kMonthly = 8, kQuarterly = 5, kFixed = 17;

// Tour 4 with every service, tested on the weekday of the day.
DueContext context(TDateTime day, const QString& pattern = QStringLiteral("*")) {
    DueContext c;
    c.tourNr = 4;
    c.weekday = DateOfDateTime(day).dayOfWeek();
    c.servicePattern = pattern;
    c.fillDate = day;
    c.intervals = &kIntervals;
    return c;
}

bool due(const ObjectActivity& a, TDateTime day, const DueContext& c) {
    return IsActivityDue(a, day, c).due;
}

TEST(NextActivityDate, StepsByWeeksAndByMonthsKeepingMonthEnds) {
    struct Case {
        const char* name;
        int modus;
        TDateTime start;
        TDateTime day;
        TDateTime next;
    };
    const Case cases[] = {
        {"start on the day", kEveryWeek, d(2025, 1, 6), d(2025, 1, 6), d(2025, 1, 6)},
        {"start after the day, any interval", kFixed, d(2025, 1, 9), d(2025, 1, 6), d(2025, 1, 9)},
        {"weekly", kEveryWeek, d(2025, 1, 6), d(2025, 1, 14), d(2025, 1, 20)},
        {"every second week", kEverySecondWeek, d(2025, 1, 6), d(2025, 1, 14), d(2025, 1, 20)},
        {"every second week, on a visit", kEverySecondWeek, d(2025, 1, 6), d(2025, 2, 3),
         d(2025, 2, 3)},
        {"unknown interval counts weekly", 42, d(2025, 1, 6), d(2025, 1, 8), d(2025, 1, 13)},
        {"monthly from a month end: February", kMonthly, d(2025, 1, 31), d(2025, 2, 1),
         d(2025, 2, 28)},
        {"monthly from a month end: March", kMonthly, d(2025, 1, 31), d(2025, 3, 1),
         d(2025, 3, 31)},
        {"monthly from a month end: April", kMonthly, d(2025, 1, 31), d(2025, 4, 1),
         d(2025, 4, 30)},
        {"monthly from the 30th: cut to February", kMonthly, d(2025, 1, 30), d(2025, 2, 1),
         d(2025, 2, 28)},
        {"monthly from the 30th: the cut stays", kMonthly, d(2025, 1, 30), d(2025, 3, 1),
         d(2025, 3, 28)},
        {"28 February is no month end", kMonthly, d(2025, 2, 28), d(2025, 4, 1), d(2025, 4, 28)},
        {"leap February from a month end", kMonthly, d(2024, 1, 31), d(2024, 2, 2), d(2024, 2, 29)},
        {"quarterly from a month end, stepped month by month", kQuarterly, d(2024, 11, 30),
         d(2024, 12, 1), d(2025, 2, 28)},
        {"quarterly from a month end, next quarter", kQuarterly, d(2024, 11, 30), d(2025, 3, 1),
         d(2025, 5, 31)},
        {"quarterly from the 29th keeps the cut", kQuarterly, d(2024, 11, 29), d(2025, 3, 1),
         d(2025, 5, 28)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(text(NextActivityDate(activity(c.modus, c.start), c.day, context(c.day))),
                  text(c.next))
            << c.name;
    }
}

TEST(NextActivityDate, FixedDatesAnswerOnlyForTheDayItself) {
    QList<TDateTime> asked;
    DueContext c = context(d(2025, 3, 15));
    c.fixedDate = [&asked](int tour, int objekt, int taetig, TDateTime day) {
        EXPECT_EQ(tour, 4);
        EXPECT_EQ(objekt, 7);
        EXPECT_EQ(taetig, 3);
        asked.append(day);
        return day == d(2025, 3, 15);
    };
    const ObjectActivity a = activity(kFixed, d(2025, 1, 1));
    EXPECT_EQ(NextActivityDate(a, d(2025, 3, 15), c), d(2025, 3, 15));
    EXPECT_EQ(NextActivityDate(a, d(2025, 3, 14), c), EmptyDate);
    EXPECT_EQ(asked, (QList<TDateTime>{d(2025, 3, 15), d(2025, 3, 14)}));
}

TEST(NextActivityDate, SevenTimesTheWeeksRaisesOnOverflow) {
    EXPECT_THROW(
        NextActivityDate(activity(99, d(2025, 1, 1)), d(2025, 2, 1), context(d(2025, 2, 1))),
        DbError);
}

TEST(NextActivityDate, ACarriedDateGivesWhatSteppingFromTheStartGives) {
    for (TDateTime start : {d(2023, 1, 31), d(2023, 1, 30), d(2023, 8, 29), d(2023, 2, 28)}) {
        for (int modus : {kMonthly, kQuarterly, 20, 6, kEverySecondWeek}) {
            const ObjectActivity a = activity(modus, start);
            NextDateCarry carry;
            for (TDateTime day = start; day < start + 800; day += 1) {
                const DueContext c = context(day);
                ASSERT_EQ(text(NextActivityDate(a, day, c, &carry)),
                          text(NextActivityDate(a, day, c)))
                    << text(start) << " " << modus << " " << text(day);
            }
        }
    }
}

TEST(IsActivityDue, EverySecondWeekIsDueInEveryOtherWindow) {
    const ObjectActivity a = activity(kEverySecondWeek, d(2025, 1, 6));
    struct Case {
        TDateTime day;
        bool due;
    };
    const Case cases[] = {{d(2025, 1, 6), true},   {d(2025, 1, 13), false}, {d(2025, 1, 20), true},
                          {d(2025, 1, 27), false}, {d(2025, 2, 3), true},   {d(2025, 1, 14), true},
                          {d(2024, 12, 31), true}, {d(2024, 12, 30), false}};
    for (const Case& c : cases)
        EXPECT_EQ(due(a, c.day, context(c.day)), c.due) << text(c.day);
}

TEST(IsActivityDue, AMonthlyActivityIsDueInTheWindowsHoldingItsDates) {
    const ObjectActivity a = activity(kMonthly, d(2025, 1, 31));
    for (TDateTime day = d(2025, 2, 1); day <= d(2025, 5, 31); day += 1) {
        const QDate date = DateOfDateTime(day);
        const QDate monthEnd(date.year(), date.month(), date.daysInMonth());
        const bool expected = date.daysTo(monthEnd) < 7;
        EXPECT_EQ(due(a, day, context(day)), expected) << text(day);
    }
}

TEST(IsActivityDue, AStartDateInsideTheWindowIsDueWhateverTheInterval) {
    const TDateTime day = d(2025, 3, 10);
    for (int modus : {kEveryWeek, kEverySecondWeek, kMonthly, kFixed, 42}) {
        EXPECT_TRUE(due(activity(modus, day), day, context(day))) << modus;
        EXPECT_TRUE(due(activity(modus, day + 6), day, context(day))) << modus;
        EXPECT_FALSE(due(activity(modus, day + 7), day, context(day))) << modus;
        EXPECT_FALSE(due(activity(modus, day + 30), day, context(day))) << modus;
    }
}

TEST(IsActivityDue, FixedDatesAreDueOnlyOnAMarkedDay) {
    const ObjectActivity a = activity(kFixed, d(2025, 1, 1));
    struct Case {
        const char* name;
        QList<TDateTime> marks;
        bool due;
    };
    const Case cases[] = {
        {"marked on the day", {d(2025, 3, 15)}, true},
        {"marked on the next day only", {d(2025, 3, 16)}, false},
        {"no fixed-date row", {}, false},
    };
    for (const Case& c : cases) {
        DueContext ctx = context(d(2025, 3, 15));
        ctx.fixedDate = [&c](int, int, int, TDateTime day) { return c.marks.contains(day); };
        EXPECT_EQ(due(a, d(2025, 3, 15), ctx), c.due) << c.name;
    }
}

TEST(IsActivityDue, WeekdayServiceAndSeasonMustFit) {
    const TDateTime monday = d(2025, 3, 10);
    struct Case {
        const char* name;
        const char* wtag;
        const char* service;
        const char* pattern;
        int weekday;
        bool due;
    };
    const Case cases[] = {
        {"weekday in the pattern", "135", "", "*", 1, true},
        {"weekday not in the pattern", "135", "", "*", 2, false},
        {"empty weekday pattern", "", "", "*", 2, true},
        {"star weekday pattern", "*", "", "*", 6, true},
        {"blank weekday pattern", "  ", "", "*", 6, true},
        {"service not in the tour's pattern", "", "A", "BC", 1, false},
        {"service in the pattern", "", "A", "AB", 1, true},
        {"pattern of every service", "", "A", "*", 1, true},
        {"pattern holding a star", "", "A", "B*", 1, true},
        {"empty pattern counts as every service", "", "A", "", 1, true},
        {"blank pattern counts as every service", "", "A", "   ", 1, true},
        {"service star", "", "*", "BC", 1, true},
        {"blank service", "", " ", "BC", 1, true},
    };
    for (const Case& c : cases) {
        ObjectActivity a = activity(kEveryWeek, monday);
        a.wtag = QString::fromLatin1(c.wtag);
        a.serviceId = QString::fromLatin1(c.service);
        DueContext ctx = context(monday, QString::fromLatin1(c.pattern));
        ctx.weekday = c.weekday;
        EXPECT_EQ(due(a, monday, ctx), c.due) << c.name;
    }

    ObjectActivity summer = activity(kEveryWeek, d(2024, 1, 1));
    summer.saisonVon = d(2000, 4, 1);
    summer.saisonBis = d(2000, 10, 31);
    EXPECT_FALSE(due(summer, d(2025, 12, 8), context(d(2025, 12, 8))));
    EXPECT_TRUE(due(summer, d(2025, 6, 2), context(d(2025, 6, 2))));
    ObjectActivity winter = activity(kEveryWeek, d(2024, 1, 1));
    winter.saisonVon = d(2000, 11, 1);
    winter.saisonBis = d(2001, 2, 28);
    EXPECT_TRUE(due(winter, d(2025, 1, 13), context(d(2025, 1, 13))));
    EXPECT_FALSE(due(winter, d(2025, 6, 2), context(d(2025, 6, 2))));
}

TEST(IsActivityDue, AnActivityWithoutStartDateGetsTheFillDateOnlyWhenItPassesTheTests) {
    const TDateTime day = d(2025, 3, 10);
    ObjectActivity a = activity(kEverySecondWeek, EmptyDate);
    DueContext c = context(day);
    c.fillDate = d(2025, 3, 3);
    const DueAnswer first = IsActivityDue(a, day, c);
    EXPECT_EQ(text(first.startToStore), text(d(2025, 3, 3)));
    a.startDatum = first.startToStore;
    const DueAnswer second = IsActivityDue(a, day, c);
    EXPECT_EQ(second.due, first.due);
    EXPECT_EQ(second.startToStore, EmptyDate);

    ObjectActivity wrongDay = activity(kEveryWeek, EmptyDate);
    wrongDay.wtag = QStringLiteral("5");
    EXPECT_EQ(IsActivityDue(wrongDay, day, context(day)).startToStore, EmptyDate);

    // A fill date a week on or more leaves the activity not due yet.
    c.fillDate = day + 7;
    const DueAnswer later = IsActivityDue(activity(kEveryWeek, EmptyDate), day, c);
    EXPECT_FALSE(later.due);
    EXPECT_EQ(later.startToStore, day + 7);
}

TEST(MatchTourDay, TellsWeekdayAndServiceMisfitsApart) {
    struct Case {
        int weekday;
        const char* pattern;
        const char* wtag;
        const char* service;
        int result;
    };
    const Case cases[] = {
        {3, "AB", "135", "A", 0},   {2, "AB", "135", "A", -1}, {2, "AB", "", "C", -2},
        {2, "", "*", "C", 0},       {7, "C*", "7", "Z", -2},   {0, "*", "", "", -1},
        {4, "AB", " 4 ", " B ", 0}, {7, "C*", "7", "C", 0},    {5, "AB", "5", "*", 0},
        {5, "AB", "5", "*B", -2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchTourDay(c.weekday, QString::fromLatin1(c.pattern),
                               QString::fromLatin1(c.wtag), QString::fromLatin1(c.service)),
                  c.result)
            << c.weekday << " " << c.pattern << " " << c.wtag << " " << c.service;
    EXPECT_TRUE(MatchServicePattern(QString(), QStringLiteral("A")));
    EXPECT_FALSE(MatchServicePattern(QStringLiteral("BC"), QStringLiteral("A")));
    EXPECT_TRUE(MatchServicePattern(QStringLiteral("BC"), QString()));
    EXPECT_TRUE(MatchServicePattern(QStringLiteral(" * "), QStringLiteral("Z")));
    // Only a pattern that is "*" stands for every service; the due rule
    // lets any pattern holding "*" pass.
    EXPECT_FALSE(MatchServicePattern(QStringLiteral("AB*"), QStringLiteral("C")));
    EXPECT_TRUE(ServiceFitsPattern(QStringLiteral("C"), QStringLiteral("AB*")));
}

} // namespace
