#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/files/deleteguard.h"
#include "core/rights/rights.h"
#include "masterdata/dialogs/datepickers.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/tf_listform.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbdateedit.h"
#include "platform/widgets/dblookupcombobox.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/fieldform.h"
#include "tableformfixture.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRight = 2;
const QString kQuestion = u"Möchten Sie die Nummer wirklich ändern?"_s;

// A small list form over the customers: a number with its proposal, a
// search text, a date, a Boolean, the bank pair and a print button.
ListFormDecl testDecl(int* proposals) {
    ListFormDecl d;
    TableFormDecl& f = d.form;
    f.formClass = u"TF_Test"_s;
    f.caption = u"Test"_s;
    f.table = u"TabKunden"_s;
    f.gridName = u"GridTest"_s;
    f.initialSortField = u"K_Nr"_s;
    f.columns = {{u"K_Nr"_s, u"Nr."_s, 6},
                 {u"K_Match"_s, u"Suchbegriff"_s, 20},
                 {u"K_UmsLetztDat"_s, u"Datum"_s, 10},
                 {u"K_Mahnsperre"_s, u"Sperre"_s, 5}};
    const QString page = u"&Grunddaten"_s;
    f.fields = {{.caption = u"&Nr."_s, .field = u"K_Nr"_s, .page = page, .width = 8},
                {.caption = u"&Datum"_s,
                 .field = u"K_UmsLetztDat"_s,
                 .kind = widgets::FieldKind::Date,
                 .page = page},
                {.caption = u"Bank&name"_s, .field = u"K_Bankname"_s, .page = u"&Bank"_s},
                {.caption = u"BL&Z"_s, .field = u"K_Blz"_s, .page = u"&Bank"_s}};
    f.prints = {{u"&Druck"_s, 18000, u"Kunden"_s, 0}, {u"&Vorschau"_s, 18000, u"Kunden"_s, 1}};
    d.right = kRight;
    d.numberProposal = {u"K_Nr"_s, kQuestion, [proposals] {
                            ++*proposals;
                            return 77;
                        }};
    d.bankPair = {u"K_Bankname"_s, u"K_Blz"_s};
    return d;
}

class ListFormHost : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        table::Table& t = dm->TabKunden();
        if (!t.isOpen())
            t.open();
        const struct {
            int nr;
            const char16_t* match;
        } rows[] = {{10, u"ALPHA"}, {20, u"BETA"}, {30, u"GAMMA"}};
        for (const auto& r : rows) {
            t.append();
            t[u"K_ID"_s] = r.nr;
            t[u"K_Nr"_s] = r.nr;
            t[u"K_Match"_s] = QString::fromUtf16(r.match);
            t.post();
        }
        if (!dm->TabBanken().isOpen())
            dm->TabBanken().open();
        form = std::make_unique<TF_ListForm>(testDecl(&proposals), t);
        formtest::ShowActive(*form);
    }
    void TearDown() override {
        form.reset();
        TableFormTest::TearDown();
    }

    table::Table& kunden() const { return dm->TabKunden(); }
    void sortBy(const QString& field) {
        const int column = form->grid().gridModel().columnOf(field);
        ASSERT_GE(column, 0);
        Q_EMIT form->grid().titleClicked(column, field);
    }
    void locate(int nr) { ASSERT_TRUE(kunden().locate({u"K_Nr"_s}, {nr})); }

    int proposals = 0;
    formtest::TestUser user{kRight};
    std::unique_ptr<TF_ListForm> form;
};

TEST_F(ListFormHost, SearchKeysFollowTheSortFieldsType) {
    const struct {
        const char* field;
        const char* sorted; // a column without an index sorts by the first
        QString before;     // text in the search line before typing
        QString typed;
        QString after;
    } cases[] = {
        {"K_Match", "K_Match", {}, u"bx1"_s, u"bx1"_s}, // text: every character
        {"K_Nr", "K_Nr", {}, u"2a0"_s, u"20"_s},        // number: digits only
        {"K_Nr", "K_Nr", u"ab"_s, u"5"_s, u"5"_s},      // ... a non-digit text is cleared first
        {"K_Mahnsperre", "K_Nr", {}, u"j3"_s, u"3"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        sortBy(QString::fromLatin1(c.field));
        EXPECT_EQ(form->sortField(), QString::fromLatin1(c.sorted));
        QLineEdit& search = form->searchEdit();
        search.setFocus();
        search.setText(c.before);
        QTest::keyClicks(&search, c.typed);
        EXPECT_EQ(search.text(), c.after);
    }
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(ListFormHost, SearchMovesToTheNearestKeyAndDisablesTheNavigator) {
    sortBy(u"K_Match"_s);
    QLineEdit& search = form->searchEdit();
    search.setFocus();
    EXPECT_FALSE(form->navigator().isEnabled());
    EXPECT_EQ(form->grid().currentIndex().column(),
              form->grid().gridModel().columnOf(u"K_Match"_s));
    QTest::keyClicks(&search, u"b"_s);
    EXPECT_EQ(kunden()[u"K_Nr"_s].asIntegerOr(0), 20);
    QTest::keyClicks(&search, u"x"_s); // "BX": the nearest key after it
    EXPECT_EQ(kunden()[u"K_Nr"_s].asIntegerOr(0), 30);
    form->grid().setFocus();
    EXPECT_TRUE(form->navigator().isEnabled());
}

TEST_F(ListFormHost, TitleClickSortsByTheColumnsIndexAndKeepsItInLbSort) {
    sortBy(u"K_Match"_s);
    EXPECT_EQ(kunden().indexName(), u"K_IMatch"_s);
    EXPECT_EQ(form->findChild<QLabel*>(u"lbSort"_s)->text(), u"K_Match"_s);
    EXPECT_EQ(form->sortColumn(), 1);
    sortBy(u"K_Nr"_s);
    EXPECT_EQ(kunden().indexName(), u"K_INr"_s);
    EXPECT_EQ(form->sortColumn(), 0);
}

TEST_F(ListFormHost, RightsMakeTheTableReadOnlyOnlyWhileTheFormIsActive) {
    const struct {
        quint8 rights;
        bool readOnly, printShown, deleteShown, menus;
    } cases[] = {
        {rbAllRights, false, true, true, true},
        {rbView, true, false, false, false},
        {rbView | rbPrint | rbEdit, false, true, false, true},
        {rbView | rbDelete, true, false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.rights));
        CurrentUser.rights.set(kRight, c.rights);
        form->deactivate();
        form->activate();
        EXPECT_EQ(kunden().isReadOnly(), c.readOnly);
        EXPECT_EQ(!form->button(u"&Druck"_s)->isHidden(), c.printShown);
        EXPECT_FALSE(form->button(u"&Vorschau"_s)->isHidden());
        EXPECT_EQ(!form->navigator().button(widgets::DbNavigator::Delete)->isHidden(),
                  c.deleteShown);
        EXPECT_EQ(form->fields()->menu(u"K_Bankname"_s)->actions().first()->isEnabled(), c.menus);
        form->deactivate();
        EXPECT_FALSE(kunden().isReadOnly());
    }
}

TEST_F(ListFormHost, DeleteGuardAsksAndHonoursTheDeleteRight) {
    const struct {
        quint8 rights;
        QList<bool> answers;
        bool deleted;
        int boxes;
    } cases[] = {
        {rbAllRights, {false}, false, 1},
        {rbAllRights & ~rbDelete, {true}, false, 1}, // the refusal only
        {rbAllRights, {true}, true, 1},
    };
    for (const auto& c : cases) {
        CurrentUser.rights.set(kRight, c.rights);
        presenter.boxes.clear();
        presenter.answers = c.answers;
        locate(20);
        form->grid().setFocus();
        QTest::keyClick(&form->grid(), Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(kunden().locate({u"K_Nr"_s}, {20}), !c.deleted);
        EXPECT_EQ(presenter.boxes.size(), c.boxes);
    }
    EXPECT_EQ(kunden().recordCount(), 2);
}

TEST_F(ListFormHost, NumberProposalAsksBeforeReplacingANumberAndIsNotPosted) {
    const struct {
        QList<bool> answers;
        int expected;
    } cases[] = {{{false}, 20}, {{true}, 77}};
    for (const auto& c : cases) {
        presenter.boxes.clear();
        presenter.answers = c.answers;
        locate(20);
        EXPECT_TRUE(form->runColumnAction(u"K_Nr"_s));
        EXPECT_EQ(kunden()[u"K_Nr"_s].asIntegerOr(0), c.expected);
        ASSERT_EQ(presenter.boxes.size(), 1);
        EXPECT_EQ(presenter.boxes.first().text, kQuestion);
        EXPECT_EQ(kunden().isEditing(), c.expected == 77);
        kunden().cancel();
    }
    // The number field proposes on a double-click too.
    locate(30);
    presenter.answers = {true};
    QTest::mouseDClick(form->fields()->editor(u"K_Nr"_s), Qt::LeftButton);
    EXPECT_EQ(kunden()[u"K_Nr"_s].asIntegerOr(0), 77);
    kunden().cancel();
    EXPECT_EQ(proposals, 2);

    // A form without a question writes the proposal at once.
    ListFormDecl quiet = testDecl(&proposals);
    quiet.numberProposal.question.clear();
    form = std::make_unique<TF_ListForm>(quiet, kunden());
    presenter.boxes.clear();
    locate(10);
    EXPECT_TRUE(form->runColumnAction(u"K_Nr"_s));
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_EQ(kunden()[u"K_Nr"_s].asIntegerOr(0), 77);
    EXPECT_TRUE(kunden().isEditing());
    kunden().cancel();
}

TEST_F(ListFormHost, BankPairFillsEachOtherAndOffersANewEntry) {
    locate(10);
    form->showPage(u"&Bank"_s);
    auto choose = [&](const QString& field, const QString& text) {
        auto* box = form->fields()->editorAs<widgets::DbLookupComboBox>(field);
        ASSERT_NE(box, nullptr);
        const int row = box->findText(text);
        ASSERT_GE(row, 0) << text.toStdString();
        box->setCurrentIndex(row);
        Q_EMIT box->activated(row);
    };
    choose(u"K_Bankname"_s, u"Commerzbank Berlin"_s);
    EXPECT_EQ(FieldText(kunden(), u"K_Blz"_s), u"10040000"_s);
    choose(u"K_Blz"_s, u"10070000"_s);
    EXPECT_EQ(FieldText(kunden(), u"K_Bankname"_s), u"Deutsche Bank Berlin"_s);
    form->post();
    EXPECT_EQ(FieldText(kunden(), u"K_Bankname"_s), u"Deutsche Bank Berlin"_s);
    QMenu* menu = form->fields()->menu(u"K_Blz"_s);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions().first()->text(), u"&Neuer Eintrag"_s);
    EXPECT_EQ(menu->actions().first()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
}

TEST_F(ListFormHost, DateFieldTakesTheCalendarsDayOnOkOnly) {
    locate(10);
    auto* edit = form->fields()->editorAs<widgets::DbDateEdit>(u"K_UmsLetztDat"_s);
    ASSERT_NE(edit, nullptr);
    widgets::setDatePicker([](widgets::DbDateEdit& e) { return PickDbEditDate(e); });
    WhenModalShown([](QWidget*) { F_Kalender->cancelButton()->click(); });
    QTest::keyClick(edit, Qt::Key_K, Qt::AltModifier);
    EXPECT_FALSE(kunden().isEditing());
    WhenModalShown([](QWidget*) {
        F_Kalender->calendar()->setSelectedDate(QDate(2025, 3, 14));
        F_Kalender->okButton()->click();
    });
    QTest::mouseDClick(edit, Qt::LeftButton);
    EXPECT_TRUE(kunden().isEditing());
    EXPECT_EQ(kunden()[u"K_UmsLetztDat"_s].asDate(), QDate(2025, 3, 14));
    kunden().cancel();
    widgets::setDatePicker({});
}

} // namespace
