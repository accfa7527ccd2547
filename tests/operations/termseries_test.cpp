#include "appointmentsfixture.h"
#include "operations/termseries.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/table/values.h"

using namespace Qt::StringLiterals;

namespace {

TEST(TermSeriesGrid, RowsAreTheTwelveMonthsFromTheSourceMonth) {
    TermSeriesGrid grid(QDate(2024, 11, 15));
    EXPECT_EQ(grid.monthOfRow(1), 11);
    EXPECT_EQ(grid.yearOfRow(1), 2024);
    EXPECT_EQ(grid.monthOfRow(3), 1);
    EXPECT_EQ(grid.yearOfRow(3), 2025);
    EXPECT_EQ(grid.monthOfRow(12), 10);
    EXPECT_EQ(grid.yearOfRow(12), 2025);
    // Only the source day is chosen at first.
    EXPECT_EQ(grid.chosenDates(), QList<QDate>{QDate(2024, 11, 15)});
    EXPECT_EQ(grid.cellText(1, 15), u"*"_s);
    grid.toggle(3, 31);
    EXPECT_EQ(grid.dateOf(3, 31), QDate(2025, 1, 31));
    EXPECT_EQ(grid.chosenDates(), (QList<QDate>{QDate(2024, 11, 15), QDate(2025, 1, 31)}));
    grid.toggle(1, 15);
    EXPECT_EQ(grid.chosenDates(), QList<QDate>{QDate(2025, 1, 31)});
    EXPECT_THROW(grid.toggle(13, 1), DbError);
    EXPECT_THROW(grid.isChosen(1, 32), DbError);
}

TEST(TermSeriesGrid, ADayTheMonthLacksIsNeverChosen) {
    TermSeriesGrid grid(QDate(2025, 1, 10)); // row 2 is February 2025
    EXPECT_FALSE(grid.dayExists(2, 30));
    EXPECT_FALSE(grid.dateOf(2, 30).isValid());
    grid.toggle(2, 30);
    EXPECT_FALSE(grid.isChosen(2, 30));
    EXPECT_EQ(grid.cellText(2, 30), QString());
    EXPECT_TRUE(grid.dayExists(2, 28));
    TermSeriesGrid leap(QDate(2024, 1, 10));
    EXPECT_TRUE(leap.dayExists(2, 29));
}

// Appointment 1 at object 21 on 15 November 2024, done, with a delivery
// note, a daily-list link, a tour and a reminder; objects 21, 22 and 23 of
// customers 1, 2 and 3.
class TermSeries : public operationstest::Appointments {
protected:
    void SetUp() override {
        Appointments::SetUp();
        for (int nr : {21, 22, 23})
            addActiveObject(nr, nr - 20, u"Objekt %1"_s.arg(nr));
        addAppointment(1, 21, kSource, true,
                       {{u"T_Time"_s, QTime(9, 30)},
                        {u"T_ObjName"_s, u"Objekt 21"_s},
                        {u"T_Kunde"_s, 1},
                        {u"T_Kurztext"_s, u"Fenster putzen"_s},
                        {u"T_Text"_s, u"Alle Fenster im Treppenhaus"_s},
                        {u"T_PersNo"_s, 7},
                        {u"T_Betreuer"_s, u"Meier"_s},
                        {u"T_LsID"_s, 40},
                        {u"T_GPreis"_s, 119.0},
                        {u"T_TglID"_s, 5},
                        {u"T_TourNr"_s, 3},
                        {u"T_Taglist"_s, true},
                        {u"T_Alarm"_s, true},
                        {u"T_AlarmDone"_s, true},
                        {u"T_AlarmDate"_s, QDate(2024, 11, 14)},
                        {u"T_AlarmTime"_s, QTime(8, 0)},
                        {u"T_SperrDatum"_s, kSource},
                        {u"T_RgNummer"_s, QString()}});
        source = TermSeriesSourceOf(shared(dm->TabTermObj()));
    }
    QList<TermSeriesObjekt> objekte(std::initializer_list<int> nrs) {
        QList<TermSeriesObjekt> list;
        for (int nr : nrs)
            list.append({nr, u"Objekt %1"_s.arg(nr), nr - 20});
        return list;
    }
    static inline const QDate kSource{2024, 11, 15};
    TermSeriesSource source;
};

TEST_F(TermSeries, TheSourceDayAndObjectAloneCreateNothing) {
    EXPECT_EQ(source.objektNr, 21);
    EXPECT_EQ(source.date, kSource);
    EXPECT_EQ(CreateTermSeries(source, {kSource}, objekte({21})), 0);
    EXPECT_EQ(count(u"TermObj.DB"_s), 1);
}

TEST_F(TermSeries, TwoOtherObjectsOnTheSourceDayGiveTwoOpenCopiesWithTheirOwnCustomers) {
    EXPECT_EQ(CreateTermSeries(source, {kSource}, objekte({21, 22, 23})), 2);
    EXPECT_EQ(count(u"TermObj.DB"_s), 3);
    for (int id : {2, 3}) {
        const QVariantMap copy = appointmentRow(id);
        const int objekt = id + 20;
        EXPECT_EQ(copy.value(u"T_Objekt"_s).toInt(), objekt);
        EXPECT_EQ(copy.value(u"T_ObjName"_s).toString(), u"Objekt %1"_s.arg(objekt));
        EXPECT_EQ(copy.value(u"T_Kunde"_s).toInt(), objekt - 20) << "the object's own customer";
        EXPECT_EQ(copy.value(u"T_Date"_s).toDate(), kSource);
        // Texts, time and staff as the source's.
        EXPECT_EQ(copy.value(u"T_Time"_s).toTime(), QTime(9, 30));
        EXPECT_EQ(copy.value(u"T_Kurztext"_s).toString(), u"Fenster putzen"_s);
        EXPECT_EQ(copy.value(u"T_Text"_s).toString(), u"Alle Fenster im Treppenhaus"_s);
        EXPECT_EQ(copy.value(u"T_PersNo"_s).toInt(), 7);
        EXPECT_EQ(copy.value(u"T_Betreuer"_s).toString(), u"Meier"_s);
        // Open, without delivery note, daily-list link, tour, reminder or lock.
        EXPECT_FALSE(copy.value(u"T_Erledigt"_s).toBool());
        for (const char* zero : {"T_LsID", "T_TglID", "T_TourNr", "T_MusterID", "T_Druck"})
            EXPECT_EQ(copy.value(QString::fromLatin1(zero)).toInt(), 0) << zero;
        EXPECT_EQ(copy.value(u"T_GPreis"_s).toDouble(), 0.0);
        EXPECT_EQ(copy.value(u"T_RgNummer"_s).toString(), u"0"_s);
        for (const char* no : {"T_Taglist", "T_Alarm", "T_AlarmDone", "T_Buchsperre"})
            EXPECT_FALSE(copy.value(QString::fromLatin1(no)).toBool()) << no;
        for (const char* null : {"T_AlarmDate", "T_AlarmTime", "T_SperrDatum"})
            EXPECT_FALSE(copy.contains(QString::fromLatin1(null))) << null;
    }
    EXPECT_TRUE(appointmentRow(1).value(u"T_Erledigt"_s).toBool()) << "the source stays";
}

TEST_F(TermSeries, CopiesFollowTheChosenDaysThenTheObjects) {
    TermSeriesGrid grid(kSource);
    grid.toggle(3, 31);
    EXPECT_EQ(CreateTermSeries(source, grid.chosenDates(), objekte({21, 22})), 3);
    QList<std::pair<int, QDate>> made;
    for (int id : {2, 3, 4})
        made.append({appointmentRow(id).value(u"T_Objekt"_s).toInt(),
                     appointmentRow(id).value(u"T_Date"_s).toDate()});
    EXPECT_EQ(made, (QList<std::pair<int, QDate>>{
                        {22, kSource}, {21, QDate(2025, 1, 31)}, {22, QDate(2025, 1, 31)}}));
}

TEST_F(TermSeries, AFailureAtTheSecondCopyLeavesNone) {
    // The second row written into the appointments fails as a full disk would.
    const QString file = table::physicalName(u"TermObj.DB"_s);
    table::aliases::database(datatest::kDb)
        ->execSql(u"CREATE TRIGGER fail_second BEFORE INSERT ON \"%1\" WHEN NEW.T_ID = 3 "
                  u"BEGIN SELECT RAISE(ABORT, 'kein Platz'); END"_s.arg(file));
    try {
        CreateTermSeries(source, {kSource}, objekte({22, 23}));
        ADD_FAILURE() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(u"Die Mehrfachtermine konnten nicht erzeugt werden; es "
                                           u"wurde kein Termin angelegt."_s))
            << e.message().toStdString();
    }
    EXPECT_EQ(count(u"TermObj.DB"_s), 1);
    table::aliases::database(datatest::kDb)->execSql(u"DROP TRIGGER fail_second"_s);
    EXPECT_EQ(CreateTermSeries(source, {kSource}, objekte({22, 23})), 2) << "safe to repeat";
}

TEST_F(TermSeries, MarkedObjectsInNumberOrder) {
    for (int nr : {23, 21}) {
        auto objects = open(u"Objekte.DB"_s);
        ASSERT_TRUE(objects->locate({u"O_Nr"_s}, {nr}));
        objects->edit();
        objects->field(u"O_Selected"_s).setValue(true);
        objects->post();
    }
    const QList<TermSeriesObjekt> marked = MarkedSeriesObjekte();
    ASSERT_EQ(marked.size(), 2);
    EXPECT_EQ(marked[0].nr, 21);
    EXPECT_EQ(marked[0].kunde, 1);
    EXPECT_EQ(marked[1].nr, 23);
    EXPECT_EQ(marked[1].match, u"Objekt 23"_s);
}

} // namespace
