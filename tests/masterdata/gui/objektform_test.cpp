#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/numberproposals.h"
#include "core/data/recordrules.h"
#include "core/datagui/tf_selform.h"
#include "core/files/deleteguard.h"
#include "core/files/programdirs.h"
#include "core/gui/modaldriver.h"
#include "core/messages/messagecatalog.h"
#include "core/messages/syslog.h"
#include "core/rights/rights.h"
#include "core/rights/rightsfile.h"
#include "core/settings/formplacement.h"
#include "masterdata/activities.h"
#include "masterdata/dialogs/pickerfilters.h"
#include "masterdata/dialogs/tf_dbrtf.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/objektform.h"
#include "masterdata/gui/objektformhooks.h"
#include "masterdata/gui/objekttaetigpage.h"
#include "masterdata/gui/tf_listform.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/fieldform.h"
#include "printing/listbutton.h"
#include "tableformfixture.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

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
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 1},
                                 {u"O_Nr"_s, 10},
                                 {u"O_Aktiv"_s, true},
                                 {u"O_Kunde"_s, 100},
                                 {u"O_Name1"_s, u"Lindenhof"_s},
                                 {u"O_Name2"_s, u"Haus A"_s},
                                 {u"O_Strasse"_s, u"Lindenallee 12"_s},
                                 {u"O_Plz"_s, u"50668"_s},
                                 {u"O_Ort"_s, u"Köln"_s}});
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 2}, {u"O_Nr"_s, 20}, {u"O_Aktiv"_s, false}});
        addRow(u"Objekte.DB"_s, {{u"O_ID"_s, 3}, {u"O_Nr"_s, 0}, {u"O_Aktiv"_s, true}});
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 1},
                                {u"K_Nr"_s, 100},
                                {u"K_Match"_s, u"MEIER"_s},
                                {u"K_Name1"_s, u"Meier GmbH"_s},
                                {u"K_Name2"_s, u"Verwaltung"_s},
                                {u"K_Name3"_s, u"z. Hd. Frau Meier"_s},
                                {u"K_Strasse"_s, u"Hauptstr. 5"_s},
                                {u"K_Plz"_s, u"50667"_s},
                                {u"K_Ort"_s, u"Köln"_s}});
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 2}, {u"K_Nr"_s, 200}, {u"K_Match"_s, u"SCHULZ"_s}});
        addRow(u"Adress.DB"_s, {{u"A_ID"_s, 1},
                                {u"A_Nr"_s, 501},
                                {u"A_Name1"_s, u"Hausbank eG"_s},
                                {u"A_Strasse"_s, u"Ring 1"_s},
                                {u"A_Plz"_s, u"53111"_s},
                                {u"A_Ort"_s, u"Bonn"_s}});
        for (table::Table* lookup : {&dm->TabLUKunden(), &dm->TabLUAdress()})
            if (lookup->isOpen())
                lookup->refresh();
        table::Table& t = dm->TabObjekt();
        if (!t.isOpen())
            t.open();
        t.refresh();
        form = std::make_unique<TF_ListForm>(ObjektListFormDecl(), t);
        form->show();
    }
    void TearDown() override {
        form.reset();
        if (m_recordingPrints)
            SetListPrinter(m_previousPrinter);
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
    QStringList visiblePages() const {
        QStringList pages;
        QTabWidget* tabs = form->fields()->pages();
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->isTabVisible(i))
                pages << tabs->tabText(i);
        return pages;
    }
    void focus(QWidget& w, QEvent::Type type) {
        QFocusEvent event(type, Qt::OtherFocusReason);
        QApplication::sendEvent(&w, &event);
    }
    // What a print button handed to the printer.
    struct Print {
        int formType;
        QString entry;
        int tag;
        int objektNr; // -1: none
        QString logName;
    };
    // Print buttons record what they would print in printed; the form is
    // built anew, as its buttons are wired when it is built.
    void recordPrints() {
        m_recordingPrints = true;
        m_previousPrinter = SetListPrinter([this](TF_TableForm& f, const PrintButtonDecl& decl) {
            ListPrintButton button{decl.formType, decl.entry, decl.tag};
            if (decl.prepare)
                decl.prepare(f, button);
            printed.append({button.formType, button.entry, button.tag,
                            button.args.objektNr.value_or(-1), button.logName});
        });
        form.reset();
        form = std::make_unique<TF_ListForm>(ObjektListFormDecl(), dm->TabObjekt());
        form->show();
    }
    std::unique_ptr<TF_ListForm> form;
    QList<Print> printed;

private:
    TUserRec m_savedUser;
    ListPrinter m_previousPrinter;
    bool m_recordingPrints = false;
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
    recordPrints();
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

namespace {

// The next record lookup chooses the row whose key field holds key, or is
// cancelled when key is invalid.
void answerLookup(const QString& keyField, const QVariant& key) {
    WhenModalShown([=](QWidget* modal) {
        auto* d = qobject_cast<TF_DbSelect*>(modal);
        if (!d) {
            ADD_FAILURE() << "unexpected modal window " << modal->metaObject()->className();
            modal->close();
            return;
        }
        if (!key.isValid()) {
            d->btnCancel()->click();
            return;
        }
        EXPECT_TRUE(d->lookupTable()->locate({keyField}, {key}));
        d->grid()->followCursor();
        d->btnOK()->click();
    });
}

QStringList addressOf(table::Table& t, const QString& prefix) {
    QStringList lines;
    for (const char* suffix : {"Name1", "Name2", "Name3", "Strasse", "Plz", "Ort"})
        lines << FieldText(t, prefix + QString::fromLatin1(suffix));
    return lines;
}

// Puts the object table and the form's grid on the object, in the active
// form (whose first activation sorts and goes to the first object).
void goTo(TF_ListForm& form, int objektNr) {
    if (!form.isActiveWindow())
        formtest::ShowActive(form);
    ASSERT_TRUE(DataModule1().TabObjekt().locate({u"O_Nr"_s}, {objektNr}));
    form.grid().followCursor();
}

// The activity page of object 10 on the form the main window opens (the
// rules reach that one); the caller deletes the form.
ObjektTaetigPage* activitiesOfObject10(QPointer<TF_ListForm>& shown) {
    shown = &ShowListForm(u"TF_Objekt"_s);
    goTo(*shown, 10);
    shown->showPage(u"T&ätigkeit"_s);
    return ObjektTaetigPageOf(*shown);
}

// The action of the activity grid's menu with that caption; nullptr when none.
QAction* activityAction(ObjektTaetigPage& page, const QString& caption) {
    for (QAction* a : page.menu().actions())
        if (a->text() == caption)
            return a;
    return nullptr;
}

// Posts the object's customer number so that a case starts from it.
void setKunde(TF_ListForm& form, table::Table& t, int objektNr, int kunde) {
    goTo(form, objektNr);
    t.edit();
    t.field(u"O_Kunde"_s).setValue(kunde);
    t.post();
}

TEST_F(ObjektForm, EachCustomerFieldOpensThePickerWhichWritesTheChosenCustomerUnposted) {
    table::Table& t = dm->TabObjekt();
    QWidget* number = form->fields()->editor(u"O_Kunde"_s);
    ASSERT_NE(number, nullptr);
    const QList<QLineEdit*> names = form->findChildren<QLineEdit*>(u"K_Match"_s);
    ASSERT_EQ(names.size(), 2);
    const struct {
        const char* how;
        QString page;
        std::function<void()> open;
    } openers[] = {
        {"Alt+W on the number", u"Fa&ktura"_s,
         [&] { QTest::keyClick(number, Qt::Key_W, Qt::AltModifier); }},
        {"double-click on the number", u"Fa&ktura"_s,
         [&] { QTest::mouseDClick(number, Qt::LeftButton); }},
        {"double-click on the name of the first page", u"&Grunddaten"_s,
         [&] { QTest::mouseDClick(names[0], Qt::LeftButton); }},
        {"Alt+W on the name of the billing page", u"Fa&ktura"_s,
         [&] { QTest::keyClick(names[1], Qt::Key_W, Qt::AltModifier); }},
        {"Alt+W in the grid's customer column", u"&Grunddaten"_s,
         [&] {
             ASSERT_TRUE(form->grid().selectField(u"O_Kunde"_s));
             QTest::keyClick(&form->grid(), Qt::Key_W, Qt::AltModifier);
         }},
    };
    for (const auto& o : openers) {
        SCOPED_TRACE(o.how);
        form->showPage(o.page);
        goTo(*form, 10);
        answerLookup(u"K_Nr"_s, 200);
        o.open();
        EXPECT_TRUE(t.isEditing());
        EXPECT_EQ(FieldInt(t, u"O_Nr"_s), 10) << "the object stays current";
        EXPECT_EQ(FieldInt(t, u"O_Kunde"_s), 200);
        for (QLineEdit* name : names)
            EXPECT_EQ(name->text(), u"SCHULZ"_s);
        t.cancel();
        form->source().notifyRecordChanged();
    }
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(ObjektForm, TheSameCustomerOrNoneFromThePickerLeavesTheObjectOutOfEditState) {
    table::Table& t = dm->TabObjekt();
    QWidget* number = form->fields()->editor(u"O_Kunde"_s);
    ASSERT_NE(number, nullptr);
    form->showPage(u"Fa&ktura"_s);
    const struct {
        const char* what;
        int objektNr;
        QVariant choose; // invalid: cancelled, the picker gives its start number back
        int kunde;
    } cases[] = {
        {"the same customer again", 10, 100, 100},
        {"cancelled on an object with customer", 10, QVariant(), 100},
        {"cancelled on an object without customer: 0 comes back", 0, QVariant(), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        goTo(*form, c.objektNr);
        answerLookup(u"K_Nr"_s, c.choose);
        QTest::keyClick(number, Qt::Key_W, Qt::AltModifier);
        EXPECT_FALSE(t.isEditing());
        EXPECT_EQ(FieldInt(t, u"O_Kunde"_s), c.kunde);
    }
}

TEST_F(ObjektForm, TheAddressTakeOversCopyTheirSourceUnpostedOrTellWhatIsMissing) {
    table::Table& t = dm->TabObjekt();
    const QStringList meier = {u"Meier GmbH"_s,  u"Verwaltung"_s, u"z. Hd. Frau Meier"_s,
                               u"Hauptstr. 5"_s, u"50667"_s,      u"Köln"_s};
    const QStringList objekt = {u"Lindenhof"_s,      u"Haus A"_s, QString(),
                                u"Lindenallee 12"_s, u"50668"_s,  u"Köln"_s};
    const QStringList bank = {u"Hausbank eG"_s, QString(),  QString(),
                              u"Ring 1"_s,      u"53111"_s, u"Bonn"_s};
    const QStringList empty(6);
    QAction* customerAddress = nullptr;
    if (QMenu* menu = form->fields()->menu(u"O_Name1"_s))
        for (QAction* a : menu->actions())
            if (a->text() == u"Kundenadresse übernehmen"_s)
                customerAddress = a;
    ASSERT_NE(customerAddress, nullptr);
    const auto press = [this](const QString& caption) {
        for (QGroupBox* box : form->findChildren<QGroupBox*>())
            if (box->title() == u"Adress-Übernahme aus"_s)
                for (QPushButton* b : box->findChildren<QPushButton*>())
                    if (b->text() == caption) {
                        b->click();
                        return;
                    }
        ADD_FAILURE() << "no button " << caption.toStdString();
    };
    const struct {
        const char* what;
        int objektNr;
        int kunde; // posted before
        std::function<void()> run;
        QString prefix;
        QStringList address; // of prefix afterwards
        QString error;       // empty: none, and the record is left in edit state
    } cases[] = {
        {"Kunde", 10, 100, [&] { press(u"Kunde"_s); }, u"O_Rg"_s, meier, {}},
        {"Kunde without customer", 10, 0, [&] { press(u"Kunde"_s); }, u"O_Rg"_s, empty,
         u"Dem Objekt ist kein Kunde zugewiesen!"_s},
        {"Kunde with an unknown customer", 10, 999, [&] { press(u"Kunde"_s); }, u"O_Rg"_s, empty,
         LoadMessage(64746)},
        {"Objekt", 10, 100, [&] { press(u"Objekt"_s); }, u"O_Rg"_s, objekt, {}},
        {"Kundenadresse übernehmen",
         10,
         100,
         [&] { customerAddress->trigger(); },
         u"O_"_s,
         meier,
         {}},
        {"Kundenadresse übernehmen without customer", 10, 0, [&] { customerAddress->trigger(); },
         u"O_"_s, objekt, u"Dem Objekt ist kein Kunde zugewiesen!"_s},
        {"Adressen",
         10,
         100,
         [&] {
             answerLookup(u"A_Nr"_s, 501);
             press(u"Adressen"_s);
         },
         u"O_Rg"_s,
         bank,
         {}},
        {"Adressen cancelled", 10, 100,
         [&] {
             answerLookup(u"A_Nr"_s, QVariant());
             press(u"Adressen"_s);
         },
         u"O_Rg"_s, empty, u"-"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        setKunde(*form, t, c.objektNr, c.kunde);
        presenter.boxes.clear();
        c.run();
        EXPECT_EQ(addressOf(t, c.prefix), c.address);
        if (c.error.isEmpty()) {
            EXPECT_TRUE(presenter.boxes.isEmpty());
            EXPECT_TRUE(t.isEditing()) << "left unposted";
            t.cancel();
        } else {
            EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error),
                      c.error == u"-"_s ? QStringList() : QStringList{c.error});
            EXPECT_FALSE(t.isEditing());
        }
        EXPECT_EQ(addressOf(t, c.prefix), c.prefix == u"O_"_s ? objekt : empty)
            << "nothing was posted";
    }
}

// "Adressen" under "Adress-Übernahme aus": the address picker opens on the
// sort the user chose last, in the same run and after a restart.
TEST_F(ObjektForm, TheAddressPickersSortSurvivesUsesAndARestart) {
    table::Table& t = dm->TabObjekt();
    const auto pressAdressen = [this] {
        for (QGroupBox* box : form->findChildren<QGroupBox*>())
            if (box->title() == u"Adress-Übernahme aus"_s)
                for (QPushButton* b : box->findChildren<QPushButton*>())
                    if (b->text() == u"Adressen"_s)
                        b->click();
    };
    // Each use: what the picker started with, then the sort the user picks.
    const auto use = [&](const QString& sortBy) -> QString {
        QString startedWith;
        WhenModalShown([&](QWidget* modal) {
            auto* d = qobject_cast<TF_DbSelect*>(modal);
            ASSERT_NE(d, nullptr);
            startedWith = d->sortField();
            if (!sortBy.isEmpty())
                d->sortBy(sortBy);
            ASSERT_TRUE(d->lookupTable()->locate({u"A_Nr"_s}, {501}));
            d->grid()->followCursor();
            d->btnOK()->click();
        });
        EXPECT_TRUE(t.locate({u"O_Nr"_s}, {10}));
        pressAdressen();
        t.cancel();
        return startedWith;
    };
    EXPECT_EQ(use(u"A_Ort"_s), u"A_Nr"_s) << "nothing kept: by the number";
    EXPECT_EQ(use({}), u"A_Ort"_s);
    EXPECT_EQ(use({}), u"A_Ort"_s) << "kept over a use that chose no sort";

    form->hide(); // the program's end writes the placement
    const auto stored =
        ReadFormPlacement(kPlacementFile03, u"Objekt"_s, 0,
                          {u"GridObjekt.Columns"_s, u"lbSort.Caption"_s, u"lbSortAdr.Caption"_s});
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->properties.value(u"lbSortAdr.Caption"_s), u"A_Ort"_s);
    EXPECT_EQ(stored->properties.value(u"lbSort.Caption"_s), u"O_Nr"_s);
    EXPECT_FALSE(stored->properties.value(u"GridObjekt.Columns"_s).isEmpty());

    form.reset(); // the next start
    form = std::make_unique<TF_ListForm>(ObjektListFormDecl(), t);
    form->show();
    EXPECT_EQ(use(u"A_Name1"_s), u"A_Ort"_s);
    EXPECT_EQ(use({}), u"A_Name1"_s);
}

TEST_F(ObjektForm, AnActivityDraggedFromTheActivityFormIsDroppedOnTheActivityGrid) {
    struct Restore {
        std::function<int(const QMimeData&)> previous = ObjektFormHooksRegistry().taetigNrOfDrag;
        ~Restore() { ObjektFormHooksRegistry().taetigNrOfDrag = previous; }
    } restore;
    // As the modules install it beside the activity form.
    ObjektFormHooksRegistry().taetigNrOfDrag = &TaetigNrOfDragData;
    addRow(u"Taetig.DB"_s, {{u"T_ID"_s, 1}, {u"T_Nr"_s, 7}, {u"T_Func"_s, 2}});
    addRow(u"Taetig.DB"_s, {{u"T_ID"_s, 2}, {u"T_Nr"_s, 8}, {u"T_Func"_s, 0}});
    goTo(*form, 10);
    form->showPage(u"T&ätigkeit"_s);
    auto* grid = form->findChild<widgets::DataGrid*>(u"GridOTaetig"_s);
    ASSERT_NE(grid, nullptr);
    QWidget* target = grid->viewport();
    const QPoint at = target->rect().center();

    // Dragging moves over the grid before it drops; it reports whether the grid accepted.
    const auto drag = [&](QMimeData& data) {
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        enter.setDropAction(Qt::IgnoreAction);
        enter.ignore();
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
        drop.ignore();
        QApplication::sendEvent(target, &drop);
        return enter.isAccepted() && drop.isAccepted();
    };
    const auto stored = [this] {
        QStringList rows;
        auto t = open(u"ObjTaet.db"_s);
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            rows << QString::number(FieldInt(*t, u"TS_Objekt"_s)) + u':' +
                        QString::number(FieldInt(*t, u"TS_Taetigkeit"_s)) + u'/' +
                        QString::number(FieldInt(*t, u"TS_Func"_s));
        return rows;
    };

    QMimeData text;
    text.setText(u"7"_s);
    EXPECT_FALSE(drag(text)) << "only activities are taken";
    EXPECT_EQ(stored(), QStringList());

    std::unique_ptr<QMimeData> first(TaetigDragData(7));
    EXPECT_TRUE(drag(*first));
    EXPECT_EQ(stored(), QStringList{u"10:7/2"_s}) << "a new row for the object without any";
    EXPECT_EQ(grid->model()->rowCount(), 1);

    std::unique_ptr<QMimeData> second(TaetigDragData(8));
    EXPECT_TRUE(drag(*second));
    EXPECT_EQ(stored(), QStringList{u"10:8/0"_s}) << "the current row takes the activity";
    EXPECT_FALSE(dm->TabObjTaetig().isEditing());
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(ObjektForm, EachPrintButtonPrintsItsFormTypeWithItsArgumentsAndLogLines) {
    recordPrints();
    goTo(*form, 10);
    form->showPage(u"&Grunddaten"_s);

    // The buttons of a group box, or of the bottom strip for an empty group.
    const auto button = [this](const QString& group, const QString& caption) -> QPushButton* {
        QList<QPushButton*> candidates;
        if (group.isEmpty()) {
            for (QPushButton* b : form->findChildren<QPushButton*>())
                if (!qobject_cast<QGroupBox*>(b->parentWidget()))
                    candidates << b;
        } else if (QGroupBox* box = form->printGroup(group)) {
            candidates = box->findChildren<QPushButton*>();
        }
        for (QPushButton* b : candidates)
            if (b->text().remove(u'&') == caption)
                return b;
        return nullptr;
    };
    const struct {
        QString group;
        QString caption;
        Print print;
    } cases[] = {
        {{}, u"Druck"_s, {15000, u"PrintObjList"_s, 0, -1, u"ObjPrint"_s}},
        {{}, u"Vorschau"_s, {15000, u"PrintObjList"_s, 1, -1, u"ObjPrint"_s}},
        {u"Tätigkeit."_s, u"Druck"_s, {16000, u"PrintObjTaetig"_s, 0, 10, {}}},
        {u"Tätigkeit."_s, u"Vorschau"_s, {16000, u"PrintObjTaetig"_s, 1, 10, {}}},
        {u"Objekt-Adr"_s, u"Druck"_s, {17000, u"PrintObjAdressen"_s, 0, -1, u"ObjPrintAdr"_s}},
        {u"Objekt-Adr"_s, u"Vorschau"_s, {17000, u"PrintObjAdressen"_s, 1, -1, u"ObjPrintAdr"_s}},
        {u"Mieter"_s, u"Druck"_s, {36000, u"PrintMieterList"_s, 0, -1, {}}},
        {u"Mieter"_s, u"Vorschau"_s, {36000, u"PrintMieterList"_s, 1, -1, {}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString(c.group + u' ' + c.caption).toStdString());
        QPushButton* b = button(c.group, c.caption);
        ASSERT_NE(b, nullptr);
        printed.clear();
        b->click();
        ASSERT_EQ(printed.size(), 1);
        EXPECT_EQ(printed[0].formType, c.print.formType);
        EXPECT_EQ(printed[0].entry, c.print.entry);
        EXPECT_EQ(printed[0].tag, c.print.tag);
        EXPECT_EQ(printed[0].objektNr, c.print.objektNr);
        EXPECT_EQ(printed[0].logName, c.print.logName);
    }
    form.reset();
}

} // namespace

namespace {

TEST_F(ObjektForm, AltKAndAltWInTheActivityColumnOpenTheActivityPickerWhateverCaptionsTheFormHas) {
    addRow(u"Taetig.DB"_s, {{u"T_ID"_s, 1}, {u"T_Nr"_s, 7}});
    goTo(*form, 10);
    form->showPage(u"T&ätigkeit"_s);
    auto* grid = form->findChild<widgets::DataGrid*>(u"GridOTaetig"_s);
    ASSERT_NE(grid, nullptr);
    const struct {
        const char* how;
        std::function<void()> open;
    } openers[] = {
        {"Alt+K", [&] { QTest::keyClick(grid, Qt::Key_K, Qt::AltModifier); }},
        {"Alt+W", [&] { QTest::keyClick(grid, Qt::Key_W, Qt::AltModifier); }},
    };
    for (const auto& o : openers) {
        SCOPED_TRACE(o.how);
        grid->source().insert();
        ASSERT_TRUE(grid->selectField(u"TS_Taetigkeit"_s));
        grid->setFocus();
        const QString page = form->currentPage();
        answerLookup(u"T_Nr"_s, 7);
        o.open();
        EXPECT_EQ(FieldInt(dm->TabObjTaetig(), u"TS_Taetigkeit"_s), 7);
        EXPECT_EQ(form->currentPage(), page) << "no caption's mnemonic took the key";
        dm->TabObjTaetig().cancel();
        grid->source().notifyViewChanged();
    }
}

} // namespace

namespace {

// The object's field, posted.
void postField(table::Table& t, const QString& field, const QVariant& value) {
    t.edit();
    t.field(field).setValue(value);
    t.post();
}

TEST_F(ObjektForm, TheReportFormChoiceOffersTheFormsOfTheReportScopeAndShowsTheChosenOnesName) {
    for (const int type : {26000, 27000, 28000})
        addRow(u"QrFrmDef.DB"_s, {{u"QF_ID"_s, type + 5},
                                  {u"Q_FormType"_s, type},
                                  {u"Q_Protect"_s, false},
                                  {u"Q_SelectGroup"_s, 0},
                                  {u"Q_Filename"_s, u"F%1.qrf"_s.arg(type + 5)},
                                  {u"Q_Comment"_s, u"Bericht %1"_s.arg(type + 5)}});
    table::Table& t = dm->TabObjekt();
    goTo(*form, 10);
    form->showPage(u"Be&richte"_s);
    auto* name = form->findChild<QLabel*>(u"lbBerichtForm"_s);
    ASSERT_NE(name, nullptr);
    QPushButton* choose = nullptr;
    for (QPushButton* b : form->findChildren<QPushButton*>())
        if (b->text() == u"Druckf&ormular"_s)
            choose = b;
    ASSERT_NE(choose, nullptr);
    const struct {
        QVariant scope;
        int chosen; // 0: cancelled
        int type;
    } cases[] = {{QVariant(), 26005, 26000},
                 {1, 26005, 26000},
                 {2, 27005, 27000},
                 {3, 28005, 28000},
                 {2, 0, 27000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scope.toString().toStdString() + " -> " + std::to_string(c.chosen));
        postField(t, u"O_BerichtModus"_s, c.scope);
        postField(t, u"O_PrintFormNoKB"_s, QVariant());
        form->source().notifyRecordChanged();
        QList<int> offered;
        WhenModalShown([&](QWidget* modal) {
            auto* d = qobject_cast<TF_SelForm*>(modal);
            if (!d) {
                ADD_FAILURE() << "unexpected modal window";
                modal->close();
                return;
            }
            for (int r = 0; r < d->grid()->rowCount(); ++r) {
                const int id = d->grid()->item(r, 0)->text().toInt();
                offered << id / 1000 * 1000;
                if (id == c.chosen)
                    d->grid()->selectRow(r);
            }
            c.chosen != 0 ? d->accept() : d->reject();
        });
        choose->click();
        ASSERT_FALSE(offered.isEmpty());
        EXPECT_EQ(QSet<int>(offered.begin(), offered.end()), QSet<int>{c.type});
        EXPECT_EQ(t.isEditing(), c.chosen != 0) << "left unposted";
        EXPECT_EQ(FieldInt(t, u"O_PrintFormNoKB"_s), c.chosen);
        EXPECT_EQ(name->text(), c.chosen != 0 ? u"Bericht %1"_s.arg(c.chosen) : QString());
        if (t.isEditing())
            t.cancel();
    }
}

TEST_F(ObjektForm, NotesAreEditedUnderTheObjectsCaptionWhichComesBackAfterwards) {
    goTo(*form, 10);
    const QString caption = form->windowTitle();
    QString captionWhileOpen;
    WhenModalShown([&](QWidget* modal) {
        captionWhileOpen = form->windowTitle();
        modal->close();
    });
    QPushButton* notes = form->button(u"Notizen"_s);
    ASSERT_NE(notes, nullptr);
    notes->click();
    EXPECT_EQ(captionWhileOpen, u"Notizen bearbeiten [Objekt 10]"_s);
    EXPECT_EQ(form->windowTitle(), caption);
    EXPECT_FALSE(dm->TabObjekt().isEditing());
}

TEST_F(ObjektForm, StockAndDocumentsWriteTheirLogLinesAroundTheirForms) {
    const QString savedLog = LogFileName;
    const bool savedEnabled = LogEnabled;
    LogFileName = path(u"Syslog.txt"_s);
    LogEnabled = true;
    struct Restore {
        std::function<void(int, int)> previous = ObjektFormHooksRegistry().showArtikelForm;
        ~Restore() { ObjektFormHooksRegistry().showArtikelForm = previous; }
    } restore;
    QList<std::pair<int, int>> stocks;
    ObjektFormHooksRegistry().showArtikelForm = [&](int objId, int objNr) {
        WriteLog(u"Artikel"_s);
        stocks.append({objId, objNr});
    };
    goTo(*form, 10);
    WhenModalShown([](QWidget* modal) { modal->close(); });
    form->button(u"Dokum."_s)->click();
    form->button(u"Lager"_s)->click();
    LogFileName = savedLog;
    LogEnabled = savedEnabled;

    EXPECT_EQ(stocks, (QList<std::pair<int, int>>{{1, 10}}));
    QFile log(path(u"Syslog.txt"_s));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    QStringList messages;
    for (const QByteArray& line : log.readAll().split('\n'))
        if (!line.trimmed().isEmpty())
            messages << QString::fromLatin1(line).section(u'>', 1).trimmed();
    EXPECT_EQ(messages, (QStringList{u"ObjDoku IN"_s, u"ObjDoku OUT"_s, u"ObjLager IN"_s,
                                     u"Artikel"_s, u"ObjLager OUT"_s}));
}

TEST_F(ObjektForm, TheRightsOfFunctionsTenToThirteenShowButtonsAndPages) {
    const struct {
        const char* what;
        int right10, right11, right12, right13;
        bool druck, lager, dokum, faktura, offen, menus;
    } cases[] = {
        {"all rights", rbAllRights, rbAllRights, rbAllRights, rbAllRights, true, true, true, true,
         true, true},
        {"no print, no export, no 11 to 13", rbAllRights & ~(rbPrint | rbExport), 0, 0, 0, false,
         false, false, false, false, true},
        {"no edit", rbAllRights & ~rbEdit, rbAllRights, rbAllRights, rbAllRights, true, true, true,
         true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CurrentUser.rights.set(10, c.right10);
        CurrentUser.rights.set(11, c.right11);
        CurrentUser.rights.set(12, c.right12);
        CurrentUser.rights.set(13, c.right13);
        form.reset();
        form = std::make_unique<TF_ListForm>(ObjektListFormDecl(), dm->TabObjekt());
        formtest::ShowActive(*form);
        const QStringList pages = visiblePages();
        EXPECT_EQ(pages.contains(u"Fa&ktura"_s), c.faktura);
        EXPECT_EQ(pages.contains(u"Offene Posten"_s), c.offen);
        EXPECT_FALSE(pages.contains(u"Extras"_s));
        EXPECT_EQ(form->button(u"Lager"_s)->isVisible(), c.lager);
        EXPECT_EQ(form->button(u"Dokum."_s)->isVisible(), c.dokum);
        const Qt::ContextMenuPolicy menus = c.menus ? Qt::CustomContextMenu : Qt::NoContextMenu;
        EXPECT_EQ(ObjektTaetigPageOf(*form)->grid().contextMenuPolicy(), menus);
        EXPECT_EQ(form->fields()->editor(u"O_Name1"_s)->contextMenuPolicy(), menus);
        for (const QString& group : {u"Tätigkeit."_s, u"Objekt-Adr"_s, u"Mieter"_s})
            for (QPushButton* b : form->printGroup(group)->findChildren<QPushButton*>())
                EXPECT_EQ(b->isVisible(), b->text() == u"Vorschau"_s || c.druck)
                    << group.toStdString() << ' ' << b->text().toStdString();
    }
}

TEST_F(ObjektForm, TheFormShowsItsNinePagesAndOpensTheDetailTablesOnlyWhileShown) {
    EXPECT_EQ(visiblePages(), (QStringList{u"&Grunddaten"_s, u"Ans&prechp."_s, u"Ob&jektdaten"_s,
                                           u"T&ätigkeit"_s, u"Be&richte"_s, u"Fa&ktura"_s,
                                           u"Notdi&enste"_s, u"Mieter"_s, u"Offene Posten"_s}));
    const QList<table::Table*> details = {&dm->TabMieter(), &dm->TabObjND(), &dm->TabObjTour(),
                                          &dm->TabObjTaetig()};
    for (bool timerWasOn : {true, false}) {
        SCOPED_TRACE(timerWasOn ? "timer work on" : "timer work off");
        for (table::Table* t : details)
            EXPECT_TRUE(t->isOpen());
        timerWasOn ? dm->EnableTimerWork() : dm->DisableTimerWork();
        auto* grid = form->findChild<widgets::DataGrid*>(u"GridMieter"_s);
        focus(*grid, QEvent::FocusIn);
        EXPECT_FALSE(dm->IsTimerWorkEnabled());
        form->hide();
        for (table::Table* t : details)
            EXPECT_FALSE(t->isOpen());
        EXPECT_EQ(dm->IsTimerWorkEnabled(), timerWasOn) << "closing gives it back as found";
        EXPECT_EQ(&form->navigator().dataSource().table(), &dm->TabObjekt());
        form->show();
    }
}

TEST_F(ObjektForm, ARefusedDetailRowKeepsTheFormOpenUntilItIsMendedOrCancelled) {
    goTo(*form, 10);
    table::Table& activities = dm->TabObjTaetig();
    activities.append(); // no activity: the rules refuse the row
    QString shown;
    WhenModalShown([&shown](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            shown = box->text();
        modal->close();
    });
    form->reject();
    EXPECT_TRUE(form->isVisible()) << "the row can still be mended";
    EXPECT_EQ(shown, InvalidObjTaetigText());
    EXPECT_TRUE(activities.isOpen());
    EXPECT_TRUE(activities.isEditing());

    activities.cancel();
    form->reject();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(activities.isOpen()) << "nothing half-edited outlives the form";
    form->show(); // opens again without an error
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(activities.isOpen());
    EXPECT_FALSE(activities.isEditing());
}

TEST_F(ObjektForm, SettledOpenItemsAreLightGreenTheOthersWhite) {
    const struct {
        int id;
        bool settled;
    } items[] = {{1, true}, {2, false}, {3, true}};
    for (const auto& i : items)
        addRow(u"OpKopf.DB"_s, {{u"R_ID"_s, i.id},
                                {u"R_Nr"_s, u"R-%1"_s.arg(i.id)},
                                {u"R_ObjektNr"_s, 10},
                                {u"R_DatumDruck"_s, QDate(2026, 1, i.id)},
                                {u"O_Erledigt"_s, i.settled}});
    goTo(*form, 10);
    form->showPage(u"Offene Posten"_s);
    auto* grid = form->findChild<widgets::DataGrid*>(u"GridOP"_s);
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->model()->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        const QColor color =
            grid->model()->index(row, 0).data(Qt::BackgroundRole).value<QBrush>().color();
        EXPECT_EQ(color, items[row].settled ? QColor(0x66, 0xEE, 0x66) : QColor(Qt::white)) << row;
    }
}

TEST_F(ObjektForm, ANewActivityRowFocusesTheActivityColumnAndAddingNeedsTheFirstTwoColumns) {
    addRow(u"Taetig.DB"_s, {{u"T_ID"_s, 1}, {u"T_Nr"_s, 7}});
    addRow(u"ObjTaet.db"_s, {{u"TS_ID"_s, 1}, {u"TS_Objekt"_s, 10}, {u"TS_Taetigkeit"_s, 7}});
    form.reset();
    QPointer<TF_ListForm> shown;
    const auto close = qScopeGuard([&] { delete shown.data(); });
    ObjektTaetigPage* page = activitiesOfObject10(shown);
    ASSERT_NE(page, nullptr);
    widgets::DataGrid& grid = page->grid();
    ASSERT_EQ(grid.model()->rowCount(), 1);
    QAction* adding = activityAction(*page, u"Tätigkeit hinzufügen"_s);
    ASSERT_NE(adding, nullptr);
    for (int column = 0; column < grid.model()->columnCount(); ++column) {
        SCOPED_TRACE(column);
        grid.setCurrentIndex(grid.model()->index(0, column));
        Q_EMIT grid.customContextMenuRequested(QPoint(4, 4));
        EXPECT_EQ(adding->isEnabled(), column <= 1);
        page->menu().hide();
    }

    ASSERT_TRUE(grid.selectField(u"TS_StartDatum"_s));
    grid.source().insert(); // the rules focus the activity column of the new row
    EXPECT_EQ(grid.selectedField(), u"TS_Taetigkeit"_s);
    dm->TabObjTaetig().cancel();
    RecordRuleHooksRegistry().focusField(u"TabObjTaetigTS_StartDatum"_s);
    EXPECT_EQ(grid.selectedField(), u"TS_StartDatum"_s);
    RecordRuleHooksRegistry().focusField(u"TabObjTaetigNichtDa"_s);
    EXPECT_EQ(grid.selectedField(), u"TS_StartDatum"_s);
}

} // namespace

namespace {

TEST_F(ObjektForm, TheActivityGridListsTheCurrentObjectsRowsOnly) {
    addRow(u"Taetig.DB"_s, {{u"T_ID"_s, 1}, {u"T_Nr"_s, 7}});
    addRow(u"ObjTaet.db"_s, {{u"TS_ID"_s, 1}, {u"TS_Objekt"_s, 10}, {u"TS_Taetigkeit"_s, 7}});
    addRow(u"ObjTaet.db"_s, {{u"TS_ID"_s, 2}, {u"TS_Objekt"_s, 10}, {u"TS_Taetigkeit"_s, 7}});
    form.reset();
    form = std::make_unique<TF_ListForm>(ObjektListFormDecl(), dm->TabObjekt());
    form->show();
    form->showPage(u"T&ätigkeit"_s);
    auto* grid = form->findChild<widgets::DataGrid*>(u"GridOTaetig"_s);
    ASSERT_NE(grid, nullptr);
    for (const auto& [objektNr, rows] : {std::pair{10, 2}, std::pair{0, 0}, std::pair{10, 2}}) {
        SCOPED_TRACE(objektNr);
        goTo(*form, objektNr);
        EXPECT_EQ(grid->model()->rowCount(), rows);
    }
}

} // namespace

namespace {

TEST_F(ObjektForm, EachActivityColumnOpensItsOwnEditorOrNone) {
    addRow(u"Taetig.DB"_s, {{u"T_ID"_s, 1}, {u"T_Nr"_s, 7}, {u"T_Func"_s, 0}});
    addRow(u"ObjTaet.db"_s, {{u"TS_ID"_s, 1},
                             {u"TS_Objekt"_s, 10},
                             {u"TS_Taetigkeit"_s, 7},
                             {u"TS_Modus"_s, 1},
                             {u"TS_Func"_s, 0}});
    goTo(*form, 10);
    form->showPage(u"T&ätigkeit"_s);
    auto* grid = form->findChild<widgets::DataGrid*>(u"GridOTaetig"_s);
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->model()->rowCount(), 1);
    const struct {
        QString field;
        QString opened; // the modal window's class and caption; empty: none
    } cases[] = {
        {u"TS_Taetigkeit"_s, u"TF_DbSelect"_s},
        {u"TsTaetigname"_s, u"TF_DbSelect"_s},
        {u"TS_StartDatum"_s, u"TF_Kalender"_s},
        {u"ModusName"_s, u"TF_DbSelect Ausführungsintervall auswählen"_s},
        {u"TS_Wtag"_s, {}},
        {u"TS_ServiceID"_s, {}},
        {u"TS_Param"_s, {}}, // "Formularvorlagen bearbeiten" only for form printing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field.toStdString());
        ASSERT_TRUE(grid->selectField(c.field));
        QString opened;
        QTimer poll; // a local timer: nothing is left waiting when no window opens
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            opened = QString::fromLatin1(modal->metaObject()->className());
            if (c.field == u"ModusName"_s)
                opened += u' ' + modal->windowTitle();
            modal->close();
        });
        poll.start();
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_K, Qt::AltModifier);
        poll.stop();
        EXPECT_EQ(opened, c.opened) << opened.toStdString();
        EXPECT_FALSE(dm->TabObjTaetig().isEditing()) << "closing the editor changes nothing";
    }
}

} // namespace

namespace {

TEST_F(ObjektForm, TheEmergencyServicePickerRefusesOneTheObjectHasAndWritesAnother) {
    for (const int nr : {7, 8, 9})
        addRow(u"Notdnst.DB"_s, {{u"ND_ID"_s, nr}, {u"ND_Nr"_s, nr}});
    addRow(u"ObjektND.db"_s, {{u"OND_ID"_s, 1}, {u"OND_ObjNr"_s, 10}, {u"OND_NdNr"_s, 7}});
    addRow(u"ObjektND.db"_s, {{u"OND_ID"_s, 2}, {u"OND_ObjNr"_s, 10}, {u"OND_NdNr"_s, 8}});
    struct Restore {
        std::function<int(int)> previous = RecordRuleHooksRegistry().selectNotdienst;
        ~Restore() { RecordRuleHooksRegistry().selectNotdienst = previous; }
    } restore;
    int answer = 0;
    QList<int> offered;
    RecordRuleHooksRegistry().selectNotdienst = [&](int typed) {
        offered << typed;
        return answer;
    };
    goTo(*form, 10);
    form->showPage(u"Notdi&enste"_s);
    auto* grid = form->findChild<widgets::DataGrid*>(u"GridNotdienst"_s);
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->model()->rowCount(), 2);
    table::Table& t = dm->TabObjND();
    ASSERT_TRUE(t.locate({u"OND_NdNr"_s}, {8}));
    grid->followCursor();
    grid->setFocus();
    const struct {
        int answer;
        QStringList errors;
        bool editing;
        int nr;
    } cases[] = {
        {7, {u"Dieser Notdienst ist bereits in der Liste enthalten!"_s}, false, 8},
        {0, {}, false, 8},
        {8, {}, false, 8},
        {9, {}, true, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        presenter.boxes.clear();
        offered.clear();
        answer = c.answer;
        QTest::keyClick(grid, Qt::Key_W, Qt::AltModifier);
        EXPECT_EQ(offered, QList<int>{8}) << "opened on the row's number";
        EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error), c.errors);
        EXPECT_EQ(t.isEditing(), c.editing);
        EXPECT_EQ(FieldInt(t, u"OND_NdNr"_s), c.nr);
    }
    t.cancel();
}

} // namespace

namespace {

TEST_F(ObjektForm, TheEmergencyServiceNoteIsEditedWithTheTimerWorkPausedAsFound) {
    addRow(u"Notdnst.DB"_s, {{u"ND_ID"_s, 7}, {u"ND_Nr"_s, 7}});
    addRow(u"ObjektND.db"_s, {{u"OND_ID"_s, 1}, {u"OND_ObjNr"_s, 10}, {u"OND_NdNr"_s, 7}});
    struct Restore {
        widgets::RichEditOpener previous = widgets::SetRichEditOpener({});
        ~Restore() { widgets::SetRichEditOpener(previous); }
    } restore;
    InstallRtfEditorOpener();
    goTo(*form, 10);
    form->showPage(u"Notdi&enste"_s);
    auto* grid = form->findChild<widgets::DataGrid*>(u"GridNotdienst"_s);
    QWidget* info = nullptr;
    for (widgets::FieldForm* fields : form->findChildren<widgets::FieldForm*>())
        if (fields->editor(u"OND_Info"_s))
            info = fields->editor(u"OND_Info"_s);
    ASSERT_NE(grid, nullptr);
    ASSERT_NE(info, nullptr);
    auto* viewport = qobject_cast<QAbstractScrollArea*>(info)->viewport();
    for (bool timerWasOn : {true, false}) {
        SCOPED_TRACE(timerWasOn ? "timer work on" : "timer work off");
        timerWasOn ? dm->EnableTimerWork() : dm->DisableTimerWork();
        bool opened = false;
        bool timerWhileOpen = true;
        WhenModalShown([&](QWidget* modal) {
            opened = true;
            // Once the editor has the focus, the note has lost it.
            EXPECT_TRUE(QTest::qWaitForWindowActive(modal));
            QApplication::processEvents();
            timerWhileOpen = dm->IsTimerWorkEnabled();
            modal->close();
        });
        QTest::mouseClick(viewport, Qt::LeftButton, {}, viewport->rect().center());
        EXPECT_TRUE(opened);
        EXPECT_FALSE(timerWhileOpen);
        formtest::ShowActive(*form); // the editor gave the window back
        EXPECT_FALSE(dm->IsTimerWorkEnabled()) << "still in the note";
        grid->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        EXPECT_FALSE(dm->IsTimerWorkEnabled()) << "the page's grid holds it on";
        form->grid().setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        EXPECT_EQ(dm->IsTimerWorkEnabled(), timerWasOn) << "given back as found";
    }
}

} // namespace

namespace {

TEST_F(ObjektForm, TheAppointmentPreviewOfTheCurrentActivityWhileTheOperationsSideIsInstalled) {
    addRow(u"Taetig.DB"_s, {{u"T_ID"_s, 1}, {u"T_Nr"_s, 7}});
    addRow(u"ObjTaet.db"_s, {{u"TS_ID"_s, 4}, {u"TS_Objekt"_s, 10}, {u"TS_Taetigkeit"_s, 7}});
    form.reset();
    QPointer<TF_ListForm> shown;
    const auto close = qScopeGuard([&] { delete shown.data(); });
    ObjektTaetigPage* page = activitiesOfObject10(shown);
    ASSERT_NE(page, nullptr);
    QAction* preview = activityAction(*page, u"Termin-Vorschau"_s);
    ASSERT_NE(preview, nullptr);
    const ObjektFormHooks saved = ObjektFormHooksRegistry();
    ObjektFormHooksRegistry().showTermPreview = {};
    widgets::DataGrid& grid = page->grid();
    grid.setCurrentIndex(grid.model()->index(0, 0));
    Q_EMIT grid.customContextMenuRequested(QPoint(4, 4));
    EXPECT_FALSE(preview->isEnabled());
    page->menu().hide();
    QList<int> asked;
    ObjektFormHooksRegistry().showTermPreview = [&](int id) { asked << id; };
    Q_EMIT grid.customContextMenuRequested(QPoint(4, 4));
    EXPECT_TRUE(preview->isEnabled());
    page->menu().hide();
    preview->trigger();
    EXPECT_EQ(asked, QList<int>{4});
    ObjektFormHooksRegistry() = saved;
}

} // namespace
