#include "commercial/documents/deliverynoteentries.h"
#include "commercial/documents/textplaceholders.h"
#include "core/gui/modaldriver.h"
#include "core/rights/rights.h"
#include "datasafety/autobackup.h"
#include "masterdata/dialogs/tf_seldaterange.h"
#include "operations/dailylistfixture.h"
#include "operations/gui/dailylistprintdialogs.h"
#include "operations/gui/tf_taglist.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/userprompts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

const QString kRemember = u"Denken Sie bitte daran, erledigte Tageslisten in die\r"
                          u"Kontrollberichtsdatei zu überstellen (\"->Berichte -> Erzeugen\")."_s;

// Tour 3 runs weekly from today; its list of today (daily tour 1) holds
// object 21 with activities 1 and 2, its list of a week ago (daily tour 2)
// object 21 with activity 3.
class Taglist : public datatest::DailyLists {
protected:
    void SetUp() override {
        DailyLists::SetUp();
        // The print options' boxes are kept in a placement file of the test.
        m_savedWinDir = qgetenv("DOMVERA_WINDIR");
        qputenv("DOMVERA_WINDIR", QFile::encodeName(path(u"win"_s)));
        m_savedUser = CurrentUser;
        CurrentUser = TUserRec();
        for (int f : {15, 16, 17, 18})
            CurrentUser.rights.set(f, rbAllRights);
        m_savedEntries = DeliveryNoteEntriesRegistry();
        DeliveryNoteEntriesRegistry() = {};
        m_savedBackup = AutoBackupServiceRegistry();
        AutoBackupServiceRegistry() = {[] { return true; }, [](const QString&) {}};
        widgets::setErrorPresenter([this](QWidget*, const QString& m) { errors.append(m); });
        addTour(3, today.dayOfWeek());
        auto tours = open(u"Touren.db"_s);
        tours->locate({u"TO_Nr"_s}, {3});
        tours->edit();
        tours->field(u"TO_NextDate"_s).setValue(today);
        tours->post();
        addActiveObject(21, 1, u"OBJEKT 21"_s);
        addDailyTour(1, 3, today);
        addDailyTour(2, 3, today.addDays(-7));
        addDailyObject(1, 1, 21);
        addDailyObject(2, 2, 21);
        addActivity(1, 1, 21, 0, 1);
        addActivity(2, 1, 21, 0, 2);
        addActivity(3, 2, 21, 0, 3);
    }
    void TearDown() override {
        form.reset();
        table::Table& t = dm->TabTglTour();
        if (t.isOpen())
            t.close();
        t.setFiltered(false);
        widgets::setErrorPresenter({});
        AutoBackupServiceRegistry() = m_savedBackup;
        DeliveryNoteEntriesRegistry() = m_savedEntries;
        CurrentUser = m_savedUser;
        if (m_savedWinDir.isNull())
            qunsetenv("DOMVERA_WINDIR");
        else
            qputenv("DOMVERA_WINDIR", m_savedWinDir);
        DailyLists::TearDown();
    }
    void openForm() { form = std::make_unique<TF_Taglist>(); }
    // A key pressed in the activity grid.
    void press(int key, const QString& text) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&form->activityGrid(), &event);
    }
    QVariant valueOf(const QString& file, const QString& keyField, int key, const QString& field) {
        return open(file)->lookup({keyField}, {key}, field);
    }
    // Runs call, closing and counting every modal window it opens meanwhile.
    static int modalsDuring(const std::function<void()>& call) {
        int shown = 0;
        QTimer watch;
        watch.setInterval(5);
        QObject::connect(&watch, &QTimer::timeout, [&shown] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ++shown;
                modal->close();
            }
        });
        watch.start();
        call();
        QApplication::processEvents();
        return shown;
    }
    int current(const QString& field) { return dm->TabTglTaetig().field(field).asInteger(); }

    std::unique_ptr<TF_Taglist> form;
    QStringList errors;

private:
    QByteArray m_savedWinDir;
    TUserRec m_savedUser;
    DeliveryNoteEntries m_savedEntries;
    AutoBackupService m_savedBackup;
};

TEST_F(Taglist, OpensOnTodayWithTheButtonsTheRightsAndHooksAllow) {
    CurrentUser.rights.set(15, rbAllRights & ~rbPrint);
    CurrentUser.rights.set(18, 0);
    openForm();
    EXPECT_EQ(form->windowTitle(), u"Tageslisten"_s);
    EXPECT_EQ(form->dateEdit().text(), today.toString(u"dd.MM.yyyy"_s));
    EXPECT_EQ(FieldInt(dm->TabTglTour(), u"A_TourID"_s), 1);
    EXPECT_TRUE(form->printButton().isHidden());
    EXPECT_FALSE(form->createButton().isHidden());
    EXPECT_TRUE(form->materialButton().isHidden());
    // The overview waits for its window; the material note for its editor.
    EXPECT_FALSE(form->overviewButton().isEnabled());
    EXPECT_FALSE(form->materialButton().isEnabled());
    EXPECT_TRUE(form->objectGrid().isEnabled());

    // A day without lists: the detail grids rest.
    form->shiftDay(1);
    EXPECT_EQ(form->day(), today.addDays(1));
    EXPECT_FALSE(form->objectGrid().isEnabled());
    EXPECT_FALSE(form->activityGrid().isEnabled());

    // Without the use right the window does not open.
    form.reset();
    dm->TabTglTour().close();
    CurrentUser.rights.set(15, 0);
    EXPECT_EQ(modalsDuring([] { ShowTaglistForm(); }), 0);
    EXPECT_FALSE(presenter.boxes.isEmpty());
}

TEST_F(Taglist, AStateKeySetsTheStateAndMovesToTheNextRow) {
    openForm();
    ASSERT_EQ(current(u"A_TOTID"_s), 1);
    form->updateMenus();
    EXPECT_FALSE(form->activityMenu().findChild<QAction*>(u"Erledigtsetzen1"_s)->isEnabled())
        << "today's list takes E by key only";
    press(Qt::Key_E, u"e"_s);
    EXPECT_EQ(valueOf(u"TglTaet.DB"_s, u"A_TOTID"_s, 1, u"A_State"_s).toInt(), 4);
    EXPECT_EQ(current(u"A_TOTID"_s), 2) << "the key acts as Down";
    // Other keys are swallowed and change nothing.
    press(Qt::Key_X, u"x"_s);
    press(Qt::Key_1, u"1"_s);
    EXPECT_EQ(valueOf(u"TglTaet.DB"_s, u"A_TOTID"_s, 2, u"A_State"_s).toInt(), 0);
    EXPECT_FALSE(form->recorded()) << "today's list is no recording of past work";

    // A week ago: skipped, recorded, and the reminder when the window closes.
    form->shiftDay(-7);
    ASSERT_EQ(current(u"A_TOTID"_s), 3);
    form->updateMenus();
    EXPECT_TRUE(form->activityMenu().findChild<QAction*>(u"Erledigtsetzen1"_s)->isEnabled());
    press(Qt::Key_A, u"a"_s);
    EXPECT_EQ(valueOf(u"TglTaet.DB"_s, u"A_TOTID"_s, 3, u"A_State"_s).toInt(), 2);
    EXPECT_TRUE(form->recorded());
    form->reject();
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{kRemember});
}

TEST_F(Taglist, TheTransferKeysOfAGermanKeyboardMoveTheRowToTheNextRun) {
    struct Case {
        int key;
        QString text;
    };
    for (const Case& c : {Case{Qt::Key_AsciiCircum, u"^"_s}, Case{Qt::Key_Udiaeresis, u"Ü"_s}}) {
        SCOPED_TRACE(c.text.toStdString());
        openForm();
        ASSERT_EQ(current(u"A_TaetigNr"_s), c.key == Qt::Key_AsciiCircum ? 1 : 2);
        const int taetigNr = current(u"A_TaetigNr"_s);
        press(c.key, c.text);
        const int target =
            open(u"TglTour.DB"_s)->lookup({u"A_Date"_s}, {today.addDays(7)}, u"A_TourID"_s).toInt();
        ASSERT_NE(target, 0) << "the list of next week's run";
        auto rows = open(u"TglTaet.DB"_s);
        EXPECT_TRUE(rows->locate({u"A_TourID"_s, u"A_TaetigNr"_s}, {target, taetigNr}));
        EXPECT_EQ(FieldInt(*rows, u"A_Source"_s), 2);
        EXPECT_FALSE(rows->locate({u"A_TourID"_s, u"A_TaetigNr"_s}, {1, taetigNr}))
            << "gone from today's list";
        form.reset();
    }
    // Today's object was emptied and went with its last row.
    EXPECT_TRUE(open(u"TglObj.DB"_s)->lookup({u"A_TOID"_s}, {1}, u"A_TOID"_s).isNull());
}

TEST_F(Taglist, TheGenerationGivesEverythingBackWhenCancelledOrLockedOut) {
    openForm();
    // Cancelled range.
    WhenModalShown([](QWidget* modal) { modal->close(); });
    form->createButton().click();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(form->statePanel().isHidden());
    EXPECT_TRUE(form->createButton().isEnabled());
    EXPECT_TRUE(form->objectGrid().isEnabled());

    // Another workstation generates: its lock refuses the run.
    operationstest::OtherWorkstation other;
    other.activities->lockTable();
    presenter.answers = {true, false}; // past the warning, no backup
    WhenModalShown([](QWidget* modal) {
        if (auto* range = qobject_cast<TF_SelDateRange*>(modal))
            range->okButton()->click();
        else
            modal->close();
    });
    form->createButton().click();
    other.activities->unlockTable();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(u"An einem anderen Arbeitsplatz werden gerade Tageslisten"_s));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(form->statePanel().isHidden());
    EXPECT_TRUE(form->createButton().isEnabled());
    EXPECT_TRUE(form->activityGrid().isEnabled());
    EXPECT_EQ(form->day(), today);
    EXPECT_EQ(count(u"TglTour.DB"_s), 2) << "no list was made";
}

TEST_F(Taglist, TheMaterialNoteOpensThroughTheInstalledEditor) {
    QList<QVariantList> calls;
    DeliveryNoteEntriesRegistry().editLieferschein = [&](const QString& nr, int objektNr,
                                                         bool autoInvoice, int lsTyp, int creator) {
        calls.append({nr, objektNr, autoInvoice, lsTyp, creator});
        return 77;
    };
    openForm();
    ASSERT_TRUE(form->materialButton().isEnabled());
    form->materialButton().click();
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0], (QVariantList{QString(), 21, true, kLsTypTageslisten, 1}));
    EXPECT_EQ(valueOf(u"TglObj.DB"_s, u"A_TOID"_s, 1, u"A_LsID"_s).toInt(), 77);
    EXPECT_TRUE(form->materialButton().isEnabled()) << "released";

    form->shiftDay(1);
    form->materialButton().click();
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Für diesen Tag ist keine Tagesliste vorhanden!"_s});
    EXPECT_EQ(calls.size(), 1);
}

TEST_F(Taglist, TheNavigatorDeletesTheLastRowWithItsObjectAndDailyTour) {
    openForm();
    form->shiftDay(-7);
    auto* navigator = form->findChild<widgets::DbNavigator*>();
    ASSERT_NE(navigator, nullptr);
    navigator->setDataSource(form->activityGrid().source());
    presenter.answers = {true};
    navigator->click(widgets::DbNavigator::Delete);
    EXPECT_TRUE(valueOf(u"TglTaet.DB"_s, u"A_TOTID"_s, 3, u"A_TOTID"_s).isNull());
    EXPECT_TRUE(valueOf(u"TglObj.DB"_s, u"A_TOID"_s, 2, u"A_TOID"_s).isNull());
    EXPECT_TRUE(valueOf(u"TglTour.DB"_s, u"A_TourID"_s, 2, u"A_TourID"_s).isNull());
    EXPECT_TRUE(dm->TabTglTour().isEmpty());
    EXPECT_FALSE(form->activityGrid().isEnabled());
}

TEST_F(Taglist, PrintOptionsComeBackAndACancelKeepsTheCallersChoice) {
    DailyListPrintOptions options;
    options.taglistFormId = 5;
    options.worklistFormId = 6;
    WhenModalShown([](QWidget* modal) {
        auto* dialog = qobject_cast<TF_SelPrintOptions*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), u"Druckoptionen wählen"_s);
        dialog->workReportBox().setChecked(false);
        dialog->accept();
    });
    ASSERT_TRUE(SelectDailyListPrintOptions(options, today, today.addDays(3)));
    EXPECT_FALSE(options.printWorkReports);
    EXPECT_TRUE(options.printTaglists);
    EXPECT_EQ(options.taglistFormId, 5);

    // Opened again: unticked as left; "Abbrechen" changes nothing.
    bool wasUnticked = false;
    WhenModalShown([&](QWidget* modal) {
        auto* dialog = qobject_cast<TF_SelPrintOptions*>(modal);
        wasUnticked = !dialog->workReportBox().isChecked();
        dialog->taglistBox().setChecked(false);
        dialog->reject();
    });
    EXPECT_FALSE(SelectDailyListPrintOptions(options, today, today.addDays(3)));
    EXPECT_TRUE(wasUnticked);
    EXPECT_TRUE(options.printTaglists);
    EXPECT_EQ(options.worklistFormId, 6);
}

TEST_F(Taglist, TheListViewPrintsWithoutAnyDialogOrShows) {
    int printed = 0;
    QString text;
    const ListViewPrinter saved = SetListViewPrinter([&](TF_ViewRtf& view) {
        ++printed;
        text = view.editor().toPlainText();
    });
    TTemplateValues values;
    values.OName1 = u"Haus Linde"_s;
    // Printing opens no window.
    EXPECT_EQ(modalsDuring([&] {
                  ShowListView(u"Erinnerungsliste"_s, "Bitte @ONAME1 aufschliessen", {}, false,
                               values);
              }),
              0);
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(text, u"Bitte Haus Linde aufschliessen"_s);
    // Shown: modal with its caption, closed by "&Schließen".
    QString caption;
    WhenModalShown([&](QWidget* w) {
        caption = w->windowTitle();
        w->findChild<QPushButton*>(u"btnClose"_s)->click();
    });
    ShowListView(u"Formular-Ansicht"_s, "Text", {}, true, values);
    EXPECT_EQ(caption, u"Formular-Ansicht"_s);
    EXPECT_EQ(printed, 1);
    SetListViewPrinter(saved);
}

} // namespace
