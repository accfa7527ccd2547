#include "core/data/appointmentrules.h"
#include "core/data/staffnames.h"
#include "dailylistfixture.h"
#include "platform/errors.h"
#include "platform/table/session.h"

namespace {

using datatest::kDb;
using Kind = MessagePresenter::Kind;

// Tours 3 and 4 run on tomorrow's weekday; object 10 belongs to tour 3.
class AppointmentRules : public datatest::DailyLists {
protected:
    void SetUp() override {
        DailyLists::SetUp();
        addStaff(7, QStringLiteral("Meier"), QStringLiteral("MEIER"));
        addTour(3, tomorrow.dayOfWeek(), 7);
        addTour(4, tomorrow.dayOfWeek());
        addActiveObject(10, 500, QStringLiteral("Haus Linde"));
        addActiveObject(11, 501, QStringLiteral("Haus Eiche"));
        addTourObject(3, 10, QTime(8, 0), QTime(9, 30));
    }

    table::Table& appointments() { return shared(dm->TabTermObj()); }
    table::Table& appointment(int id) {
        table::Table& t = appointments();
        EXPECT_TRUE(t.locate({QStringLiteral("T_ID")}, {id}));
        return t;
    }
    // Starts a new appointment at object 10; the caller posts it.
    table::Table& start(const QDate& date, int tourNr, bool taglist) {
        table::Table& t = appointments();
        t.append();
        t.field(QStringLiteral("T_Date")) = date;
        t.field(QStringLiteral("T_Objekt")) = 10;
        t.field(QStringLiteral("T_TourNr")) = tourNr;
        t.field(QStringLiteral("T_Taglist")) = taglist;
        t.field(QStringLiteral("T_Kurztext")) = QStringLiteral("Fenster putzen");
        return t;
    }
    int post(const QDate& date, int tourNr, bool taglist) {
        table::Table& t = start(date, tourNr, taglist);
        t.post();
        return t.field(QStringLiteral("T_ID")).asInteger();
    }
    int linkOf(int id) { return appointment(id).field(QStringLiteral("T_TglID")).asIntegerOr(0); }
    void change(int id, const char* field, const QVariant& value) {
        table::Table& t = appointment(id);
        t.edit();
        t.field(QString::fromLatin1(field)).setValue(value);
        t.post();
    }
    void expectNoDailyList() {
        for (const char* file : {"TglTour.DB", "TglObj.DB", "TglTaet.DB"})
            EXPECT_EQ(count(QString::fromLatin1(file)), 0) << file;
    }
};

TEST_F(AppointmentRules, TomorrowsAppointmentCreatesItsDailyTourObjectAndActivity) {
    const int id = post(tomorrow, 3, true);

    const auto tours = rows(QStringLiteral("TglTour.DB"));
    ASSERT_EQ(tours.size(), 1);
    EXPECT_EQ(tours[0][QStringLiteral("A_TourNr")].toInt(), 3);
    EXPECT_EQ(tours[0][QStringLiteral("A_Date")].toDate(), tomorrow);
    EXPECT_EQ(tours[0][QStringLiteral("A_PersNr")].toInt(), 7);
    EXPECT_EQ(tours[0][QStringLiteral("A_PersName")].toString(), QStringLiteral("MEIER"));
    EXPECT_EQ(tours[0][QStringLiteral("A_Bezeichnung")].toString(), QStringLiteral("Tour 3"));
    EXPECT_EQ(tours[0][QStringLiteral("A_Pattern")].toString(), QStringLiteral("AB"));
    const int tourId = tours[0][QStringLiteral("A_TourID")].toInt();

    const auto objects = rows(QStringLiteral("TglObj.DB"));
    ASSERT_EQ(objects.size(), 1);
    EXPECT_EQ(objects[0][QStringLiteral("A_TourID")].toInt(), tourId);
    EXPECT_EQ(objects[0][QStringLiteral("A_ObjektNr")].toInt(), 10);
    EXPECT_EQ(objects[0][QStringLiteral("A_ObjektBez")].toString(), QStringLiteral("Haus Linde"));
    EXPECT_EQ(objects[0][QStringLiteral("A_Kunde")].toInt(), 500);
    EXPECT_EQ(objects[0][QStringLiteral("A_VonUhr")].toTime(), QTime(8, 0));
    EXPECT_EQ(objects[0][QStringLiteral("A_BisUhr")].toTime(), QTime(9, 30));

    const auto activities = rows(QStringLiteral("TglTaet.DB"));
    ASSERT_EQ(activities.size(), 1);
    const QVariantMap& a = activities[0];
    EXPECT_EQ(a[QStringLiteral("A_TourID")].toInt(), tourId);
    EXPECT_EQ(a[QStringLiteral("A_ObjNr")].toInt(), 10);
    EXPECT_EQ(a[QStringLiteral("A_TaetigNr")].toInt(), 0);
    EXPECT_EQ(a[QStringLiteral("A_Source")].toInt(), 3);
    EXPECT_EQ(a[QStringLiteral("A_State")].toInt(), 0);
    EXPECT_EQ(a[QStringLiteral("A_ServiceID")].toString(), QStringLiteral("*"));
    EXPECT_EQ(a[QStringLiteral("A_ZusatzText")].toString(), QStringLiteral("Terminauftrag"));
    EXPECT_EQ(a[QStringLiteral("A_TermID")].toInt(), id);
    EXPECT_EQ(a[QStringLiteral("A_TourText")].toString(), QStringLiteral("Fenster putzen"));
    EXPECT_EQ(a[QStringLiteral("A_KontrollText")].toString(), QStringLiteral("Fenster putzen"));
    EXPECT_EQ(linkOf(id), a[QStringLiteral("A_TOTID")].toInt());
    EXPECT_EQ(table::aliases::database(kDb)->transactionDepth(), 0);
}

TEST_F(AppointmentRules, PostingAgainRewritesTheSameActivityRow) {
    const int id = post(tomorrow, 3, true);
    const int link = linkOf(id);
    table::Table& t = appointment(id);
    t.edit();
    t.field(QStringLiteral("T_Text")) = QStringLiteral("Nur Treppenhaus");
    t.field(QStringLiteral("T_ObjName")) = QStringLiteral("Linde, Hinterhaus");
    t.post();

    const auto activities = rows(QStringLiteral("TglTaet.DB"));
    ASSERT_EQ(activities.size(), 1);
    EXPECT_EQ(activities[0][QStringLiteral("A_TOTID")].toInt(), link);
    EXPECT_EQ(activities[0][QStringLiteral("A_TourText")].toString(),
              QStringLiteral("Nur Treppenhaus"));
    EXPECT_EQ(rows(QStringLiteral("TglObj.DB"))[0][QStringLiteral("A_ObjektBez")].toString(),
              QStringLiteral("Linde, Hinterhaus"));
    EXPECT_EQ(count(QStringLiteral("TglTour.DB")), 1);
    EXPECT_EQ(linkOf(id), link);
}

TEST_F(AppointmentRules, LeavingTheDailyListRemovesTheRowAndParentsThatBecameEmpty) {
    const struct {
        const char* why;
        const char* field;
        QVariant value;
        bool manualRowBeside;
    } cases[] = {
        {"flag cleared", "T_Taglist", false, false},
        {"tour cleared", "T_TourNr", 0, false},
        {"flag cleared, a manual row keeps object and tour", "T_Taglist", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const int id = post(tomorrow, 3, true);
        const QVariantMap object = rows(QStringLiteral("TglObj.DB")).value(0);
        if (c.manualRowBeside)
            addActivity(900, object[QStringLiteral("A_TourID")].toInt(), 10, 1, 42);
        change(id, c.field, c.value);

        EXPECT_EQ(linkOf(id), 0);
        const auto activities = rows(QStringLiteral("TglTaet.DB"));
        if (c.manualRowBeside) {
            ASSERT_EQ(activities.size(), 1);
            EXPECT_EQ(activities[0][QStringLiteral("A_TOTID")].toInt(), 900);
            EXPECT_EQ(count(QStringLiteral("TglObj.DB")), 1);
            EXPECT_EQ(count(QStringLiteral("TglTour.DB")), 1);
        } else {
            expectNoDailyList();
        }
        for (const char* file : {"TglTour.DB", "TglObj.DB", "TglTaet.DB", "TermObj.DB"})
            table::aliases::database(kDb)->emptyTable(QString::fromLatin1(file));
    }
}

TEST_F(AppointmentRules, ChangingTheTourMovesTheActivityToTheOtherDailyTour) {
    const int id = post(tomorrow, 3, true);
    const int link = linkOf(id);
    change(id, "T_TourNr", 4);

    const auto tours = rows(QStringLiteral("TglTour.DB"));
    ASSERT_EQ(tours.size(), 1) << "the emptied daily tour 3 is gone";
    EXPECT_EQ(tours[0][QStringLiteral("A_TourNr")].toInt(), 4);
    const int tourId = tours[0][QStringLiteral("A_TourID")].toInt();
    const auto objects = rows(QStringLiteral("TglObj.DB"));
    ASSERT_EQ(objects.size(), 1);
    EXPECT_EQ(objects[0][QStringLiteral("A_TourID")].toInt(), tourId);
    const auto activities = rows(QStringLiteral("TglTaet.DB"));
    ASSERT_EQ(activities.size(), 1);
    EXPECT_EQ(activities[0][QStringLiteral("A_TOTID")].toInt(), link);
    EXPECT_EQ(activities[0][QStringLiteral("A_TourID")].toInt(), tourId);
    EXPECT_EQ(linkOf(id), link);
}

TEST_F(AppointmentRules, PastAppointmentsAreNeitherEnteredNorRemoved) {
    const QDate yesterday = today.addDays(-1);
    addTour(5, yesterday.dayOfWeek());
    const int past = post(yesterday, 5, true);
    EXPECT_EQ(linkOf(past), 0);
    expectNoDailyList();

    // Linked while it lay ahead; once past, clearing the flag changes nothing.
    const int linked = post(tomorrow, 3, true);
    const int link = linkOf(linked);
    today = tomorrow.addDays(1);
    change(linked, "T_Taglist", false);
    EXPECT_EQ(linkOf(linked), link);
    EXPECT_EQ(count(QStringLiteral("TglTaet.DB")), 1);
}

TEST_F(AppointmentRules, AnAppointmentWithoutDateCountsAsToday) {
    addTour(6, today.dayOfWeek());
    table::Table& t = start(today, 6, true);
    t.field(QStringLiteral("T_Date")).clear();
    t.post();
    const auto tours = rows(QStringLiteral("TglTour.DB"));
    ASSERT_EQ(tours.size(), 1);
    EXPECT_EQ(tours[0][QStringLiteral("A_Date")].toDate(), today);
}

TEST_F(AppointmentRules, ATourMustRunOnTheAppointmentsWeekday) {
    addTour(8, 1); // Mondays
    const QDate monday = today.addDays(8 - today.dayOfWeek());
    const QDate tuesday = monday.addDays(1);
    const struct {
        QDate date;
        int tourNr;
        bool accepted;
    } cases[] = {{monday, 8, true}, {tuesday, 8, false}, {tuesday, 99, false}, {tuesday, 0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1 tour %2").arg(c.date.toString()).arg(c.tourNr).toStdString());
        presenter.boxes.clear();
        table::Table& t = start(c.date, 0, false);
        bool refused = false;
        try {
            t.field(QStringLiteral("T_TourNr")) = c.tourNr;
        } catch (const Abort&) {
            refused = true;
        }
        EXPECT_EQ(refused, !c.accepted);
        if (c.accepted) {
            EXPECT_TRUE(presenter.boxes.isEmpty());
            EXPECT_EQ(t.field(QStringLiteral("T_TourNr")).asInteger(), c.tourNr);
        } else {
            EXPECT_EQ(presenter.texts(Kind::Error),
                      QStringList{
                          QStringLiteral("Die Tour wird zum angegebenen Datum nicht ausgeführt!")});
            EXPECT_EQ(t.field(QStringLiteral("T_TourNr")).asInteger(), 0) << "former value kept";
        }
        t.cancel();
    }
}

TEST_F(AppointmentRules, AnUnknownObjectIsRefusedAndAKnownOneGoesToTheForm) {
    QList<int> formObjects;
    AppointmentRuleHooksRegistry().setObjekt = [&](int nr) { formObjects.append(nr); };
    table::Table& t = start(tomorrow, 0, false);
    EXPECT_THROW(t.field(QStringLiteral("T_Objekt")) = 77, Abort);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Sie müssen eine gültige Objektnummer eingeben!")});
    EXPECT_EQ(t.field(QStringLiteral("T_Objekt")).asInteger(), 10);
    t.field(QStringLiteral("T_Objekt")) = 11;
    EXPECT_EQ(formObjects, (QList<int>{10, 11}));
    t.cancel();
}

TEST_F(AppointmentRules, FieldRulesFillTheStaffNameTheTextAndResetTheReminder) {
    table::Table& t = start(tomorrow, 0, false);
    EXPECT_EQ(t.field(QStringLiteral("T_Text")).asString(), QStringLiteral("Fenster putzen"))
        << "an empty text takes the short text";
    t.field(QStringLiteral("T_Kurztext")) = QStringLiteral("Anders");
    EXPECT_EQ(t.field(QStringLiteral("T_Text")).asString(), QStringLiteral("Fenster putzen"))
        << "a text is kept";

    t.field(QStringLiteral("T_PersNo")) = 7;
    EXPECT_EQ(t.field(QStringLiteral("T_Betreuer")).asString(), QStringLiteral("Meier"));
    t.field(QStringLiteral("T_PersNo")) = 99;
    EXPECT_EQ(t.field(QStringLiteral("T_Betreuer")).asStringOr(QStringLiteral("?")), QString());

    const struct {
        const char* field;
        QVariant value;
    } alarms[] = {{"T_Alarm", true}, {"T_AlarmDate", tomorrow}, {"T_AlarmTime", QTime(7, 30)}};
    for (const auto& a : alarms) {
        t.field(QStringLiteral("T_AlarmDone")) = true;
        t.field(QString::fromLatin1(a.field)).setValue(a.value);
        EXPECT_FALSE(t.field(QStringLiteral("T_AlarmDone")).asBoolean()) << a.field;
    }
    t.cancel();
}

TEST_F(AppointmentRules, NewAppointmentsNeedTheCreateRightAndTakeTheFormsDefaults) {
    bool initFlagSeen = false;
    AppointmentRuleHooksRegistry().initNewTermin = [&](table::Table& t) {
        initFlagSeen = dm->IsInitNewRecord();
        t.field(QStringLiteral("T_Objekt")) = 0; // no field rule while the form fills
        t.field(QStringLiteral("T_Kurztext")) = QStringLiteral("Vorgabe");
    };
    table::Table& t = appointments();
    t.append();
    EXPECT_TRUE(initFlagSeen);
    EXPECT_TRUE(askedRights.contains(20));
    EXPECT_EQ(t.field(QStringLiteral("T_ID")).asInteger(), 1);
    EXPECT_TRUE(t.field(QStringLiteral("T_Text")).isNull());
    EXPECT_TRUE(presenter.boxes.isEmpty());
    t.cancel();

    createAllowed = false;
    table::Table& refused = appointments();
    EXPECT_THROW(refused.append(), Abort);
    EXPECT_FALSE(refused.isEditing());
}

TEST_F(AppointmentRules, ScrollingTellsTheFormTheLastAppointment) {
    const int first = post(tomorrow, 0, false);
    QList<int> remembered;
    AppointmentRuleHooksRegistry().rememberLastTermin = [&](table::Table& t) {
        remembered.append(t.field(QStringLiteral("T_ID")).asIntegerOr(0));
    };
    appointment(first);
    EXPECT_TRUE(remembered.contains(first));
}

TEST_F(AppointmentRules, DeletingAnAppointmentAsksAndTakesItsDailyListRowsAlong) {
    const int id = post(tomorrow, 3, true);
    rights.allowed = false;
    EXPECT_THROW(appointment(id).deleteRecord(), Abort);
    rights.allowed = true;
    presenter.answers = {false};
    EXPECT_THROW(appointment(id).deleteRecord(), Abort);
    EXPECT_EQ(count(QStringLiteral("TglTaet.DB")), 1);
    EXPECT_EQ(count(QStringLiteral("TermObj.DB")), 1);

    presenter.answers = {true};
    appointment(id).deleteRecord();
    EXPECT_EQ(rights.asked, (QList<int>{20, 20, 20}));
    EXPECT_EQ(count(QStringLiteral("TermObj.DB")), 0);
    expectNoDailyList();
}

TEST_F(AppointmentRules, AFailedPostLeavesNoDailyListRowsBehind) {
    auto session = std::make_shared<table::Session>(NetDir, QStringLiteral("andere"));
    auto db = table::Database::open(DataDir);
    db->setSession(session);
    table::Table elsewhere(db, QStringLiteral("TermObj.DB"));
    elsewhere.open();
    elsewhere.lockTable();

    table::Table& t = start(tomorrow, 3, true);
    EXPECT_THROW(t.post(), DbError);
    EXPECT_TRUE(t.isEditing());
    EXPECT_EQ(t.field(QStringLiteral("T_TglID")).asIntegerOr(0), 0);
    expectNoDailyList();
    EXPECT_EQ(table::aliases::database(kDb)->transactionDepth(), 0);

    elsewhere.unlockTable();
    t.post();
    EXPECT_EQ(count(QStringLiteral("TglTaet.DB")), 1);
    EXPECT_NE(linkOf(1), 0);
}

TEST_F(AppointmentRules, AKeyTakenMeanwhileMovesTheDailyListRowToTheNewKey) {
    table::Table& t = start(tomorrow, 3, true);
    ASSERT_EQ(t.field(QStringLiteral("T_ID")).asInteger(), 1);
    addRow(QStringLiteral("TermObj.DB"),
           {{QStringLiteral("T_ID"), 1}, {QStringLiteral("T_Date"), today.addDays(-5)}});
    t.post();
    EXPECT_EQ(t.field(QStringLiteral("T_ID")).asInteger(), 2);
    const auto activities = rows(QStringLiteral("TglTaet.DB"));
    ASSERT_EQ(activities.size(), 1);
    EXPECT_EQ(activities[0][QStringLiteral("A_TermID")].toInt(), 2);
    EXPECT_EQ(linkOf(2), activities[0][QStringLiteral("A_TOTID")].toInt());
    EXPECT_EQ(table::aliases::database(kDb)->transactionDepth(), 0);
}

TEST_F(AppointmentRules, LinkTermObjToTaglistWritesTheLinkAndDropsTheFlagWithoutOne) {
    const int id = post(today.addDays(30), 0, true);
    LinkTermObjToTaglist(id, 12, 4, tomorrow);
    table::Table& t = appointment(id);
    EXPECT_EQ(t.field(QStringLiteral("T_TglID")).asInteger(), 12);
    EXPECT_EQ(t.field(QStringLiteral("T_TourNr")).asInteger(), 4);
    EXPECT_EQ(t.field(QStringLiteral("T_Date")).asDate(), tomorrow);
    EXPECT_TRUE(t.field(QStringLiteral("T_Taglist")).asBoolean());

    LinkTermObjToTaglist(id, 0, 4, QDate());
    EXPECT_FALSE(appointment(id).field(QStringLiteral("T_Taglist")).asBoolean());
    EXPECT_EQ(appointment(id).field(QStringLiteral("T_Date")).asDate(), tomorrow)
        << "no date given: the date stays";
    EXPECT_NO_THROW(LinkTermObjToTaglist(999, 1, 1, tomorrow));
}

TEST_F(AppointmentRules, GetPersonalNameFindsTheStaffMembersName) {
    EXPECT_EQ(GetPersonalName(7), QStringLiteral("Meier"));
    EXPECT_EQ(GetPersonalName(8), QString());
    EXPECT_EQ(PersonalMatchOfNr(7), QStringLiteral("MEIER"));
    EXPECT_EQ(PersonalMatchOfNr(8), QString());
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

// The shared staff table keeps its record and a pending edit there.
TEST_F(AppointmentRules, GetPersonalNameLeavesTheSharedStaffTableWhereItWas) {
    addStaff(5, QStringLiteral("Abel"), QStringLiteral("ABEL"));
    table::Table& staff = dm->TabPersonal();
    if (!staff.isOpen())
        staff.open();
    staff.refresh();
    ASSERT_TRUE(staff.locate({QStringLiteral("P_Nr")}, {5}));
    staff.edit();
    staff.field(QStringLiteral("P_Name1")) = QStringLiteral("Abel-Neu");
    EXPECT_EQ(GetPersonalName(7), QStringLiteral("Meier"));
    EXPECT_EQ(GetPersonalName(5), QStringLiteral("Abel"));
    EXPECT_EQ(GetPersonalName(8), QString());
    EXPECT_TRUE(staff.isEditing());
    EXPECT_EQ(staff.field(QStringLiteral("P_Nr")).asInteger(), 5);
    EXPECT_EQ(staff.field(QStringLiteral("P_Name1")).asString(), QStringLiteral("Abel-Neu"));
    staff.cancel();
}

} // namespace
