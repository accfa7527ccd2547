#include "core/data/dbhelpers.h"
#include "core/gui/mainform.h"
#include "core/moduleentries.h"
#include "masterdata/dialogs/pickers.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/masterdatamodules.h"
#include "masterdata/gui/notdienstform.h"
#include "masterdata/gui/tf_listform.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/fieldform.h"
#include "tableformfixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int kObjectRight = 10;
const QString kQuestion = u"Möchten Sie die Notdienstnummer wirklich ändern?"_s;

// Emergency services 1, 501 and 502 (number 2 is the first free one), the
// form built over the shared table as at start-up.
class NotdienstForm : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        const struct {
            int id, nr;
            const char* match;
        } rows[] = {{1, 1, "ALPHA"}, {2, 501, "CAESAR"}, {3, 502, "BETA"}};
        for (const auto& r : rows)
            addRow(u"Notdnst.DB"_s, {{u"ND_ID"_s, r.id},
                                     {u"ND_Nr"_s, r.nr},
                                     {u"ND_Match"_s, QString::fromLatin1(r.match)}});
        for (table::Table* t : {&services(), &dm->TabBanken(), &dm->TabZahlart()})
            if (!t->isOpen())
                t->open();
        form = std::make_unique<TF_ListForm>(NotdienstFormDecl(), services());
        formtest::ShowActive(*form);
    }
    void TearDown() override {
        form.reset();
        TableFormTest::TearDown();
    }
    table::Table& services() const { return dm->TabNotdienst(); }
    int number() const { return FieldInt(services(), u"ND_Nr"_s); }
    void locate(int nr) { ASSERT_TRUE(services().locate({u"ND_Nr"_s}, {nr})); }
    void sortBy(const QString& field) {
        Q_EMIT form->grid().titleClicked(form->grid().gridModel().columnOf(field), field);
    }

    formtest::TestUser user{kObjectRight};
    std::unique_ptr<TF_ListForm> form;
};

TEST_F(NotdienstForm, NumberProposalAsksOnlyForANumberOtherThanZero) {
    const struct {
        int startNr;
        QList<bool> answers;
        int boxes;
        int numberAfter;
    } cases[] = {
        {501, {false}, 1, 501}, // No keeps the number
        {501, {true}, 1, 2},    // Yes: the first free number
        {0, {}, 0, 2},          // a number still 0 is proposed without asking
    };
    for (const auto& c : cases) {
        locate(501);
        services().edit();
        services()[u"ND_Nr"_s] = c.startNr;
        presenter.boxes.clear();
        presenter.answers = c.answers;
        // The double-click on the number field of the page.
        QWidget* editor = form->fields()->editor(u"ND_Nr"_s);
        ASSERT_NE(editor, nullptr);
        QTest::mouseDClick(editor, Qt::LeftButton);
        EXPECT_EQ(presenter.boxes.size(), c.boxes) << c.startNr;
        if (c.boxes > 0) {
            EXPECT_EQ(presenter.boxes.first().text, kQuestion);
        }
        EXPECT_EQ(number(), c.numberAfter) << c.startNr;
        services().cancel();
    }
    // In the list, the number column proposes; another column does not.
    locate(501);
    presenter.answers = {true};
    EXPECT_TRUE(form->runColumnAction(u"ND_Nr"_s));
    EXPECT_EQ(number(), 2);
    services().cancel();
    EXPECT_FALSE(form->runColumnAction(u"ND_Match"_s));
}

TEST_F(NotdienstForm, SearchOnTheNumberTakesDigitsOnly) {
    sortBy(u"ND_Nr"_s);
    QLineEdit& search = form->searchEdit();
    search.setFocus();
    QTest::keyClicks(&search, u"5x0"_s);
    EXPECT_EQ(search.text(), u"50"_s);
    EXPECT_EQ(number(), 501); // the nearest key
    search.setText(u"5a"_s);
    QTest::keyClicks(&search, u"1"_s);
    EXPECT_EQ(search.text(), u"1"_s);
    EXPECT_EQ(number(), 1);
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(NotdienstForm, DeleteGuardTakesTheObjectsDeleteRight) {
    const struct {
        quint8 rights;
        QList<bool> answers;
        bool deleted;
    } cases[] = {
        {rbAllRights, {false}, false},
        {rbAllRights & ~rbDelete, {true}, false},
        {rbAllRights, {true}, true},
    };
    for (const auto& c : cases) {
        CurrentUser.rights.set(kObjectRight, c.rights);
        presenter.boxes.clear();
        presenter.answers = c.answers;
        locate(502);
        form->grid().setFocus();
        QTest::keyClick(&form->grid(), Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(services().locate({u"ND_Nr"_s}, {502}), !c.deleted);
        EXPECT_EQ(presenter.boxes.size(), 1);
    }
    // In the search line the guard asks, and nothing is deleted.
    presenter.boxes.clear();
    presenter.answers = {true};
    locate(501);
    form->searchEdit().setFocus();
    QTest::keyClick(&form->searchEdit(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(presenter.boxes.size(), 1);
    EXPECT_EQ(services().recordCount(), 2);
}

TEST_F(NotdienstForm, PickerLeavesTheFormsRecordAndSortAsTheyWere) {
    sortBy(u"ND_Match"_s);
    locate(501);
    const struct {
        bool ok;
        int result;
    } cases[] = {{true, 502}, {false, 501}};
    for (const auto& c : cases) {
        WhenModalShown([&](QWidget* modal) {
            auto* d = qobject_cast<TF_DbSelect*>(modal);
            ASSERT_NE(d, nullptr);
            d->sortBy(u"ND_Branche"_s);
            d->lookupTable()->locate({u"ND_Nr"_s}, {502});
            (c.ok ? d->btnOK() : d->btnCancel())->click();
        });
        EXPECT_EQ(SelectNotdienst(501, 0, 0), c.result);
        EXPECT_EQ(number(), 501);
        EXPECT_EQ(services().indexName(), u"ND_I_Match"_s);
        EXPECT_EQ(form->sortField(), u"ND_Match"_s);
    }
}

// The database menu as its user reaches it.
class DatabaseMenu : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        // The modules install the list printer, which the other tests expect empty.
        m_printer = SetListPrinter({});
        RegisterMasterDataModules(dispatcher);
        window = std::make_unique<TF_LumoMain>(dispatcher);
        window->show();
    }
    void TearDown() override {
        window.reset();
        SetListPrinter(m_printer);
        TableFormTest::TearDown();
    }
    ModuleDispatcher dispatcher;
    std::unique_ptr<TF_LumoMain> window;

private:
    ListPrinter m_printer;
};

TEST_F(DatabaseMenu, EachEntryOpensItsForm) {
    const LongLivedForms listForms;
    QAction* item = window->menuItem(u"Datenbanken"_s, u"Notdienste"_s);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    item->trigger();
    TF_ListForm* notdienst = FindListForm(u"TF_Notdienst"_s);
    ASSERT_NE(notdienst, nullptr);
    EXPECT_TRUE(notdienst->isVisible());
    EXPECT_EQ(notdienst->windowTitle(), u"Notdienste"_s);
    for (const QString& print : {u"Druck"_s, u"Vorsc&hau"_s})
        EXPECT_TRUE(notdienst->button(print) && notdienst->button(print)->isEnabled());
    notdienst->hide();
    const struct {
        const char* entry;
        const char* form;
        const char* table;
    } modal[] = {{"Schlüsselverwaltung", "TF_Schluessel", "TabSchluessel"},
                 {"Fremdleistungen", "TF_Fremdleist", "TabFremdLeist"}};
    for (const auto& c : modal) {
        const QString entry = QString::fromUtf8(c.entry);
        SCOPED_TRACE(c.entry);
        item = window->menuItem(u"Datenbanken"_s, entry);
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(item->isEnabled());
        const bool shown = whenFormShown(
            [&](TF_TableForm& form) {
                EXPECT_EQ(form.objectName(), QString::fromLatin1(c.form));
                EXPECT_EQ(form.windowTitle(), entry);
                EXPECT_NE(qobject_cast<TF_ListForm*>(&form), nullptr);
                EXPECT_TRUE(form.table().isOpen());
                EXPECT_FALSE(dm->IsTimerWorkEnabled());
                for (const QString& print : {u"Druck"_s, u"Vorsc&hau"_s})
                    EXPECT_TRUE(form.button(print) && form.button(print)->isEnabled());
                form.close();
            },
            [&] { item->trigger(); });
        EXPECT_TRUE(shown);
        EXPECT_FALSE(dm->table(QString::fromLatin1(c.table)).isOpen());
    }
    EXPECT_TRUE(presenter.boxes.isEmpty()) << presenter.boxes.value(0).text.toStdString();
}

} // namespace
