#include "operations/tourduplicate.h"
#include "platform/errors.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "tourfixture.h"

#include <QTime>

using namespace Qt::StringLiterals;

namespace {

class TourDuplicate : public operationstest::Tours {
protected:
    void SetUp() override {
        Tours::SetUp();
        for (const char* file : {"TourPers.DB", "TglFterm.DB"})
            table::aliases::database(datatest::kDb)->emptyTable(QString::fromLatin1(file));
        addRow(u"Touren.db"_s, {{u"TO_ID"_s, 1},
                                {u"TO_Nr"_s, 4},
                                {u"TO_Beschreibung"_s, u"Innenstadt Dienstag"_s},
                                {u"TO_Person"_s, 3},
                                {u"TO_Wochentag"_s, 2},
                                {u"TO_NextDate"_s, QDate(2026, 3, 10)},
                                {u"TO_ServPatt"_s, QString()},
                                {u"TO_Kind"_s, 2}});
        addTour(5, 3);
        for (int nr : {21, 22, 23})
            addActiveObject(nr, 1, u"Objekt %1"_s.arg(nr));
        // Visited in key order: 22, 21, 23.
        addVisit(4, 22, QTime(9, 0), QTime(9, 40), 1);
        addVisit(4, 21, QVariant(), QVariant(), 2);
        addVisit(4, 23, QTime(7, 15), QTime(8, 0), 3);
        addVisit(5, 21, QTime(12, 0), QTime(13, 0));
        addRow(u"TourPers.DB"_s, {{u"TP_ID"_s, 1}, {u"TP_TourNr"_s, 4}, {u"TP_Pnr"_s, 8}});
        addRow(u"TglFterm.DB"_s, {{u"TF_ID"_s, 1},
                                  {u"TF_TourNr"_s, 4},
                                  {u"TF_ObjNr"_s, 22},
                                  {u"TF_TaetigNr"_s, 1},
                                  {u"TF_Termine03"_s, u"+"_s}});
    }
    // "object von-bis" of the tour's rows in their order.
    QStringList visits(int tourNr) {
        auto t = open(u"TourObj.db"_s);
        t->setIndexName(u"T_I_TourNr"_s);
        t->setRange({tourNr}, {tourNr});
        QStringList result;
        const auto time = [](const table::Field& f) {
            return f.isNull() ? u"-"_s : f.value().toTime().toString(u"hh:mm"_s);
        };
        for (t->first(); !t->eof(); t->next())
            result.append(u"%1 %2-%3"_s.arg(t->field(u"TO_Objekt"_s).asInteger())
                              .arg(time(t->field(u"TO_VonUhr"_s)), time(t->field(u"TO_BisUhr"_s))));
        return result;
    }
};

TEST_F(TourDuplicate, TheCopyHasTheObjectsAndTimesButNoStaffKindOrFixedDates) {
    const int id = DuplicateTour(4, 9);
    EXPECT_EQ(id, 6);
    auto tours = open(u"Touren.db"_s);
    ASSERT_TRUE(tours->locate({u"TO_Nr"_s}, {9}));
    EXPECT_EQ(tours->field(u"TO_ID"_s).asInteger(), 6);
    EXPECT_EQ(tours->field(u"TO_Beschreibung"_s).asString(), u"Innenstadt Dienstag"_s);
    EXPECT_EQ(tours->field(u"TO_Person"_s).asInteger(), 3);
    EXPECT_EQ(tours->field(u"TO_Wochentag"_s).asInteger(), 2);
    EXPECT_EQ(tours->field(u"TO_NextDate"_s).asDate(), QDate(2026, 3, 10));
    EXPECT_EQ(tours->field(u"TO_ServPatt"_s).asString(), u"*"_s) << "an empty pattern becomes *";
    EXPECT_EQ(tours->field(u"TO_Kind"_s).asInteger(), 0);
    EXPECT_EQ(visits(9), (QStringList{u"22 09:00-09:40"_s, u"21 ---"_s, u"23 07:15-08:00"_s}));
    EXPECT_EQ(visits(4), visits(9)) << "the original keeps its objects";
    EXPECT_EQ(column(u"TourPers.DB"_s, u"TP_TourNr"_s), QList<int>{4});
    EXPECT_EQ(column(u"TglFterm.DB"_s, u"TF_TourNr"_s), QList<int>{4});
}

TEST_F(TourDuplicate, ATakenOrInvalidNumberIsRefused) {
    struct Case {
        int nr;
        const char* problem;
    };
    const Case cases[] = {{5, "Die Tourennummmer ist bereits vergeben!"},
                          {4, "Die Tourennummmer ist bereits vergeben!"},
                          {0, "Die eingegebene Nummer ist unzulässig!"},
                          {-3, "Die eingegebene Nummer ist unzulässig!"},
                          {6, ""}};
    for (const Case& c : cases) {
        EXPECT_EQ(NewTourNumberProblem(c.nr), QString::fromUtf8(c.problem)) << c.nr;
        if (*c.problem) {
            EXPECT_THROW(DuplicateTour(4, c.nr), DbError) << c.nr;
        }
    }
    EXPECT_EQ(column(u"Touren.db"_s, u"TO_Nr"_s), (QList<int>{4, 5}));
}

TEST_F(TourDuplicate, AFailureAfterTheFirstObjectLeavesNoTour) {
    // The second object row of the copy cannot be written.
    table::aliases::database(datatest::kDb)
        ->execSql(u"CREATE TRIGGER refuse_second BEFORE INSERT ON TourObj "
                  u"WHEN NEW.TO_TourNr = 9 AND "
                  u"(SELECT count(*) FROM TourObj WHERE TO_TourNr = 9) >= 1 "
                  u"BEGIN SELECT RAISE(ABORT, 'Schreibfehler'); END"_s);
    try {
        DuplicateTour(4, 9);
        FAIL() << "the copy went through";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(u"Die Tour wurde nicht dupliziert:\r"_s))
            << e.message().toStdString();
    }
    EXPECT_EQ(column(u"Touren.db"_s, u"TO_Nr"_s), (QList<int>{4, 5}));
    EXPECT_TRUE(visits(9).isEmpty());
    EXPECT_EQ(visits(4).size(), 3);
}

TEST_F(TourDuplicate, WithoutTheCreateRightNothingIsCopied) {
    createAllowed = false;
    EXPECT_THROW(DuplicateTour(4, 9), Abort);
    EXPECT_EQ(askedRights, QList<int>{14});
    EXPECT_EQ(column(u"Touren.db"_s, u"TO_Nr"_s), (QList<int>{4, 5}));
}

} // namespace
