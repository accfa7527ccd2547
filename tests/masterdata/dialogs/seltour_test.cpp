#include "dialogfixture.h"
#include "masterdata/dialogs/tf_seltour.h"
#include "masterdata/dialogs/tourlookupfields.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using dialogtest::WhenShown;

namespace {

QStringList listedTours(TF_SelTour& d) {
    QStringList numbers;
    const auto& model = d.grid()->gridModel();
    for (int r = 0; r < model.rowCount(); ++r)
        numbers.append(model.data(model.index(r, 0)).toString());
    return numbers;
}

int currentTour(const TF_SelTour& d) {
    return d.grid()->source().table().field(u"TO_Nr"_s).asIntegerOr(0);
}

class SelTourTest : public dialogtest::DialogDbTest {
protected:
    void SetUp() override {
        DialogDbTest::SetUp();
        addRow(u"Personal.DB"_s, {{u"P_ID"_s, 1}, {u"P_Nr"_s, 4}, {u"P_Name1"_s, u"Schulz"_s}});
        const struct {
            int nr;
            const char* name;
            int weekday;
        } tours[] = {{11, "Innenstadt", 1}, {12, "Nord", 1}, {13, "Süd", 1}, {21, "West", 2}};
        int id = 0;
        for (const auto& t : tours)
            addRow(u"Touren.DB"_s, {{u"TO_ID"_s, ++id},
                                    {u"TO_Nr"_s, t.nr},
                                    {u"TO_Beschreibung"_s, QString::fromUtf8(t.name)},
                                    {u"TO_Wochentag"_s, t.weekday},
                                    {u"TO_Person"_s, 4}});
        dm = std::make_unique<TDataModule1>();
        dm->AddTableSetup([](TDataModule1& d) { AddTourLookupFields(d.TabLUTour()); });
        dm->DataModuleCreate();
    }
};

TEST_F(SelTourTest, OkGivesTheTourAndEveryOtherWayOutMinusOne) {
    const struct {
        const char* name;
        std::function<void(TF_SelTour&)> act;
        int result;
    } cases[] = {
        {"ok", [](TF_SelTour& d) { d.btnOK()->click(); }, 12},
        {"double-click",
         [](TF_SelTour& d) {
             const QModelIndex cell = d.grid()->gridModel().index(2, 0);
             d.grid()->setCurrentIndex(cell);
             Q_EMIT d.grid()->doubleClicked(cell);
         },
         13},
        {"Abbrechen", [](TF_SelTour& d) { d.btnCancel()->click(); }, -1},
        {"close box", [](TF_SelTour& d) { d.close(); }, -1},
        {"Esc", [](TF_SelTour& d) { QTest::keyClick(d.grid(), Qt::Key_Escape); }, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WhenShown<TF_SelTour>([&](TF_SelTour& d) {
            EXPECT_EQ(d.windowTitle(), u"Tourenauswahl"_s);
            EXPECT_EQ(currentTour(d), 12);
            EXPECT_FALSE(DataModule1().IsTimerWorkEnabled());
            c.act(d);
        });
        EXPECT_EQ(SelectTour(12, 10, 10, {}), c.result);
        EXPECT_TRUE(DataModule1().IsTimerWorkEnabled());
    }
}

TEST_F(SelTourTest, TheListShowsWhatTheTourFormShowsWithWeekdayAndStaffNames) {
    table::Table& tabTour = DataModule1().TabTour();
    tabTour.setFilter(u"TO_Wochentag=2"_s);
    tabTour.setFiltered(true);
    WhenShown<TF_SelTour>([](TF_SelTour& d) {
        EXPECT_EQ(listedTours(d), QStringList{u"21"_s});
        const auto& model = d.grid()->gridModel();
        EXPECT_EQ(model.data(model.index(0, 2)).toString(), u"Dienstag"_s);
        EXPECT_EQ(model.data(model.index(0, 3)).toString(), u"Schulz"_s);
        d.btnOK()->click();
    });
    EXPECT_EQ(SelectTour(11, 0, 0, u"Tour wählen"_s), 21); // 11 is not listed: first row
    // The filter stays on the second tour cursor.
    EXPECT_TRUE(DataModule1().TabLUTour().isFiltered());
    EXPECT_EQ(DataModule1().TabLUTour().filter(), u"TO_Wochentag=2"_s);
}

TEST_F(SelTourTest, OtherToursOfTheDayLeaveOutTheCurrentOneAndStartOnTheNext) {
    WhenShown<TF_SelTour>([](TF_SelTour& d) {
        EXPECT_EQ(listedTours(d), (QStringList{u"12"_s, u"13"_s}));
        EXPECT_EQ(currentTour(d), 12);
        d.btnCancel()->click();
    });
    EXPECT_EQ(SelectOtherTourOfDay(11, 1, 0, 0, u"Andere Tour"_s), -1);
    WhenShown<TF_SelTour>([](TF_SelTour& d) {
        EXPECT_EQ(listedTours(d), (QStringList{u"11"_s, u"12"_s}));
        EXPECT_EQ(currentTour(d), 11); // no tour 14: the first row
        d.btnOK()->click();
    });
    EXPECT_EQ(SelectOtherTourOfDay(13, 1, 0, 0, {}), 11);
    // Switched off afterwards; the text stays.
    EXPECT_FALSE(DataModule1().TabLUTour().isFiltered());
    EXPECT_EQ(DataModule1().TabLUTour().filter(), u"TO_Wochentag=1 AND TO_Nr<>13"_s);
}

// Each call lists the tours by number, whatever an earlier call was sorted
// by; within a call a title click sorts and the search follows it.
TEST_F(SelTourTest, EveryCallSortsByNumberAndATitleClickOnlyThatCall) {
    WhenShown<TF_SelTour>([](TF_SelTour& d) {
        EXPECT_EQ(d.grid()->source().table().indexFieldNames(), QStringList{u"TO_Nr"_s});
        Q_EMIT d.grid()->titleClicked(1, u"TO_Beschreibung"_s);
        EXPECT_EQ(d.sortColumn(), 1);
        EXPECT_EQ(d.grid()->source().table().indexName(), u"T_I_Beschreib"_s);
        QTest::keyClicks(d.editSearch(), u"s"_s);
        EXPECT_EQ(currentTour(d), 13); // Süd
        d.btnCancel()->click();
    });
    SelectTour(11, 0, 0, {});
    WhenShown<TF_SelTour>([](TF_SelTour& d) {
        EXPECT_EQ(d.grid()->source().table().indexFieldNames(), QStringList{u"TO_Nr"_s});
        EXPECT_EQ(d.sortColumn(), 0);
        EXPECT_EQ(listedTours(d), (QStringList{u"11"_s, u"12"_s, u"13"_s, u"21"_s}));
        EXPECT_EQ(currentTour(d), 12);
        // The number column takes digits only.
        QTest::keyClicks(d.editSearch(), u"x21"_s);
        EXPECT_EQ(d.editSearch()->text(), u"21"_s);
        EXPECT_EQ(currentTour(d), 21);
        // A click on a column without an index keeps the sort.
        Q_EMIT d.grid()->titleClicked(3, u"TO_PersonName"_s);
        EXPECT_EQ(d.sortColumn(), 0);
        d.btnCancel()->click();
    });
    SelectTour(12, 0, 0, {});
    // The other tours of a weekday are listed by number as well.
    WhenShown<TF_SelTour>([](TF_SelTour& d) {
        Q_EMIT d.grid()->titleClicked(1, u"TO_Beschreibung"_s);
        d.btnCancel()->click();
    });
    SelectTour(12, 0, 0, {});
    WhenShown<TF_SelTour>([](TF_SelTour& d) {
        EXPECT_EQ(listedTours(d), (QStringList{u"12"_s, u"13"_s}));
        EXPECT_EQ(d.sortColumn(), 0);
        d.btnCancel()->click();
    });
    SelectOtherTourOfDay(11, 1, 0, 0, {});
}

} // namespace
