#include "commercial/billing/rgvediting.h"
#include "commercial/billing/rgvtables.h"
#include "commercial/documentrulesfixture.h"
#include "commercial/gui/commercialmodules.h"
#include "commercial/gui/rgvlistform.h"
#include "commercial/gui/tf_docedit.h"
#include "commercial/gui/tf_rgvlist.h"
#include "commercial/rgvfixture.h"
#include "core/data/reportsource.h"
#include "core/datagui/moduleopener.h"
#include "core/datagui/tf_selform.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "masterdata/dialogs/tf_kalender.h"
#include "masterdata/gui/listformdecl.h"
#include "masterdata/gui/tf_listform.h"
#include "masterdata/gui/tf_tableform.h"
#include "platform/report/report.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/fieldform.h"
#include "printing/printingsetup.h"
#include "printing/reportentry.h"
#include "rgeditfixture.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using rgedittest::WhenModal;
using rgvtest::kHeads;
using rgvtest::kLines;
using widgets::DbNavigator;

namespace {

// Three templates of object 500 with three lines each (at 16 %), the user
// invoice form 10001, definition 7 ("Quartal") with creation dates stored
// out of order, and head/foot text set 4.
class RgvList : public rgvtest::RgvTemplatesOn<rgedittest::RgEdit> {
protected:
    void SetUp() override {
        RgvTemplatesOn::SetUp();
        m_rights = CurrentUser.rights;
        CurrentUser.rights.set(kRight, rbAllRights);
        addTemplate(1, u"RV500_01"_s, 500,
                    {{u"R_DatumDruck"_s, QDate(2005, 3, 15)},
                     {u"R_KFID"_s, 4},
                     {u"R_PrintFormNo"_s, 10001}});
        addTemplate(2, u"RV500_02"_s, 500, {{u"R_DatumDruck"_s, QDate(2008, 2, 1)}});
        addTemplate(3, u"RV500_03"_s, 500, {{u"R_PrintFormNo"_s, 12000}});
        int line = 0;
        for (int ref = 1; ref <= 3; ++ref)
            for (int i = 1; i <= 3; ++i)
                addTemplateLine(++line, ref, i * 1000000, i, 100.0);
        addRow(u"QrFrmDef.DB"_s, {{u"QF_ID"_s, 10001},
                                  {u"Q_FormType"_s, 10000},
                                  {u"Q_Protect"_s, false},
                                  {u"Q_Comment"_s, u"Rechnung Kunde"_s}});
        addRow(u"IvDefH.DB"_s, {{u"I_ID"_s, 7}, {u"I_DefNo"_s, 7}, {u"I_Comment"_s, u"Quartal"_s}});
        int id = 100;
        for (int month : {10, 7, 4, 1})
            addRow(u"IvDef.DB"_s, {{u"ID"_s, ++id},
                                   {u"Def"_s, 7},
                                   {u"Nr"_s, id - 100},
                                   {u"CreateDate"_s, QDate(2002, month, 1)},
                                   {u"BillDate"_s, QDate(2002, month, 1)},
                                   {u"RangeStart"_s, QDate(2002, month, 1)},
                                   {u"RangeEnd"_s, QDate(2002, month, 28)}});
        addRow(u"ORgHDef.DB"_s, {{u"RH_ID"_s, 4},
                                 {u"RH_KurzBezeich"_s, u"Standard"_s},
                                 {u"RH_KopfText"_s, u"Sehr geehrte Damen und Herren"_s},
                                 {u"RH_FussText"_s, u"Mit freundlichen Grüßen"_s}});
        for (table::Table* t : dm->tables())
            RefreshIfActive(*t);
        InitPrinting();
        m_output = SetReportOutput([this](report::Report& rep, bool preview, QWidget*) {
            outputs.append({rep.def().className, preview, RgPrintSource});
        });
    }
    void TearDown() override {
        SetReportOutput(m_output);
        CurrentUser.rights = m_rights;
        RgvTemplatesOn::TearDown();
    }
    // Opens the list as the menu does, runs the script on it and closes it.
    void showList(std::function<void(TF_ListForm&)> script) {
        bool ran = false;
        WhenModal<TF_ListForm>([&](TF_ListForm& form) {
            ran = true;
            script(form);
            if (form.isVisible())
                form.reject();
        });
        ShowRgvListForm();
        EXPECT_TRUE(ran);
    }
    static void at(TF_ListForm& form, int id) {
        ASSERT_TRUE(form.table().locate({u"R_ID"_s}, {id}));
        form.source().notifyRecordChanged();
    }
    // Whether the invoice print ran as a preview of the templates.
    bool previewed(const std::function<void()>& action) {
        const qsizetype before = outputs.size();
        action();
        if (outputs.size() != before + 1)
            return false;
        const Output& o = outputs.last();
        return o.preview && o.source == RgSourceTemplates && o.report == u"TQR_Rechnung"_s;
    }

    struct Output {
        QString report;
        bool preview = false;
        int source = -1;
    };
    QList<Output> outputs;
    static constexpr int kRight = 64;
    QStringList infos() const { return presenter.texts(MessagePresenter::Kind::Info); }

private:
    TRightsBytes m_rights;
    ReportOutput m_output;
};

TEST_F(RgvList, TheRightsOfFunction64) {
    constexpr quint8 all = rbAllRights;
    const struct {
        quint8 rights;
        bool print, editor, create, readOnly, deleteButton;
    } cases[] = {
        {all, true, true, true, false, true},
        {rbView, false, false, false, true, false},
        {quint8(all & ~rbPrint), false, true, true, false, true},
        {quint8(all & ~rbEdit), true, false, true, true, true},
        {quint8(all & ~rbCreate), true, true, false, false, true},
        {quint8(all & ~rbDelete), true, true, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(&c - cases));
        CurrentUser.rights.set(kRight, c.rights);
        showList([&](TF_ListForm& form) {
            form.activate();
            EXPECT_EQ(!form.button(u"&Druck"_s)->isHidden(), c.print);
            EXPECT_EQ(!form.button(u"&Vorschau"_s)->isHidden(), c.print);
            EXPECT_EQ(!form.button(u"&Editor"_s)->isHidden(), c.editor);
            EXPECT_EQ(!form.button(u"Neuanla&ge"_s)->isHidden(), c.create);
            EXPECT_EQ(form.table().isReadOnly(), c.readOnly);
            auto* lines = form.findChild<widgets::DataGrid*>(u"GridPos"_s);
            ASSERT_NE(lines, nullptr);
            EXPECT_EQ(lines->source().table().isReadOnly(), c.readOnly);
            EXPECT_EQ(form.fields()->editor(u"R_Intervall"_s)->isEnabled(), !c.readOnly);
            EXPECT_EQ(!form.navigator().button(DbNavigator::Delete)->isHidden(), c.deleteButton);
        });
    }
}

TEST_F(RgvList, TheMenuOpensItReadingTemplatesAndPutsThePrintSourceBack) {
    ModuleDispatcher dispatcher;
    RegisterCommercialModules(dispatcher);
    ASSERT_TRUE(dispatcher.isAvailable(u"ShowRgvListForm"_s));
    int sourceWhileOpen = -1;
    int rows = 0;
    WhenModal<TF_ListForm>([&](TF_ListForm& form) {
        sourceWhileOpen = RgPrintSource;
        rows = form.grid().gridModel().rowCount();
        EXPECT_EQ(form.windowTitle(), u"Rechnungsvorlagen"_s);
        form.reject();
    });
    EXPECT_EQ(dispatcher.run(u"ShowRgvListForm"_s), ModuleDispatcher::Outcome::Opened);
    EXPECT_EQ(sourceWhileOpen, RgSourceTemplates);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(RgPrintSource, RgSourceInvoices);
    EXPECT_FALSE(dm->TabDefYearH().isOpen());
}

TEST_F(RgvList, VatUpdateAsksWalksAllTemplatesAndSaysSo) {
    presenter.answers = {false, true};
    showList([&](TF_ListForm& form) {
        form.button(u"Aktu. Mwst"_s)->click();
        EXPECT_TRUE(stored(1, u"R_DatumErstell"_s).isNull()) << "No leaves them";
        form.button(u"Aktu. Mwst"_s)->click();
    });
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Question).value(0),
              u"Mwst-Felder bei allen Rechnungsvorlagen aktualisieren?"_s);
    EXPECT_EQ(infos(), QStringList{u"Aktualisierung beendet."_s});
    EXPECT_EQ(stored(1, u"R_DatumDruck"_s).toDate(), QDate(2007, 1, 1));
    EXPECT_EQ(stored(2, u"R_DatumDruck"_s).toDate(), QDate(2008, 2, 1));
    for (int id = 1; id <= 3; ++id)
        EXPECT_EQ(stored(id, u"R_DatumErstell"_s).toDate(), QDate::currentDate());
    EXPECT_DOUBLE_EQ(storedLine(1, u"S_Mwst"_s).toDouble(), 19.0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(RgvList, AFailingTemplateStopsTheVatUpdateNamedWithTheCursorBack) {
    presenter.answers = {true};
    std::optional<datatest::HeldElsewhere> held;
    held.emplace(kHeads, u"R_ID"_s, 2);
    showList([&](TF_ListForm& form) {
        form.button(u"Aktu. Mwst"_s)->click();
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(form.grid().isEnabled());
    });
    held.reset();
    ASSERT_EQ(errors().size() + kitErrors.size(), 1);
    EXPECT_TRUE((errors() + kitErrors).value(0).contains(u"RV500_02"_s));
    EXPECT_TRUE(infos().isEmpty());
    EXPECT_EQ(stored(1, u"R_DatumDruck"_s).toDate(), QDate(2007, 1, 1)) << "done before";
    EXPECT_TRUE(stored(2, u"R_DatumErstell"_s).isNull());
    EXPECT_TRUE(stored(3, u"R_DatumErstell"_s).isNull());
}

TEST_F(RgvList, HeadAndFootTextsAskAndReloadTheirSets) {
    presenter.answers = {true};
    showList([&](TF_ListForm& form) { form.button(u"&Aktual. K/F"_s)->click(); });
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Question),
              QStringList{u"Möchten Sie jetzt die Kopf/Fusstexte aktualisieren?"_s});
    EXPECT_EQ(stored(1, u"R_KopfText"_s).toString(), u"Sehr geehrte Damen und Herren"_s);
    EXPECT_EQ(stored(2, u"R_KopfText"_s).toString(), QString()) << "no set of its own";
}

TEST_F(RgvList, AFormNotOfTheInvoiceTypeAsksAndACancelPrintsNothing) {
    showList([&](TF_ListForm& form) {
        at(form, 3);
        bool asked = false;
        WhenModal<TF_SelForm>([&](TF_SelForm& choice) {
            asked = true;
            choice.reject();
        });
        EXPECT_FALSE(previewed([&] { form.button(u"&Vorschau"_s)->click(); }));
        EXPECT_TRUE(asked);
        at(form, 1);
        EXPECT_TRUE(previewed([&] { form.button(u"&Vorschau"_s)->click(); }))
            << "its own form of type 10000, without a question";
        at(form, 3);
        WhenModal<TF_SelForm>([&](TF_SelForm& choice) {
            EXPECT_TRUE(choice.grid()->rowCount() > 0);
            choice.grid()->selectRow(choice.grid()->rowCount() - 1);
            choice.accept();
        });
        EXPECT_TRUE(previewed([&] { form.runColumnAction(u"R_Nr"_s); })) << "a double-click";
    });
    EXPECT_EQ(stored(3, u"R_PrintFormNo"_s).toInt(), 12000) << "the choice is not stored";
}

TEST_F(RgvList, AnIntervalChangeNamesItAndMovesTheNextInvoice) {
    const int year = QDate::currentDate().year() + 1;
    auto t = open(kHeads);
    ASSERT_TRUE(t->locate({u"R_ID"_s}, {2}));
    t->edit();
    (*t)[u"R_DatumDruck"_s] = QDate(year, 8, 20);
    t->post();
    t.reset();
    showList([&](TF_ListForm& form) {
        at(form, 2);
        auto* interval = form.fields()->editorAs<QComboBox>(u"R_Intervall"_s);
        ASSERT_NE(interval, nullptr);
        const int row = interval->findText(u"Quartal"_s);
        interval->setCurrentIndex(row);
        Q_EMIT interval->activated(row);
        form.post();
    });
    EXPECT_EQ(stored(2, u"R_Intervall"_s).toInt(), 7);
    EXPECT_EQ(stored(2, u"R_IVname"_s).toString(), u"Quartal"_s);
    EXPECT_EQ(stored(2, u"R_PlanDatum"_s).toDate(), QDate(year, 10, 1));
}

TEST_F(RgvList, NotBeforeFromTheCalendarGivesTheEarliestComingCreationDate) {
    const int year = QDate::currentDate().year() + 1;
    auto t = open(kHeads);
    ASSERT_TRUE(t->locate({u"R_ID"_s}, {2}));
    t->edit();
    (*t)[u"R_Intervall"_s] = 7;
    t->post();
    t.reset();
    showList([&](TF_ListForm& form) {
        at(form, 2);
        WhenModal<TF_Kalender>([year](TF_Kalender& k) {
            k.calendar()->setSelectedDate(QDate(year, 3, 15));
            k.okButton()->click();
        });
        QTest::keyClick(form.fields()->editor(u"R_DatumDruck"_s), Qt::Key_W, Qt::AltModifier);
        EXPECT_EQ(form.fields()->editorAs<QLineEdit>(u"R_PlanDatum"_s)->text(),
                  QDate(year, 4, 1).toString(u"dd.MM.yyyy"_s));
    });
    EXPECT_EQ(stored(2, u"R_DatumDruck"_s).toDate(), QDate(year, 3, 15));
    EXPECT_EQ(stored(2, u"R_PlanDatum"_s).toDate(), QDate(year, 4, 1));
}

TEST_F(RgvList, TheEditorsTemplateBecomesCurrentAlsoAfterAnError) {
    showList([&](TF_ListForm& form) {
        at(form, 2);
        WhenModal<TF_DocEdit>([](TF_DocEdit& editor) {
            EXPECT_EQ(FieldText(editor.head(), u"R_Nr"_s), u"RV500_02"_s);
            editor.accept();
        });
        form.button(u"&Editor"_s)->click();
        EXPECT_EQ(FieldInt(form.table(), u"R_ID"_s), 2);

        WhenModal<TF_DocEdit>([](TF_DocEdit& editor) {
            WhenModal<TF_DbSelect>([](TF_DbSelect& d) {
                EXPECT_TRUE(d.lookupTable()->locate({u"O_Nr"_s}, {500}));
                d.btnOK()->click();
            });
            QTest::keyClick(editor.fieldEditor(u"R_ObjektNr"_s), Qt::Key_W, Qt::AltModifier);
            editor.accept();
        });
        form.button(u"Neuanla&ge"_s)->click();
        EXPECT_EQ(FieldText(form.table(), u"R_Nr"_s), u"RV500_04"_s);
        EXPECT_EQ(form.grid().gridModel().rowCount(), 4);

        // The lines are locked elsewhere when the editor writes its new line at its end.
        at(form, 1);
        std::optional<doctest::LockedElsewhere> locked;
        locked.emplace(kLines);
        WhenModal<TF_DocEdit>([&](TF_DocEdit& editor) {
            editor.lines().append();
            editor.lines()[u"S_Menge"_s] = 5;
            editor.accept();
        });
        form.button(u"&Editor"_s)->click();
        locked.reset();
        EXPECT_EQ(FieldInt(form.table(), u"R_ID"_s), 1);
        EXPECT_TRUE(form.table().isOpen());
        EXPECT_EQ(form.findChild<widgets::DataGrid*>(u"GridPos"_s)->gridModel().rowCount(), 3);
    });
    EXPECT_EQ(errors().size() + kitErrors.size(), 1);
    EXPECT_EQ(lineCount(1), 3);
}

TEST_F(RgvList, TheListMakesNoTemplatesAndItsNavigatorFollowsTheFocus) {
    showList([&](TF_ListForm& form) {
        form.grid().setFocus();
        QTest::keyClick(&form.grid(), Qt::Key_Insert);
        EXPECT_EQ(errors() + kitErrors, QStringList{RgvHeadInListText});
        EXPECT_EQ(form.grid().gridModel().rowCount(), 3);

        form.showPage(u"Positionen"_s);
        auto* lines = form.findChild<widgets::DataGrid*>(u"GridPos"_s);
        ASSERT_NE(lines, nullptr);
        EXPECT_EQ(lines->gridModel().rowCount(), 3);
        lines->setFocus();
        QApplication::processEvents();
        EXPECT_EQ(&form.navigator().dataSource(), &lines->source());
        EXPECT_TRUE(form.navigator().button(DbNavigator::Delete)->isHidden());
        form.grid().setFocus();
        QApplication::processEvents();
        EXPECT_EQ(&form.navigator().dataSource(), &form.source());
        EXPECT_FALSE(form.navigator().button(DbNavigator::Delete)->isHidden());
    });
}

TEST_F(RgvList, TheGeneralTextsComeFromTheChooserAndACancelChangesNothing) {
    showList([&](TF_ListForm& form) {
        at(form, 2);
        form.showPage(u"Zusatztexte"_s);
        auto* text = form.fields()->editorAs<widgets::DbRichEdit>(u"R_KopfText"_s);
        ASSERT_NE(text, nullptr);
        WhenModal<TF_TableForm>(
            [](TF_TableForm& chooser) { chooser.button(u"A&bbrechen"_s)->click(); });
        QTest::mouseDClick(text->viewport(), Qt::LeftButton);
        EXPECT_EQ(FieldInt(form.table(), u"R_KFID"_s), 0);
        EXPECT_FALSE(form.table().isEditing());
        WhenModal<TF_TableForm>([](TF_TableForm& chooser) {
            ASSERT_TRUE(chooser.table().locate({u"RH_ID"_s}, {4}));
            chooser.button(u"&OK"_s)->click();
        });
        QTest::mouseDClick(text->viewport(), Qt::LeftButton);
    });
    EXPECT_EQ(stored(2, u"R_KFID"_s).toInt(), 4);
    EXPECT_EQ(stored(2, u"R_FussText"_s).toString(), u"Mit freundlichen Grüßen"_s);
}

TEST_F(RgvList, AnAddressTabShowsTheAddressAndItsEntryCanBeCleared) {
    addRow(u"Adress.DB"_s,
           {{u"A_ID"_s, 9}, {u"A_Nr"_s, 90}, {u"A_Name1"_s, u"Hausmeisterei Nord"_s}});
    auto t = open(kHeads);
    ASSERT_TRUE(t->locate({u"R_ID"_s}, {1}));
    t->edit();
    (*t)[u"R_AnrID1"_s] = 9;
    t->post();
    t.reset();
    showList([&](TF_ListForm& form) {
        at(form, 1);
        form.showPage(u"Zusatzadr. 2"_s);
        QWidget* page = form.page(u"Zusatzadr. 2"_s);
        ASSERT_NE(page, nullptr);
        auto* own = page->findChild<widgets::FieldForm*>(u"AdrRef1"_s);
        ASSERT_NE(own, nullptr);
        EXPECT_EQ(qobject_cast<QLineEdit*>(own->editor(u"R_AnrID1"_s))->text(), u"90"_s);
        bool named = false;
        for (auto* edit : page->findChildren<QLineEdit*>())
            named = named || edit->text() == u"Hausmeisterei Nord"_s;
        EXPECT_TRUE(named);
        QMenu* menu = own->menu(u"R_AnrID1"_s);
        ASSERT_NE(menu, nullptr);
        TF_DocEdit::menuAction(menu, u"Adresseintrag löschen"_s)->trigger();
    });
    EXPECT_EQ(stored(1, u"R_AnrID1"_s).toInt(), 0);
}

} // namespace
