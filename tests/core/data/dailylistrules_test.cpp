#include "core/data/dailylistrules.h"
#include "core/data/kostenauszeiterfass.h"
#include "dailylistfixture.h"
#include "platform/errors.h"

namespace {

using datatest::kDb;

class DailyListRules : public datatest::DailyLists {
protected:
    void SetUp() override {
        DailyLists::SetUp();
        addStaff(7, QStringLiteral("Meier"), QStringLiteral("MEIER"));
        addTour(3, tomorrow.dayOfWeek(), 7);
        addActiveObject(10, 500, QStringLiteral("Haus Linde"));
        addActiveObject(11, 501, QStringLiteral("Haus Eiche"));
        addTourObject(3, 10, QTime(8, 0), QTime(9, 30));
    }
    QList<int> ids(const char* file, const char* keyField) {
        QList<int> result;
        for (const QVariantMap& row : rows(QString::fromLatin1(file)))
            result.append(row[QString::fromLatin1(keyField)].toInt());
        return result;
    }
    table::Table& dailyObject(int id) {
        table::Table& tours = shared(dm->TabTglTour());
        auto row = open(QStringLiteral("TglObj.DB"));
        EXPECT_TRUE(row->locate({QStringLiteral("A_TOID")}, {id}));
        EXPECT_TRUE(tours.locate({QStringLiteral("A_TourID")},
                                 {row->field(QStringLiteral("A_TourID")).asInteger()}));
        table::Table& objects = dm->TabTglObjekt();
        EXPECT_TRUE(objects.locate({QStringLiteral("A_TOID")}, {id}));
        return objects;
    }
    table::Table& dailyTour(int id) {
        table::Table& tours = shared(dm->TabTglTour());
        EXPECT_TRUE(tours.locate({QStringLiteral("A_TourID")}, {id}));
        return tours;
    }
};

TEST_F(DailyListRules, GetOrCreateTglTourFindsOrCreatesOneRowPerTourAndDay) {
    const int first = GetOrCreateTglTour(*dm, 3, tomorrow);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(GetOrCreateTglTour(*dm, 3, tomorrow), first);
    const int nextWeek = GetOrCreateTglTour(*dm, 3, tomorrow.addDays(7));
    EXPECT_EQ(nextWeek, 2);
    EXPECT_EQ(GetOrCreateTglTour(*dm, 99, tomorrow), 0) << "unknown tour";
    EXPECT_EQ(ids("TglTour.DB", "A_TourID"), (QList<int>{1, 2}));
    const QVariantMap row = rows(QStringLiteral("TglTour.DB"))[0];
    EXPECT_EQ(row[QStringLiteral("A_PersName")].toString(), QStringLiteral("MEIER"));
    EXPECT_EQ(row[QStringLiteral("A_Bezeichnung")].toString(), QStringLiteral("Tour 3"));
}

TEST_F(DailyListRules, GetOrCreateTglObjektKeepsOneRowAndTakesTheFirstDeliveryNote) {
    const int tour = GetOrCreateTglTour(*dm, 3, tomorrow);
    const int id = GetOrCreateTglObjekt(*dm, 3, tour, 10, 0);
    ASSERT_NE(id, 0);
    EXPECT_EQ(GetOrCreateTglObjekt(*dm, 3, tour, 10, 77), id);
    EXPECT_EQ(GetOrCreateTglObjekt(*dm, 3, tour, 10, 88), id);
    EXPECT_EQ(GetOrCreateTglObjekt(*dm, 3, tour, 12, 0), 0) << "unknown object";
    const auto objects = rows(QStringLiteral("TglObj.DB"));
    ASSERT_EQ(objects.size(), 1);
    EXPECT_EQ(objects[0][QStringLiteral("A_LsID")].toInt(), 77);
    EXPECT_EQ(objects[0][QStringLiteral("A_ObjektBez")].toString(), QStringLiteral("Haus Linde"));
    EXPECT_EQ(objects[0][QStringLiteral("A_VonUhr")].toTime(), QTime(8, 0));

    const int other = GetOrCreateTglObjekt(*dm, 3, tour, 11, 0);
    const auto second = rows(QStringLiteral("TglObj.DB"))[1];
    EXPECT_EQ(second[QStringLiteral("A_TOID")].toInt(), other);
    EXPECT_EQ(second[QStringLiteral("A_VonUhr")].toTime(), QTime(0, 0)) << "not in the tour";

    SetTglObjektBez(other, QStringLiteral("Eiche, Garten"));
    EXPECT_EQ(rows(QStringLiteral("TglObj.DB"))[1][QStringLiteral("A_ObjektBez")].toString(),
              QStringLiteral("Eiche, Garten"));
    EXPECT_NO_THROW(SetTglObjektBez(999, QStringLiteral("x")));
}

TEST_F(DailyListRules, DeleteTglTaetigDropsObjectsAndToursThatBecameEmpty) {
    addDailyTour(1, 3, tomorrow);
    addDailyObject(1, 1, 10);
    addDailyObject(2, 1, 11);
    addActivity(1, 1, 10, 0);
    addActivity(2, 1, 10, 1);
    addActivity(3, 1, 11, 0);

    DeleteTglTaetig(1);
    EXPECT_EQ(ids("TglObj.DB", "A_TOID"), (QList<int>{1, 2})) << "object 10 still has a row";
    DeleteTglTaetig(2);
    EXPECT_EQ(ids("TglObj.DB", "A_TOID"), QList<int>{2});
    EXPECT_EQ(count(QStringLiteral("TglTour.DB")), 1);
    DeleteTglTaetig(999);
    DeleteTglTaetig(3);
    EXPECT_EQ(count(QStringLiteral("TglTaet.DB")), 0);
    EXPECT_EQ(count(QStringLiteral("TglObj.DB")), 0);
    EXPECT_EQ(count(QStringLiteral("TglTour.DB")), 0);
}

TEST_F(DailyListRules, ADailyObjectKeepsItsManualActivitiesAndItself) {
    addDailyTour(1, 3, tomorrow);
    addDailyObject(1, 1, 10);
    addDailyObject(2, 1, 11);
    addActivity(1, 1, 10, 0);
    addActivity(2, 1, 10, 1);
    addActivity(3, 1, 11, 0);

    EXPECT_THROW(dailyObject(1).deleteRecord(), Abort);
    EXPECT_EQ(ids("TglTaet.DB", "A_TOTID"), (QList<int>{2, 3}));
    EXPECT_EQ(ids("TglObj.DB", "A_TOID"), (QList<int>{1, 2}));
    EXPECT_TRUE(presenter.boxes.isEmpty()) << "refused silently";
    EXPECT_FALSE(dm->TabTglObjekt().isEditing());

    dailyObject(2).deleteRecord();
    EXPECT_EQ(ids("TglTaet.DB", "A_TOTID"), QList<int>{2});
    EXPECT_EQ(ids("TglObj.DB", "A_TOID"), QList<int>{1});
}

TEST_F(DailyListRules, AnActivityHeldElsewhereStopsTheObjectDeleteWithNothingRemoved) {
    addDailyTour(1, 3, tomorrow);
    addDailyObject(1, 1, 10);
    addActivity(1, 1, 10, 0);
    addActivity(2, 1, 10, 0);
    {
        datatest::HeldElsewhere held(QStringLiteral("TglTaet.DB"), QStringLiteral("A_TOTID"), 2);
        EXPECT_THROW(dailyObject(1).deleteRecord(), DbError);
    }
    EXPECT_EQ(ids("TglTaet.DB", "A_TOTID"), (QList<int>{1, 2}));
    EXPECT_EQ(ids("TglObj.DB", "A_TOID"), QList<int>{1});
    EXPECT_FALSE(dm->TabTglObjekt().isEditing());
    EXPECT_EQ(table::aliases::database(kDb)->transactionDepth(), 0);
}

TEST_F(DailyListRules, ADailyTourLosesItsRemovableObjectsAndStaysWhileOneIsKept) {
    addDailyTour(1, 3, tomorrow);
    addDailyTour(2, 3, tomorrow.addDays(7));
    addDailyObject(1, 1, 10);
    addDailyObject(2, 1, 11);
    addDailyObject(3, 2, 10);
    addActivity(1, 1, 10, 0);
    addActivity(2, 1, 10, 2);
    addActivity(3, 1, 11, 0);
    addActivity(4, 2, 10, 0);

    EXPECT_THROW(dailyTour(1).deleteRecord(), Abort);
    EXPECT_EQ(ids("TglTour.DB", "A_TourID"), (QList<int>{1, 2}));
    EXPECT_EQ(ids("TglObj.DB", "A_TOID"), (QList<int>{1, 3}));
    EXPECT_EQ(ids("TglTaet.DB", "A_TOTID"), (QList<int>{2, 4}));

    dailyTour(2).deleteRecord();
    EXPECT_EQ(ids("TglTour.DB", "A_TourID"), QList<int>{1});
    EXPECT_EQ(ids("TglTaet.DB", "A_TOTID"), QList<int>{2});
    EXPECT_EQ(table::aliases::database(kDb)->transactionDepth(), 0);
}

TEST_F(DailyListRules, ARemovedActivityReleasesItsAppointmentAndItsSpecialFunction) {
    addDailyTour(1, 3, tomorrow);
    addDailyObject(1, 1, 10);
    addActivity(1, 1, 10, 0, 5, 40);
    addActivity(2, 1, 10, 0, 6);
    addRow(QStringLiteral("TermObj.DB"), {{QStringLiteral("T_ID"), 40},
                                          {QStringLiteral("T_Date"), today.addDays(3)},
                                          {QStringLiteral("T_TglID"), 1},
                                          {QStringLiteral("T_TourNr"), 3},
                                          {QStringLiteral("T_Taglist"), true}});
    for (int taetigNr : {5, 6})
        addRow(QStringLiteral("Tglfunc.db"), {{QStringLiteral("FL_ID"), taetigNr},
                                              {QStringLiteral("FL_Date"), tomorrow},
                                              {QStringLiteral("FL_TourNr"), 3},
                                              {QStringLiteral("FL_ObjNr"), 10},
                                              {QStringLiteral("FL_TaetigNr"), taetigNr}});

    dailyObject(1).deleteRecord();

    const QVariantMap appointment = rows(QStringLiteral("TermObj.DB"))[0];
    EXPECT_EQ(appointment[QStringLiteral("T_TglID")].toInt(), 0);
    EXPECT_EQ(appointment[QStringLiteral("T_TourNr")].toInt(), 0);
    EXPECT_FALSE(appointment[QStringLiteral("T_Taglist")].toBool());
    EXPECT_EQ(appointment[QStringLiteral("T_Date")].toDate(), tomorrow) << "the daily list's date";
    EXPECT_EQ(ids("Tglfunc.db", "FL_ID"), QList<int>{}) << "both activities went";
    EXPECT_FALSE(dm->TabFunclist().isOpen()) << "opened only for the rule";
}

TEST_F(DailyListRules, DeletingATourTakesItsAutomaticDailyListsAlong) {
    addDailyTour(1, 3, tomorrow);
    addDailyObject(1, 1, 10);
    addActivity(1, 1, 10, 0);
    addActivity(2, 1, 10, 0);
    presenter.answers = {true};
    table::Table& tours = shared(dm->TabTour());
    ASSERT_TRUE(tours.locate({QStringLiteral("TO_Nr")}, {3}));
    tours.deleteRecord();
    EXPECT_EQ(count(QStringLiteral("Touren.db")), 0);
    EXPECT_EQ(count(QStringLiteral("TourObj.db")), 0);
    for (const char* file : {"TglTour.DB", "TglObj.DB", "TglTaet.DB"})
        EXPECT_EQ(count(QString::fromLatin1(file)), 0) << file;
}

TEST_F(DailyListRules, ATourWhoseDailyListHoldsManualWorkIsNotDeletedAtAll) {
    addDailyTour(1, 3, tomorrow);
    addDailyObject(1, 1, 10);
    addDailyObject(2, 1, 11);
    addActivity(1, 1, 10, 0);
    addActivity(2, 1, 11, 1);
    presenter.answers = {true};
    table::Table& tours = shared(dm->TabTour());
    ASSERT_TRUE(tours.locate({QStringLiteral("TO_Nr")}, {3}));
    try {
        tours.deleteRecord();
        FAIL() << "deleted";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Tageslisten"))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("Es wurde nichts gelöscht."))) << e.what();
    }
    EXPECT_EQ(count(QStringLiteral("Touren.db")), 1);
    EXPECT_EQ(count(QStringLiteral("TourObj.db")), 1);
    EXPECT_EQ(ids("TglTaet.DB", "A_TOTID"), (QList<int>{1, 2})) << "the automatic row too";
    EXPECT_EQ(ids("TglObj.DB", "A_TOID"), (QList<int>{1, 2}));
    EXPECT_EQ(count(QStringLiteral("TglTour.DB")), 1);
    EXPECT_EQ(table::aliases::database(kDb)->transactionDepth(), 0);
    EXPECT_FALSE(tours.isEditing());
}

TEST_F(DailyListRules, NewRowsGetTheNextKeyAndSpecialFunctionsTheirDefaults) {
    addDailyTour(4, 3, tomorrow);
    const struct {
        const char* table;
        const char* keyField;
        int key;
    } cases[] = {{"TabTglTour", "A_TourID", 5},
                 {"TabFunclist", "FL_ID", 1},
                 {"TabKostH", "K_ID", 1},
                 {"TabKostD", "K_ID", 1},
                 {"TabKosten", "K_ID", 1}};
    for (const auto& c : cases) {
        table::Table& t = shared(dm->table(QString::fromLatin1(c.table)));
        t.append();
        EXPECT_EQ(t.field(QString::fromLatin1(c.keyField)).asInteger(), c.key) << c.table;
        if (QByteArray(c.table) == "TabFunclist") {
            EXPECT_EQ(t.field(QStringLiteral("FL_Date")).asDate(), QDate(1899, 12, 30));
            for (const char* zero : {"FL_TourNr", "FL_ObjNr", "FL_TaetigNr", "FL_Type"})
                EXPECT_EQ(t.field(QString::fromLatin1(zero)).value(), QVariant(0)) << zero;
            EXPECT_EQ(t.field(QStringLiteral("FL_Param")).asStringOr(QStringLiteral("?")),
                      QString());
            EXPECT_FALSE(t.field(QStringLiteral("FL_Included")).isNull());
            EXPECT_FALSE(t.field(QStringLiteral("FL_Included")).asBoolean());
        }
        t.cancel();
    }
}

TEST_F(DailyListRules, ScrollingTheDailyToursEnablesTheFormsDetailGrids) {
    addDailyTour(1, 3, tomorrow);
    addDailyTour(2, 3, tomorrow.addDays(7));
    int calls = 0;
    AppointmentRuleHooksRegistry().enableDetailGrids = [&] { ++calls; };
    table::Table& tours = shared(dm->TabTglTour());
    calls = 0;
    tours.next();
    EXPECT_EQ(calls, 1);
}

TEST_F(DailyListRules, TheCostSwitchOfTheCompanyReachesTheProgramsCopy) {
    const bool saved = KostenAusZeiterfassOn;
    setCompanyField(QStringLiteral("F_KostenausZeiterfass"), false);
    EXPECT_FALSE(KostenAusZeiterfassOn);
    setCompanyField(QStringLiteral("F_KostenausZeiterfass"), true);
    EXPECT_TRUE(KostenAusZeiterfassOn);
    KostenAusZeiterfassOn = saved;
}

} // namespace

TEST_F(DailyListRules, ADailyToursNumberChangesOnlyToAFreeExistingTour) {
    addTour(4, tomorrow.dayOfWeek());
    addTour(5, tomorrow.dayOfWeek());
    addDailyTour(1, 3, tomorrow);
    addDailyTour(2, 4, tomorrow);
    table::Table& tour = dailyTour(1);
    for (const auto& [nr, message] :
         {std::pair{4, QStringLiteral("Die Tour 4 hat am %1 bereits eine Tagesliste.")
                           .arg(tomorrow.toString(QStringLiteral("dd.MM.yyyy")))},
          {0, QStringLiteral("Die Tour 0 gibt es nicht.")},
          {99, QStringLiteral("Die Tour 99 gibt es nicht.")}}) {
        tour.edit();
        tour.field(QStringLiteral("A_TourNr")).setValue(nr);
        try {
            tour.post();
            ADD_FAILURE() << "took " << nr;
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(), message);
        }
        tour.cancel();
    }
    EXPECT_EQ(rows(QStringLiteral("TglTour.DB"))[0].value("A_TourNr").toInt(), 3);
    // Another field of the list changes whatever its number.
    tour.edit();
    tour.field(QStringLiteral("A_Bezeichnung")).setValue(QStringLiteral("Sondertour"));
    tour.post();
    tour.edit();
    tour.field(QStringLiteral("A_TourNr")).setValue(5);
    tour.post();
    EXPECT_EQ(rows(QStringLiteral("TglTour.DB"))[0].value("A_TourNr").toInt(), 5);
}
