#include "commercial/bookings/costbookings.h"
#include "core/files/programdirs.h"
#include "core/gui/modaldriver.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "core/values/datetext.h"
#include "core/values/money.h"
#include "masterdata/gui/objektformhooks.h"
#include "masterdata/gui/tableformfixture.h"
#include "operations/gui/monthyearbox.h"
#include "operations/gui/operationsmodules.h"
#include "operations/gui/tf_choosekey.h"
#include "operations/gui/tf_kostsum.h"
#include "operations/gui/zeiterfbuttons.h"
#include "platform/report/report.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "printing/printingsetup.h"
#include "printing/printprotocol.h"
#include "printing/reportentry.h"

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

const QDate kToday(2026, 3, 20);

// Objects 10 "HAUS A" and 11 "HAUS B" of customer 100 with travel costs
// (501) in March 2026, the overhead type 500 "Verwaltung" with 100.00 on the
// main store; object 11 alone has costs in January.
class KostsumForm : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        InitPrinting();
        m_savedQrfd = QrfdDir;
        QrfdDir = path(u"QRFD0001/"_s);
        QDir().mkpath(QrfdDir);
        addRow(u"Kunden.DB"_s, {{u"K_ID"_s, 100}, {u"K_Nr"_s, 100}});
        for (const int nr : {10, 11})
            addRow(u"Objekte.DB"_s, {{u"O_ID"_s, nr},
                                     {u"O_Nr"_s, nr},
                                     {u"O_Kunde"_s, 100},
                                     {u"O_Match"_s, nr == 10 ? u"HAUS A"_s : u"HAUS B"_s}});
        addRow(u"Kostart.DB"_s, {{u"A_ID"_s, 500},
                                 {u"A_Nr"_s, 500},
                                 {u"A_Text"_s, u"Verwaltung"_s},
                                 {u"A_RubrikNr"_s, 4},
                                 {u"A_Personal"_s, true}});
        addRow(u"Kostart.DB"_s, {{u"A_ID"_s, 501},
                                 {u"A_Nr"_s, 501},
                                 {u"A_Text"_s, u"Fahrtkosten"_s},
                                 {u"A_RubrikNr"_s, 4},
                                 {u"A_Personal"_s, false}});
        for (table::Table* t : dm->tables())
            if (t->isOpen())
                t->refresh();
        BookKostSum(10, 501, QDate(2026, 3, 2), 300.0, 0, 0);
        BookKostSum(11, 501, QDate(2026, 3, 3), 100.0, 0, 0);
        BookKostSum(0, 500, QDate(2026, 3, 4), 100.0, 0, 0);
        BookKostSum(11, 501, QDate(2026, 1, 5), 40.0, 0, 0);
        m_previousOutput = SetReportOutput([this](report::Report& rep, bool preview, QWidget*) {
            prints << u"%1|%2|%3|%4|%5"_s
                          .arg(rep.def().className, rep.datasetDef(u"TabKSH"_s).filter,
                               rep.component(u"U_Date"_s).caption,
                               rep.component(u"L_Zeitbereich"_s).caption)
                          .arg(preview);
        });
    }
    void TearDown() override {
        form.reset();
        SetReportOutput(m_previousOutput);
        QrfdDir = m_savedQrfd;
        TableFormTest::TearDown();
    }
    void showForm(KostsumViewDecl decl) {
        form = std::make_unique<TF_Kostsum>(std::move(decl), kToday);
        PrintFormChoosers choosers;
        choosers.choose = [](int type) { return type + 1; };
        form->setPrintFormChoosers(choosers);
        form->setKeyChooser([this] { return key; });
        formtest::ShowActive(*form);
    }
    // The key column of the heads grid, top to bottom.
    QStringList heads() {
        QStringList keys;
        table::Table& t = form->heads();
        if (t.isEmpty())
            return keys;
        const auto mark = t.bookmark();
        for (t.first(); !t.eof(); t.next())
            keys << t.field(form->declaration().keyField).asString();
        t.gotoBookmark(mark);
        return keys;
    }
    double detail(int kostart, int objektNr) {
        auto t = open(u"KostSumD.db"_s);
        if (!t->locate({u"K_Jahr"_s, u"K_Monat"_s, u"K_Kostart"_s, u"K_ObjektNr"_s},
                       {2026, 3, kostart, objektNr}))
            return -1;
        return t->field(u"K_Zugang"_s).asFloatOr(0);
    }

    std::unique_ptr<TF_Kostsum> form;
    int key = 1; // "Kosten im aktuellen Monat"
    QStringList prints;

private:
    QString m_savedQrfd;
    ReportOutput m_previousOutput;
};

TEST_F(KostsumForm, ThePeriodFiltersTheHeadsAndKeepsTheSelectedKey) {
    showForm(KostsumODeclaration());
    EXPECT_EQ(form->period(), KostsumPeriod::monthOf(2026, 3));
    EXPECT_EQ(heads(), (QStringList{u"0"_s, u"10"_s, u"11"_s}));
    ASSERT_TRUE(form->heads().locate({u"K_ObjektNr"_s}, {11}));
    form->setMode(KostsumMode::Jahr);
    EXPECT_EQ(form->period(), KostsumPeriod::yearOf(2026));
    EXPECT_FALSE(form->monthYear().monthBox().isEnabled());
    EXPECT_TRUE(form->monthYear().yearBox().isEnabled());
    EXPECT_EQ(form->heads().field(u"K_ObjektNr"_s).asInteger(), 11);
    EXPECT_DOUBLE_EQ(form->heads().field(u"K_Zugang"_s).asFloat(), 140.0);
    form->setMode(KostsumMode::Gesamt);
    EXPECT_EQ(form->period(), KostsumPeriod::total());
    EXPECT_FALSE(form->monthYear().yearBox().isEnabled());
    form->setMode(KostsumMode::Monat);
    form->monthYear().monthBox().setCurrentIndex(0);
    form->monthYear().monthBox().activated(0);
    EXPECT_EQ(form->period(), KostsumPeriod::monthOf(2026, 1));
    EXPECT_EQ(heads(), QStringList{u"11"_s});
    // Below January: December of the year before.
    form->monthYear().monthDown().click();
    EXPECT_EQ(form->period(), KostsumPeriod::monthOf(2025, 12));
    EXPECT_TRUE(heads().isEmpty());
}

TEST_F(KostsumForm, TheCostTypeViewShowsObjectsUnderTheSelectedTypeAndOverheadInGreen) {
    showForm(KostsumKDeclaration());
    EXPECT_EQ(heads(), (QStringList{u"500"_s, u"501"_s}));
    EXPECT_EQ(form->kostartColor(0), QColor(0, 255, 0));
    EXPECT_FALSE(form->kostartColor(1).isValid());
    ASSERT_TRUE(form->heads().locate({u"K_Kostart"_s}, {501}));
    QStringList objects;
    for (form->details().first(); !form->details().eof(); form->details().next())
        objects << form->details().field(u"ObjektName"_s).asString();
    EXPECT_EQ(objects, (QStringList{u"HAUS A"_s, u"HAUS B"_s}));
    ASSERT_TRUE(form->heads().locate({u"K_Kostart"_s}, {500}));
    form->details().first();
    EXPECT_EQ(form->details().field(u"ObjektName"_s).asString(), u"Hauptlager"_s);
}

TEST_F(KostsumForm, TheOverheadOfTheMainStoreGoesToTheObjectsOnce) {
    showForm(KostsumKDeclaration());
    ASSERT_TRUE(form->heads().locate({u"K_Kostart"_s}, {500}));
    form->sbtnUmlageClick();
    EXPECT_TRUE(presenter.texts(Kind::Error).isEmpty());
    EXPECT_DOUBLE_EQ(detail(500, 10), 75.0);
    EXPECT_DOUBLE_EQ(detail(500, 11), 25.0);
    EXPECT_DOUBLE_EQ(detail(500, 0), 0.0);
    // Both tables show the booking.
    EXPECT_DOUBLE_EQ(form->heads().field(u"K_Zugang"_s).asFloat(), 100.0);
    QStringList objects;
    for (form->details().first(); !form->details().eof(); form->details().next())
        objects << form->details().field(u"ObjektName"_s).asString();
    EXPECT_EQ(objects, (QStringList{u"Hauptlager"_s, u"HAUS A"_s, u"HAUS B"_s}));
    // A second run finds nothing on the main store.
    ASSERT_TRUE(form->heads().locate({u"K_Kostart"_s}, {500}));
    form->sbtnUmlageClick();
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Der Eintrag wurde bereits verteilt oder auf\rdem Hauptlager sind "
                          "keine Kosten gebucht!"_s});
}

TEST_F(KostsumForm, TheDistributionRefusesWhatItCannotDo) {
    showForm(KostsumKDeclaration());
    const QString before = QString::number(detail(500, 0));
    // Year mode.
    form->setMode(KostsumMode::Jahr);
    ASSERT_TRUE(form->heads().locate({u"K_Kostart"_s}, {500}));
    form->sbtnUmlageClick();
    EXPECT_EQ(presenter.texts(Kind::Error).value(0),
              u"Die Gemeinkostenverteilung kann nur in\rder Monatsansicht vorgenommen werden!"_s);
    form->setMode(KostsumMode::Monat);
    // Not overhead: asked, "Nein" stops.
    ASSERT_TRUE(form->heads().locate({u"K_Kostart"_s}, {501}));
    presenter.answers = {false};
    form->sbtnUmlageClick();
    EXPECT_EQ(presenter.texts(Kind::Question).size(), 1);
    // A key without a positive value: revenue, of which there is none.
    ASSERT_TRUE(form->heads().locate({u"K_Kostart"_s}, {500}));
    key = 0;
    form->sbtnUmlageClick();
    EXPECT_EQ(presenter.texts(Kind::Error).value(1),
              u"Es konnte kein Verteil-Schlüssel errechnet werden!"_s);
    // Cancelled key dialog.
    key = -1;
    form->sbtnUmlageClick();
    EXPECT_EQ(presenter.texts(Kind::Error).size(), 2);
    EXPECT_EQ(QString::number(detail(500, 0)), before);
}

TEST_F(KostsumForm, PrintsGetTheFilterTodayAndThePeriodText) {
    showForm(KostsumKDeclaration());
    form->PrintClick(form->button(u"sbtnPreview"_s));
    form->setMode(KostsumMode::Jahr);
    form->PrintClick(form->button(u"sbtnPrint"_s));
    form.reset();
    showForm(KostsumODeclaration());
    form->setMode(KostsumMode::Gesamt);
    form->PrintClick(form->button(u"sbtnPrint"_s));
    EXPECT_EQ(prints,
              (QStringList{
                  u"TQRKostSumK1|K_Jahr=2026 AND K_Monat=3 AND K_Kostart>=0|%1|Monat "
                  "3/2026|1"_s.arg(TodayStr()),
                  u"TQRKostSumK1|K_Jahr=2026 AND K_Monat=0 AND K_Kostart>=0|%1|Jahr 2026|0"_s.arg(
                      TodayStr()),
                  u"TQRKostSumO1|K_Jahr=0 AND K_Monat=0 AND K_ObjektID>=0|%1|"
                  "Gesamtzeitraum|0"_s.arg(TodayStr())}));
}

TEST_F(KostsumForm, TheKeyDialogOffersSixKeysTheFirstChosen) {
    TF_ChooseKey dialog;
    EXPECT_EQ(dialog.windowTitle(), u"Verteilerschlüssel bestimmen"_s);
    ASSERT_EQ(dialog.list().count(), 6);
    EXPECT_EQ(dialog.list().item(1)->text(), u"Kosten im aktuellen Monat"_s);
    EXPECT_EQ(dialog.chosen(), 0);
    WhenModalShown([](QWidget* modal) {
        auto* d = static_cast<TF_ChooseKey*>(modal);
        d->list().setCurrentRow(3);
        d->accept();
    });
    EXPECT_EQ(ChooseDistributionKey(), 3);
    WhenModalShown([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(ChooseDistributionKey(), -1);
}

TEST_F(KostsumForm, TheStatisticsMenuOpensBothViews) {
    const ZeiterfButtonHooks saved = ZeiterfButtonHooksRegistry();
    const ObjektFormHooks savedObjekt = ObjektFormHooksRegistry();
    const RecordRuleHooks savedRules = RecordRuleHooksRegistry();
    ModuleDispatcher dispatcher;
    RegisterOperationsModules(dispatcher);
    const TUserRec savedUser = CurrentUser;
    CurrentUser = TUserRec();
    CurrentUser.rights.set(38, rbAllRights);
    for (const auto& [id, window] : {std::pair{u"ShowKostsumOForm"_s, u"TF_KostsumO"_s},
                                     std::pair{u"ShowKostsumKForm"_s, u"TF_KostsumK"_s}}) {
        ASSERT_TRUE(dispatcher.isAvailable(id));
        QString shown;
        WhenModalShown([&](QWidget* modal) {
            shown = modal->objectName();
            modal->close();
        });
        dispatcher.run(id);
        EXPECT_EQ(shown, window);
    }
    CurrentUser = savedUser;
    ZeiterfButtonHooksRegistry() = saved;
    ObjektFormHooksRegistry() = savedObjekt;
    RecordRuleHooksRegistry() = savedRules;
}

} // namespace
