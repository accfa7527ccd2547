#include "core/data/datamodule.h"
#include "core/data/numberproposals.h"
#include "core/deleteguard.h"
#include "core/messagecatalog.h"
#include "core/rights.h"
#include "masterdata/dialogs/pickerfilters.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/objektform.h"
#include "masterdata/gui/objekttaetigpage.h"
#include "masterdata/gui/tf_listform.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/fieldform.h"
#include "printing/listbutton.h"
#include "tableformfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class ObjektForm : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        m_savedUser = CurrentUser;
        CurrentUser = TUserRec();
        for (int right : {10, 11, 12, 13})
            CurrentUser.rights.set(right, rbAllRights);
        InstallRightsChecker();
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 1}, {u"O_Nr"_s, 10}, {u"O_Aktiv"_s, true}});
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 2}, {u"O_Nr"_s, 20}, {u"O_Aktiv"_s, false}});
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 3}, {u"O_Nr"_s, 0}, {u"O_Aktiv"_s, true}});
        table::Table& t = dm->TabObjekt();
        if (!t.isOpen())
            t.open();
        t.refresh();
        form = std::make_unique<TF_ListForm>(ObjektListFormDecl(), t);
        form->show();
    }
    void TearDown() override {
        form.reset();
        SetRightsChecker(nullptr);
        CurrentUser = m_savedUser;
        TableFormTest::TearDown();
    }
    QList<int> listed() {
        table::Table& t = dm->TabObjekt();
        QList<int> nrs;
        for (t.first(); !t.eof() && !t.isEmpty(); t.next())
            nrs.append(t.field(u"O_Nr"_s).asIntegerOr(0));
        return nrs;
    }
    void focus(QWidget& w, QEvent::Type type) {
        QFocusEvent event(type, Qt::OtherFocusReason);
        QApplication::sendEvent(&w, &event);
    }
    std::unique_ptr<TF_ListForm> form;

private:
    TUserRec m_savedUser;
};

TEST_F(ObjektForm, OnlyActiveObjectsAreListedWhileTheBoxIsTicked) {
    auto* active = form->findChild<QCheckBox*>(u"cbAktive"_s);
    ASSERT_NE(active, nullptr);
    EXPECT_TRUE(active->isChecked());
    EXPECT_EQ(listed(), (QList<int>{0, 10}));
    EXPECT_EQ(ActiveObjectFilter(), u"O_Aktiv='true'"_s) << "the object picker follows";
    active->setChecked(false);
    EXPECT_EQ(listed(), (QList<int>{0, 10, 20}));
    EXPECT_EQ(ActiveObjectFilter(), QString());
    active->setChecked(true);
    EXPECT_EQ(listed(), (QList<int>{0, 10}));
}

TEST_F(ObjektForm, EachDetailGridHoldsTheNavigatorAndTheTimerWorkWhileFocused) {
    const struct {
        const char* grid;
        const char* table;
    } grids[] = {{"GridOTaetig", "TabObjTaetig"},
                 {"GridNotdienst", "TabObjND"},
                 {"GridMieter", "TabMieter"}};
    for (bool timerWasOn : {true, false}) {
        timerWasOn ? dm->EnableTimerWork() : dm->DisableTimerWork();
        for (const auto& g : grids) {
            SCOPED_TRACE(g.grid);
            auto* grid = form->findChild<widgets::DataGrid*>(QString::fromLatin1(g.grid));
            ASSERT_NE(grid, nullptr);
            focus(*grid, QEvent::FocusIn);
            EXPECT_EQ(&form->navigator().dataSource().table(),
                      &dm->table(QString::fromLatin1(g.table)));
            EXPECT_FALSE(dm->IsTimerWorkEnabled());
            focus(*grid, QEvent::FocusOut);
            EXPECT_EQ(&form->navigator().dataSource().table(), &dm->TabObjekt());
            EXPECT_EQ(dm->IsTimerWorkEnabled(), timerWasOn);
        }
    }
}

TEST_F(ObjektForm, ChangingANumberAsksFirstAndAnObjectWithoutNumberGetsOneAtOnce) {
    table::Table& t = dm->TabObjekt();
    ASSERT_TRUE(t.locate({u"O_Nr"_s}, {10}));
    presenter.answers = {false};
    form->proposeNumber();
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Question), QStringList{LoadMessage(65099)});
    EXPECT_FALSE(t.isEditing());

    presenter.boxes.clear();
    ASSERT_TRUE(t.locate({u"O_Nr"_s}, {0}));
    const int expected = ProposeObjektNr();
    form->proposeNumber();
    EXPECT_TRUE(presenter.boxes.isEmpty());
    // The number rule posts a changed number at once.
    EXPECT_EQ(t.field(u"O_Nr"_s).asInteger(), expected);
}

TEST_F(ObjektForm, TheActivityGridOffersItsMenu) {
    ObjektTaetigPage* page = ObjektTaetigPageOf(*form);
    ASSERT_NE(page, nullptr);
    const QStringList items = [&] {
        QStringList texts;
        for (QAction* a : page->menu().actions())
            if (!a->isSeparator())
                texts << a->text();
        return texts;
    }();
    EXPECT_EQ(items, (QStringList{u"nach oben"_s, u"nach unten"_s, u"Tätigkeit hinzufügen"_s,
                                  u"Termin-Vorschau"_s, u"Angebot übernehmen"_s,
                                  u"Kontroll-Liste erstellen"_s, u"Abbruch"_s}));
}

TEST_F(ObjektForm, TheTenantPrintGroupPrintsTheEmergencyServicesWhileTheirPageIsInFront) {
    struct Print {
        int formType;
        QString entry;
        int objektNr;
    };
    QList<Print> printed;
    struct Restore {
        ListPrinter previous;
        ~Restore() { SetListPrinter(previous); }
    } restore{SetListPrinter([&printed](TF_TableForm& f, const PrintButtonDecl& decl) {
        ListPrintButton button{decl.formType, decl.entry, decl.tag};
        if (decl.prepare)
            decl.prepare(f, button);
        printed.append({button.formType, button.entry, button.args.objektNr.value_or(-1)});
    })};
    // The buttons are wired when the form is built.
    form.reset();
    form = std::make_unique<TF_ListForm>(ObjektListFormDecl(), dm->TabObjekt());
    form->show();
    dm->TabObjekt().last(); // object 10
    QGroupBox* box = form->printGroup(u"Mieter"_s);
    ASSERT_NE(box, nullptr);
    QPushButton* druck = nullptr;
    for (QPushButton* b : box->findChildren<QPushButton*>())
        if (b->text() == u"Druck"_s)
            druck = b;
    ASSERT_NE(druck, nullptr);

    const struct {
        QString page;
        QString title;
        int formType;
        QString entry;
        int objektNr;
    } cases[] = {
        {u"Notdi&enste"_s, u"Notdienste"_s, 70000, u"PrintObjNotdienst"_s, 10},
        {u"Mieter"_s, u"Mieter"_s, 36000, u"PrintMieterList"_s, -1},
        {u"&Grunddaten"_s, u"Mieter"_s, 36000, u"PrintMieterList"_s, -1},
        {u"Notdi&enste"_s, u"Notdienste"_s, 70000, u"PrintObjNotdienst"_s, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page.toStdString());
        form->showPage(c.page);
        ASSERT_EQ(form->currentPage(), c.page);
        EXPECT_EQ(box->title(), c.title);
        printed.clear();
        druck->click();
        ASSERT_EQ(printed.size(), 1);
        EXPECT_EQ(printed[0].formType, c.formType);
        EXPECT_EQ(printed[0].entry, c.entry);
        EXPECT_EQ(printed[0].objektNr, c.objektNr);
    }
    form.reset();
}

} // namespace

TEST_F(ObjektForm, TabInTheTenantNameGoesToThePhoneAndLeavingTheSubtenantsReturnsToTheGrid) {
    form->showPage(u"Mieter"_s);
    QApplication::setActiveWindow(form.get());
    auto* grid = form->findChild<widgets::DataGrid*>(u"GridMieter"_s);
    ASSERT_NE(grid, nullptr);
    QWidget* phone = nullptr;
    QWidget* subtenants = nullptr;
    for (widgets::FieldForm* fields : form->findChildren<widgets::FieldForm*>())
        if (fields->editor(u"OM_Telefon"_s)) {
            phone = fields->editor(u"OM_Telefon"_s);
            subtenants = fields->editor(u"OM_Untermieter"_s);
        }
    ASSERT_NE(phone, nullptr);
    ASSERT_NE(subtenants, nullptr);

    ASSERT_TRUE(grid->selectField(u"OM_Name"_s));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_TRUE(phone->hasFocus());

    subtenants->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(subtenants->hasFocus());
    phone->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_TRUE(grid->hasFocus());
}
