#include "core/data/recordrulesfixture.h"
#include "operations/tourobjects.h"
#include "platform/errors.h"
#include "platform/table/table.h"
#include "tourfixture.h"

#include <QTime>

using namespace Qt::StringLiterals;

namespace {

QVariant at(int hour, int minute = 0) {
    return QTime(hour, minute);
}

// Rows of (object, start) with the start in column 1.
QList<QVariantList> rowsOf(const QList<std::pair<int, QVariant>>& rows) {
    QList<QVariantList> result;
    for (const auto& [objekt, start] : rows)
        result.append({objekt, start});
    return result;
}

QList<int> objectsOf(const QList<QVariantList>& rows) {
    QList<int> result;
    for (const QVariantList& row : rows)
        result.append(row.at(0).toInt());
    return result;
}

TEST(SortByStartTime, SortsTheRunsBetweenRowsWithoutStartTime) {
    const QVariant none;
    struct Case {
        const char* name;
        QList<std::pair<int, QVariant>> rows;
        QList<int> sorted;
        bool moved;
    };
    const Case cases[] = {
        {"by start time", {{1, at(10)}, {2, at(8)}, {3, at(9, 30)}}, {2, 3, 1}, true},
        {"a row without time in the middle stays and is passed by none",
         {{1, at(11)}, {2, at(9)}, {3, none}, {4, at(8)}, {5, at(7)}},
         {2, 1, 3, 5, 4},
         true},
        {"none with time", {{1, none}, {2, none}, {3, none}}, {1, 2, 3}, false},
        {"equal times keep their order", {{1, at(8)}, {2, at(8)}, {3, at(7)}}, {3, 1, 2}, true},
        {"already in order", {{1, at(7)}, {2, none}, {3, at(6)}}, {1, 2, 3}, false},
        {"one row", {{1, at(7)}}, {1}, false},
        {"no rows", {}, {}, false},
    };
    for (const Case& c : cases) {
        QList<QVariantList> rows = rowsOf(c.rows);
        EXPECT_EQ(SortByStartTime(rows, 1), c.moved) << c.name;
        EXPECT_EQ(objectsOf(rows), c.sorted) << c.name;
    }
}

// A tour with objects on the data module's shared tour tables, as the tour
// form shows them.
class TourObjects : public operationstest::Tours {
protected:
    void SetUp() override {
        Tours::SetUp();
        addTour(7, 2);
        for (int nr : {11, 12, 13, 14})
            addActiveObject(nr, 1, u"Objekt %1"_s.arg(nr));
        addVisit(7, 11, QTime(10, 0), QTime(10, 30));
        addVisit(7, 12, QTime(8, 0), QTime(8, 45));
        addVisit(7, 13, QVariant(), QVariant());
        addVisit(7, 14, QTime(9, 0), QTime(9, 20));
        table::Table& tours = shared(dm->TabTour());
        EXPECT_TRUE(tours.locate({u"TO_Nr"_s}, {7}));
        shared(dm->TabTourObj());
    }
    table::Table& objects() { return dm->TabTourObj(); }
    // "key:object@start" of every row of the tour in its order.
    QStringList order() {
        auto t = open(u"TourObj.db"_s);
        t->setIndexName(u"T_I_TourNr"_s);
        QStringList result;
        for (t->first(); !t->eof(); t->next()) {
            const table::Field& start = t->field(u"TO_VonUhr"_s);
            result.append(
                u"%1:%2@%3"_s.arg(t->field(u"T_TourID"_s).asInteger())
                    .arg(t->field(u"TO_Objekt"_s).asInteger())
                    .arg(start.isNull() ? u"-"_s : start.value().toTime().toString(u"hh:mm"_s)));
        }
        return result;
    }
    void goTo(int objektNr) { ASSERT_TRUE(objects().locate({u"TO_Objekt"_s}, {objektNr})); }
    int currentObject() { return objects().field(u"TO_Objekt"_s).asInteger(); }
};

TEST_F(TourObjects, SortingByTimeExchangesContentsAndKeepsEveryKey) {
    goTo(12);
    EXPECT_TRUE(SortTourObjectsByTime(objects()));
    // 13 has no start time: 11 and 12 are sorted above it, 14 alone below.
    EXPECT_EQ(order(), (QStringList{u"711:12@08:00"_s, u"712:11@10:00"_s, u"713:13@-"_s,
                                    u"714:14@09:00"_s}));
    // The end times travelled with their objects.
    auto t = open(u"TourObj.db"_s);
    ASSERT_TRUE(t->locate({u"TO_Objekt"_s}, {11}));
    EXPECT_EQ(t->field(u"TO_BisUhr"_s).value().toTime(), QTime(10, 30));
    // The cursor is back on the row it stood on, which now holds another object.
    EXPECT_EQ(objects().field(u"T_TourID"_s).asInteger(), 712);
    EXPECT_FALSE(SortTourObjectsByTime(objects())) << "a second sort changes nothing";
}

TEST_F(TourObjects, ARowEditedElsewhereLeavesTheOrderAsItWas) {
    const QStringList before = order();
    goTo(13);
    {
        datatest::HeldElsewhere held(u"TourObj.db"_s, u"T_TourID"_s, 712);
        try {
            SortTourObjectsByTime(objects());
            FAIL() << "sorted over a locked row";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().startsWith(u"Die Objekte wurden nicht sortiert:"_s))
                << e.message().toStdString();
        }
    }
    EXPECT_EQ(order(), before);
    EXPECT_EQ(currentObject(), 13);
    EXPECT_FALSE(objects().isEditing());
}

TEST_F(TourObjects, MovesTheObjectAndTheSelectionTravelsWithIt) {
    goTo(13);
    EXPECT_TRUE(MoveTourObject(objects(), true));
    EXPECT_EQ(order(), (QStringList{u"711:11@10:00"_s, u"712:13@-"_s, u"713:12@08:00"_s,
                                    u"714:14@09:00"_s}));
    EXPECT_EQ(currentObject(), 13);
    EXPECT_EQ(objects().field(u"T_TourID"_s).asInteger(), 712);
    EXPECT_TRUE(MoveTourObject(objects(), false));
    EXPECT_TRUE(MoveTourObject(objects(), false));
    EXPECT_EQ(order(), (QStringList{u"711:11@10:00"_s, u"712:12@08:00"_s, u"713:14@09:00"_s,
                                    u"714:13@-"_s}));
    EXPECT_EQ(currentObject(), 13);
}

TEST_F(TourObjects, UpOnTheFirstAndDownOnTheLastChangeNothing) {
    const QStringList before = order();
    goTo(11);
    EXPECT_FALSE(MoveTourObject(objects(), true));
    EXPECT_EQ(currentObject(), 11);
    goTo(14);
    EXPECT_FALSE(MoveTourObject(objects(), false));
    EXPECT_EQ(currentObject(), 14);
    EXPECT_EQ(order(), before);
}

TEST_F(TourObjects, AMoveOntoALockedNeighbourChangesNeitherRow) {
    const QStringList before = order();
    goTo(12);
    {
        datatest::HeldElsewhere held(u"TourObj.db"_s, u"T_TourID"_s, 711);
        EXPECT_THROW(MoveTourObject(objects(), true), DbError);
    }
    EXPECT_EQ(order(), before);
    EXPECT_EQ(currentObject(), 12);
}

TEST_F(TourObjects, APickedObjectTheTourHasIsRefusedAndAnyOtherPosted) {
    goTo(12);
    try {
        TakeTourObject(objects(), 14);
        FAIL() << "a second visit of 14 was taken";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), u"Dieses Objekt ist in der Tour bereits vorhanden!"_s);
    }
    EXPECT_FALSE(objects().isEditing());
    EXPECT_FALSE(TakeTourObject(objects(), 12)) << "its own object";
    EXPECT_FALSE(TakeTourObject(objects(), 0)) << "nothing chosen";
    addActiveObject(15, 1, u"Objekt 15"_s);
    EXPECT_TRUE(TakeTourObject(objects(), 15));
    EXPECT_FALSE(objects().isEditing());
    EXPECT_EQ(order(), (QStringList{u"711:11@10:00"_s, u"712:15@08:00"_s, u"713:13@-"_s,
                                    u"714:14@09:00"_s}));
}

} // namespace
