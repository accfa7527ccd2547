#include "core/files/programdirs.h"
#include "core/gui/modaldriver.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "core/values/money.h"
#include "masterdata/gui/objektformhooks.h"
#include "masterdata/gui/tableformfixture.h"
#include "operations/gui/monthyearbox.h"
#include "operations/gui/operationsmodules.h"
#include "operations/gui/tf_zeiterf.h"
#include "operations/gui/tf_zeiterfo.h"
#include "operations/gui/zeiterfbuttons.h"
#include "operations/gui/zeitsumpanel.h"
#include "operations/timerecordservice.h"
#include "platform/report/paginator.h"
#include "platform/report/report.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "printing/printingsetup.h"
#include "printing/printprotocol.h"
#include "printing/reportentry.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QDate kToday(2026, 12, 15);

// Objects 10 "HAUS A", 11 "HAUS B" and 12 "HAUS C" (no records), employees 7
// and 8; records in December 2026 and January 2027.
class ZeiterfOForm : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        InitPrinting();
        m_savedQrfd = QrfdDir;
        QrfdDir = path(u"QRFD0001/"_s);
        QDir().mkpath(QrfdDir);
        m_savedUser = CurrentUser;
        CurrentUser = TUserRec();
        CurrentUser.rights.set(kZeiterfOverviewRight, rbAllRights);
        InstallRightsChecker();
        for (const int nr : {10, 11, 12})
            addRow(u"Objekte.DB"_s, {{u"O_ID"_s, nr},
                                     {u"O_Nr"_s, nr},
                                     {u"O_Match"_s, QVariant(u"HAUS "_s + QChar(u'A' + nr - 10))}});
        for (const int nr : {7, 8})
            addRow(u"Personal.DB"_s, {{u"P_ID"_s, nr},
                                      {u"P_Nr"_s, nr},
                                      {u"P_Match"_s, nr == 7 ? u"BERG"_s : u"KRANZ"_s}});
        record(7, 10, QDate(2026, 12, 1), 2.0, 10.0, 1);
        record(8, 10, QDate(2026, 12, 2), 1.0, 10.0, 9);       // normal time in the panel
        record(8, 10, QDate(2026, 12, 3), 3.0, QVariant(), 1); // no rate: no costs
        record(7, 10, QDate(2026, 12, 4), 2.0, 10.0, 1, 1.5);  // the factor: list only
        record(7, 11, QDate(2027, 1, 5), 4.0, 10.0, 1);
        m_previousOutput = SetReportOutput([this](report::Report& rep, bool preview, QWidget*) {
            Output o;
            o.preview = preview;
            o.formType = rep.def().className;
            for (const report::DatasetDef& d : rep.def().datasets)
                if (d.name == u"TabZeiterf"_s) {
                    o.filter = d.filter;
                    o.alias = d.alias;
                }
            o.workTable = rep.datasetDef(u"TabSumme"_s).table;
            auto sums = open(o.workTable);
            o.rows = sums->recordCount();
            outputs.append(o);
        });
    }
    void TearDown() override {
        form.reset();
        SetReportOutput(m_previousOutput);
        SetRightsChecker(nullptr);
        CurrentUser = m_savedUser;
        QrfdDir = m_savedQrfd;
        TableFormTest::TearDown();
    }
    void record(int persNr, int objNr, const QDate& day, double hours, const QVariant& rate,
                int art, const QVariant& aufschlag = {}, const QString& alias = u"LumoDB"_s) {
        addRow(u"Zeiterf.DB"_s,
               {{u"Z_ID"_s, ++m_id},
                {u"Z_Datum"_s, day},
                {u"Z_PersNr"_s, persNr},
                {u"Z_ObjNr"_s, objNr},
                {u"Z_Art"_s, art},
                {u"Z_Stunden"_s, hours},
                {u"Z_EkPreis"_s, rate},
                {u"Z_Aufschlag"_s, aufschlag}},
               alias);
    }
    void showForm(ZeiterfViewDecl decl = ZeiterfODeclaration(), bool fromArchive = false) {
        form = std::make_unique<TF_ZeiterfO>(std::move(decl), fromArchive, kToday);
        form->ApplyRights();
        PrintFormChoosers choosers;
        choosers.choose = [](int type) { return type + 1; };
        form->setPrintFormChoosers(choosers);
        formtest::ShowActive(*form);
    }
    void select(int nr) {
        table::Table& m = form->masters();
        ASSERT_TRUE(m.locate({form->declaration().numberField}, {nr}));
        form->CalcMonthSum();
    }
    int timeRows() { return form->timeGrid().gridModel().rowCount(); }

    struct Output {
        bool preview = false;
        QString formType, filter, alias, workTable;
        int rows = 0;
    };
    QList<Output> outputs;
    std::unique_ptr<TF_ZeiterfO> form;
    int m_id = 0;

private:
    QString m_savedQrfd;
    TUserRec m_savedUser;
    ReportOutput m_previousOutput;
};

TEST_F(ZeiterfOForm, DecemberRollsIntoNextJanuaryAndBack) {
    showForm();
    select(11);
    EXPECT_EQ(form->month(), (TimeViewMonth{2026, 12}));
    EXPECT_EQ(timeRows(), 0);
    form->monthYear().monthUp().click();
    EXPECT_EQ(form->month(), (TimeViewMonth{2027, 1}));
    EXPECT_EQ(form->monthYear().monthBox().currentText(), u"Januar"_s);
    EXPECT_EQ(form->monthYear().yearBox().value(), 2027);
    EXPECT_EQ(timeRows(), 1);
    EXPECT_EQ(form->sumPanel().hoursText(9), u"4,00 Std"_s);
    form->monthYear().monthDown().click();
    EXPECT_EQ(form->month(), (TimeViewMonth{2026, 12}));
    EXPECT_EQ(timeRows(), 0);
    EXPECT_EQ(form->sumPanel().hoursText(9), u"0,00 Std"_s);
    form->monthYear().yearBox().stepBy(-1);
    EXPECT_EQ(form->month(), (TimeViewMonth{2025, 12}));
}

TEST_F(ZeiterfOForm, ThePanelCountsOtherTypesAsNormalAndAnEmptyRateAsNoCosts) {
    showForm();
    select(10);
    EXPECT_EQ(timeRows(), 4);
    EXPECT_EQ(form->sumPanel().hoursText(1), u"8,00 Std"_s);
    EXPECT_EQ(form->sumPanel().costsText(1), FormatMoney(0, 50.0));
    EXPECT_EQ(form->sumPanel().costsText(9), FormatMoney(0, 50.0));
    // The work table holds the selected object's row only.
    EXPECT_EQ(form->sums().rowCount(), 1);
    EXPECT_DOUBLE_EQ(form->sums().row(10)->totalCosts, 50.0);
    select(12);
    EXPECT_EQ(form->sumPanel().hoursText(9), u"0,00 Std"_s);
    EXPECT_FALSE(form->sums().row(10));
}

TEST_F(ZeiterfOForm, TheMonthListPrintsARowPerObjectAndTheSelectionComesBack) {
    showForm();
    select(10);
    form->printList(form->button(u"sbtnPreviewList"_s));
    ASSERT_EQ(outputs.size(), 1);
    EXPECT_EQ(outputs[0].formType, u"TQRZeitSumOM"_s);
    EXPECT_TRUE(outputs[0].preview);
    EXPECT_EQ(outputs[0].workTable, form->sums().name());
    EXPECT_EQ(outputs[0].rows, 3);
    // Back to the one row of the selected object, in the panel's figures.
    EXPECT_EQ(form->sums().rowCount(), 1);
    EXPECT_DOUBLE_EQ(form->sums().row(10)->totalCosts, 50.0);
    EXPECT_EQ(form->masters().field(u"O_Nr"_s).asInteger(), 10);

    form->printDetail(form->button(u"sbtnPrintObjekt"_s));
    ASSERT_EQ(outputs.size(), 2);
    EXPECT_EQ(outputs[1].formType, u"TQRZeitSumOD"_s);
    EXPECT_FALSE(outputs[1].preview);
    EXPECT_EQ(outputs[1].filter, u"Z_ObjNr=10 AND Z_Datum>=01.12.2026 AND Z_Datum<=31.12.2026"_s);
    EXPECT_EQ(outputs[1].alias, u"LumoDB"_s);
    EXPECT_EQ(outputs[1].rows, 1);
}

TEST_F(ZeiterfOForm, TheEmployeeViewOverTheArchiveReadsArchivedRecords) {
    record(8, 11, QDate(2026, 12, 9), 5.0, 10.0, 1, {}, u"AblageDB"_s);
    showForm(ZeiterfPDeclaration(), true);
    EXPECT_EQ(form->objectName(), u"TF_ZeiterfP"_s);
    select(8);
    EXPECT_EQ(timeRows(), 1);
    EXPECT_EQ(form->sumPanel().hoursText(9), u"5,00 Std"_s);
    form->printDetail(form->button(u"sbtnPreviewObjekt"_s));
    ASSERT_EQ(outputs.size(), 1);
    EXPECT_EQ(outputs[0].formType, u"TQRZeitSumPD"_s);
    EXPECT_EQ(outputs[0].alias, u"AblageDB"_s);
    EXPECT_EQ(outputs[0].filter, u"Z_PersNr=8 AND Z_Datum>=01.12.2026 AND Z_Datum<=31.12.2026"_s);
    EXPECT_EQ(form->button(u"sbtnPrintObjekt"_s)->parentWidget()->property("title").toString(),
              u"Person"_s);
}

TEST_F(ZeiterfOForm, PrintButtonsNeedThePrintRightAndPreviewsDoNot) {
    CurrentUser.rights.set(kZeiterfOverviewRight, 0x01);
    showForm();
    EXPECT_FALSE(form->button(u"sbtnPrintList"_s)->isVisible());
    EXPECT_FALSE(form->button(u"sbtnPrintObjekt"_s)->isVisible());
    EXPECT_TRUE(form->button(u"sbtnPreviewList"_s)->isVisible());
    EXPECT_TRUE(form->button(u"sbtnPreviewObjekt"_s)->isVisible());
}

TEST_F(ZeiterfOForm, CtrlPageKeysChainTheGridsAndTheMonth) {
    showForm();
    QWidget& master = form->masterGrid();
    QWidget& time = form->timeGrid();
    QWidget& month = form->monthYear().monthBox();
    const struct {
        QWidget* from;
        int key;
        QWidget* to;
    } cases[] = {
        {&time, Qt::Key_PageUp, &master},    {&time, Qt::Key_PageDown, &month},
        {&master, Qt::Key_PageDown, &time},  {&master, Qt::Key_PageUp, &month},
        {&month, Qt::Key_PageDown, &master}, {&month, Qt::Key_PageUp, &time},
    };
    for (const auto& c : cases) {
        c.from->setFocus();
        QTest::keyClick(c.from, Qt::Key(c.key), Qt::ControlModifier);
        EXPECT_TRUE(c.to->hasFocus());
    }
}

TEST_F(ZeiterfOForm, TheTimeEntryButtonsOpenTheViews) {
    const ZeiterfButtonHooks saved = ZeiterfButtonHooksRegistry();
    const ObjektFormHooks savedObjekt = ObjektFormHooksRegistry();
    const RecordRuleHooks savedRules = RecordRuleHooksRegistry();
    ModuleDispatcher dispatcher;
    RegisterOperationsModules(dispatcher);
    CurrentUser.rights.set(kZeiterfRight, rbAllRights);
    for (table::Table* t : {&dm->TabPersonal(), &dm->TabZeitart()})
        if (!t->isOpen())
            t->open();
    {
        TF_Zeiterf zeiterf;
        zeiterf.ApplyRights(kZeiterfRight);
        for (const auto& [button, window] : {std::pair{u"sbtnPrintObj"_s, u"TF_ZeiterfO"_s},
                                             std::pair{u"sbtnPrintPers"_s, u"TF_ZeiterfP"_s}}) {
            QString shown;
            WhenModalShown([&](QWidget* modal) {
                shown = modal->objectName();
                modal->close();
            });
            ASSERT_TRUE(zeiterf.button(button)->isEnabled());
            zeiterf.button(button)->click();
            EXPECT_EQ(shown, window);
        }
    }
    ZeiterfButtonHooksRegistry() = saved;
    ObjektFormHooksRegistry() = savedObjekt;
    RecordRuleHooksRegistry() = savedRules;
}

} // namespace
