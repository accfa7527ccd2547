#include "core/data/dailylistrules.h"
#include "core/data/worktable.h"
#include "core/values/minutes.h"
#include "dailylistfixture.h"
#include "operations/dailylistedits.h"
#include "operations/monthplantable.h"
#include "operations/monthtour.h"
#include "operations/monthtouredits.h"
#include "platform/errors.h"

using namespace Qt::StringLiterals;

namespace operationstest {
namespace {

const QDate kMon4(2024, 3, 4);
const QDate kTue5(2024, 3, 5);
const QDate kWed6(2024, 3, 6);

// March 2024. Tour 1 has a list on the 4th (object 10 from 8:00 to 9:30
// with activities 1 "R" (backlog 2), 2 "O", 3 printed; object 11 without
// times with activity 1 manual and 2, 3 generated) and on the 6th (object
// 10 with activity 2). Tour 2 has an empty list on the 5th, tour 3 a list
// on the 4th with object 11. A list in February and one in May lie outside.
class MonthTour : public Generation {
protected:
    void SetUp() override {
        Generation::SetUp();
        addActiveObject(10, 100, u"Haus A"_s);
        addActiveObject(11, 101, u"Haus B"_s);
        for (int nr = 1; nr <= 3; ++nr)
            addTaetigkeit(nr, u"Arbeit %1"_s.arg(nr));
        addDailyTour(1, 1, kMon4);
        addDailyTour(2, 2, kTue5);
        addDailyTour(3, 3, kMon4);
        addDailyTour(4, 1, kWed6);
        addDailyTour(5, 1, QDate(2024, 2, 20));
        addDailyTour(6, 2, QDate(2024, 5, 2));
        addObjectRow(1, 1, 10, QTime(8, 0), QTime(9, 30));
        addObjectRow(2, 1, 11, {}, {});
        addObjectRow(3, 3, 11, {}, {});
        addObjectRow(4, 4, 10, QTime(8, 0), QTime(8, 0));
        addObjectRow(5, 5, 10, {}, {});
        addTaet(1, 1, 10, 1, SourceAutomatic, StateOpen, 2);
        addTaet(2, 1, 10, 2, SourceAutomatic, StateOpen, 0);
        addTaet(3, 1, 10, 3, SourceAutomatic, StatePrinted, 0);
        addTaet(4, 1, 11, 1, SourceManual, StateOpen, 0);
        addTaet(5, 1, 11, 2, SourceAutomatic, StateOpen, 0);
        addTaet(6, 1, 11, 3, SourceAutomatic, StateDone, 0);
        addTaet(7, 3, 11, 1, SourceAppointment, StateOpen, 0);
        addTaet(8, 4, 10, 2, SourceAutomatic, StateOpen, 0);
        addTaet(9, 5, 10, 1, SourceAutomatic, StateOpen, 0);
    }
    void addObjectRow(int id, int tourId, int objektNr, const QTime& von, const QTime& bis) {
        addRow(u"TglObj.DB"_s, {{u"A_TOID"_s, id},
                                {u"A_TourID"_s, tourId},
                                {u"A_ObjektNr"_s, objektNr},
                                {u"A_VonUhr"_s, von.isValid() ? QVariant(von) : QVariant()},
                                {u"A_BisUhr"_s, bis.isValid() ? QVariant(bis) : QVariant()},
                                {u"A_LsID"_s, 0}});
    }
    void addTaet(int id, int tourId, int objektNr, int taetigNr, int source, int state,
                 int backlog) {
        addRow(u"TglTaet.DB"_s, {{u"A_TOTID"_s, id},
                                 {u"A_TourID"_s, tourId},
                                 {u"A_ObjNr"_s, objektNr},
                                 {u"A_TaetigNr"_s, taetigNr},
                                 {u"A_Source"_s, source},
                                 {u"A_State"_s, state},
                                 {u"A_Rueckstand"_s, backlog},
                                 {u"A_ZusatzText"_s, u"Arbeit %1"_s.arg(taetigNr)}});
    }
    MonthTourModel march(const QDate& today = QDate(2026, 1, 1)) {
        MonthTourModel m;
        m.setMonth(2024, 3, today);
        m.reload();
        return m;
    }
    // "tour/date/object/activity(source,state,backlog)" of every activity row.
    QStringList activityRows() {
        QHash<int, QString> tours;
        for (const QVariantMap& t : rows(u"TglTour.DB"_s))
            tours.insert(
                t.value("A_TourID").toInt(),
                u"%1/%2"_s.arg(t.value("A_TourNr").toInt()).arg(t.value("A_Date").toDate().day()));
        QStringList result;
        for (const QVariantMap& a : rows(u"TglTaet.DB"_s))
            result.append(u"%1/%2/%3(%4,%5,%6)"_s.arg(tours.value(a.value("A_TourID").toInt()))
                              .arg(a.value("A_ObjNr").toInt())
                              .arg(a.value("A_TaetigNr").toInt())
                              .arg(a.value("A_Source").toInt())
                              .arg(a.value("A_State").toInt())
                              .arg(a.value("A_Rueckstand").toInt()));
        result.sort();
        return result;
    }
    QList<int> objectNrsOf(int tourId) {
        QList<int> nrs;
        for (const QVariantMap& o : rows(u"TglObj.DB"_s))
            if (o.value("A_TourID").toInt() == tourId)
                nrs.append(o.value("A_ObjektNr").toInt());
        return nrs;
    }
    int backlogOf(int tourId, int objektNr, int taetigNr) {
        for (const QVariantMap& a : rows(u"TglTaet.DB"_s))
            if (a.value("A_TourID").toInt() == tourId && a.value("A_ObjNr").toInt() == objektNr &&
                a.value("A_TaetigNr").toInt() == taetigNr)
                return a.value("A_Rueckstand").toInt();
        return -1;
    }
};

TEST_F(MonthTour, TheListsShowTheMonthsDayValues) {
    MonthTourModel m = march();
    EXPECT_EQ(m.caption(), u"Tourenübersicht für März 2024"_s);
    EXPECT_EQ(m.daysInMonth(), 31);
    EXPECT_TRUE(m.previousMonthHasLists());
    EXPECT_FALSE(m.nextMonthHasLists()) << "April has no list; May does not count";
    EXPECT_EQ(m.weekdayInitials().left(7), u"FSSMDMD"_s);
    ASSERT_EQ(m.tours().size(), 3);
    EXPECT_EQ(m.tours()[0].nr, 1);
    EXPECT_EQ(m.tours()[0].days[4], 2);
    EXPECT_EQ(m.tours()[0].days[6], 1);
    EXPECT_EQ(m.tours()[0].days[20], 0) << "February's list stays out";
    EXPECT_EQ(m.tours()[1].days[5], 1) << "a list without objects shows 1";
    ASSERT_EQ(m.objects().size(), 2);
    EXPECT_EQ(m.objects()[0].days[4], 90);
    EXPECT_EQ(m.objects()[0].days[6], 1) << "equal times";
    EXPECT_EQ(MinutesToStrZero(m.objects()[1].days[4], 1), u"0:01"_s);
    ASSERT_EQ(m.activities().size(), 3);
    EXPECT_EQ(m.activities()[0].letters[4], u'R');
    EXPECT_EQ(m.activities()[0].backlogs[4], 2);
    EXPECT_EQ(m.activities()[1].letters[4], u'O');
    EXPECT_EQ(m.activities()[1].letters[6], u'O');
    EXPECT_EQ(m.activities()[2].letters[4], u'B');
    EXPECT_EQ(m.activities()[2].letters[5], u' ');
}

TEST_F(MonthTour, TodaysColumnAndTheNeighbourMonths) {
    MonthTourModel m;
    m.setMonth(2024, 3, QDate(2024, 3, 17));
    EXPECT_EQ(m.todayCol(), 17);
    m.setMonth(2024, 2, QDate(2024, 3, 17));
    EXPECT_EQ(m.todayCol(), 0);
    EXPECT_FALSE(m.previousMonthHasLists());
    EXPECT_TRUE(m.nextMonthHasLists());
    EXPECT_TRUE(m.reload());
    m.setMonth(2024, 4, QDate(2024, 3, 17));
    EXPECT_FALSE(m.reload());
}

TEST_F(MonthTour, HeaderClicksResortTheToursAndTheReloadKeepsTheSelection) {
    MonthTourModel m = march();
    m.selectTour(2);
    ASSERT_EQ(m.selectedTourNr(), 3);
    EXPECT_TRUE(m.resortByDay(5));
    EXPECT_TRUE(m.orderByDate);
    QList<int> order;
    for (const MonthEntry& e : m.tours())
        order.append(e.nr);
    EXPECT_EQ(order, (QList<int>{2, 1, 3}));
    EXPECT_EQ(m.selectedTourNr(), 3);
    EXPECT_FALSE(m.resortByDay(7)) << "no list that day";
    m.rememberSelection();
    m.reload();
    order.clear();
    for (const MonthEntry& e : m.tours())
        order.append(e.nr);
    EXPECT_EQ(order, (QList<int>{1, 3, 2})) << "by the date of the first list";
    EXPECT_EQ(m.selectedTourNr(), 3);
    EXPECT_TRUE(m.resortByNumber());
    EXPECT_FALSE(m.orderByDate);
    EXPECT_FALSE(m.resortByNumber()) << "already in order";
    EXPECT_EQ(m.tours()[0].nr, 1);
    m.setRemembered(9, 0, 0);
    m.reload();
    EXPECT_EQ(m.selTour, 0) << "an unknown number selects the first row";
}

TEST_F(MonthTour, ThePopupIsEnabledByGridDateAndLetter) {
    const QDate today(2024, 3, 6);
    const QDate yesterday = today.addDays(-1), tomorrow = today.addDays(1);
    struct Case {
        MonthGrid grid;
        QDate date;
        char letter;
        QList<bool> items; // the nine items in menu order
    };
    const Case cases[] = {
        {MonthGrid::Activities, yesterday, 'E', {0, 0, 0, 1, 1, 0, 0, 0, 0}},
        {MonthGrid::Activities, tomorrow, 'O', {0, 0, 0, 0, 0, 0, 1, 0, 0}},
        {MonthGrid::Activities, today, 'O', {0, 0, 1, 0, 1, 0, 0, 0, 0}},
        {MonthGrid::Activities, today, 'A', {0, 0, 1, 1, 0, 0, 0, 0, 0}},
        {MonthGrid::Activities, tomorrow, 'B', {0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {MonthGrid::Tours, today, '2', {1, 1, 0, 0, 0, 0, 0, 0, 0}},
        {MonthGrid::Tours, tomorrow, '1', {0, 0, 0, 0, 0, 0, 0, 1, 0}},
        {MonthGrid::Objects, yesterday, '1', {0, 1, 0, 0, 0, 0, 0, 0, 0}},
        {MonthGrid::Objects, tomorrow, '0', {0, 0, 0, 0, 0, 1, 0, 0, 1}},
        {MonthGrid::Activities, yesterday, ' ', {0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const MonthPopupItems p = MonthPopupFor(c.grid, c.date, QLatin1Char(c.letter), today);
        const QList<bool> got{p.allToursDone, p.allOpenDone,  p.setDone,      p.setOpen,     p.skip,
                              p.insertTaetig, p.deleteTaetig, p.insertObjekt, p.deleteObjekt};
        EXPECT_EQ(got, c.items) << int(c.grid) << ' ' << c.letter << ' '
                                << c.date.toString().toStdString();
        EXPECT_EQ(p.any(), c.items.contains(true));
    }
}

TEST_F(MonthTour, AnActivityInsertedTwiceRaisesItsBacklog) {
    const MonthCell cell{2, kTue5, 10, 3};
    EXPECT_EQ(InsertTaetig(cell), 2) << "object row and activity row";
    EXPECT_EQ(objectNrsOf(2), QList<int>{10});
    EXPECT_EQ(backlogOf(2, 10, 3), 0);
    EXPECT_EQ(InsertTaetig(cell), 1);
    EXPECT_EQ(backlogOf(2, 10, 3), 1);
    int rowsOf3 = 0;
    for (const QVariantMap& a : rows(u"TglTaet.DB"_s))
        if (a.value("A_TourID").toInt() == 2) {
            ++rowsOf3;
            EXPECT_EQ(a.value("A_Source").toInt(), SourceManual);
            EXPECT_EQ(a.value("A_ServiceID").toString(), u"*"_s);
            EXPECT_EQ(a.value("A_ZusatzText").toString(), u"Arbeit 3"_s);
        }
    EXPECT_EQ(rowsOf3, 1);
    EXPECT_EQ(InsertTaetig({2, kWed6, 10, 3}), 0) << "tour 2 has no list on the 6th";
}

TEST_F(MonthTour, StatesAndDeletesLeaveAppointmentRowsAlone) {
    EXPECT_EQ(SetTaetigState({1, kMon4, 10, 2}, StateDone), MonthEdit::Done);
    EXPECT_EQ(SetTaetigState({3, kMon4, 11, 1}, StateDone), MonthEdit::Appointment);
    EXPECT_EQ(SetTaetigState({3, kMon4, 11, 9}, StateDone), MonthEdit::NotFound);
    EXPECT_EQ(SetOpenTaetigDone({3, kMon4, 11, 0}), 1);
    EXPECT_EQ(SetOpenTaetigDone({1, kMon4, 11, 0}), 0);
    EXPECT_EQ(DeleteTaetig({3, kMon4, 11, 1}), TaetigDelete::Appointment);
    EXPECT_EQ(DeleteTaetig({1, kWed6, 10, 2}), TaetigDelete::DeletedWithObject);
    EXPECT_TRUE(objectNrsOf(4).isEmpty());
    EXPECT_EQ(count(u"TglTour.DB"_s), 6) << "the list itself stays";
    const QStringList after = activityRows();
    EXPECT_TRUE(after.contains(u"1/4/10/2(0,4,0)"_s));
    EXPECT_TRUE(after.contains(u"1/4/11/1(1,4,0)"_s));
    EXPECT_TRUE(after.contains(u"1/4/11/2(0,4,0)"_s));
    EXPECT_TRUE(after.contains(u"3/4/11/1(3,0,0)"_s));
}

TEST_F(MonthTour, DeletingAnObjectKeepsItWithItsManualRow) {
    EXPECT_TRUE(DeleteObjekt({1, kMon4, 11, 0}));
    EXPECT_EQ(objectNrsOf(1), (QList<int>{10, 11}));
    QStringList of11;
    for (const QString& r : activityRows())
        if (r.startsWith(u"1/4/11/"_s))
            of11.append(r);
    EXPECT_EQ(of11, QStringList{u"1/4/11/1(1,0,0)"_s});
    EXPECT_TRUE(DeleteObjekt({1, kMon4, 10, 0}));
    EXPECT_EQ(objectNrsOf(1), QList<int>{11}) << "only generated rows: the object goes";
    EXPECT_FALSE(DeleteObjekt({1, kMon4, 10, 0}));
}

TEST_F(MonthTour, InsertingAnObjectAddsEveryActivityOfIt) {
    addObjTaet(1, 10, 2, 0, {});
    addObjTaet(2, 10, 3, 0, {});
    EXPECT_EQ(InsertObjekt({2, kTue5, 10, 0}), ObjektInsert::Added);
    EXPECT_EQ(InsertObjekt({2, kTue5, 10, 0}), ObjektInsert::AlreadyListed);
    EXPECT_EQ(InsertObjekt({2, kTue5, 11, 0}), ObjektInsert::Failed) << "no activities";
    EXPECT_EQ(objectNrsOf(2), QList<int>{10});
    QStringList of2;
    for (const QString& r : activityRows())
        if (r.startsWith(u"2/5/"_s))
            of2.append(r);
    EXPECT_EQ(of2, (QStringList{u"2/5/10/2(1,0,0)"_s, u"2/5/10/3(1,0,0)"_s}));
}

// Executions of an activity: one per row plus its backlog.
TEST_F(MonthTour, MovingAnActivityKeepsItsExecutions) {
    MonthPick pick{MonthGrid::Activities, 1, kMon4, 10, 1, {}};
    // Backlog 2 moved later: one execution moves.
    EXPECT_EQ(MonMoveTaetig(pick, 1, kWed6), MonthMove::Moved);
    EXPECT_EQ(backlogOf(1, 10, 1), 1);
    EXPECT_EQ(backlogOf(4, 10, 1), 0);
    // Moved back earlier onto the existing row: the backlog moves.
    pick.date = kWed6;
    EXPECT_EQ(MonMoveTaetig(pick, 1, kMon4), MonthMove::Moved);
    EXPECT_EQ(backlogOf(1, 10, 1), 2) << "1 + 0 + 1";
    EXPECT_EQ(backlogOf(4, 10, 1), -1) << "backlog 0 moves the row";
    // Backlog 2 moved earlier onto a new row: the target gets 1, the source 0.
    addDailyTour(7, 2, QDate(2024, 3, 1));
    pick.date = kMon4;
    EXPECT_EQ(MonMoveTaetig(pick, 2, QDate(2024, 3, 1)), MonthMove::Moved);
    EXPECT_EQ(backlogOf(1, 10, 1), 0);
    EXPECT_EQ(backlogOf(7, 10, 1), 1);
    // An existing row earlier gets backlog + 2.
    pick = {MonthGrid::Activities, 1, kWed6, 10, 2, {}};
    addTaet(20, 4, 10, 1, SourceAutomatic, StateOpen, 2);
    pick.taetigNr = 1;
    EXPECT_EQ(MonMoveTaetig(pick, 1, kMon4), MonthMove::Moved);
    EXPECT_EQ(backlogOf(1, 10, 1), 2) << "0 + (2 - 1) + 1";
    EXPECT_EQ(backlogOf(4, 10, 1), 0);
    EXPECT_EQ(MonMoveTaetig(pick, 2, kWed6), MonthMove::TourNotFound);
    pick.taetigNr = 9;
    EXPECT_EQ(MonMoveTaetig(pick, 1, kMon4), MonthMove::TaetigNotFound);
}

TEST_F(MonthTour, TheDropTestRefusesWhatCannotMove) {
    struct Case {
        const char* what;
        MonthPick pick;
        MonthDrop drop;
        int todayCol;
        DropVerdict verdict;
        QStringList messages;
    };
    const QString invalid = u"Ungültige Auswahl!"_s;
    const MonthPick activity{MonthGrid::Activities, 1, kMon4, 10, 2, {}};
    const MonthPick tourDay{MonthGrid::Tours, 1, kMon4, 0, 0, {}};
    const MonthPick object{MonthGrid::Objects, 1, kMon4, 10, 0, {1, 2, 3}};
    const Case cases[] = {
        {"onto the object grid",
         activity,
         {MonthGrid::Objects, 1, kWed6, 6, true},
         0,
         DropVerdict::Refused,
         {invalid}},
        {"same day and tour",
         activity,
         {MonthGrid::Tours, 1, kMon4, 4, true},
         0,
         DropVerdict::Same,
         {}},
        {"before today",
         activity,
         {MonthGrid::Tours, 1, kWed6, 6, true},
         7,
         DropVerdict::Refused,
         {invalid}},
        {"a day without list",
         activity,
         {MonthGrid::Tours, 2, kWed6, 6, false},
         0,
         DropVerdict::Refused,
         {invalid}},
        {"activity later",
         activity,
         {MonthGrid::Tours, 1, kWed6, 6, true},
         0,
         DropVerdict::Accepted,
         {}},
        {"tour day on another tour's row",
         tourDay,
         {MonthGrid::Tours, 2, kWed6, 6, false},
         0,
         DropVerdict::Refused,
         {invalid}},
        {"tour day onto a day with its list",
         tourDay,
         {MonthGrid::Tours, 1, kWed6, 6, true},
         0,
         DropVerdict::Refused,
         {u"Diese Tour existiert bereits zum angegebenen Datum!"_s, invalid}},
        {"tour day onto a free day",
         tourDay,
         {MonthGrid::Tours, 1, QDate(2024, 3, 8), 8, false},
         0,
         DropVerdict::Accepted,
         {}},
        {"tour with an appointment",
         {MonthGrid::Tours, 3, kMon4, 0, 0, {}},
         {MonthGrid::Tours, 3, kWed6, 6, false},
         0,
         DropVerdict::Refused,
         {u"In der Tour sind nicht manipulierbare Termineinträge enthalten!"_s, invalid}},
        {"object with an appointment",
         {MonthGrid::Objects, 3, kMon4, 11, 0, {1}},
         {MonthGrid::Tours, 1, kWed6, 6, true},
         0,
         DropVerdict::Refused,
         {u"Im Objekt sind nicht manipulierbare Termineinträge enthalten!"_s, invalid}},
        {"appointment row",
         {MonthGrid::Activities, 3, kMon4, 11, 1, {}},
         {MonthGrid::Tours, 1, kWed6, 6, true},
         0,
         DropVerdict::Refused,
         {MonthAppointmentRefusal(), invalid}},
        {"object", object, {MonthGrid::Tours, 1, kWed6, 6, true}, 0, DropVerdict::Accepted, {}},
    };
    for (const Case& c : cases) {
        QStringList messages;
        EXPECT_EQ(CheckMonthDrop(c.pick, c.drop, c.todayCol, messages), c.verdict) << c.what;
        EXPECT_EQ(messages, c.messages) << c.what;
    }
}

TEST_F(MonthTour, MovesOfAListAndOfAnObject) {
    addRow(u"Tglfunc.db"_s, {{u"FL_ID"_s, 1},
                             {u"FL_Date"_s, kMon4},
                             {u"FL_TourNr"_s, 1},
                             {u"FL_ObjNr"_s, 10},
                             {u"FL_TaetigNr"_s, 2}});
    EXPECT_EQ(MonMoveTour({MonthGrid::Tours, 1, kMon4, 0, 0, {}}, QDate(2024, 3, 8)),
              MonthMove::Moved);
    EXPECT_EQ(rows(u"TglTour.DB"_s)[0].value("A_Date").toDate(), QDate(2024, 3, 8));
    EXPECT_EQ(rows(u"Tglfunc.db"_s)[0].value("FL_Date").toDate(), QDate(2024, 3, 8));
    EXPECT_EQ(MonMoveTour({MonthGrid::Tours, 1, kMon4, 0, 0, {}}, kWed6), MonthMove::TourNotFound);
    // Object 10 of tour 1 (now on the 8th) onto tour 1's list of the 6th.
    const MonthPick object{MonthGrid::Objects, 1, QDate(2024, 3, 8), 10, 0, {1, 2, 3}};
    EXPECT_EQ(MonMoveObjekt(object, 1, kWed6), MonthMove::Moved);
    EXPECT_EQ(objectNrsOf(1), QList<int>{11});
    QStringList of6;
    for (const QString& r : activityRows())
        if (r.startsWith(u"1/6/10/"_s))
            of6.append(r);
    EXPECT_EQ(of6, (QStringList{u"1/6/10/1(1,0,2)"_s, u"1/6/10/2(0,0,1)"_s, u"1/6/10/3(1,0,0)"_s}));
}

TEST_F(MonthTour, AFailedObjectMoveLeavesEveryRowAsItWas) {
    // The second activity's target row cannot take more backlog.
    addTaet(21, 4, 10, 3, SourceAutomatic, StateOpen, 32767);
    const QStringList before = activityRows();
    const MonthPick object{MonthGrid::Objects, 1, kMon4, 10, 0, {1, 3}};
    try {
        MonMoveObjekt(object, 1, kWed6);
        ADD_FAILURE() << "the move went through";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(u"Bei der Datenübertragung sind Fehler aufgetreten!"_s))
            << e.message().toStdString();
    }
    EXPECT_EQ(activityRows(), before);
    EXPECT_EQ(objectNrsOf(1), (QList<int>{10, 11}));
}

TEST_F(MonthTour, ThePrintTableHoldsTheListUnderAFreeName) {
    table::aliases::database(datatest::kDb)
        ->createTable({u"Tmppr000.db"_s, {{u"X_ID"_s, table::FieldType::Integer, 0}}, {}});
    MonthTourModel m = march();
    m.resortByDay(5);
    QString name;
    {
        const WorkTable work(datatest::kDb, MonthPlanTableDef());
        name = work.name();
        EXPECT_EQ(name, u"Tmppr001"_s);
        FillMonthPlanTable(work, MonthPlanRows(m.tours()));
        auto t = open(name);
        t->setIndexName(u"SORT"_s);
        QList<int> ids, nrs;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next()) {
            ids.append(t->field(u"P_ID"_s).asInteger());
            nrs.append(t->field(u"P_TourNo"_s).asInteger());
        }
        EXPECT_EQ(ids, (QList<int>{1, 0, 2}));
        EXPECT_EQ(nrs, (QList<int>{1, 2, 3})) << "printed by tour number";
        t->first();
        EXPECT_EQ(t->field(u"P_F04"_s).asInteger(), 2);
        EXPECT_EQ(t->field(u"P_F05"_s).asInteger(), 0);
        EXPECT_EQ(t->definition().fields.size(), 34);
    }
    EXPECT_FALSE(table::aliases::database(datatest::kDb)->exists(name));
    const QList<MonthPlanRow> letters = MonthPlanRows(m.activities());
    ASSERT_FALSE(letters.isEmpty());
    EXPECT_EQ(letters[0].days[4], int('R'));
    EXPECT_EQ(letters[0].days[5], 32);
}

TEST_F(MonthTour, ThePlansOverAllToursLeaveTheShownListsAlone) {
    MonthTourModel m = march();
    const QList<MonthEntry> all = m.objectsOfAllTours();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[1].nr, 11);
    EXPECT_EQ(all[1].days[4], 1);
    const QList<MonthActivityEntry> of11 = m.activitiesOfAllTours(11);
    ASSERT_EQ(of11.size(), 3);
    EXPECT_EQ(of11[0].letters[4], u'O');
    EXPECT_EQ(of11[1].letters[4], u'O');
    EXPECT_EQ(of11[2].letters[4], u'E');
    EXPECT_EQ(m.objects().size(), 2);
    EXPECT_EQ(m.activities().size(), 3);
    EXPECT_EQ(m.activities()[0].letters[4], u'R');
}

} // namespace
} // namespace operationstest
