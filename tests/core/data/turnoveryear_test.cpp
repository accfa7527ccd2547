#include "core/data/masterformhooks.h"
#include "core/data/turnover.h"
#include "platform/table/table.h"
#include "recordrulesfixture.h"

#include <functional>

namespace {

using datatest::RecordRules;

// The forms' hooks are closed and the shown year is 2031 for every test.
class TurnoverYear : public RecordRules {
protected:
    void SetUp() override {
        RecordRules::SetUp();
        m_savedHooks = MasterFormHooksRegistry();
        m_savedYear = TodayYear;
        MasterFormHooksRegistry() = {};
        TodayYear = 2031;
    }
    void TearDown() override {
        MasterFormHooksRegistry() = m_savedHooks;
        TodayYear = m_savedYear;
        RecordRules::TearDown();
    }
    // A form whose turnover tab is visible or not; counts its redraws.
    MasterFormHooks form(bool turnoverVisible) {
        MasterFormHooks hooks;
        hooks.turnoverTabVisible = [turnoverVisible] { return turnoverVisible; };
        hooks.redrawTurnoverChart = [this] { ++redraws; };
        hooks.showRecordPosition = [this] { ++positions; };
        return hooks;
    }
    // Opens the object and moves from the first to the second row; the
    // counters count that move only.
    table::Table& scrollToSecond(table::Table& t) {
        if (!t.isOpen())
            t.open();
        t.refresh();
        t.first();
        redraws = positions = 0;
        t.next();
        return t;
    }
    int redraws = 0;
    int positions = 0;

private:
    MasterFormHookSet m_savedHooks;
    int m_savedYear = 0;
};

struct FormCase {
    const char* name;
    bool formOpen;
    bool turnoverVisible;
};
const FormCase kForms[] = {
    {"form closed", false, false},
    {"turnover tab hidden", true, false},
    {"turnover tab visible", true, true},
};

// The customer follows the shown year only while its form shows the turnover.
TEST_F(TurnoverYear, ACustomerTakesTheShownYearOnlyUnderAVisibleTurnoverTab) {
    for (const FormCase& c : kForms) {
        SCOPED_TRACE(c.name);
        table::aliases::database(datatest::kDb)->emptyTable(QStringLiteral("Kunden.DB"));
        for (int id : {1, 2})
            addRow(QStringLiteral("Kunden.DB"), {{QStringLiteral("K_ID"), id},
                                                 {QStringLiteral("K_Nr"), id},
                                                 {QStringLiteral("K_Aktjahr"), 2020}});
        MasterFormHooksRegistry().customerForm =
            c.formOpen ? form(c.turnoverVisible) : MasterFormHooks{};
        table::Table& t = scrollToSecond(dm->TabKunden());
        EXPECT_FALSE(t.isEditing());
        const int expected = c.turnoverVisible ? 2031 : 2020;
        EXPECT_EQ(column(QStringLiteral("Kunden.DB"), QStringLiteral("K_Aktjahr")),
                  (QList<int>{expected, expected}));
        EXPECT_EQ(redraws, c.turnoverVisible ? 1 : 0);
    }
}

// Suppliers and articles follow the shown year on every scroll; their
// charts are redrawn only under a visible turnover tab.
TEST_F(TurnoverYear, SuppliersAndArticlesAlwaysTakeTheShownYear) {
    for (const FormCase& c : kForms) {
        SCOPED_TRACE(c.name);
        auto db = table::aliases::database(datatest::kDb);
        db->emptyTable(QStringLiteral("Liefrnt.db"));
        db->emptyTable(QStringLiteral("Artikel.DB"));
        for (int id : {1, 2}) {
            addRow(QStringLiteral("Liefrnt.db"), {{QStringLiteral("K_ID"), id},
                                                  {QStringLiteral("K_Nr"), id},
                                                  {QStringLiteral("K_Aktjahr"), 2020}});
            addRow(QStringLiteral("Artikel.DB"),
                   {{QStringLiteral("A_ID"), id},
                    {QStringLiteral("A_ObjID"), 0},
                    {QStringLiteral("A_ArtNo"), QStringLiteral("00000%1").arg(id)},
                    {QStringLiteral("A_AktJahr"), 2020}});
        }
        const MasterFormHooks hooks = c.formOpen ? form(c.turnoverVisible) : MasterFormHooks{};
        MasterFormHooksRegistry().supplierForm = hooks;
        MasterFormHooksRegistry().articleForm = hooks;
        EXPECT_FALSE(scrollToSecond(dm->TabLieferant()).isEditing());
        EXPECT_EQ(redraws, c.turnoverVisible ? 1 : 0);
        EXPECT_FALSE(scrollToSecond(dm->TabArtikel()).isEditing());
        EXPECT_EQ(redraws, c.turnoverVisible ? 1 : 0);
        EXPECT_EQ(column(QStringLiteral("Liefrnt.db"), QStringLiteral("K_Aktjahr")),
                  (QList<int>{2031, 2031}));
        EXPECT_EQ(column(QStringLiteral("Artikel.DB"), QStringLiteral("A_AktJahr")),
                  (QList<int>{2031, 2031}));
    }
}

// Aligning the year posts the record in passing; a loop over the table still
// visits every row once.
TEST_F(TurnoverYear, ALoopOverSuppliersVisitsEachOnceWhileTheyAreAligned) {
    for (int id : {1, 2, 3})
        addRow(QStringLiteral("Liefrnt.db"), {{QStringLiteral("K_ID"), id},
                                              {QStringLiteral("K_Nr"), id},
                                              {QStringLiteral("K_Aktjahr"), 2020}});
    table::Table& t = dm->TabLieferant();
    if (!t.isOpen())
        t.open();
    t.refresh();
    QList<int> visited;
    for (t.first(); !t.eof() && !t.isEmpty() && visited.size() < 10; t.next())
        visited.append(t.field(QStringLiteral("K_Nr")).asInteger());
    EXPECT_EQ(visited, (QList<int>{1, 2, 3}));
    EXPECT_EQ(column(QStringLiteral("Liefrnt.db"), QStringLiteral("K_Aktjahr")),
              (QList<int>{2031, 2031, 2031}));
}

// While the article form exists, each article shows its suppliers' rows.
TEST_F(TurnoverYear, TheArticleFormShowsTheSuppliersOfTheCurrentArticle) {
    for (int id : {1, 2})
        addRow(QStringLiteral("Artikel.DB"),
               {{QStringLiteral("A_ID"), id},
                {QStringLiteral("A_ObjID"), 0},
                {QStringLiteral("A_ArtNo"), QStringLiteral("00000%1").arg(id)},
                {QStringLiteral("A_AktJahr"), 2031}});
    for (int id : {1, 2, 3})
        addRow(QStringLiteral("Liefart.db"),
               {{QStringLiteral("A_ID"), id},
                {QStringLiteral("A_LieferantID"), 10 + id},
                {QStringLiteral("A_ArtNo"), QStringLiteral("00000%1").arg(id == 3 ? 2 : 1)}});
    MasterFormHooksRegistry().articleForm = form(false);
    scrollToSecond(dm->TabArtikel());
    table::Table& suppliers = dm->TabLiefArt();
    ASSERT_TRUE(suppliers.isOpen());
    QList<int> shown;
    for (suppliers.first(); !suppliers.eof() && !suppliers.isEmpty(); suppliers.next())
        shown.append(suppliers.field(QStringLiteral("A_LieferantID")).asInteger());
    EXPECT_EQ(shown, QList<int>{13});
    EXPECT_EQ(positions, 1);
}

} // namespace
