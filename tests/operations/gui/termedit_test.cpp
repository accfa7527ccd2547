#include "commercial/documents/deliverynoteentries.h"
#include "core/data/appointmentrules.h"
#include "core/data/datamodule.h"
#include "core/data/datamoduletimer.h"
#include "core/data/dbhelpers.h"
#include "core/datagui/tf_selform.h"
#include "core/files/programdirs.h"
#include "core/gui/modaldriver.h"
#include "core/rights/rights.h"
#include "datasafety/autobackup.h"
#include "masterdata/dialogs/tf_kalender.h"
#include "masterdata/dialogs/tf_seltour.h"
#include "masterdata/gui/tableformfixture.h"
#include "operations/gui/tf_termedit.h"
#include "platform/errors.h"
#include "platform/report/report.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/fieldform.h"
#include "platform/widgets/rowreader.h"
#include "platform/widgets/userprompts.h"
#include "printing/defaultprintforms.h"
#include "printing/printingsetup.h"
#include "printing/reportentry.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

const QString kNoObject = u"Sie müssen eine gültige Objektnummer eingeben!"_s;

// Objects 21, 22 and 23 of customers 1, 2 and 3; tour 3 runs on today's
// weekday, tour 4 on tomorrow's; staff member 7. Prints are recorded.
class TermEdit : public formtest::ListFormTest {
protected:
    void SetUp() override {
        ListFormTest::SetUp();
        grant(20);
        widgets::setErrorPresenter([this](QWidget*, const QString& m) { errors.append(m); });
        m_savedHooks = AppointmentRuleHooksRegistry();
        m_savedEntries = DeliveryNoteEntriesRegistry();
        DeliveryNoteEntriesRegistry() = {};
        today = QDate::currentDate();
        AppointmentRuleHooksRegistry().today = [this] { return today; };
        for (const char* file : {"Touren.db", "TourObj.db", "Personal.DB", "Objekte.DB",
                                 "TglTour.DB", "TglObj.DB", "TglTaet.DB", "TermObj.DB"})
            table::aliases::database(u"LumoDB"_s)->emptyTable(QString::fromLatin1(file));
        for (int nr : {21, 22, 23})
            addRow(u"Objekte.DB"_s, {{u"O_ID"_s, nr},
                                     {u"O_Nr"_s, nr},
                                     {u"O_Kunde"_s, nr - 20},
                                     {u"O_Match"_s, u"Objekt %1"_s.arg(nr)},
                                     {u"O_Strasse"_s, u"Weg %1"_s.arg(nr)},
                                     {u"O_Plz"_s, u"10115"_s},
                                     {u"O_Ort"_s, u"Berlin"_s},
                                     {u"O_Aktiv"_s, true}});
        addRow(u"Personal.DB"_s, {{u"P_ID"_s, 7}, {u"P_Nr"_s, 7}, {u"P_Name1"_s, u"Meier"_s}});
        for (const auto& [nr, day] : {std::pair{3, today}, {4, today.addDays(1)}})
            addRow(u"Touren.db"_s, {{u"TO_ID"_s, nr},
                                    {u"TO_Nr"_s, nr},
                                    {u"TO_Beschreibung"_s, u"Tour %1"_s.arg(nr)},
                                    {u"TO_Wochentag"_s, day.dayOfWeek()},
                                    {u"TO_ServPatt"_s, u"*"_s}});
        for (table::Table* t : {&dm->TabLUObjekt(), &dm->TabObjekt(), &dm->TabLUTour()})
            if (t->isOpen())
                t->refresh();
        m_savedOutput = SetReportOutput([this](report::Report& rep, bool preview, QWidget*) {
            const report::Component* subtitle = rep.find(u"L_Titel2"_s);
            const report::Component* object = rep.find(u"R_Objekt"_s);
            prints << u"%1 %2 %3"_s.arg(rep.def().className, preview ? u"Vorschau"_s : u"Druck"_s,
                                        subtitle ? subtitle->caption : object->caption);
            filters << rep.datasetDef(u"TabList"_s).filter;
        });
        InitPrinting();
    }
    void TearDown() override {
        form.reset();
        termForm.reset();
        for (table::Table* t : {&dm->TabTermObj(), &dm->TabLSKopf()})
            if (t->isOpen()) {
                if (t->isEditing())
                    t->cancel();
                t->setFilter(QString());
                t->setFiltered(false);
                t->close();
            }
        SetReportOutput(m_savedOutput);
        DeliveryNoteEntriesRegistry() = m_savedEntries;
        AppointmentRuleHooksRegistry() = m_savedHooks;
        widgets::setErrorPresenter({});
        ListFormTest::TearDown();
    }

    void openForm() {
        for (table::Table* t : {&dm->TabTermObj(), &dm->TabLSKopf()})
            if (!t->isOpen())
                t->open();
        termForm = std::make_unique<TF_TermEdit>();
        formtest::ShowActive(*termForm);
    }
    table::Table& t() { return dm->TabTermObj(); }
    widgets::DataGrid& grid() { return termForm->grid(); }
    // Types into the grid cell of the current row as the user does.
    bool type(const QString& field, const QVariant& value) {
        const int column = grid().gridModel().columnOf(field);
        const QModelIndex at = grid().model()->index(grid().currentIndex().row(), column);
        return grid().model()->setData(at, value, Qt::EditRole);
    }
    widgets::FieldForm& options() {
        return *termForm->optionsPanel().findChild<widgets::FieldForm*>();
    }
    // A new appointment through the navigator: object, date, text, posted.
    void enter(int objektNr, const QDate& date, const QString& text) {
        termForm->navigator().click(widgets::DbNavigator::Insert);
        ASSERT_TRUE(type(u"T_Objekt"_s, objektNr));
        ASSERT_TRUE(type(u"T_Date"_s, date));
        ASSERT_TRUE(type(u"T_Kurztext"_s, text));
        termForm->post();
        ASSERT_FALSE(t().isEditing()) << errors.join(u'|').toStdString();
    }
    void addAppointment(int id, int objekt, const QDate& date, bool done,
                        const QList<std::pair<QString, QVariant>>& extra = {}) {
        QList<std::pair<QString, QVariant>> values{{u"T_ID"_s, id},
                                                   {u"T_Objekt"_s, objekt},
                                                   {u"T_ObjName"_s, u"Objekt %1"_s.arg(objekt)},
                                                   {u"T_Date"_s, date},
                                                   {u"T_Erledigt"_s, done},
                                                   {u"T_Kurztext"_s, u"Termin %1"_s.arg(id)}};
        values += extra;
        addRow(u"TermObj.DB"_s, values);
    }
    // Runs call and rejects every modal window it opens meanwhile; how many.
    static int modalsDuring(const std::function<void()>& call) {
        int shown = 0;
        QTimer watch;
        watch.setInterval(5);
        QObject::connect(&watch, &QTimer::timeout, [&shown] {
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ++shown;
                modal->reject();
            }
        });
        watch.start();
        call();
        return shown;
    }
    int count(const QString& file) {
        auto c = open(file);
        return c->isEmpty() ? 0 : c->recordCount();
    }
    QVariant valueOf(const QString& file, const QString& keyField, int key, const QString& field) {
        auto c = open(file);
        return c->lookup({keyField}, {key}, field);
    }

    QDate today;
    QStringList errors;
    QStringList prints;
    QStringList filters;
    std::unique_ptr<TF_TermEdit> termForm;

private:
    AppointmentRuleHooks m_savedHooks;
    DeliveryNoteEntries m_savedEntries;
    ReportOutput m_savedOutput;
};

TEST_F(TermEdit, TheFirstAppointmentOfAnEmptyTableWaitsForItsObjectUntilPosted) {
    openForm();
    EXPECT_EQ(termForm->windowTitle(), u"Erfassung Terminaufträge"_s);
    termForm->navigator().click(widgets::DbNavigator::Insert);
    ASSERT_EQ(t().state(), table::TableState::Insert);
    EXPECT_EQ(FieldInt(t(), u"T_Objekt"_s), 0);
    EXPECT_EQ(t().field(u"T_Date"_s).asDate(), today);
    EXPECT_EQ(grid().selectedField(), u"T_Objekt"_s);

    // Posting without object is refused and the row stays.
    termForm->post();
    EXPECT_EQ(presenter.texts(Kind::Error), QStringList{kNoObject});
    EXPECT_EQ(t().state(), table::TableState::Insert);
    // A typed number that names no object is refused at once.
    EXPECT_FALSE(type(u"T_Objekt"_s, 99));
    EXPECT_EQ(presenter.texts(Kind::Error), (QStringList{kNoObject, kNoObject}));
    EXPECT_EQ(FieldInt(t(), u"T_Objekt"_s), 0);

    ASSERT_TRUE(type(u"T_Objekt"_s, 22));
    EXPECT_EQ(FieldText(t(), u"T_ObjName"_s), u"Objekt 22"_s);
    EXPECT_EQ(FieldInt(t(), u"T_Kunde"_s), 2);
    ASSERT_TRUE(type(u"T_Kurztext"_s, u"Treppenhaus"_s));
    EXPECT_EQ(FieldText(t(), u"T_Text"_s), u"Treppenhaus"_s) << "the text follows the short text";
    termForm->post();
    EXPECT_FALSE(t().isEditing());
    EXPECT_EQ(count(u"TermObj.DB"_s), 1);
    EXPECT_EQ(valueOf(u"TermObj.DB"_s, u"T_ID"_s, 1, u"T_Objekt"_s).toInt(), 22);

    // The next one starts on that object and date, with its customer.
    termForm->navigator().click(widgets::DbNavigator::Insert);
    EXPECT_EQ(FieldInt(t(), u"T_Objekt"_s), 22);
    EXPECT_EQ(FieldText(t(), u"T_ObjName"_s), u"Objekt 22"_s);
    EXPECT_EQ(FieldInt(t(), u"T_Kunde"_s), 2);
    EXPECT_EQ(FieldInt(t(), u"T_ID"_s), 2);
    t().cancel();
}

TEST_F(TermEdit, DailyListLinksThroughTheOptionsPanel) {
    openForm();
    enter(21, today.addDays(-1), u"Gestern"_s);
    termForm->toggleOptions();
    EXPECT_TRUE(termForm->optionsPanel().isVisible());
    auto* taglist = qobject_cast<QCheckBox*>(options().editor(u"T_Taglist"_s));
    ASSERT_NE(taglist, nullptr);
    // Yesterday: no daily list, whatever the options say.
    taglist->click();
    ASSERT_TRUE(t().isEditing());
    EXPECT_THROW(t().field(u"T_TourNr"_s).setValue(4), Abort);
    EXPECT_TRUE(presenter.texts(Kind::Error)
                    .contains(u"Die Tour wird zum angegebenen Datum nicht "
                              u"ausgeführt!"_s));
    EXPECT_EQ(FieldInt(t(), u"T_TourNr"_s), 0) << "a tour of another weekday is refused";
    t().field(u"T_Date"_s).setValue(today.addDays(-7));
    t().field(u"T_TourNr"_s).setValue(3);
    termForm->post();
    EXPECT_EQ(count(u"TglTaet.DB"_s), 0);

    // Today: the row goes onto the daily list, and a second post updates it.
    termForm->source().startEdit();
    t().field(u"T_Date"_s).setValue(today);
    termForm->post();
    ASSERT_EQ(count(u"TglTaet.DB"_s), 1);
    auto rows = open(u"TglTaet.DB"_s);
    EXPECT_EQ(rows->field(u"A_Source"_s).asInteger(), 3);
    EXPECT_EQ(rows->field(u"A_State"_s).asInteger(), 0);
    EXPECT_EQ(rows->field(u"A_TaetigNr"_s).asInteger(), 0);
    EXPECT_EQ(rows->field(u"A_ZusatzText"_s).asString(), u"Terminauftrag"_s);
    termForm->source().startEdit();
    t().field(u"T_Kurztext"_s).setValue(u"Heute"_s);
    termForm->post();
    EXPECT_EQ(count(u"TglTaet.DB"_s), 1);

    // Unchecking takes the tour away; the post removes the row, its object and tour.
    taglist->click();
    EXPECT_EQ(FieldInt(t(), u"T_TourNr"_s), 0);
    termForm->post();
    EXPECT_EQ(count(u"TglTaet.DB"_s), 0);
    EXPECT_EQ(count(u"TglObj.DB"_s), 0);
    EXPECT_EQ(count(u"TglTour.DB"_s), 0);
    EXPECT_EQ(FieldInt(t(), u"T_TglID"_s), 0);
}

TEST_F(TermEdit, TheTourChoiceOnlyWhileEnteredAndACancelWritesNothingButZero) {
    addAppointment(1, 21, today, false, {{u"T_TourNr"_s, 3}, {u"T_Taglist"_s, false}});
    openForm();
    EXPECT_EQ(modalsDuring([&] { termForm->chooseTour(); }), 0)
        << "not while \"Termin übernehmen in Tour\" is unchecked";
    EXPECT_EQ(FieldInt(t(), u"T_TourNr"_s), 3);
    termForm->source().startEdit();
    t().field(u"T_Taglist"_s).setValue(true);
    termForm->post();
    ASSERT_EQ(count(u"TglTaet.DB"_s), 1);
    QString title;
    WhenModalShown([&](QWidget* modal) {
        title = modal->windowTitle();
        qobject_cast<QDialog*>(modal)->reject();
    });
    termForm->chooseTour();
    EXPECT_EQ(title, u"Tour zuweisen"_s);
    EXPECT_FALSE(t().isEditing());
    EXPECT_EQ(valueOf(u"TermObj.DB"_s, u"T_ID"_s, 1, u"T_TourNr"_s).toInt(), 0);
    EXPECT_EQ(count(u"TglTaet.DB"_s), 0) << "the cancel removed the link";
}

TEST_F(TermEdit, TheCalendarSetsTheDateAndACancelLeavesIt) {
    addAppointment(1, 21, QDate(2026, 3, 2), false);
    openForm();
    WhenModalShown([](QWidget*) { F_Kalender->cancelButton()->click(); });
    ASSERT_TRUE(termForm->runColumnAction(u"T_Date"_s));
    EXPECT_EQ(t().field(u"T_Date"_s).asDate(), QDate(2026, 3, 2));
    WhenModalShown([](QWidget*) {
        F_Kalender->calendar()->setSelectedDate(QDate(2026, 3, 20));
        F_Kalender->okButton()->click();
    });
    ASSERT_TRUE(termForm->runColumnAction(u"T_Date"_s));
    EXPECT_EQ(t().field(u"T_Date"_s).asDate(), QDate(2026, 3, 20));
    EXPECT_EQ(termForm->rememberedDate(), QDate(2026, 3, 20));
    termForm->post();
}

TEST_F(TermEdit, TheSearchLineFindsByTheSortedColumnAndThePlacementIsKept) {
    addAppointment(1, 21, QDate(2026, 3, 2), false);
    addAppointment(2, 23, QDate(2026, 3, 3), false);
    addAppointment(3, 22, QDate(2026, 3, 4), false);
    openForm();
    // Sorted by date at first: digits are no date search.
    QTest::keyClicks(&termForm->searchLine(), u"22"_s);
    EXPECT_TRUE(termForm->searchLine().text().isEmpty());
    Q_EMIT grid().titleClicked(grid().gridModel().columnOf(u"T_Objekt"_s), u"T_Objekt"_s);
    QTest::keyClicks(&termForm->searchLine(), u"23"_s);
    EXPECT_EQ(FieldInt(t(), u"T_Objekt"_s), 23);
    termForm->hide();
    GetWindowsDir();
    QFile ini(WindowsDir + u"DomveraPlan04.ini"_s);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly)) << ini.fileName().toStdString();
    const QString text = QString::fromLatin1(ini.readAll());
    EXPECT_TRUE(text.contains(u"[TermEdit]"_s));
    for (const char* key : {"GridMat.Columns", "PanelDetail.Height", "lbSortObj.Caption"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(key))) << key;
}

TEST_F(TermEdit, AChangedReminderTimeRemindsAgainAndTheDateFieldTakesTheAppointmentsDate) {
    addAppointment(
        1, 21, QDate(2026, 3, 2), false,
        {{u"T_Alarm"_s, true}, {u"T_AlarmDone"_s, true}, {u"T_AlarmTime"_s, QTime(8, 0)}});
    openForm();
    termForm->toggleOptions();
    termForm->alarmDateEntered();
    EXPECT_EQ(t().field(u"T_AlarmDate"_s).asDate(), QDate(2026, 3, 2));
    t().field(u"T_AlarmTime"_s).setValue(QTime(9, 0));
    termForm->post();
    EXPECT_FALSE(valueOf(u"TermObj.DB"_s, u"T_ID"_s, 1, u"T_AlarmDone"_s).toBool());
}

TEST_F(TermEdit, TheFiltersFollowTheCurrentRowAndOnlyOpen) {
    addAppointment(1, 21, QDate(2026, 3, 2), false);
    addAppointment(2, 21, QDate(2026, 3, 3), true);
    addAppointment(3, 22, QDate(2026, 3, 2), true);
    addAppointment(4, 22, QDate(2026, 3, 3), false);
    openForm();
    ASSERT_TRUE(t().locate({u"T_ID"_s}, {3}));
    const auto shown = [&] {
        QList<int> ids;
        for (int row = 0; row < grid().model()->rowCount(); ++row)
            ids << termForm->source().rows().value(row, u"T_ID"_s).toInt();
        return ids;
    };
    const struct {
        int choice;
        bool onlyOpen;
        QList<int> ids;
    } cases[] = {{1, false, {3, 1}}, {1, true, {1}},    {2, false, {4, 3}},      {3, false, {3}},
                 {3, true, {}},      {0, true, {4, 1}}, {0, false, {4, 2, 3, 1}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.choice) + (c.onlyOpen ? " open" : ""));
        ASSERT_TRUE(t().locate({u"T_ID"_s}, {3}) || t().isEmpty() || c.choice == 0);
        termForm->filterBox().setCurrentIndex(c.choice);
        termForm->onlyOpenBox().setChecked(c.onlyOpen);
        termForm->filterChosen();
        EXPECT_EQ(shown(), c.ids);
        EXPECT_EQ(t().isFiltered(), c.choice != 0 || c.onlyOpen);
        termForm->filterBox().setCurrentIndex(0);
        termForm->onlyOpenBox().setChecked(false);
        termForm->filterChosen();
    }
}

TEST_F(TermEdit, TheListPrintedFollowsTheFilterChoice) {
    addAppointment(1, 21, QDate(2001, 3, 1), false);
    addAppointment(2, 21, QDate(2001, 3, 31), false);
    addAppointment(3, 22, QDate(2001, 3, 12), false);
    openForm();
    ASSERT_TRUE(t().locate({u"T_ID"_s}, {3}));
    const QStringList expected{
        u"TQRTermEditList00 Vorschau vom 01.03.2001 bis 31.03.2001, alle Objekte"_s,
        u"TQRTermEditList01 Druck vom 12.03.2001, alle Objekte"_s,
        u"TQRTermEditList02 Vorschau vom 12.03.2001 bis 12.03.2001, Objekt 22 : Objekt 22"_s,
        u"TQRTermEditList03 Druck vom 12.03.2001, Objekt 22 : Objekt 22"_s,
    };
    for (int choice = 0; choice < 4; ++choice) {
        termForm->filterBox().setCurrentIndex(choice);
        termForm->filterChosen();
        (choice % 2 ? termForm->printListButton() : termForm->previewListButton()).click();
        ASSERT_EQ(prints.size(), choice + 1) << errors.join(u'|').toStdString();
        EXPECT_EQ(prints.last(), expected[choice]);
        EXPECT_EQ(filters.last(), t().filter());
        EXPECT_EQ(FieldInt(t(), u"T_ID"_s), 3);
    }
}

// A client with the shipped print forms and one user work sheet form 41077,
// so that the choice is asked.
class TermEditPrintForms : public TermEdit {
protected:
    void SetUp() override {
        TermEdit::SetUp();
        m_saved = {ProgramDir, TemplateDataDir, QrfdDir};
        SetProgramDir(path(u"prog"_s));
        TemplateDataDir = DataDir;
        QrfdDir = GetMandantQrfdDir(0);
        ASSERT_TRUE(EnsureDefaultPrintForms());
        addRow(u"QrFrmDef.DB"_s, {{u"QF_ID"_s, 41077},
                                  {u"Q_FormType"_s, 41000},
                                  {u"Q_Protect"_s, false},
                                  {u"Q_Comment"_s, u"Eigener Arbeitsschein"_s}});
    }
    void TearDown() override {
        ProgramDir = m_saved[0];
        TemplateDataDir = m_saved[1];
        QrfdDir = m_saved[2];
        TermEdit::TearDown();
    }

private:
    QStringList m_saved;
};

TEST_F(TermEditPrintForms, TheWorkSheetsOfADayAskPerObjectAndACancelEndsTheRun) {
    const QDate day(2026, 3, 10);
    addAppointment(1, 21, day, false);
    addAppointment(2, 22, day, false);
    addAppointment(3, 23, day, false);
    addAppointment(4, 21, day, false);
    addAppointment(5, 22, day.addDays(1), false);
    openForm();
    ASSERT_TRUE(t().locate({u"T_ID"_s}, {1}));
    int asked = 0;
    // The choice per object: the shipped work sheet, then a cancel.
    std::function<void(QWidget*)> choose = [&](QWidget* modal) {
        auto* choice = qobject_cast<TF_SelForm*>(modal);
        if (!choice) {
            ADD_FAILURE() << "no print-form choice";
            modal->close();
            return;
        }
        ++asked;
        if (asked == 2) {
            choice->reject();
            return;
        }
        for (int r = 0; r < choice->grid()->rowCount(); ++r)
            if (choice->grid()->item(r, 0)->text().toInt() == 41000)
                choice->grid()->selectRow(r);
        WhenModalShown(choose);
        choice->accept();
    };
    // First the calendar, on the row's day.
    WhenModalShown([&](QWidget*) {
        EXPECT_EQ(F_Kalender->calendar()->selectedDate(), day);
        WhenModalShown(choose);
        F_Kalender->okButton()->click();
    });
    termForm->previewSheetsButton().click();
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(prints.size(), 1) << errors.join(u'|').toStdString();
    EXPECT_EQ(prints[0], u"TQRArbeitsSchein01 Vorschau 23 : Objekt 23"_s);
    EXPECT_EQ(filters[0], u"T_Objekt=23 AND T_Date=10.03.2026"_s);
    EXPECT_EQ(FieldInt(t(), u"T_ID"_s), 1) << "the row that was current";
}

TEST_F(TermEdit, MarkingDoneTakesTheDailyRowAlongButTheKeysChangeTheAppointmentOnly) {
    addAppointment(1, 21, today, false, {{u"T_TourNr"_s, 3}, {u"T_Taglist"_s, true}});
    addAppointment(2, 22, today.addDays(-1), false);
    openForm();
    ASSERT_TRUE(t().locate({u"T_ID"_s}, {1}));
    termForm->source().startEdit();
    t().field(u"T_Kurztext"_s).setValue(u"Verknüpft"_s);
    termForm->post();
    const int tglId = FieldInt(t(), u"T_TglID"_s);
    ASSERT_NE(tglId, 0);
    QAction* done = termForm->contextMenu()->actions().value(1);
    ASSERT_EQ(done->text(), u"Erledigt setzen"_s);
    EXPECT_EQ(termForm->contextMenu()->defaultAction()->text(), u"Mehrfachtermin"_s);
    done->trigger();
    EXPECT_FALSE(t().isEditing()) << "posted with its daily row";
    EXPECT_TRUE(valueOf(u"TermObj.DB"_s, u"T_ID"_s, 1, u"T_Erledigt"_s).toBool());
    EXPECT_EQ(valueOf(u"TglTaet.DB"_s, u"A_TOTID"_s, tglId, u"A_State"_s).toInt(), 4);
    termForm->contextMenu()->actions().value(2)->trigger(); // "Offen setzen"
    EXPECT_EQ(valueOf(u"TglTaet.DB"_s, u"A_TOTID"_s, tglId, u"A_State"_s).toInt(), 0);

    // "J" on "Erled.": the appointment only, posted, and on to the next row.
    ASSERT_TRUE(t().locate({u"T_ID"_s}, {1}));
    grid().followCursor();
    grid().setFocus();
    ASSERT_TRUE(grid().selectField(u"T_Erledigt"_s));
    QTest::keyClick(&grid(), Qt::Key_J);
    EXPECT_TRUE(valueOf(u"TermObj.DB"_s, u"T_ID"_s, 1, u"T_Erledigt"_s).toBool());
    EXPECT_EQ(valueOf(u"TglTaet.DB"_s, u"A_TOTID"_s, tglId, u"A_State"_s).toInt(), 0);
    EXPECT_EQ(FieldInt(t(), u"T_ID"_s), 2) << "on to the next row";
    QTest::keyClick(&grid(), Qt::Key_Space);
    EXPECT_TRUE(valueOf(u"TermObj.DB"_s, u"T_ID"_s, 2, u"T_Erledigt"_s).toBool());
    EXPECT_EQ(FieldInt(t(), u"T_ID"_s), 2) << "the last row stays";
    // A double-click on "Erled." is "Offen setzen" for a done one.
    ASSERT_TRUE(termForm->runColumnAction(u"T_Erledigt"_s));
    EXPECT_FALSE(valueOf(u"TermObj.DB"_s, u"T_ID"_s, 2, u"T_Erledigt"_s).toBool());
}

TEST_F(TermEdit, DeletingDoneAppointmentsOffersTheBackupAndLeavesTheDailyRowUnlinked) {
    addAppointment(1, 21, today, true, {{u"T_TglID"_s, 9}});
    addAppointment(2, 22, today.addDays(-3), true);
    addAppointment(3, 22, today.addDays(1), true);
    addAppointment(4, 23, today, false);
    addRow(u"TglTaet.DB"_s, {{u"A_TOTID"_s, 9},
                             {u"A_TourID"_s, 1},
                             {u"A_ObjNr"_s, 21},
                             {u"A_TermID"_s, 1},
                             {u"A_Source"_s, 3}});
    AutoBackupService saved = AutoBackupServiceRegistry();
    QStringList backups;
    AutoBackupServiceRegistry() = {[] { return true; },
                                   [&](const QString& comment) { backups << comment; }};
    openForm();
    ASSERT_TRUE(t().locate({u"T_ID"_s}, {4}));
    presenter.answers = {true, true};
    termForm->deleteDoneButton().click();
    AutoBackupServiceRegistry() = saved;
    const QStringList questions = presenter.texts(Kind::Question);
    ASSERT_EQ(questions.size(), 2);
    EXPECT_EQ(questions[0], u"Alle erledigten Termine bis einschließlich "_s +
                                today.toString(u"dd.MM.yyyy"_s) + u" löschen?"_s);
    EXPECT_TRUE(questions[1].startsWith(
        u"Sie sollten vor der Löschung von Terminen eine Datensicherung vornehmen!"_s));
    EXPECT_EQ(backups, QStringList{u"Autosicherung vor Löschung von Terminen am "_s +
                                   QDate::currentDate().toString(u"dd.MM.yyyy"_s)});
    QList<int> left;
    for (auto c = open(u"TermObj.DB"_s); !c->eof(); c->next())
        left << FieldInt(*c, u"T_ID"_s);
    EXPECT_EQ(left, (QList<int>{3, 4}));
    EXPECT_EQ(valueOf(u"TglTaet.DB"_s, u"A_TOTID"_s, 9, u"A_TermID"_s).toInt(), 0);
    EXPECT_EQ(grid().model()->rowCount(), 2);

    // "Nein" to the first question ends it.
    presenter.answers = {false};
    ASSERT_TRUE(t().locate({u"T_ID"_s}, {3}));
    termForm->deleteDoneButton().click();
    EXPECT_EQ(count(u"TermObj.DB"_s), 2);
}

TEST_F(TermEdit, TheDeliveryNoteOfAnAppointment) {
    addRow(u"LSkopf.DB"_s, {{u"R_ID"_s, 40},
                            {u"R_Nr"_s, u"LS-40"_s},
                            {u"R_ObjektNr"_s, 21},
                            {u"R_LsTyp"_s, 2},
                            {u"R_Brutto"_s, 59.5}});
    addRow(u"LSkopf.DB"_s, {{u"R_ID"_s, 41},
                            {u"R_Nr"_s, u"LS-41"_s},
                            {u"R_ObjektNr"_s, 22},
                            {u"R_LsTyp"_s, 1},
                            {u"R_Brutto"_s, 10.0}});
    addAppointment(1, 21, today, false);
    addAppointment(2, 22, today, false);
    openForm();
    EXPECT_FALSE(termForm->deliveryNoteButton().isEnabled()) << "no editor installed yet";
    termForm.reset();

    struct Call {
        QString nr;
        int objekt;
        bool autoInvoice;
        int lsTyp, creator;
    };
    QList<Call> calls;
    int answer = 0;
    DeliveryNoteEntriesRegistry().editLieferschein = [&](const QString& nr, int objekt, bool ai,
                                                         int typ, int creator) {
        calls.append({nr, objekt, ai, typ, creator});
        return answer;
    };
    QList<int> deleted;
    DeliveryNoteEntriesRegistry().deleteLieferschein = [&](int id) {
        deleted << id;
        return true;
    };
    openForm();
    ASSERT_TRUE(termForm->deliveryNoteButton().isEnabled());
    // Object 21: its open note of the appointments' kind is opened.
    ASSERT_TRUE(t().locate({u"T_ID"_s}, {1}));
    answer = 40;
    termForm->deliveryNoteButton().click();
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].nr, u"LS-40"_s);
    EXPECT_EQ(calls[0].objekt, 21);
    EXPECT_TRUE(calls[0].autoInvoice);
    EXPECT_EQ(calls[0].lsTyp, 2);
    EXPECT_EQ(calls[0].creator, 1);
    EXPECT_EQ(valueOf(u"TermObj.DB"_s, u"T_ID"_s, 1, u"T_LsID"_s).toInt(), 40);
    EXPECT_DOUBLE_EQ(valueOf(u"TermObj.DB"_s, u"T_ID"_s, 1, u"T_GPreis"_s).toDouble(), 59.5);
    // Object 22 has only a note of the daily lists' kind: a new note.
    ASSERT_TRUE(t().locate({u"T_ID"_s}, {2}));
    answer = 55;
    termForm->deliveryNoteButton().click();
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[1].nr, QString());
    EXPECT_EQ(calls[1].creator, 2);
    EXPECT_EQ(valueOf(u"TermObj.DB"_s, u"T_ID"_s, 2, u"T_LsID"_s).toInt(), 55);

    // Deleting the first asks about its note first, then the record's question.
    ASSERT_TRUE(t().locate({u"T_ID"_s}, {1}));
    presenter.boxes.clear();
    presenter.answers = {true, true};
    termForm->navigator().click(widgets::DbNavigator::Delete);
    EXPECT_EQ(presenter.texts(Kind::Question).value(0),
              u"Soll der mit dem Termin verbundene Lieferschein ebenfalls gelöscht werden?"_s);
    EXPECT_EQ(deleted, QList<int>{40});
    EXPECT_EQ(count(u"TermObj.DB"_s), 1);
    // A No to the record's question keeps the appointment, also when its note went.
    ASSERT_TRUE(t().locate({u"T_ID"_s}, {2}));
    presenter.answers = {true, false};
    termForm->navigator().click(widgets::DbNavigator::Delete);
    EXPECT_EQ(deleted, (QList<int>{40, 55}));
    EXPECT_EQ(count(u"TermObj.DB"_s), 1);
}

TEST_F(TermEdit, RightsHideWhatTheUserMayNotDo) {
    grant(20, rbView | rbPrint);
    openForm();
    EXPECT_FALSE(termForm->deliveryNoteButton().isVisibleTo(termForm.get()));
    EXPECT_FALSE(termForm->optionsButton().isVisibleTo(termForm.get()));
    EXPECT_FALSE(termForm->deleteDoneButton().isEnabled());
    EXPECT_EQ(grid().contextMenuPolicy(), Qt::NoContextMenu);
    EXPECT_FALSE(
        termForm->navigator().button(widgets::DbNavigator::Delete)->isVisibleTo(termForm.get()));
    EXPECT_TRUE(termForm->printListButton().isVisibleTo(termForm.get()));
    termForm.reset();
    grant(20, rbView);
    openForm();
    EXPECT_FALSE(termForm->printListButton().isVisibleTo(termForm.get()));
    EXPECT_FALSE(termForm->printSheetsButton().isVisibleTo(termForm.get()));
    EXPECT_TRUE(termForm->previewListButton().isVisibleTo(termForm.get()));
    EXPECT_TRUE(termForm->previewSheetsButton().isVisibleTo(termForm.get()));
}

TEST_F(TermEdit, TheOpenerPausesTheTimerWorkAndGivesTheTableBackWritable) {
    grant(20, rbView);
    addAppointment(1, 21, today, false);
    addAppointment(2, 22, today, false);
    dm->EnableTimerWork();
    bool paused = false, readOnly = false;
    int current = 0;
    WhenModalShown([&](QWidget* modal) {
        paused = !dm->IsTimerWorkEnabled();
        readOnly = dm->TabTermObj().isReadOnly();
        current = FieldInt(dm->TabTermObj(), u"T_ID"_s);
        EXPECT_TRUE(dm->TabLSKopf().isOpen());
        modal->close();
    });
    ShowTermEditForm(2);
    EXPECT_TRUE(paused);
    EXPECT_TRUE(readOnly) << "without the edit right";
    EXPECT_EQ(current, 2);
    EXPECT_TRUE(dm->IsTimerWorkEnabled());
    EXPECT_FALSE(dm->TabTermObj().isReadOnly());
    EXPECT_FALSE(dm->TabTermObj().isOpen());
    EXPECT_FALSE(dm->TabLSKopf().isOpen());
    // Timer work that was off stays off.
    dm->DisableTimerWork();
    WhenModalShown([](QWidget* modal) { modal->close(); });
    ShowTermEditForm(0);
    EXPECT_FALSE(dm->IsTimerWorkEnabled());
    dm->EnableTimerWork();
}

TEST_F(TermEdit, AReminderMadeInTheFormComesAtTheFifthTickAfterItCloses) {
    openForm();
    enter(21, today, u"Schlüssel abholen"_s);
    termForm->toggleOptions();
    qobject_cast<QCheckBox*>(options().editor(u"T_Alarm"_s))->click();
    termForm->alarmDateEntered();
    EXPECT_EQ(t().field(u"T_AlarmDate"_s).asDate(), today);
    termForm->post();
    ASSERT_FALSE(t().isEditing());
    termForm.reset();

    const TimerClock savedClock = SetTimerClock([this] { return QDateTime(today, QTime(0, 1)); });
    TimerCounters().reminder = 0;
    dm->EnableTimerWork();
    const auto reminders = [&] {
        QStringList found;
        for (const auto& box : presenter.boxes)
            if (box.text.startsWith(u"Termin-Erinnerung:"_s))
                found << box.text;
        return found;
    };
    for (int tick = 1; tick <= 4; ++tick)
        Timer1Tick(*dm);
    EXPECT_TRUE(reminders().isEmpty());
    Timer1Tick(*dm);
    ASSERT_EQ(reminders().size(), 1);
    EXPECT_TRUE(reminders()[0].contains(u"Schlüssel abholen"_s));
    EXPECT_TRUE(valueOf(u"TermObj.DB"_s, u"T_ID"_s, 1, u"T_AlarmDone"_s).toBool());
    for (int tick = 1; tick <= 5; ++tick)
        Timer1Tick(*dm);
    EXPECT_EQ(reminders().size(), 1) << "reminded once";
    SetTimerClock(savedClock);
}

} // namespace
