#include "dailylistfixture.h"
#include "operations/dailylistedits.h"
#include "operations/dailylistwriter.h"
#include "platform/errors.h"

using namespace Qt::StringLiterals;

namespace operationstest {
namespace {

const QDate kMonday(2025, 3, 3);
const QDate kNextMonday(2025, 3, 10);

// Tours 1 and 2 run on Mondays (next date 24 February), tour 3 on Tuesdays.
// Daily tour 1 is tour 1 on Monday 3rd with object 10 (activities 1, 2 and
// an appointment row) and object 11 (activity 3); daily tour 2 is tour 2 on
// the same day with object 10 (activity 1, backlog 2); daily tour 3 is tour
// 1 on Monday 10th, empty.
class DailyListEdits : public Generation {
protected:
    void SetUp() override {
        Generation::SetUp();
        addStaff(3, u"Meier"_s, u"MEIER"_s);
        addActiveObject(10, 100, u"Haus A"_s);
        addActiveObject(11, 101, u"Haus B"_s);
        addPlanTour(1, 1, QDate(2025, 2, 24), u"*"_s);
        addPlanTour(2, 1, QDate(2025, 2, 24), u"*"_s);
        addPlanTour(3, 2, QDate(2025, 2, 25), u"*"_s);
        for (int nr = 1; nr <= 3; ++nr)
            addTaetigkeit(nr, u"Arbeit %1"_s.arg(nr));
        addDailyTour(1, 1, kMonday);
        addDailyTour(2, 2, kMonday);
        addDailyTour(3, 1, kNextMonday);
        addObjectRow(1, 1, 10, u"Haus A am Markt"_s);
        addObjectRow(2, 1, 11, u"Haus B"_s);
        addObjectRow(3, 2, 10, u"Haus A"_s);
        addRow(1, 1, 10, 1, 0, 0, 0);
        addRow(2, 1, 10, 2, 1, 0, 1);
        addRow(3, 1, 10, 0, 0, 0, 0, 7);
        addRow(4, 1, 11, 3, 0, 0, 0);
        addRow(5, 2, 10, 1, 0, 0, 2);
        addFunction(1, kMonday, 1, 10, 2);
        addFunction(2, kMonday, 1, 11, 3);
        addAppointment(7, 10, kMonday, 1, 3);
    }
    void addObjectRow(int id, int tourId, int objektNr, const QString& bez) {
        addRow(u"TglObj.DB"_s, {{u"A_TOID"_s, id},
                                {u"A_TourID"_s, tourId},
                                {u"A_ObjektNr"_s, objektNr},
                                {u"A_ObjektBez"_s, bez},
                                {u"A_Kunde"_s, 100}});
    }
    void addRow(int id, int tourId, int objektNr, int taetigNr, int source, int state, int backlog,
                int termId = 0) {
        Generation::addRow(u"TglTaet.DB"_s, {{u"A_TOTID"_s, id},
                                             {u"A_TourID"_s, tourId},
                                             {u"A_ObjNr"_s, objektNr},
                                             {u"A_TaetigNr"_s, taetigNr},
                                             {u"A_Source"_s, termId ? 3 : source},
                                             {u"A_State"_s, state},
                                             {u"A_Rueckstand"_s, backlog},
                                             {u"A_ServiceID"_s, u"A"_s},
                                             {u"A_LsID"_s, 0},
                                             {u"A_TermID"_s, termId},
                                             {u"A_ZusatzText"_s, u"Zeile %1"_s.arg(id)},
                                             {u"A_TourText"_s, u"Tour %1"_s.arg(id)},
                                             {u"A_KontrollText"_s, u"Kontrolle %1"_s.arg(id)}});
    }
    using Generation::addRow;
    void addFunction(int id, const QDate& date, int tourNr, int objektNr, int taetigNr) {
        Generation::addRow(u"Tglfunc.db"_s, {{u"FL_ID"_s, id},
                                             {u"FL_Date"_s, date},
                                             {u"FL_TourNr"_s, tourNr},
                                             {u"FL_ObjNr"_s, objektNr},
                                             {u"FL_TaetigNr"_s, taetigNr},
                                             {u"FL_Type"_s, 2},
                                             {u"FL_Param"_s, u"Erinnerung"_s},
                                             {u"FL_Included"_s, false}});
    }
    void addAppointment(int id, int objektNr, const QDate& date, int tourNr, int tglId) {
        Generation::addRow(u"TermObj.DB"_s, {{u"T_ID"_s, id},
                                             {u"T_Objekt"_s, objektNr},
                                             {u"T_Date"_s, date},
                                             {u"T_TourNr"_s, tourNr},
                                             {u"T_TglID"_s, tglId},
                                             {u"T_Taglist"_s, true},
                                             {u"T_Erledigt"_s, false}});
    }

    // "daily tour/object/activity(source,state,backlog,appointment)" of every row.
    QStringList activities() {
        QStringList result;
        for (const QVariantMap& a : rows(u"TglTaet.DB"_s))
            result.append(u"%1/%2/%3(%4,%5,%6,%7)"_s.arg(a.value("A_TourID").toInt())
                              .arg(a.value("A_ObjNr").toInt())
                              .arg(a.value("A_TaetigNr").toInt())
                              .arg(a.value("A_Source").toInt())
                              .arg(a.value("A_State").toInt())
                              .arg(a.value("A_Rueckstand").toInt())
                              .arg(a.value("A_TermID").toInt()));
        return result;
    }
    QStringList objects() {
        QStringList result;
        for (const QVariantMap& o : rows(u"TglObj.DB"_s))
            result.append(
                u"%1/%2"_s.arg(o.value("A_TourID").toInt()).arg(o.value("A_ObjektNr").toInt()));
        return result;
    }
    QStringList functions() {
        QStringList result;
        for (const QVariantMap& f : rows(u"Tglfunc.db"_s))
            result.append(u"%1 %2/%3/%4"_s.arg(f.value("FL_Date").toDate().toString(u"dd.MM."_s))
                              .arg(f.value("FL_TourNr").toInt())
                              .arg(f.value("FL_ObjNr").toInt())
                              .arg(f.value("FL_TaetigNr").toInt()));
        return result;
    }
    QVariantMap appointment(int id) {
        for (const QVariantMap& t : rows(u"TermObj.DB"_s))
            if (t.value("T_ID").toInt() == id)
                return t;
        return {};
    }
    // Every row of the daily lists and the appointments, for "nothing changed".
    QStringList snapshot() {
        QStringList all;
        for (const QString& file :
             {u"TglTour.DB"_s, u"TglObj.DB"_s, u"TglTaet.DB"_s, u"Tglfunc.db"_s, u"TermObj.DB"_s})
            for (const QVariantMap& row : rows(file)) {
                QStringList values;
                for (auto it = row.begin(); it != row.end(); ++it)
                    values.append(it.key() + u'=' + it.value().toString());
                all.append(file + u": "_s + values.join(u','));
            }
        return all;
    }
    void failOn(const QString& when) {
        table::aliases::database(datatest::kDb)
            ->execSql(u"CREATE TRIGGER test_fail "_s + when +
                      u" BEGIN SELECT RAISE(ABORT, 'Testfehler'); END"_s);
    }
};

TEST_F(DailyListEdits, NextTourDateIsTheFirstRunAfterTheDay) {
    const struct {
        int tour;
        QDate day, expected;
    } cases[] = {
        {1, kMonday, kNextMonday},                   // weekly from a past next date
        {1, QDate(2025, 3, 5), kNextMonday},         // from a Wednesday
        {1, QDate(2025, 2, 10), QDate(2025, 2, 24)}, // before the next date
        {3, kMonday, QDate(2025, 3, 4)},             // Tuesday's tour
        {99, kMonday, kMonday},                      // no such tour
    };
    for (const auto& c : cases)
        EXPECT_EQ(NextTourDate(c.tour, c.day), c.expected)
            << c.tour << " " << c.day.toString().toStdString();
}

TEST_F(DailyListEdits, AStateChangeCarriesTheAppointmentsDoneMark) {
    const struct {
        int state;
        bool appointmentDone;
    } cases[] = {
        {StateSkipped, true}, {StateDone, true}, {StateOpen, false}, {StatePrinted, false}};
    for (const auto& c : cases) {
        EXPECT_TRUE(SetDailyActivityState(3, c.state)) << c.state;
        EXPECT_EQ(rows(u"TglTaet.DB"_s)[2].value("A_State").toInt(), c.state);
        EXPECT_EQ(appointment(7).value("T_Erledigt").toBool(), c.appointmentDone) << c.state;
    }
    EXPECT_FALSE(SetDailyActivityState(3, StatePrinted)) << "no change, nothing written";
    EXPECT_TRUE(SetDailyActivityState(1, StateDone));
    EXPECT_FALSE(appointment(7).value("T_Erledigt").toBool()) << "a row without appointment";
}

TEST_F(DailyListEdits, MovingOntoTheSameActivityRaisesItsBacklogAndDropsTheSource) {
    // Activity 2 of object 10 (backlog 1) is not on tour 2; activity 1 is (backlog 2).
    ASSERT_TRUE(MoveDailyActivity(*dm, 1, 2, kMonday));
    ASSERT_TRUE(MoveDailyActivity(*dm, 2, 2, kMonday));
    EXPECT_EQ(activities(), (QStringList{u"1/10/0(3,0,0,7)"_s, u"1/11/3(0,0,0,0)"_s,
                                         u"2/10/1(0,0,3,0)"_s, u"2/10/2(2,0,1,0)"_s}));
    // The source's special function went with it; the copy gets none.
    EXPECT_EQ(functions(), QStringList{u"03.03. 1/11/3"_s});
    const QVariantMap copy = rows(u"TglTaet.DB"_s).last();
    EXPECT_EQ(copy.value("A_ZusatzText").toString(), u"Zeile 2"_s);
    EXPECT_EQ(copy.value("A_ServiceID").toString(), u"A"_s);
}

TEST_F(DailyListEdits, ATransferLandsOnTheNextMondayAndAnEmptiedObjectGoes) {
    const QDate next = NextTourDate(1, kMonday);
    ASSERT_EQ(next, kNextMonday);
    ASSERT_TRUE(MoveDailyActivity(*dm, 4, 1, next));
    EXPECT_EQ(objects(), (QStringList{u"1/10"_s, u"2/10"_s, u"3/11"_s}));
    EXPECT_TRUE(activities().contains(u"3/11/3(2,0,0,0)"_s))
        << activities().join(u' ').toStdString();
    EXPECT_FALSE(activities().contains(u"1/11/3(0,0,0,0)"_s));
    EXPECT_EQ(rows(u"TglObj.DB"_s).last().value("A_ObjektBez").toString(), u"Haus B"_s);
    EXPECT_EQ(functions(), QStringList{u"03.03. 1/10/2"_s});
    // The emptied source list stays as a list.
    EXPECT_EQ(count(u"TglTour.DB"_s), 3);
}

TEST_F(DailyListEdits, AMovedAppointmentRowKeepsItsAppointment) {
    ASSERT_TRUE(MoveDailyActivity(*dm, 3, 2, kMonday));
    const QVariantMap copy = rows(u"TglTaet.DB"_s).last();
    EXPECT_EQ(copy.value("A_TermID").toInt(), 7);
    EXPECT_EQ(copy.value("A_Source").toInt(), 2);
    const QVariantMap term = appointment(7);
    EXPECT_EQ(term.value("T_TglID").toInt(), copy.value("A_TOTID").toInt());
    EXPECT_EQ(term.value("T_TourNr").toInt(), 2);
    EXPECT_TRUE(term.value("T_Taglist").toBool()) << "the source's delete left the link";
    // The state key on the copy reaches the appointment.
    EXPECT_TRUE(SetDailyActivityState(copy.value("A_TOTID").toInt(), StateDone));
    EXPECT_TRUE(appointment(7).value("T_Erledigt").toBool());
}

TEST_F(DailyListEdits, MovingOntoTheRowsOwnListChangesNothing) {
    const auto before = snapshot();
    EXPECT_FALSE(MoveDailyActivity(*dm, 1, 1, kMonday));
    EXPECT_FALSE(MoveDailyActivity(*dm, 1, 99, kMonday)) << "no such tour";
    EXPECT_EQ(snapshot(), before);
}

TEST_F(DailyListEdits, AnObjectMovesWholeWhereTheTargetLacksIt) {
    // Onto tour 3 on Tuesday, a list made for it.
    ASSERT_EQ(MoveDailyObject(*dm, 1, 10, 3, QDate(2025, 3, 4)), ObjectMove::Moved);
    EXPECT_EQ(objects(), (QStringList{u"4/10"_s, u"1/11"_s, u"2/10"_s}));
    EXPECT_EQ(activities(),
              (QStringList{u"4/10/1(0,0,0,0)"_s, u"4/10/2(1,0,1,0)"_s, u"4/10/0(3,0,0,7)"_s,
                           u"1/11/3(0,0,0,0)"_s, u"2/10/1(0,0,2,0)"_s}));
    EXPECT_EQ(functions(), (QStringList{u"04.03. 3/10/2"_s, u"03.03. 1/11/3"_s}));
    const QVariantMap term = appointment(7);
    EXPECT_EQ(term.value("T_TglID").toInt(), 3);
    EXPECT_EQ(term.value("T_TourNr").toInt(), 3);
    EXPECT_EQ(term.value("T_Date").toDate(), QDate(2025, 3, 4));
}

TEST_F(DailyListEdits, AnObjectMovesRowByRowWhereTheTargetHasIt) {
    ASSERT_EQ(MoveDailyObject(*dm, 1, 10, 2, kMonday), ObjectMove::Moved);
    EXPECT_EQ(objects(), (QStringList{u"1/11"_s, u"2/10"_s}));
    // The rows go in the order of the list: the appointment (activity 0) first.
    EXPECT_EQ(activities(), (QStringList{u"1/11/3(0,0,0,0)"_s, u"2/10/1(0,0,3,0)"_s,
                                         u"2/10/0(2,0,0,7)"_s, u"2/10/2(2,0,1,0)"_s}));
    EXPECT_EQ(appointment(7).value("T_TourNr").toInt(), 2);
    EXPECT_EQ(MoveDailyObject(*dm, 2, 10, 2, kMonday), ObjectMove::SameList);
}

TEST_F(DailyListEdits, ManualAdditionsTakeTheMastersAndTheBacklogRule) {
    addObjTaet(1, 11, 1, 1, kMonday, u"B"_s, 2, u"Schlüssel"_s);
    addObjTaet(2, 11, 3, 1, kMonday);
    EXPECT_EQ(AddObjectToDailyTour(*dm, 1, 11), ManualAdd::AlreadyListed);
    ASSERT_EQ(AddObjectToDailyTour(*dm, 2, 11), ManualAdd::Added);
    EXPECT_TRUE(activities().contains(u"2/11/1(1,0,0,0)"_s));
    EXPECT_TRUE(activities().contains(u"2/11/3(1,0,0,0)"_s));
    const QVariantMap added = rows(u"TglTaet.DB"_s).at(5);
    EXPECT_EQ(added.value("A_ServiceID").toString(), u"B"_s);
    EXPECT_EQ(added.value("A_Param").toString(), u"Schlüssel"_s);
    EXPECT_EQ(added.value("A_ZusatzText").toString(), u"Arbeit 1"_s);
    EXPECT_EQ(count(u"Tglfunc.db"_s), 2) << "no special functions by hand";
    EXPECT_EQ(rows(u"TglObj.DB"_s).last().value("A_ObjektBez").toString(), u"Haus B"_s);

    EXPECT_EQ(AddActivityToDailyObject(*dm, 1, 11, 3), ManualAdd::AlreadyListed);
    EXPECT_EQ(AddActivityToDailyObject(*dm, 1, 11, 42), ManualAdd::NotFound);
    ASSERT_EQ(AddActivityToDailyObject(*dm, 1, 11, 2), ManualAdd::Added);
    const QVariantMap one = rows(u"TglTaet.DB"_s).last();
    EXPECT_EQ(one.value("A_ServiceID").toString(), u"*"_s);
    EXPECT_EQ(one.value("A_TourText").toString(), u"Arbeit 2 Tour"_s);

    DailyActivityValues again;
    again.tourNr = 1;
    again.objektNr = 11;
    again.taetigNr = 3;
    again.rueckstand = 2;
    ASSERT_TRUE(AddDailyListActivityTo(*dm, 1, again));
    EXPECT_TRUE(activities().contains(u"1/11/3(0,0,3,0)"_s));
    EXPECT_EQ(AddObjectToDailyTour(*dm, 2, 99), ManualAdd::NotFound);
}

TEST_F(DailyListEdits, BulkCompletionTouchesOnlyOpenRowsAndNoAppointment) {
    EXPECT_EQ(SetDailyObjectDone(1, 11), 1);
    EXPECT_EQ(activities(),
              (QStringList{u"1/10/1(0,0,0,0)"_s, u"1/10/2(1,0,1,0)"_s, u"1/10/0(3,0,0,7)"_s,
                           u"1/11/3(0,4,0,0)"_s, u"2/10/1(0,0,2,0)"_s}));
    SetDailyActivityState(1, StateSkipped);
    EXPECT_EQ(SetDailyTourDone(1), 2);
    EXPECT_EQ(activities(),
              (QStringList{u"1/10/1(0,2,0,0)"_s, u"1/10/2(1,4,1,0)"_s, u"1/10/0(3,4,0,7)"_s,
                           u"1/11/3(0,4,0,0)"_s, u"2/10/1(0,0,2,0)"_s}));
    EXPECT_FALSE(appointment(7).value("T_Erledigt").toBool());
    EXPECT_EQ(SetDayDone(kMonday), 1);
    EXPECT_EQ(SetDayDone(kMonday), 0);
    EXPECT_TRUE(activities().contains(u"2/10/1(0,4,2,0)"_s));
}

TEST_F(DailyListEdits, ClosingStopsAtTheDayBeforeYesterday) {
    const QDate today(2025, 3, 12);
    EXPECT_EQ(ClosingLimit(today.addDays(-1), today), QDate(2025, 3, 10));
    EXPECT_EQ(ClosingLimit(QDate(2025, 3, 3), today), QDate(2025, 3, 3));
    addRow(6, 3, 10, 1, 0, 0, 0);
    addDailyTour(4, 2, QDate(2025, 3, 11));
    addObjectRow(4, 4, 10, u"Haus A"_s);
    addRow(7, 4, 10, 1, 0, 0, 0);
    EXPECT_EQ(FirstDailyListDate(today), kMonday);
    QList<QDate> shown;
    EXPECT_EQ(CloseDailyListsUpTo(ClosingLimit(today.addDays(-1), today),
                                  [&](const QDate& d) { shown.append(d); }),
              6);
    EXPECT_EQ(shown, (QList<QDate>{kMonday, kNextMonday}));
    EXPECT_TRUE(activities().contains(u"3/10/1(0,4,0,0)"_s));
    EXPECT_TRUE(activities().contains(u"4/10/1(0,0,0,0)"_s)) << "yesterday stays open";
    table::aliases::database(datatest::kDb)->emptyTable(u"TglTour.DB"_s);
    EXPECT_EQ(FirstDailyListDate(today), today);
}

TEST_F(DailyListEdits, ClosingCommitsDayByDay) {
    addRow(6, 3, 10, 1, 0, 0, 0);
    failOn(u"BEFORE UPDATE ON TglTaet WHEN NEW.A_TourID = 3"_s);
    EXPECT_THROW(CloseDailyListsUpTo(kNextMonday, {}), DbError);
    EXPECT_TRUE(activities().contains(u"1/10/1(0,4,0,0)"_s)) << "the first day stays closed";
    EXPECT_TRUE(activities().contains(u"3/10/1(0,0,0,0)"_s));
}

TEST_F(DailyListEdits, DeletingTheLastRowTakesObjectAndDailyTour) {
    DeleteDailyActivity(3);
    EXPECT_EQ(appointment(7).value("T_TglID").toInt(), 0);
    EXPECT_FALSE(appointment(7).value("T_Taglist").toBool());
    DeleteDailyActivity(2);
    EXPECT_EQ(functions(), QStringList{u"03.03. 1/11/3"_s});
    DeleteDailyActivity(1);
    EXPECT_EQ(objects(), (QStringList{u"1/11"_s, u"2/10"_s}));
    // The daily tour's own delete fails: the row and its object stay too.
    const auto before = snapshot();
    failOn(u"BEFORE DELETE ON TglTour"_s);
    EXPECT_THROW(DeleteDailyActivity(4), DbError);
    EXPECT_EQ(snapshot(), before);
    table::aliases::database(datatest::kDb)->execSql(u"DROP TRIGGER test_fail"_s);
    DeleteDailyActivity(4);
    EXPECT_EQ(objects(), QStringList{u"2/10"_s});
    EXPECT_EQ(count(u"TglTour.DB"_s), 2);
    EXPECT_TRUE(functions().isEmpty());
}

TEST_F(DailyListEdits, AFailureInsideAChangeLeavesEverythingAsItWas) {
    const struct {
        const char* trigger;
        std::function<void()> change;
    } cases[] = {
        {"BEFORE UPDATE ON TermObj", [] { SetDailyActivityState(3, StateDone); }},
        {"BEFORE DELETE ON TglTaet", [this] { MoveDailyActivity(*dm, 2, 2, kMonday); }},
        {"BEFORE DELETE ON TglObj", [this] { MoveDailyActivity(*dm, 4, 1, kNextMonday); }},
        {"BEFORE UPDATE ON TermObj", [this] { MoveDailyActivity(*dm, 3, 2, kMonday); }},
        {"BEFORE UPDATE ON Tglfunc", [this] { MoveDailyObject(*dm, 1, 10, 3, QDate(2025, 3, 4)); }},
        {"BEFORE DELETE ON TglObj", [this] { MoveDailyObject(*dm, 1, 10, 2, kMonday); }},
        {"BEFORE INSERT ON TglTaet WHEN NEW.A_TaetigNr = 3",
         [this] { AddObjectToDailyTour(*dm, 2, 11); }},
        {"BEFORE INSERT ON TglTaet", [this] { AddActivityToDailyObject(*dm, 1, 11, 2); }},
        {"BEFORE UPDATE ON TglTaet WHEN NEW.A_ObjNr = 11", [] { SetDailyTourDone(1); }},
        {"BEFORE UPDATE ON TglTaet WHEN NEW.A_TourID = 2", [] { SetDayDone(kMonday); }},
        {"BEFORE UPDATE ON TermObj", [] { DeleteDailyActivity(3); }},
        {"BEFORE DELETE ON Tglfunc", [] { DeleteDailyActivity(4); }},
    };
    addObjTaet(1, 11, 1, 1, kMonday);
    addObjTaet(2, 11, 3, 1, kMonday);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.trigger);
        const auto before = snapshot();
        failOn(QString::fromLatin1(c.trigger));
        try {
            c.change();
            ADD_FAILURE() << "no error";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().contains(u"Testfehler"_s)) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(u"nicht"_s)) << "names the change";
        }
        table::aliases::database(datatest::kDb)->execSql(u"DROP TRIGGER test_fail"_s);
        EXPECT_EQ(snapshot(), before);
    }
}

TEST_F(DailyListEdits, AGenerationElsewhereRefusesEveryChange) {
    OtherWorkstation other;
    other.activities->lockTable();
    const auto before = snapshot();
    const std::function<void()> changes[] = {
        [] { SetDailyActivityState(1, StateDone); },
        [this] { MoveDailyActivity(*dm, 4, 1, kNextMonday); },
        [this] { MoveDailyObject(*dm, 1, 10, 2, kMonday); },
        [this] { AddActivityToDailyObject(*dm, 1, 11, 2); },
        [] { SetDayDone(kMonday); },
        [] { DeleteDailyActivity(4); },
    };
    for (const auto& change : changes) {
        try {
            change();
            ADD_FAILURE() << "no refusal";
        } catch (const DailyListsBusy& e) {
            EXPECT_TRUE(e.message().startsWith(
                u"An einem anderen Arbeitsplatz werden gerade Tageslisten erzeugt"_s));
        }
    }
    EXPECT_EQ(snapshot(), before);
    other.activities->unlockTable();
    EXPECT_TRUE(SetDailyActivityState(1, StateDone));
}

TEST_F(DailyListEdits, ABulkChangeWaitsForARowInEditElsewhere) {
    datatest::HeldElsewhere held(u"TglTaet.DB"_s, u"A_TOTID"_s, 5);
    try {
        SetDayDone(kMonday);
        ADD_FAILURE() << "no refusal";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(u"an einem anderen Arbeitsplatz bearbeitet"_s))
            << e.message().toStdString();
    }
    EXPECT_FALSE(activities().contains(u"1/10/1(0,4,0,0)"_s));
}

} // namespace
} // namespace operationstest
