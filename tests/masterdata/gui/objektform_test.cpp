#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/numberproposals.h"
#include "core/deleteguard.h"
#include "core/messagecatalog.h"
#include "core/rights.h"
#include "masterdata/activities.h"
#include "masterdata/dialogs/pickerfilters.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/objektform.h"
#include "masterdata/gui/objektformhooks.h"
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
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
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
