#include "core/data/dailylistfixture.h"
#include "operations/controlreports.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/values.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct DateCase {
    const char* pattern;
    QDate date;
    QDate expected;
};

TEST(ReportDate, FollowsTheMaskOrTheListOrTheMonthEnd) {
    const QString at15 = QString(14, u'0') + u'*';
    const QString at31 = QString(30, u'0') + u'*';
    const QByteArray at15Utf8 = at15.toUtf8(), at31Utf8 = at31.toUtf8();
    const DateCase cases[] = {
        {at15Utf8.constData(), QDate(2024, 3, 10), QDate(2024, 3, 15)},
        {at15Utf8.constData(), QDate(2024, 3, 20), QDate(2024, 4, 15)},
        {at15Utf8.constData(), QDate(2024, 3, 15), QDate(2024, 3, 15)},
        {at15Utf8.constData(), QDate(2024, 12, 20), QDate(2025, 1, 15)},
        {at31Utf8.constData(), QDate(2023, 2, 10), QDate(2023, 2, 28)},
        {at31Utf8.constData(), QDate(2023, 4, 30), QDate(2023, 4, 30)},
        {"000000", QDate(2024, 2, 10), QDate(2024, 2, 29)},
        {"", QDate(2024, 6, 3), QDate(2024, 6, 30)},
        {"01.01;01.04;01.07;01.10;", QDate(2024, 2, 15), QDate(2024, 4, 1)},
        {"01.01;01.04;01.07;01.10;", QDate(2024, 11, 15), QDate(2025, 1, 1)},
        {"01.01;01.07", QDate(2024, 3, 15), QDate(2024, 7, 1)},
        {"01.01;01.07", QDate(2024, 8, 15), QDate(2025, 1, 1)},
        {"01.10;01.04;", QDate(2024, 2, 15), QDate(2024, 10, 1)},
        {"31.02;", QDate(2024, 1, 15), QDate(2024, 1, 31)},
    };
    for (const DateCase& c : cases)
        EXPECT_EQ(ReportDateFor(QString::fromUtf8(c.pattern), c.date), c.expected)
            << c.pattern << " " << c.date.toString(u"dd.MM.yyyy"_s).toStdString();
}

TEST(ReportDate, ClassifiesByStateAndMode) {
    EXPECT_EQ(ClassifyDailyRow(0, 1, true), DailyRowUse::Stay);
    for (int state : {1, 3, 5, 6})
        EXPECT_EQ(ClassifyDailyRow(state, 1, true), DailyRowUse::Drop) << state;
    EXPECT_EQ(ClassifyDailyRow(4, 1, true), DailyRowUse::Count);
    EXPECT_EQ(ClassifyDailyRow(2, 2, true), DailyRowUse::Count);
    EXPECT_EQ(ClassifyDailyRow(4, 3, true), DailyRowUse::NewLine);
    EXPECT_EQ(ClassifyDailyRow(4, 1, false), DailyRowUse::NewLine);
}

// Daily lists of objects with report settings, and empty report tables in
// both databases.
class ControlReports : public datatest::DailyLists {
protected:
    void SetUp() override {
        DailyLists::SetUp();
        for (const char* file : {"BerKopf.db", "BerSatz.db", "ZahlIV.DB"})
            lumo().emptyTable(QString::fromLatin1(file));
        for (const char* file : {"BerKopf.db", "BerSatz.db"})
            if (ablage().exists(QString::fromLatin1(file)))
                ablage().dropTable(QString::fromLatin1(file));
        addRow(u"ZahlIV.DB"_s,
               {{u"ZI_ID"_s, 1}, {u"ZI_Text"_s, u"Monat"_s}, {u"ZI_Pattern"_s, QString()}});
        addRow(u"ZahlIV.DB"_s, {{u"ZI_ID"_s, 2},
                                {u"ZI_Text"_s, u"Quartal"_s},
                                {u"ZI_Pattern"_s, u"01.01;01.04;01.07;01.10;"_s}});
    }
    table::Database& lumo() { return *table::aliases::database(u"LumoDB"_s); }
    table::Database& ablage() { return *table::aliases::database(u"AblageDB"_s); }

    void addObject(int nr, int mode, int interval = 1) {
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, nr},
                                 {u"O_Nr"_s, nr},
                                 {u"O_Kunde"_s, 500 + nr},
                                 {u"O_Match"_s, u"Objekt %1"_s.arg(nr)},
                                 {u"O_BerichtModus"_s, mode},
                                 {u"O_BerichtIntervall"_s, interval},
                                 {u"O_Aktiv"_s, true}});
    }
    // A daily tour of tourNr on date with one object row for objektNr.
    void addList(int tourId, int tourNr, const QDate& date, int objektNr) {
        addRow(u"TglTour.DB"_s, {{u"A_TourID"_s, tourId},
                                 {u"A_TourNr"_s, tourNr},
                                 {u"A_Date"_s, date},
                                 {u"A_PersNr"_s, 7},
                                 {u"A_Bezeichnung"_s, u"Tour %1"_s.arg(tourNr)}});
        addObjectRow(tourId, objektNr);
    }
    void addObjectRow(int tourId, int objektNr) {
        addRow(u"TglObj.DB"_s, {{u"A_TOID"_s, tourId * 100 + objektNr},
                                {u"A_TourID"_s, tourId},
                                {u"A_ObjektNr"_s, objektNr},
                                {u"A_Kunde"_s, 900 + objektNr}});
    }
    void addRowOf(int id, int tourId, int objektNr, int taetigNr, int state, int termId = 0) {
        addRow(u"TglTaet.DB"_s, {{u"A_TOTID"_s, id},
                                 {u"A_TourID"_s, tourId},
                                 {u"A_ObjNr"_s, objektNr},
                                 {u"A_TaetigNr"_s, taetigNr},
                                 {u"A_State"_s, state},
                                 {u"A_Rueckstand"_s, 1},
                                 {u"A_ZusatzText"_s, u"Treppe %1"_s.arg(taetigNr)},
                                 {u"A_TermID"_s, termId}});
    }
    QList<QVariantMap> heads() { return rows(u"BerKopf.db"_s); }
    QList<QVariantMap> lines() { return rows(u"BerSatz.db"_s); }
    int countIn(table::Database& db, const QString& file) {
        if (!db.exists(file))
            return 0;
        return db
            .selectValue(u"SELECT COUNT(*) FROM %1"_s.arg(
                table::quoted(table::physicalName(db.tableDef(file).name))))
            .toInt();
    }
    QDate day(int d, int m = 3) { return QDate(2026, m, d); }
};

TEST_F(ControlReports, CountsModeOneAndAddsLinesInModeThree) {
    addObject(10, 1);
    addObject(20, 3);
    addList(1, 4, day(2), 10);
    addObjectRow(1, 20);
    addList(2, 4, day(9), 10);
    addObjectRow(2, 20);
    addRowOf(1, 1, 10, 7, 4);
    addRowOf(2, 1, 20, 7, 4);
    addRowOf(3, 2, 10, 7, 2);
    addRowOf(4, 2, 20, 7, 4);
    QList<int> progress;
    const ReportBuildResult r = CreateBerichte(day(20), [&](int n) { progress.append(n); });
    EXPECT_EQ(r.taken, 4);
    EXPECT_EQ(progress, (QList<int>{1, 2, 3, 4}));
    const auto h = heads();
    ASSERT_EQ(h.size(), 2);
    // Object 10 (summary): one line executed twice; object 20 (complete): two lines.
    EXPECT_EQ(h[0].value("B_ObjektNr").toInt(), 10);
    EXPECT_EQ(h[0].value("B_Positionen").toInt(), 1);
    EXPECT_EQ(h[0].value("B_DruckDatum").toDate(), day(31));
    EXPECT_EQ(h[0].value("B_TourFirst").toDate(), day(2));
    EXPECT_EQ(h[0].value("B_TourLast").toDate(), day(9));
    EXPECT_FALSE(h[0].value("B_Selected").toBool());
    EXPECT_EQ(h[1].value("B_Positionen").toInt(), 2);
    const auto l = lines();
    ASSERT_EQ(l.size(), 3);
    EXPECT_EQ(l[0].value("B_WieOft").toInt(), 2);
    EXPECT_EQ(l[0].value("B_Kunde").toInt(), 910);
    EXPECT_EQ(l[0].value("B_PersNr").toInt(), 7);
    EXPECT_EQ(l[0].value("B_ZusatzText").toString(), u"Treppe 7"_s);
    EXPECT_EQ(l[0].value("B_DruckTermin").toDate(), day(31));
    EXPECT_EQ(l[1].value("B_WieOft").toInt(), 1);
    EXPECT_EQ(l[2].value("B_TourDatum").toDate(), day(9));
    // Every list emptied goes.
    EXPECT_EQ(count(u"TglTaet.DB"_s), 0);
    EXPECT_EQ(count(u"TglObj.DB"_s), 0);
    EXPECT_EQ(count(u"TglTour.DB"_s), 0);
}

TEST_F(ControlReports, DropsOtherStatesKeepsOpenRowsAndMissingObjects) {
    addObject(10, 1);
    addList(1, 4, day(2), 10);
    addObjectRow(1, 99); // object 99 does not exist
    int id = 0;
    for (int state : {1, 3, 5, 6})
        addRowOf(++id, 1, 10, 10 + state, state);
    addRowOf(++id, 1, 10, 30, 0);
    addRowOf(++id, 1, 99, 31, 4);
    addRowOf(++id, 1, 10, 32, 4);
    const ReportBuildResult r = CreateBerichte(day(20));
    EXPECT_EQ(r.taken, 5);
    const auto l = lines();
    ASSERT_EQ(l.size(), 1);
    EXPECT_EQ(l[0].value("B_TaetigNr").toInt(), 32);
    const auto h = heads();
    ASSERT_EQ(h.size(), 1);
    EXPECT_EQ(h[0].value("B_TourFirst").toDate(), day(2));
    EXPECT_EQ(h[0].value("B_TourLast").toDate(), day(2));
    QList<int> left;
    for (const QVariantMap& row : rows(u"TglTaet.DB"_s))
        left.append(row.value("A_TOTID").toInt());
    EXPECT_EQ(left, (QList<int>{5, 6}));
}

TEST_F(ControlReports, NothingToTakeStillDeletesOldFunctions) {
    addObject(10, 1);
    addList(1, 4, day(2), 10);
    addRowOf(1, 1, 10, 7, 0);
    addRow(u"Tglfunc.db"_s, {{u"FL_ID"_s, 1}, {u"FL_Date"_s, day(19)}});
    addRow(u"Tglfunc.db"_s, {{u"FL_ID"_s, 2}, {u"FL_Date"_s, day(20)}});
    addRow(u"Tglfunc.db"_s, {{u"FL_ID"_s, 3}});
    const ReportBuildResult r = CreateBerichte(day(20));
    EXPECT_EQ(r.taken, 0);
    EXPECT_EQ(r.oldFunctionsDeleted, 2);
    EXPECT_EQ(r.emptyListsDeleted, 0);
    EXPECT_EQ(count(u"Tglfunc.db"_s), 1);
    EXPECT_EQ(count(u"TglTour.DB"_s), 1);
}

TEST_F(ControlReports, TakenRowLosesItsFunctionAndItsAppointmentsLink) {
    addObject(10, 1);
    addList(1, 4, day(2), 10);
    addRowOf(1, 1, 10, 7, 4, 55);
    addRow(u"Tglfunc.db"_s, {{u"FL_ID"_s, 1},
                             {u"FL_Date"_s, day(25)},
                             {u"FL_TourNr"_s, 4},
                             {u"FL_ObjNr"_s, 10},
                             {u"FL_TaetigNr"_s, 7}});
    addRow(u"TermObj.DB"_s, {{u"T_ID"_s, 55},
                             {u"T_Date"_s, day(1)},
                             {u"T_TglID"_s, 1},
                             {u"T_TourNr"_s, 4},
                             {u"T_Taglist"_s, true}});
    EXPECT_EQ(CreateBerichte(day(1)).taken, 1);
    const auto t = rows(u"TermObj.DB"_s);
    ASSERT_EQ(t.size(), 1);
    EXPECT_EQ(t[0].value("T_TglID").toInt(), 0);
    EXPECT_EQ(t[0].value("T_TourNr").toInt(), 0);
    EXPECT_FALSE(t[0].value("T_Taglist").toBool());
    EXPECT_EQ(t[0].value("T_Date").toDate(), day(2));
}

TEST_F(ControlReports, AFailingRowStaysWholeAndARerunCountsNothingTwice) {
    addObject(10, 1);
    addList(1, 4, day(2), 10);
    addRowOf(1, 1, 10, 7, 4);
    addRowOf(2, 1, 10, 8, 4);
    addRowOf(3, 1, 10, 9, 4);
    const QString taet = table::quoted(table::physicalName(lumo().tableDef(u"TglTaet.DB"_s).name));
    lumo().execSql(u"CREATE TRIGGER refuse BEFORE DELETE ON %1 WHEN old.\"A_TOTID\" = 2 "
                   "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END"_s.arg(taet));
    EXPECT_THROW(CreateBerichte(day(20)), DbError);
    // The first row is taken; the failing one has neither a line nor a count.
    EXPECT_EQ(lines().size(), 1);
    EXPECT_EQ(heads().value(0).value("B_Positionen").toInt(), 1);
    EXPECT_EQ(count(u"TglTaet.DB"_s), 2);
    lumo().execSql(u"DROP TRIGGER refuse"_s);
    EXPECT_EQ(CreateBerichte(day(20)).taken, 2);
    const auto l = lines();
    ASSERT_EQ(l.size(), 3);
    for (const QVariantMap& line : l)
        EXPECT_EQ(line.value("B_WieOft").toInt(), 1);
    EXPECT_EQ(heads().value(0).value("B_Positionen").toInt(), 3);
}

TEST_F(ControlReports, CompletesOpenRowsIntoTheirReports) {
    addObject(10, 1, 2);
    addObject(20, 3);
    addList(1, 4, QDate(2026, 2, 15), 10);
    addObjectRow(1, 20);
    addRowOf(1, 1, 10, 7, 0);
    addRowOf(2, 1, 20, 8, 0);
    addRowOf(3, 1, 10, 7, 4); // done: not listed
    addList(2, 4, day(20), 10);
    addRowOf(4, 2, 10, 7, 0); // today: not listed
    const QList<OpenActivity> open = OpenActivitiesBefore(day(20));
    ASSERT_EQ(open.size(), 2);
    EXPECT_EQ(open[0].totId, 1);
    EXPECT_EQ(open[0].interval, 2);
    EXPECT_EQ(open[0].kunde, 510);
    EXPECT_EQ(open[1].mode, 3);

    const CompletedActivity first = CompleteOpenActivity(open[0], QDate());
    EXPECT_EQ(first.reportDate, QDate(2026, 4, 1));
    EXPECT_EQ(CompletionProtocolLine(7, first),
              u"   7 erledigt am :15.02.2026 Druckdatum: 01.04.2026"_s);
    const CompletedActivity second = CompleteOpenActivity(open[1], day(31));
    EXPECT_EQ(second.reportDate, day(31));
    const auto h = heads();
    ASSERT_EQ(h.size(), 2);
    EXPECT_EQ(h[0].value("B_TourFirst").toDate(), QDate(2026, 2, 15));
    EXPECT_EQ(h[0].value("B_TourLast").toDate(), QDate(2026, 2, 15));
    EXPECT_EQ(h[1].value("B_TourFirst").toDate(), day(31));
    const auto l = lines();
    ASSERT_EQ(l.size(), 2);
    EXPECT_EQ(l[0].value("B_State").toInt(), 4);
    EXPECT_EQ(l[0].value("B_WieOft").toInt(), 1);
    EXPECT_EQ(l[0].value("B_Kunde").toInt(), 510);
    EXPECT_EQ(l[1].value("B_TourDatum").toDate(), day(31));
    // Object 20's row was its last: the object row goes, the tour with row 3 stays.
    EXPECT_EQ(count(u"TglObj.DB"_s), 2);
    EXPECT_EQ(count(u"TglTour.DB"_s), 2);
    // Completing the same row again writes nothing.
    EXPECT_THROW(CompleteOpenActivity(open[0], QDate()), DbError);
    EXPECT_EQ(lines().size(), 2);
}

TEST_F(ControlReports, CompletionCountsModeOneAndRemovesTheEmptiedList) {
    addObject(10, 1);
    addList(1, 4, day(2), 10);
    addRowOf(1, 1, 10, 7, 0);
    addList(2, 5, day(3), 10);
    addRowOf(2, 2, 10, 7, 0);
    for (const OpenActivity& a : OpenActivitiesBefore(day(20)))
        CompleteOpenActivity(a, QDate());
    const auto l = lines();
    ASSERT_EQ(l.size(), 1);
    EXPECT_EQ(l[0].value("B_WieOft").toInt(), 2);
    EXPECT_EQ(l[0].value("B_TourDatum").toDate(), day(3));
    EXPECT_EQ(heads().value(0).value("B_Positionen").toInt(), 1);
    EXPECT_EQ(count(u"TglTour.DB"_s), 0);
    EXPECT_EQ(count(u"TglObj.DB"_s), 0);
}

TEST_F(ControlReports, MarkingProposalsAndModes) {
    addObject(10, 1);
    addObject(20, 2);
    addRow(u"BerKopf.db"_s,
           {{u"B_ID"_s, 1}, {u"B_ObjektNr"_s, 10}, {u"B_DruckDatum"_s, QDate(2025, 1, 31)}});
    addRow(u"BerKopf.db"_s,
           {{u"B_ID"_s, 2}, {u"B_ObjektNr"_s, 20}, {u"B_DruckDatum"_s, QDate(2026, 6, 30)}});
    QDate from, to;
    ProposedMarkRange(from, to);
    EXPECT_EQ(from, QDate(2025, 1, 31));
    EXPECT_EQ(to, QDate(2025, 6, 30));
    EXPECT_EQ(MarkBerichteByDate(from, to), 1);
    EXPECT_EQ(CountMarkedBerichte(), 1);
    MarkAllBerichte(false);
    EXPECT_EQ(MarkBerichteByModus(2), 1);
    EXPECT_TRUE(heads()[1].value("B_Selected").toBool());
    MarkAllBerichte(true);
    EXPECT_EQ(CountMarkedBerichte(), 2);
    CountBerichtPrinted(1, true);
    EXPECT_FALSE(heads()[0].value("B_Selected").toBool());
    EXPECT_EQ(heads()[0].value("B_Gedruckt").toInt(), 1);
    // Less than a year: From = To = the earliest date.
    lumo().execSql(u"DELETE FROM \"BerKopf\" WHERE \"B_ID\" = 1"_s);
    ProposedMarkRange(from, to);
    EXPECT_EQ(from, QDate(2026, 6, 30));
    EXPECT_EQ(to, from);
}

TEST_F(ControlReports, MovesIntoAnEmptyAndAnExistingArchiveHead) {
    addObject(10, 1);
    addList(1, 4, day(2), 10);
    addRowOf(1, 1, 10, 7, 4);
    addRowOf(2, 1, 10, 8, 4);
    CreateBerichte(day(20));
    MarkAllBerichte(true);
    ReportMoveResult r = MoveMarkedBerichte();
    EXPECT_EQ(r.reports, 1);
    EXPECT_EQ(r.lines, 2);
    EXPECT_EQ(countIn(lumo(), u"BerKopf.db"_s), 0);
    EXPECT_EQ(countIn(lumo(), u"BerSatz.db"_s), 0);
    EXPECT_EQ(countIn(ablage(), u"BerKopf.db"_s), 1);
    EXPECT_EQ(countIn(ablage(), u"BerSatz.db"_s), 2);

    // A second report of the same object and date merges into that head.
    addList(2, 4, day(25), 10);
    addRowOf(3, 2, 10, 9, 4);
    CreateBerichte(day(28));
    MarkAllBerichte(true);
    r = MoveMarkedBerichte();
    EXPECT_EQ(r.lines, 1);
    EXPECT_EQ(countIn(ablage(), u"BerKopf.db"_s), 1);
    EXPECT_EQ(countIn(ablage(), u"BerSatz.db"_s), 3);
    EXPECT_EQ(ablage().selectValue(u"SELECT \"B_Positionen\" FROM \"BerKopf\""_s).toInt(), 3);
    EXPECT_EQ(table::fromStored(table::FieldType::Date,
                                ablage().selectValue(u"SELECT \"B_TourLast\" FROM \"BerKopf\""_s))
                  .toDate(),
              day(25));
    EXPECT_TRUE(ablage().selectValue(u"SELECT \"B_Selected\" FROM \"BerKopf\""_s).toBool());
    EXPECT_EQ(ablage().selectValue(u"SELECT MAX(\"B_SID\") FROM \"BerSatz\""_s).toInt(), 3);

    // The archive print sets the lines' state and counts.
    const int archId = ablage().selectValue(u"SELECT \"B_ID\" FROM \"BerKopf\""_s).toInt();
    SetArchivedBerichtPrinted(archId);
    EXPECT_EQ(
        ablage().selectValue(u"SELECT COUNT(*) FROM \"BerSatz\" WHERE \"B_State\" = 5"_s).toInt(),
        3);
    EXPECT_EQ(CountMarkedBerichte(u"AblageDB"_s), 0);
}

TEST_F(ControlReports, DeletesMarkedReportsOfExistingObjectsOnly) {
    addObject(10, 1);
    addRow(u"BerKopf.db"_s, {{u"B_ID"_s, 1},
                             {u"B_ObjektNr"_s, 10},
                             {u"B_DruckDatum"_s, day(31)},
                             {u"B_Selected"_s, true}});
    addRow(u"BerKopf.db"_s, {{u"B_ID"_s, 2},
                             {u"B_ObjektNr"_s, 99},
                             {u"B_DruckDatum"_s, day(31)},
                             {u"B_Selected"_s, true}});
    addRow(u"BerSatz.db"_s,
           {{u"B_SID"_s, 1}, {u"B_ObjektNr"_s, 10}, {u"B_DruckTermin"_s, day(31)}});
    addRow(u"BerSatz.db"_s,
           {{u"B_SID"_s, 2}, {u"B_ObjektNr"_s, 99}, {u"B_DruckTermin"_s, day(31)}});
    const ReportMoveResult r = DeleteMarkedBerichte();
    EXPECT_EQ(r.reports, 1);
    EXPECT_EQ(r.lines, 1);
    const auto h = heads();
    ASSERT_EQ(h.size(), 1);
    EXPECT_EQ(h[0].value("B_ObjektNr").toInt(), 99);
    EXPECT_TRUE(h[0].value("B_Selected").toBool());
    EXPECT_EQ(lines().size(), 1);
}

TEST_F(ControlReports, ArchiveDeleteUpToADateKeepsLaterHeadsWhole) {
    CreateArchiveBerichtTables();
    auto add = [&](const QString& sql) { ablage().execSql(sql); };
    add(u"INSERT INTO \"BerKopf\"(\"B_ID\", \"B_ObjektNr\", \"B_DruckDatum\", \"B_Positionen\") VALUES(1, 10, '2025-12-31', 1)"_s);
    add(u"INSERT INTO \"BerKopf\"(\"B_ID\", \"B_ObjektNr\", \"B_DruckDatum\", \"B_Positionen\") VALUES(2, 10, '2026-01-31', 2)"_s);
    add(u"INSERT INTO \"BerSatz\"(\"B_SID\", \"B_ObjektNr\", \"B_DruckTermin\", \"B_TourDatum\") VALUES(1, 10, '2025-12-31', '2025-12-01')"_s);
    add(u"INSERT INTO \"BerSatz\"(\"B_SID\", \"B_ObjektNr\", \"B_DruckTermin\", \"B_TourDatum\") VALUES(2, 10, '2026-01-31', '2025-12-20')"_s);
    add(u"INSERT INTO \"BerSatz\"(\"B_SID\", \"B_ObjektNr\", \"B_DruckTermin\", \"B_TourDatum\") VALUES(3, 10, '2026-01-31', '2026-01-10')"_s);
    EXPECT_EQ(DeleteArchivedBerichteUpTo(QDate(2025, 12, 31)), 1);
    EXPECT_EQ(countIn(ablage(), u"BerKopf.db"_s), 1);
    EXPECT_EQ(countIn(ablage(), u"BerSatz.db"_s), 2);
    DeleteBericht(u"AblageDB"_s, 2);
    EXPECT_EQ(countIn(ablage(), u"BerKopf.db"_s), 0);
    EXPECT_EQ(countIn(ablage(), u"BerSatz.db"_s), 0);
}

} // namespace
