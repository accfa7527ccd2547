#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/kostenauszeiterfass.h"
#include "core/gui/modaldriver.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "masterdata/gui/tableformfixture.h"
#include "operations/gui/operationsmodules.h"
#include "operations/gui/tf_zeiterf.h"
#include "operations/gui/zeiterfbuttons.h"
#include "operations/gui/zeiterfformfixture.h"
#include "operations/timerecordservice.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

using operationstest::kDay;
using operationstest::ZeiterfForm;

TEST_F(ZeiterfForm, RightsOfTimeRecordingOverviewsAndClock) {
    const struct {
        int editMask; // of function 29
        bool overviews, clock;
    } cases[] = {
        {rbAllRights, true, true},
        {rbAllRights, false, false},
        {0x01, true, false},
        {0x01, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.editMask * 100 + c.overviews * 10 + c.clock);
        CurrentUser = TUserRec();
        grant(kZeiterfRight, c.editMask);
        if (c.overviews)
            grant(kZeiterfOverviewRight, 0x01);
        if (c.clock)
            grant(kChipdriveRight, 0x01);
        showForm();
        const bool edit = c.editMask == rbAllRights;
        EXPECT_EQ(form->button(u"sbtnPrintObj"_s)->isVisible(), c.overviews);
        EXPECT_EQ(form->button(u"sbtnPrintPers"_s)->isVisible(), c.overviews);
        EXPECT_EQ(form->button(u"sbtnChipdrive"_s)->isVisible(), c.clock);
        EXPECT_EQ(form->button(u"BitBtn1"_s)->isVisible(), edit);
        EXPECT_TRUE(form->button(u"BitBtn2"_s)->isVisible());
        EXPECT_EQ(form->timeSource().mayEdit(), edit);
        // Entering the grid on an empty day starts a record only for an editor.
        form->timeGrid().setFocus();
        EXPECT_EQ(time().isEditing(), edit);
        if (time().isEditing())
            time().cancel();
        form.reset();
    }
}

TEST_F(ZeiterfForm, ARecordTypedInShowsInTheSumsAndTheWeek) {
    grant(kZeiterfRight);
    showForm();
    EXPECT_EQ(form->sumCaption(1), u"Normal"_s);
    EXPECT_EQ(form->sumCaption(2), u"Überst."_s);
    EXPECT_EQ(form->sumCaption(9), u"Gesamt"_s);
    form->timeGrid().setFocus();
    ASSERT_TRUE(time().isEditing());
    EXPECT_EQ(form->timeGrid().selectedField(), u"ZeitartKurz"_s);
    EXPECT_EQ(FieldInt(time(), u"Z_PersNr"_s), 7);
    EXPECT_EQ(time().field(u"Z_Datum"_s).asDate(), kDay);
    time().field(u"Z_Stunden"_s).setValue(41.0);
    QTest::keyClick(form.get(), Qt::Key_F10);
    EXPECT_FALSE(time().isEditing());
    EXPECT_EQ(records(), 1);
    EXPECT_EQ(form->sumHoursText(1), u"41,00 Std"_s);
    EXPECT_EQ(form->sumHoursText(9), u"41,00 Std"_s);
    EXPECT_EQ(form->weekText().text(), u" 41.00 Std"_s);
    EXPECT_EQ(form->dayText().text(), u" 41.00 Std"_s);
    EXPECT_EQ(form->weekText().palette().color(QPalette::Text), QColor(Qt::red));
    EXPECT_EQ(form->timeGrid().gridModel().index(0, 0).data().toString(), u"Normal"_s);
    // Another day shows its own records and the same week.
    form->datePicker().setDate(kDay.addDays(1));
    EXPECT_EQ(form->formDate(), kDay.addDays(1));
    EXPECT_TRUE(time().isEmpty());
    EXPECT_EQ(form->dayText().text(), u"  0.00 Std"_s);
    EXPECT_EQ(form->weekText().text(), u" 41.00 Std"_s);
}

TEST_F(ZeiterfForm, TheTypeAndCostTypePickersSetTheRecord) {
    grant(kZeiterfRight);
    addRow(u"Kostart.DB"_s, {{u"A_ID"_s, 1}, {u"A_Nr"_s, 501}, {u"A_Text"_s, u"Fahrt"_s}});
    showForm();
    form->timeGrid().setFocus();
    ASSERT_TRUE(time().isEditing());
    WhenModalShown([](QWidget* modal) {
        auto* lookup = qobject_cast<TF_DbSelect*>(modal);
        ASSERT_NE(lookup, nullptr);
        EXPECT_EQ(lookup->windowTitle(), u"Zeitart auswählen"_s);
        ASSERT_TRUE(lookup->lookupTable()->locate({u"ZA_Type"_s}, {2}));
        lookup->grid()->followCursor();
        lookup->btnOK()->click();
    });
    form->timeGrid().selectField(u"ZeitartKurz"_s);
    QTest::keyClick(&form->timeGrid(), Qt::Key_W, Qt::AltModifier);
    EXPECT_EQ(FieldInt(time(), u"Z_Art"_s), 2);
    EXPECT_DOUBLE_EQ(FieldFloat(time(), u"Z_EkPreis"_s), 15.00);
    WhenModalShown([](QWidget* modal) {
        auto* lookup = qobject_cast<TF_DbSelect*>(modal);
        ASSERT_NE(lookup, nullptr);
        ASSERT_TRUE(lookup->lookupTable()->locate({u"A_Nr"_s}, {501}));
        lookup->grid()->followCursor();
        lookup->btnOK()->click();
    });
    EXPECT_TRUE(form->runColumnAction(u"Z_Kostart"_s));
    EXPECT_EQ(FieldInt(time(), u"Z_Kostart"_s), 501);
    EXPECT_FALSE(form->runColumnAction(u"Z_Stunden"_s));
    time().cancel();
}

TEST_F(ZeiterfForm, TheDeleteOfTheMenuAndOfCtrlDeleteAsk) {
    grant(kZeiterfRight);
    showForm();
    form->timeGrid().setFocus();
    time().field(u"Z_Stunden"_s).setValue(2.0);
    form->post();
    presenter.answers = {false};
    form->deleteCurrent();
    EXPECT_EQ(records(), 1);
    presenter.answers = {true};
    QTest::keyClick(&form->timeGrid(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(records(), 0);
    EXPECT_EQ(presenter.texts(Kind::Question).size(), 2);
    EXPECT_EQ(form->sumHoursText(9), u"0,00 Std"_s);
}

TEST_F(ZeiterfForm, F4WritesTheSelectedEmployeesDayFromTheDailyLists) {
    grant(kZeiterfRight);
    showForm();
    QTest::keyClick(&form->staffGrid(), Qt::Key_F4);
    EXPECT_EQ(records(), 1);
    EXPECT_EQ(time().recordCount(), 1);
    EXPECT_DOUBLE_EQ(FieldFloat(time(), u"Z_Stunden"_s), 8.0);
    EXPECT_EQ(FieldText(time(), u"ObjektMatch"_s), u"HAUS A"_s);
    // F5: employee 8 has no daily tour and is passed over quietly.
    presenter.boxes.clear();
    QTest::keyClick(&form->datePicker(), Qt::Key_F5);
    EXPECT_EQ(records(), 1);
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_EQ(FieldInt(dm->TabPersonal(), u"P_Nr"_s), 7);
}

TEST_F(ZeiterfForm, TheFocusChainRunsThroughTheGridsAndThePicker) {
    grant(kZeiterfRight, 0x01);
    showForm();
    form->staffGrid().setFocus();
    QTest::keyClick(&form->staffGrid(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_TRUE(form->timeGrid().hasFocus());
    QTest::keyClick(&form->timeGrid(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_TRUE(form->datePicker().hasFocus());
    QTest::keyClick(&form->datePicker(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_TRUE(form->timeGrid().hasFocus());
    QTest::keyClick(&form->timeGrid(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_TRUE(form->staffGrid().hasFocus());
    QTest::keyClick(&form->staffGrid(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_TRUE(form->datePicker().hasFocus());
}

TEST_F(ZeiterfForm, ModuleButtonsComeAliveWithTheirOpenersAndShowTheDayAfter) {
    grant(kZeiterfRight);
    grant(kZeiterfOverviewRight);
    grant(kChipdriveRight);
    showForm();
    for (const char* name : {"sbtnImport", "SpeedButton3", "sbtnChipdrive", "sbtnPrintObj",
                             "sbtnPrintPers", "sbtnAuslag"})
        EXPECT_FALSE(form->button(QString::fromLatin1(name))->isEnabled()) << name;
    form.reset();

    // An import that writes a record of another day and fails afterwards.
    ZeiterfButtonHooksRegistry().import1 = [](TF_Zeiterf& window) {
        TimeRecordValues v;
        v.datum = window.formDate();
        v.persNr = 7;
        v.stunden = 3;
        v.ekPreis = 12.0;
        TimeRecordCursor cursor;
        cursor.append(v);
        throw DbError(u"Lesefehler"_s);
    };
    showForm();
    QPushButton* import = form->button(u"sbtnImport"_s);
    ASSERT_TRUE(import->isEnabled());
    EXPECT_EQ(import->toolTip(), u"Zeitdaten nach Datum importieren"_s);
    QString shown;
    WhenModalShown([&shown](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            shown = box->text();
        modal->close();
    });
    import->click();
    EXPECT_EQ(shown, u"Lesefehler"_s);
    EXPECT_EQ(time().recordCount(), 1);
    EXPECT_EQ(form->sumHoursText(9), u"3,00 Std"_s);
}

// The menu entries and the tool-bar button reach the three windows.
class OperationsEntries : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        m_savedUser = CurrentUser;
        CurrentUser = TUserRec();
        for (const int right : {29, 36, 37})
            CurrentUser.rights.set(right, rbAllRights);
        RegisterOperationsModules(dispatcher);
    }
    void TearDown() override {
        CurrentUser = m_savedUser;
        TableFormTest::TearDown();
    }
    ModuleDispatcher dispatcher;

private:
    TUserRec m_savedUser;
};

TEST_F(OperationsEntries, OpenTheirWindows) {
    const struct {
        const char* entry;
        const char* formClass;
        const char* caption;
    } cases[] = {{"ShowKostartForm", "TF_Kostart", "Kostenarten definieren"},
                 {"ShowZeitartForm", "TF_Zeitart", "Arbeitszeit-Arten"},
                 {"ShowZeiterfForm", "TF_Zeiterf", "Arbeitszeit erfassen"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        ASSERT_TRUE(dispatcher.isAvailable(QString::fromLatin1(c.entry)));
        QString shown, caption;
        bool timerWork = true;
        WhenModalShown([&](QWidget* modal) {
            shown = modal->objectName();
            caption = modal->windowTitle();
            timerWork = dm->IsTimerWorkEnabled();
            modal->close();
        });
        EXPECT_EQ(dispatcher.run(QString::fromLatin1(c.entry)), ModuleDispatcher::Outcome::Opened);
        EXPECT_EQ(shown, QString::fromLatin1(c.formClass));
        EXPECT_EQ(caption, QString::fromUtf8(c.caption));
        EXPECT_FALSE(timerWork);
        EXPECT_TRUE(dm->IsTimerWorkEnabled());
    }
    EXPECT_FALSE(dm->TabRubrik().isOpen());
}

} // namespace
