#include "dailylistfixture.h"
#include "datasafety/automaticbackupscope.h"
#include "operations/dailylistwriter.h"

using Kind = MessagePresenter::Kind;

namespace operationstest {
namespace {

const QDate kFrom(2026, 3, 2);
const QDate kTo(2026, 3, 15);
constexpr int kWeekly = 1, kTwoWeeks = 2;

// Tour 1 runs on Mondays (next date two weeks back) with the active object
// 10, the inactive 11 and 12 without activities; tour 2 has no weekday and
// runs on Thursday 5 March with objects 13 and 10; tour 3 has no objects and
// tour 4 is of another kind.
class DailyListRun : public Generation {
protected:
    void SetUp() override {
        Generation::SetUp();
        setCompanyField(QStringLiteral("F_AutosichernTglErstell"), false);
        addStaff(3, QStringLiteral("Meier"), QStringLiteral("MEIER"));
        addActiveObject(10, 100, QStringLiteral("Haus A"));
        addInactiveObject(11);
        addActiveObject(12, 100, QStringLiteral("Haus B"));
        addActiveObject(13, 101, QStringLiteral("Haus C"));
        addPlanTour(1, 1, QDate(2026, 2, 16), QStringLiteral("AB"));
        addPlanTour(2, 0, QDate(2026, 3, 5), QStringLiteral("*"));
        addPlanTour(3, 2, QDate(2026, 3, 3), QStringLiteral("*"));
        addPlanTour(4, 1, QDate(2026, 3, 2), QStringLiteral("*"), 1);
        addStop(1, 1, 10, QTime(8, 0), QTime(9, 30));
        addStop(2, 1, 11);
        addStop(3, 1, 12);
        addStop(4, 2, 13);
        addStop(5, 2, 10);
        addStop(6, 4, 10);
        for (int nr = 1; nr <= 6; ++nr)
            addTaetigkeit(nr, QStringLiteral("Arbeit %1").arg(nr));
        addObjTaet(1, 10, 1, kWeekly, kFrom);
        addObjTaet(2, 10, 2, kTwoWeeks, kFrom);
        addObjTaet(3, 10, 3, kWeekly, kFrom, QString(), 2, QStringLiteral("Schlüssel holen"));
        addObjTaet(4, 10, 4, kWeekly, kFrom, QStringLiteral("G"));
        addObjTaet(5, 10, 5, kWeekly, QDate());
        addObjTaet(6, 11, 1, kWeekly, kFrom);
        addObjTaet(7, 13, 6, kWeekly, QDate());
    }
    void addStop(int id, int tourNr, int objektNr, const QTime& von = {}, const QTime& bis = {}) {
        addRow(QStringLiteral("TourObj.db"), {{QStringLiteral("T_TourID"), id},
                                              {QStringLiteral("TO_TourNr"), tourNr},
                                              {QStringLiteral("TO_Objekt"), objektNr},
                                              {QStringLiteral("TO_VonUhr"), orNull(von)},
                                              {QStringLiteral("TO_BisUhr"), orNull(bis)}});
    }
    static QVariant orNull(const QTime& t) { return t.isValid() ? QVariant(t) : QVariant(); }
    void failOnActivityKey(int key) {
        table::aliases::database(datatest::kDb)
            ->execSql(QStringLiteral("CREATE TRIGGER test_fail BEFORE INSERT ON TglTaet WHEN "
                                     "NEW.A_TOTID = %1 BEGIN SELECT RAISE(ABORT, "
                                     "'Testfehler'); END")
                          .arg(key));
    }

    const QStringList expected{
        QStringLiteral("1 02.03.: 10/1(0,0) 10/2(0,0) 10/3(0,0) 10/5(0,0)"),
        QStringLiteral("2 05.03.: 13/6(0,0) 10/1(0,0) 10/3(0,0) 10/4(0,0) 10/5(0,0)"),
        QStringLiteral("1 09.03.: 10/1(0,0) 10/3(0,0) 10/5(0,0)"),
    };
};

TEST_F(DailyListRun, ToursGetTheirListsOnTheirDaysWithTheDueActivities) {
    EXPECT_EQ(run(kFrom, kTo), 3);
    EXPECT_EQ(lists(), expected);
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Es wurden 3 Tageslisten erzeugt")});

    const QList<QVariantMap> tours = rows(QStringLiteral("TglTour.DB"));
    EXPECT_EQ(tours[0].value("A_PersNr").toInt(), 3);
    EXPECT_EQ(tours[0].value("A_PersName").toString(), QStringLiteral("MEIER"));
    EXPECT_EQ(tours[0].value("A_Bezeichnung").toString(), QStringLiteral("Tour 1"));
    EXPECT_EQ(tours[0].value("A_Pattern").toString(), QStringLiteral("AB"));

    const QList<QVariantMap> objects = rows(QStringLiteral("TglObj.DB"));
    ASSERT_EQ(objects.size(), 4);
    EXPECT_EQ(objects[0].value("A_ObjektNr").toInt(), 10);
    EXPECT_EQ(objects[0].value("A_ObjektBez").toString(), QStringLiteral("Haus A"));
    EXPECT_EQ(objects[0].value("A_Kunde").toInt(), 100);
    EXPECT_EQ(objects[0].value("A_VonUhr").toTime(), QTime(8, 0));
    EXPECT_EQ(objects[0].value("A_BisUhr").toTime(), QTime(9, 30));
    EXPECT_EQ(objects[1].value("A_ObjektNr").toInt(), 13);

    const QVariantMap first = rows(QStringLiteral("TglTaet.DB")).first();
    EXPECT_EQ(first.value("A_ZusatzText").toString(), QStringLiteral("Arbeit 1"));
    EXPECT_EQ(first.value("A_TourText").toString(), QStringLiteral("Arbeit 1 Tour"));
    EXPECT_EQ(first.value("A_KontrollText").toString(), QStringLiteral("Arbeit 1 Kontr"));
    EXPECT_EQ(first.value("A_ServiceID").toString(), QStringLiteral("*"));
    EXPECT_EQ(first.value("A_State").toInt(), 0);

    const QList<QVariantMap> functions = rows(QStringLiteral("Tglfunc.db"));
    ASSERT_EQ(functions.size(), 3);
    EXPECT_EQ(functions[1].value("FL_Date").toDate(), QDate(2026, 3, 5));
    EXPECT_EQ(functions[1].value("FL_TourNr").toInt(), 2);
    EXPECT_EQ(functions[1].value("FL_ObjNr").toInt(), 10);
    EXPECT_EQ(functions[1].value("FL_TaetigNr").toInt(), 3);
    EXPECT_EQ(functions[1].value("FL_Type").toInt(), 2);
    EXPECT_EQ(functions[1].value("FL_Param").toString(), QStringLiteral("Schlüssel holen"));
    EXPECT_FALSE(functions[1].value("FL_Included").toBool());

    // Activities without start date start on the first day that tested them.
    EXPECT_EQ(startDate(5), kFrom);
    EXPECT_EQ(startDate(7), QDate(2026, 3, 5));
}

TEST_F(DailyListRun, TheFormFollowsTheRunAndGetsItsDayBack) {
    run(kFrom, kTo);
    EXPECT_EQ(events, (QStringList{QStringLiteral("running"), QStringLiteral("stopped")}));
    ASSERT_EQ(shownDays.size(), 15);
    EXPECT_EQ(shownDays.first(), kFrom);
    EXPECT_EQ(shownDays[13], kTo);
    EXPECT_EQ(shownDays.last(), shownDay);
    EXPECT_EQ(states.mid(0, 2), (QStringList{QStringLiteral("Tageslisten-Erstellung:    0    0"),
                                             QStringLiteral("Tageslisten-Erstellung:    1    4")}));
}

TEST_F(DailyListRun, ASecondRunWarnsWithTheCountAndAddsNothing) {
    run(kFrom, kTo);
    const QStringList before = lists();
    presenter.boxes.clear();
    presenter.answers = {true};
    EXPECT_EQ(run(kFrom, kTo), 0);
    EXPECT_EQ(lists(), before);
    EXPECT_EQ(presenter.texts(Kind::Warning),
              QStringList{QStringLiteral(
                  "Es sind bereits 3 Tageslisten im ausgewählten Zeitraum vorhanden.\r\r"
                  "Beachten Sie bitte, dass existierende Tageslisten NICHT überschrieben "
                  "werden.\rSie müssen neu zu erstellende Tageslisten zuerst manuell löschen!")});
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Es wurden 0 Tageslisten erzeugt")});

    // Cancel ends the run before it starts.
    presenter.boxes.clear();
    events.clear();
    EXPECT_EQ(run(kFrom, kTo), 0);
    EXPECT_EQ(presenter.texts(Kind::Warning).size(), 1);
    EXPECT_TRUE(presenter.texts(Kind::Info).isEmpty());
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(DailyListRun, AListWithoutGeneratedRowsIsCompletedAndAManualRowsBacklogRises) {
    addDailyTour(50, 1, kFrom);
    addDailyObject(60, 50, 10);
    addActivity(70, 50, 10, 1, 1);
    addRow(QStringLiteral("Tglfunc.db"), {{QStringLiteral("FL_ID"), 5},
                                          {QStringLiteral("FL_Date"), kFrom},
                                          {QStringLiteral("FL_TourNr"), 1},
                                          {QStringLiteral("FL_ObjNr"), 10},
                                          {QStringLiteral("FL_TaetigNr"), 3},
                                          {QStringLiteral("FL_Type"), 2}});
    EXPECT_EQ(CountGeneratedDailyLists(kFrom, kTo), 0);
    EXPECT_EQ(run(kFrom, kTo), 3);
    QStringList completed = expected;
    completed[0] = QStringLiteral("1 02.03.: 10/1(1,1) 10/2(0,0) 10/3(0,0) 10/5(0,0)");
    EXPECT_EQ(lists(), completed);
    EXPECT_EQ(count(QStringLiteral("TglObj.DB")), 4);
    // The function already on the completed list is not written again.
    EXPECT_EQ(count(QStringLiteral("Tglfunc.db")), 3);
    EXPECT_EQ(CountGeneratedDailyLists(kFrom, kTo), 3);
    EXPECT_TRUE(HasAutomaticRows(50));
}

TEST_F(DailyListRun, AFailureInsideATourLeavesThatTourAbsentAndARerunCompletesIt) {
    // Keys 1 to 4 go to Monday's list; the second row of Thursday's fails.
    failOnActivityKey(6);
    EXPECT_THROW(run(kFrom, kTo), DbError);
    EXPECT_EQ(lists(), QStringList{expected[0]});
    EXPECT_EQ(count(QStringLiteral("TglObj.DB")), 1);
    EXPECT_EQ(count(QStringLiteral("Tglfunc.db")), 1);
    EXPECT_EQ(startDate(5), kFrom);
    EXPECT_FALSE(startDate(7).isValid());
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Es wurden 1 Tageslisten erzeugt")});
    EXPECT_EQ(events, (QStringList{QStringLiteral("running"), QStringLiteral("stopped")}));
    EXPECT_EQ(shownDays.last(), shownDay);
    OtherWorkstation other;
    EXPECT_TRUE(other.canLockActivities());

    table::aliases::database(datatest::kDb)->execSql(QStringLiteral("DROP TRIGGER test_fail"));
    presenter.answers = {true};
    EXPECT_EQ(run(kFrom, kTo), 2);
    EXPECT_EQ(lists(), expected);
    EXPECT_EQ(startDate(7), QDate(2026, 3, 5));
}

TEST_F(DailyListRun, TheListsAreLockedForTheRunAndRefusedWhileAnotherHoldsThem) {
    OtherWorkstation other;
    QList<bool> lockable;
    onState = [&] { lockable.append(other.canLockActivities()); };
    run(kFrom, kTo);
    ASSERT_FALSE(lockable.isEmpty());
    EXPECT_FALSE(lockable.contains(true));
    EXPECT_TRUE(other.canLockActivities());

    other.activities->lockTable();
    table::aliases::database(datatest::kDb)->emptyTable(QStringLiteral("TglTour.DB"));
    events.clear();
    presenter.boxes.clear();
    try {
        run(kFrom, kTo);
        ADD_FAILURE() << "the run went on";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(
            QStringLiteral("An einem anderen Arbeitsplatz werden gerade Tageslisten erzeugt")));
    }
    EXPECT_EQ(count(QStringLiteral("TglTour.DB")), 0);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_TRUE(presenter.texts(Kind::Info).isEmpty());
    other.activities->unlockTable();
}

TEST_F(DailyListRun, TheBackupIsOfferedUnlessTheCompanySwitchIsOff) {
    struct Case {
        QVariant flag;
        QList<bool> answers;
        int questions;
        int backups;
    };
    const Case cases[] = {{QVariant(), {true}, 1, 1}, {true, {false}, 1, 0}, {false, {}, 0, 0}};
    for (const Case& c : cases) {
        setCompanyField(QStringLiteral("F_AutosichernTglErstell"), c.flag);
        presenter.boxes.clear();
        presenter.answers = c.answers;
        backups.clear();
        run(kTo, kTo);
        EXPECT_EQ(presenter.texts(Kind::Question).size(), c.questions)
            << c.flag.toString().toStdString();
        EXPECT_EQ(backups.size(), c.backups);
    }
    setCompanyField(QStringLiteral("F_AutosichernTglErstell"), QVariant());
    presenter.answers = {true};
    backups.clear();
    run(kTo, kTo);
    EXPECT_EQ(backups, QStringList{QStringLiteral(
                           "Autosicherung vor Tageslisten-Erstellung für den 04.03.2026")});
}

TEST_F(Generation, TheRangeIsProposedCheckedAndLongOnesConfirmed) {
    QDate from, to;
    ranges = {{QDate(2026, 3, 1), QDate(2026, 3, 5)},
              {QDate(2026, 3, 10), QDate(2026, 3, 5)},
              {kToday, QDate(2026, 4, 1)}};
    EXPECT_TRUE(ChooseDailyListRange(kToday, hooks, from, to));
    EXPECT_EQ(to, QDate(2026, 4, 1));
    ASSERT_EQ(proposals.size(), 3);
    for (const auto& proposal : proposals)
        EXPECT_EQ(proposal, std::make_pair(kToday, QDate(2026, 4, 1)));
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Sie können keine Tageslisten für Zeiträume vor dem\r "
                                         "aktuellen Tagesdatum erstellen!")});
    EXPECT_TRUE(presenter.texts(Kind::Question).isEmpty());

    for (bool yes : {false, true}) {
        presenter.boxes.clear();
        presenter.answers = {yes};
        ranges = {{kToday, QDate(2026, 4, 2)}};
        EXPECT_EQ(ChooseDailyListRange(kToday, hooks, from, to), yes);
        EXPECT_EQ(
            presenter.texts(Kind::Question),
            QStringList{QStringLiteral("Möchten Sie wirklich für 32 Tage Tageslisten erstellen?")});
    }

    proposals.clear();
    EXPECT_FALSE(ChooseDailyListRange(QDate(2026, 1, 31), hooks, from, to));
    EXPECT_EQ(proposals,
              (QList<std::pair<QDate, QDate>>{{QDate(2026, 1, 31), QDate(2026, 2, 27)}}));
}

} // namespace
// With the program's own backup accepted, the archive is written and the
// run writes the same lists as when the backup is declined.
class DailyListBackup : public DailyListRun, public ::testing::WithParamInterface<bool> {};

TEST_P(DailyListBackup, TheOfferedBackupLeavesTheSameData) {
    backuptest::AutomaticBackupScope backup;
    setCompanyField(QStringLiteral("F_AutosichernTglErstell"), true);
    presenter.answers = {GetParam(), false};
    EXPECT_EQ(run(kFrom, kTo), 3);
    EXPECT_EQ(lists(), expected);
    EXPECT_EQ(rows(QStringLiteral("TglObj.DB")).size(), 4);
    EXPECT_EQ(backup.archives().size(), GetParam() ? 1 : 0);
    EXPECT_EQ(backup.dialogs, GetParam() ? 1 : 0);
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{QStringLiteral("Es wurden 3 Tageslisten erzeugt")});
}

INSTANTIATE_TEST_SUITE_P(Answers, DailyListBackup, ::testing::Bool());

} // namespace operationstest
