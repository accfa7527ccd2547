#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/recordrules.h"
#include "core/files/programdirs.h"
#include "core/gui/modaldriver.h"
#include "core/messages/messagelist.h"
#include "core/values/holidays.h"
#include "masterdata/gui/listforms.h"
#include "masterdata/gui/objektformhooks.h"
#include "masterdata/gui/tableformfixture.h"
#include "operations/gui/operationsmodules.h"
#include "operations/gui/tf_termprev.h"
#include "operations/gui/tourform.h"
#include "operations/gui/tourpanel.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/userprompts.h"

#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTime>
#include <QToolButton>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

// The lines the cascades write into the message list.
class LineRecorder : public MessageListSink {
public:
    bool isOpen() const override { return m_open; }
    void open(const QString&, const QString& firstLine, int, int) override {
        m_open = true;
        lines << firstLine;
    }
    void addLine(const QString& text) override { lines << text; }
    void setStatus(const QString&) override {}
    void setHeight(int) override {}
    void setWidth(int) override {}
    void close() override { m_open = false; }
    QStringList lines;

private:
    bool m_open = false;
};

// Tour 4 (Tuesday, services "AB") with objects 21 and 22 and staff member
// 8; tour 5 (Wednesday); object 21 with three activities.
class TourForm : public formtest::ListFormTest {
protected:
    void SetUp() override {
        ListFormTest::SetUp();
        grant(14);
        widgets::setErrorPresenter([this](QWidget*, const QString& m) { errors.append(m); });
        m_savedSink = SetMessageListSink(&messageLines);
        m_savedListEnabled = MessageListEnabled;
        MessageListEnabled = true;
        for (const char* file : {"Touren.db", "TourObj.db", "TourPers.DB", "ObjTaet.db",
                                 "TglFterm.DB", "Objekte.DB", "Personal.DB", "Taetig.DB"})
            table::aliases::database(u"LumoDB"_s)->emptyTable(QString::fromLatin1(file));
        addRow(u"Personal.DB"_s, {{u"P_ID"_s, 1}, {u"P_Nr"_s, 8}, {u"P_Name1"_s, u"Berger"_s}});
        for (int nr : {21, 22, 23})
            addRow(u"Objekte.DB"_s, {{u"O_ID"_s, nr},
                                     {u"O_Nr"_s, nr},
                                     {u"O_Match"_s, u"Objekt %1"_s.arg(nr)},
                                     {u"O_Aktiv"_s, true}});
        addTour(1, 4, 2, u"AB"_s, QDate::currentDate().addDays(14));
        addTour(2, 5, 3, u"*"_s, QDate::currentDate().addDays(14));
        addRow(u"TourObj.db"_s, {{u"T_TourID"_s, 1},
                                 {u"TO_TourNr"_s, 4},
                                 {u"TO_Objekt"_s, 21},
                                 {u"TO_VonUhr"_s, QTime(10, 0)}});
        addRow(u"TourObj.db"_s, {{u"T_TourID"_s, 2},
                                 {u"TO_TourNr"_s, 4},
                                 {u"TO_Objekt"_s, 22},
                                 {u"TO_VonUhr"_s, QTime(8, 0)}});
        addRow(u"TourPers.DB"_s, {{u"TP_ID"_s, 1}, {u"TP_TourNr"_s, 4}, {u"TP_Pnr"_s, 8}});
        addActivity(1, 21, 1, u"2"_s, u"A"_s, 1);
        addActivity(2, 21, 2, u"3"_s, QString(), 1);
        addActivity(3, 21, 3, QString(), u"C"_s, 17);
        for (table::Table* t : {&dm->TabLUObjekt(), &dm->TabObjekt()})
            if (t->isOpen())
                t->refresh();
        showForm(TourFormDecl());
        ASSERT_TRUE(tours().locate({u"TO_Nr"_s}, {4}));
        panel = TourPanelOf(*form);
        ASSERT_NE(panel, nullptr);
    }
    void TearDown() override {
        for (table::Table* t : {&dm->TabTourObj(), &dm->TabTourPers(), &dm->TabTour()})
            if (t->isOpen() && t->isEditing())
                t->cancel();
        ListFormTest::TearDown();
        widgets::setErrorPresenter({});
        SetMessageListSink(m_savedSink);
        MessageListEnabled = m_savedListEnabled;
    }
    void addTour(int id, int nr, int weekday, const QString& pattern, const QDate& next) {
        addRow(u"Touren.db"_s, {{u"TO_ID"_s, id},
                                {u"TO_Nr"_s, nr},
                                {u"TO_Beschreibung"_s, u"Tour %1"_s.arg(nr)},
                                {u"TO_Wochentag"_s, weekday},
                                {u"TO_NextDate"_s, next},
                                {u"TO_ServPatt"_s, pattern},
                                {u"TO_Person"_s, 8},
                                {u"TO_Kind"_s, 0}});
    }
    void addActivity(int id, int objektNr, int taetigNr, const QString& wtag,
                     const QString& service, int modus) {
        addRow(u"ObjTaet.db"_s, {{u"TS_ID"_s, id},
                                 {u"TS_Objekt"_s, objektNr},
                                 {u"TS_Taetigkeit"_s, taetigNr},
                                 {u"TS_Modus"_s, modus},
                                 {u"TS_Wtag"_s, wtag},
                                 {u"TS_ServiceID"_s, service}});
    }
    table::Table& tours() { return dm->TabTour(); }
    table::Table& visits() { return dm->TabTourObj(); }
    QList<int> column(const QString& file, const QString& field) {
        auto t = open(file);
        QList<int> values;
        for (t->first(); !t->eof(); t->next())
            values.append(t->field(field).asIntegerOr(0));
        return values;
    }
    QAction* action(QMenu& menu, const QString& caption) {
        for (QAction* a : menu.actions())
            if (a->text() == caption)
                return a;
        ADD_FAILURE() << caption.toStdString();
        return nullptr;
    }
    QAction* tourAction(const QString& caption) { return action(*form->contextMenu(), caption); }
    static void type(QWidget* modal, const QString& text) {
        auto* box = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(box, nullptr);
        box->setTextValue(text);
        box->accept();
    }

    TourPanel* panel = nullptr;
    QStringList errors;
    LineRecorder messageLines;

private:
    MessageListSink* m_savedSink = nullptr;
    bool m_savedListEnabled = false;
};

TEST_F(TourForm, TheActivityRowsTheTourDoesAreGreen) {
    ASSERT_TRUE(visits().locate({u"TO_Objekt"_s}, {21}));
    widgets::DataGrid& grid = panel->activities();
    const auto brush = [&](int row) {
        return grid.model()->index(row, 0).data(Qt::BackgroundRole).value<QBrush>();
    };
    ASSERT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(brush(0).color(), QColor(0x00, 0xFF, 0x00)) << "Tuesday, service A";
    EXPECT_EQ(brush(1).style(), Qt::NoBrush) << "Wednesday only";
    EXPECT_EQ(brush(2).style(), Qt::NoBrush) << "service C is not among AB";
    EXPECT_EQ(grid.toolTip(), u"Keine Änderungen möglich"_s);
}

TEST_F(TourForm, DuplicatingAsksAgainForATakenOrInvalidNumberAndShowsTheCopy) {
    const bool timerWasOn = dm->IsTimerWorkEnabled();
    bool pausedMeanwhile = false;
    WhenModalShown([&](QWidget* first) {
        pausedMeanwhile = !dm->IsTimerWorkEnabled();
        EXPECT_EQ(first->windowTitle(), u"Tournummer eingeben"_s);
        EXPECT_EQ(qobject_cast<QInputDialog*>(first)->labelText(), u"Neue Tournummer:"_s);
        EXPECT_EQ(qobject_cast<QInputDialog*>(first)->textValue(), u"1"_s) << "NextFreeTourNr";
        WhenModalShown([&](QWidget* second) {
            WhenModalShown([&](QWidget* third) {
                WhenModalShown([&](QWidget* fourth) { type(fourth, u"9"_s); });
                type(third, u"neun"_s);
            });
            type(second, u"0"_s);
        });
        type(first, u"5"_s);
    });
    tourAction(u"Tour duplizieren"_s)->trigger();
    EXPECT_TRUE(pausedMeanwhile);
    EXPECT_EQ(dm->IsTimerWorkEnabled(), timerWasOn);
    EXPECT_EQ(presenter.texts(Kind::Error),
              (QStringList{u"Die Tourennummmer ist bereits vergeben!"_s,
                           u"Die eingegebene Nummer ist unzulässig!"_s,
                           u"Die eingegebene Nummer ist unzulässig!"_s}));
    EXPECT_EQ(tours().field(u"TO_Nr"_s).asInteger(), 9) << "the form shows the copy";
    EXPECT_EQ(column(u"TourObj.db"_s, u"TO_TourNr"_s), (QList<int>{4, 4, 9, 9}));
    EXPECT_EQ(column(u"TourPers.DB"_s, u"TP_TourNr"_s), QList<int>{4});
}

TEST_F(TourForm, ACancelledNumberCopiesNothing) {
    WhenModalShown([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    tourAction(u"Tour duplizieren"_s)->trigger();
    EXPECT_EQ(column(u"Touren.db"_s, u"TO_Nr"_s), (QList<int>{4, 5}));
}

TEST_F(TourForm, RenumberingFromTheGridAsksAndCarriesTheNumberIntoTheDependants) {
    presenter.answers = {false};
    form->runColumnAction(u"TO_Beschreibung"_s);
    EXPECT_EQ(presenter.texts(Kind::Question).value(0),
              u"Möchten Sie die Touren-Nummer wirklich ändern?"_s);
    EXPECT_EQ(column(u"Touren.db"_s, u"TO_Nr"_s), (QList<int>{4, 5}));

    presenter.boxes.clear();
    presenter.answers = {true, true};
    form->runColumnAction(u"TO_Nr"_s);
    EXPECT_EQ(column(u"Touren.db"_s, u"TO_Nr"_s), (QList<int>{1, 5}));
    EXPECT_EQ(column(u"TourObj.db"_s, u"TO_TourNr"_s), (QList<int>{1, 1}));
    EXPECT_EQ(column(u"TourPers.DB"_s, u"TP_TourNr"_s), QList<int>{1});
    EXPECT_EQ(presenter.texts(Kind::Question).value(1), RenumberQuestionText());
    EXPECT_TRUE(messageLines.lines.contains(LinksCorrectedText() + u":Objekte"_s))
        << messageLines.lines.join(u'|').toStdString();
}

TEST_F(TourForm, DeletingFromTheNavigatorAsksAndTakesTheDependantsAlong) {
    presenter.answers = {true, true};
    form->navigator().click(widgets::DbNavigator::Delete);
    EXPECT_EQ(column(u"Touren.db"_s, u"TO_Nr"_s), QList<int>{5});
    EXPECT_TRUE(column(u"TourObj.db"_s, u"TO_TourNr"_s).isEmpty());
    EXPECT_TRUE(column(u"TourPers.DB"_s, u"TP_TourNr"_s).isEmpty());
    EXPECT_EQ(presenter.texts(Kind::Question).value(1), DeleteQuestionText());
    EXPECT_TRUE(messageLines.lines.contains(LinksDeletedText() + u":Mitarbeiter"_s))
        << messageLines.lines.join(u'|').toStdString();
}

TEST_F(TourForm, TheObjectMenuMovesAndSortsTheTourObjects) {
    panel->objects().setFocus();
    ASSERT_TRUE(visits().locate({u"TO_Objekt"_s}, {21}));
    action(panel->objectMenu(), u"Nach oben"_s)->trigger();
    EXPECT_EQ(column(u"TourObj.db"_s, u"TO_Objekt"_s), (QList<int>{21, 22}));
    action(panel->objectMenu(), u"Sortieren n. Uhrzeit"_s)->trigger();
    EXPECT_EQ(column(u"TourObj.db"_s, u"TO_Objekt"_s), (QList<int>{22, 21}));
    EXPECT_EQ(column(u"TourObj.db"_s, u"T_TourID"_s), (QList<int>{1, 2}));
    ASSERT_TRUE(visits().locate({u"TO_Objekt"_s}, {21}));
    action(panel->objectMenu(), u"Nach unten"_s)->trigger();
    EXPECT_EQ(column(u"TourObj.db"_s, u"TO_Objekt"_s), (QList<int>{22, 21})) << "last stays";
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'|').toStdString();
}

TEST_F(TourForm, LeavingAnEmptyObjectColumnIsRefusedInTheRow) {
    panel->objects().setFocus();
    WhenModalShown([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    action(panel->objectMenu(), u"Objekt hinzufügen"_s)->trigger();
    ASSERT_TRUE(visits().isEditing());
    widgets::DataGrid& grid = panel->objects();
    EXPECT_EQ(grid.selectedField(), u"TO_Objekt"_s);
    grid.setCurrentIndex(grid.model()->index(grid.currentIndex().row(), 2));
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Sie müssen eine gültige Objektnummer eingeben"_s});
    EXPECT_EQ(grid.selectedField(), u"TO_Objekt"_s);
    EXPECT_TRUE(visits().isEditing());
}

TEST_F(TourForm, CtrlPageKeysWalkTheGridsAndTheActivityGridHidesInsertAndDelete) {
    const auto press = [](QWidget& w, int key) {
        QTest::keyClick(&w, Qt::Key(key), Qt::ControlModifier);
    };
    form->grid().setFocus();
    press(form->grid(), Qt::Key_PageDown);
    EXPECT_TRUE(panel->objects().hasFocus());
    press(panel->objects(), Qt::Key_PageDown);
    EXPECT_TRUE(panel->activities().hasFocus());
    EXPECT_TRUE(form->navigator().button(widgets::DbNavigator::Insert)->isHidden());
    EXPECT_TRUE(form->navigator().button(widgets::DbNavigator::Delete)->isHidden());
    press(panel->activities(), Qt::Key_PageUp);
    EXPECT_TRUE(panel->objects().hasFocus());
    EXPECT_FALSE(form->navigator().button(widgets::DbNavigator::Insert)->isHidden());
    EXPECT_EQ(&form->navigator().dataSource().table(), &visits());
    press(panel->objects(), Qt::Key_PageUp);
    EXPECT_TRUE(form->grid().hasFocus());
    press(form->grid(), Qt::Key_PageUp);
    EXPECT_TRUE(form->searchEdit().hasFocus());
}

TEST_F(TourForm, FixedDatesOpenOnlyForAnActivityOfTheFixedDateInterval) {
    ASSERT_TRUE(visits().locate({u"TO_Objekt"_s}, {21}));
    table::Table& activities = dm->TabTourTaetig();
    ASSERT_TRUE(activities.locate({u"TS_Taetigkeit"_s}, {1}));
    int opened = 0;
    QString caption;
    WhenModalShown([&](QWidget* modal) {
        ++opened;
        caption = modal->windowTitle();
        qobject_cast<QDialog*>(modal)->accept();
    });
    panel->editFixTerms();
    EXPECT_EQ(opened, 0);
    ASSERT_TRUE(activities.locate({u"TS_Taetigkeit"_s}, {3}));
    panel->editFixTerms();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(caption, u"Feste Ausführungstermine festlegen für   Tour: 4  Objekt: 21  "
                       u"Tätigkeit: 3  (Dienstag)"_s);
}

TEST_F(TourForm, AHolidayAsNextDateIsNamedAndAWeeklyTourNeverShowsAPastDate) {
    addTour(3, 6, 0, u"*"_s, QDate(2030, 12, 25));
    addTour(4, 7, 3, u"*"_s, QDate(2020, 1, 1));
    tours().refresh();
    ASSERT_TRUE(tours().locate({u"TO_Nr"_s}, {6}));
    ShowTourRecord(*form);
    EXPECT_EQ(form->findChild<QLabel*>(u"lbFeiertag"_s)->text(), u"1. Weihnachtstag"_s);
    ASSERT_TRUE(tours().locate({u"TO_Nr"_s}, {7}));
    ShowTourRecord(*form);
    const QDate shown = tours().field(u"TO_NextDate"_s).asDate();
    EXPECT_GE(shown, QDate::currentDate());
    EXPECT_EQ(shown.dayOfWeek(), 3);
    EXPECT_TRUE(form->findChild<QLabel*>(u"lbFeiertag"_s)->text().isEmpty() ||
                IsHoliday(shown.year(), shown.month(), shown.day()));
}

TEST_F(TourForm, ThePlacementKeepsTheGridsAndThePanelHeight) {
    form->hide();
    GetWindowsDir();
    QFile ini(WindowsDir + u"DomveraPlan02.ini"_s);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly)) << ini.fileName().toStdString();
    const QString text = QString::fromLatin1(ini.readAll());
    for (const char* key : {"GridTour.Columns", "GridObjekte.Width", "GridObjekte.Columns",
                            "Panel5.Height", "lbSortObj.Caption"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(key))) << key;
    EXPECT_TRUE(text.contains(u"[Tour]"_s));
}

TEST_F(TourForm, TheAppointmentPreviewOfAnActivityOnTheCurrentTour) {
    ASSERT_TRUE(visits().locate({u"TO_Objekt"_s}, {21}));
    QAction* preview = action(panel->activityMenu(), u"Terminvorschau"_s);
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isEnabled());
    panel->activities().setCurrentIndex(panel->activities().model()->index(0, 0));
    QDate start;
    WhenModalShown([&](QWidget* modal) {
        if (auto* shown = qobject_cast<TF_TermPrev*>(modal))
            start = shown->marks().startDate();
        modal->close();
    });
    preview->trigger();
    EXPECT_EQ(start, QDate(QDate::currentDate().year(), QDate::currentDate().month(), 1));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'|').toStdString();
    EXPECT_EQ(OpenTermPrev(), nullptr);
}

TEST_F(TourForm, TheOperationsModulesMakeTheMenuEntriesThePlanningCheckAndThePreviewLive) {
    ModuleDispatcher dispatcher;
    const ObjektFormHooks saved = ObjektFormHooksRegistry();
    const RecordRuleHooks savedRules = RecordRuleHooksRegistry();
    RegisterOperationsModules(dispatcher);
    EXPECT_TRUE(dispatcher.isAvailable(u"TF_Tour"_s));
    EXPECT_TRUE(bool(ObjektFormHooksRegistry().showPlanCheck));
    EXPECT_TRUE(dispatcher.isAvailable(u"ShowTermEditForm"_s)) << "\"Termine\"";
    EXPECT_TRUE(bool(ObjektFormHooksRegistry().showTermPreview));
    QStringList order;
    for (const ListFormEntry& e : ListFormEntries())
        order << e.formClass;
    EXPECT_EQ(order.indexOf(u"TF_Tour"_s), order.indexOf(u"TF_Taetig"_s) + 1);
    ObjektFormHooksRegistry() = saved;
    RecordRuleHooksRegistry() = savedRules;
}

} // namespace
