// The invoice list: rights, marking, the run commands through the window and
// the refusals it shows; the engine's own cases are tested without a window.
#include "commercial/gui/doclisthead.h"
#include "commercial/gui/tf_rechnung.h"
#include "commercial/invoicerunfixture.h"
#include "commercial/invoicing/invoicemarks.h"
#include "core/data/reportsource.h"
#include "core/rights/rights.h"
#include "core/rights/rightsfile.h"
#include "masterdata/dialogs/tf_daterange.h"
#include "masterdata/gui/tf_listform.h"
#include "platform/report/report.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/userprompts.h"
#include "printing/printingsetup.h"
#include "printing/reportentry.h"
#include "rgeditfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

using invoiceruntest::Kind;
using invoiceruntest::LockedElsewhere;

// The logged-in user with the given rights of number 24.
class RightsOf24 {
public:
    explicit RightsOf24(int mask) : m_saved(CurrentUser) {
        CurrentUser = TUserRec();
        CurrentUser.rights.set(24, mask);
    }
    ~RightsOf24() { CurrentUser = m_saved; }

private:
    TUserRec m_saved;
};

class RechnungForm : public invoiceruntest::InvoiceRun {
protected:
    void SetUp() override {
        InvoiceRun::SetUp();
        widgets::setErrorPresenter([this](QWidget*, const QString& m) { kitErrors.append(m); });
        m_previousOutput = SetReportOutput([this](report::Report& rep, bool preview, QWidget*) {
            titles.append(rep.def().className);
            previews.append(preview);
            sources.append(RgPrintSource);
        });
        InitPrinting();
    }
    void TearDown() override {
        form.reset();
        SetReportOutput(m_previousOutput);
        widgets::setErrorPresenter({});
        InvoiceRun::TearDown();
    }
    TF_Rechnung& open(int rights = rbAllRights) {
        user.emplace(rights);
        refreshAll();
        form = std::make_unique<TF_Rechnung>(*dm);
        form->show();
        return *form;
    }
    void key(int k, const QString& text = {}) {
        QTest::keyClick(&form->headGrid(), Qt::Key(k), Qt::NoModifier);
        (void)text;
    }
    bool columnHidden(const QString& field) {
        widgets::DataGrid& g = form->headGrid();
        return g.isColumnHidden(g.gridModel().columnOf(field));
    }
    QStringList errors() const { return presenter.texts(Kind::Error) + kitErrors; }

    std::optional<RightsOf24> user;
    std::unique_ptr<TF_Rechnung> form;
    QList<bool> previews;
    QList<int> sources;
    QStringList titles;
    QStringList kitErrors;

private:
    ReportOutput m_previousOutput;
};

TEST_F(RechnungForm, TheRightsOf24DecideWhichCommandsShow) {
    struct Case {
        int rights;
        QStringList visible;
    };
    const QStringList all{u"btnWaehlen"_s,  u"btnBuchen"_s,    u"btnPrint"_s,   u"btnDeleteRg"_s,
                          u"sbtnSetDate"_s, u"sbtnZeitraum"_s, u"sbtnEditRg"_s, u"btnNeu"_s,
                          u"btnErzeugen"_s, u"btnRg2OP"_s,     u"sBtnRAListe"_s};
    const Case cases[] = {
        {rbView, {}},
        {rbView | rbPrint, {u"btnWaehlen"_s, u"btnBuchen"_s, u"btnPrint"_s}},
        {rbView | rbDelete, {u"btnWaehlen"_s, u"btnDeleteRg"_s}},
        {rbView | rbEdit, {u"btnWaehlen"_s, u"sbtnSetDate"_s, u"sbtnZeitraum"_s, u"sbtnEditRg"_s}},
        {rbView | rbCreate, {u"btnNeu"_s, u"btnErzeugen"_s}},
        {rbView | rbExport, {u"btnWaehlen"_s, u"btnRg2OP"_s, u"sBtnRAListe"_s}},
        {rbAllRights, all},
    };
    for (const Case& c : cases) {
        TF_Rechnung& f = open(c.rights);
        for (const QString& name : all)
            EXPECT_EQ(f.findChild<QPushButton*>(name)->isVisible(), c.visible.contains(name))
                << name.toStdString() << " with rights " << c.rights;
        EXPECT_TRUE(f.btnInfo->isVisible());
        EXPECT_TRUE(f.btnListe->isVisible());
        EXPECT_TRUE(f.cbKopieVermerk->isVisible());
        EXPECT_EQ(f.actRechplan->isEnabled(), (c.rights & rbCreate) != 0);
        form.reset();
    }
}

TEST_F(RechnungForm, MarkModeShowsTheMarkColumnAndTheKeysMarkUnmarkAndAreAllConsumed) {
    addInvoice({.id = 1, .marked = false});
    addInvoice({.id = 2, .objekt = 600, .kunde = 200, .marked = false});
    addInvoice({.id = 3, .objekt = 700, .marked = false, .buchung = 8});
    dm->TabRechKopf().setIndexName(u"R_IObjektNr"_s);
    TF_Rechnung& f = open();
    EXPECT_TRUE(columnHidden(u"R_Selected"_s));
    EXPECT_FALSE(columnHidden(u"R_IVname"_s));
    for (QAction* a : f.markActions)
        EXPECT_FALSE(a->isVisible());
    const int width = f.headGrid().columnWidth(f.headGrid().gridModel().columnOf(u"R_OMatch"_s));

    f.btnWaehlen->click();
    EXPECT_TRUE(f.head().markMode());
    EXPECT_FALSE(columnHidden(u"R_Selected"_s));
    EXPECT_TRUE(columnHidden(u"R_IVname"_s));
    EXPECT_EQ(f.headGrid().columnWidth(f.headGrid().gridModel().columnOf(u"R_OMatch"_s)),
              width + 30);
    for (QAction* a : f.markActions)
        EXPECT_TRUE(a->isVisible());

    dm->TabRechKopf().first();
    key(Qt::Key_Space);                  // marks 1, moves to 2
    QTest::keyClick(&f.headGrid(), 'j'); // marks 2, moves to 3
    QTest::keyClick(&f.headGrid(), 'j'); // 3 is in the accounting: refused
    EXPECT_EQ(FieldInt(dm->TabRechKopf(), u"R_ID"_s), 3) << "the last head stays";
    QTest::keyClick(&f.headGrid(), 'x'); // consumed, nothing happens
    dm->TabRechKopf().first();
    QTest::keyClick(&f.headGrid(), 'n'); // unmarks 1
    EXPECT_FALSE(invoice(1, "R_Selected").toBool());
    EXPECT_TRUE(invoice(2, "R_Selected").toBool());
    EXPECT_FALSE(invoice(3, "R_Selected").toBool());
    EXPECT_EQ(presenter.texts(Kind::Error), QStringList{FibuHandedOverText()});
    EXPECT_TRUE(f.head().searchEdit().text().isEmpty()) << "no key reached the search";

    f.btnWaehlen->click();
    EXPECT_TRUE(columnHidden(u"R_Selected"_s));
    EXPECT_EQ(f.headGrid().columnWidth(f.headGrid().gridModel().columnOf(u"R_OMatch"_s)), width);
}

TEST_F(RechnungForm, PrintingWithNothingMarkedTellsAndStaysInMarkMode) {
    addInvoice({.id = 1, .marked = false});
    TF_Rechnung& f = open();
    f.btnBuchen->click();
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{u"Es sind keine Sätze markiert!"_s});
    EXPECT_TRUE(f.head().markMode());
    EXPECT_TRUE(previews.isEmpty());
}

TEST_F(RechnungForm, OneOfThreeFailsToBookTheOthersAreBookedAndPrinted) {
    addRow(u"Artikel.DB"_s, {{u"A_ID"_s, 40}, {u"A_ObjID"_s, 0}, {u"A_ArtNo"_s, u"A40"_s}});
    addInvoice({.id = 1, .kunde = 100});
    addInvoice({.id = 2, .kunde = 200});
    addLine(1, 2, 100, 40);
    addLine(2, 1, 100);
    addInvoice({.id = 3, .kunde = 200, .datum = QDate(2026, 3, 11)});
    dm->TabRechKopf().setIndexName(u"R_IObjektNr"_s);
    setCompanyField(u"F_Printwait"_s, 0);
    TF_Rechnung& f = open();
    presenter.answers = {true, false};
    {
        LockedElsewhere locked(u"AUmsatz.DB"_s);
        f.btnBuchen->click();
    }
    EXPECT_FALSE(f.head().markMode());
    EXPECT_EQ(invoice(1, "R_Nr").toString(), u"RE-00001"_s);
    EXPECT_EQ(invoice(3, "R_Nr").toString(), u"RE-00002"_s);
    EXPECT_EQ(invoice(2, "R_Nr").toString(), u"*000002"_s);
    for (int id : {1, 2, 3})
        EXPECT_FALSE(invoice(id, "R_Selected").toBool()) << id;
    EXPECT_EQ(invoice(1, "R_Drucke").toInt(), 1);
    EXPECT_EQ(invoice(3, "R_Drucke").toInt(), 1);
    EXPECT_EQ(previews, (QList<bool>{false, false}))
        << "two invoices printed, no preview; " << errors().join(u'|').toStdString() << " / "
        << presenter.texts(Kind::Info).join(u'|').toStdString();
    EXPECT_EQ(sources, (QList<int>{RgSourceInvoices, RgSourceInvoices}));
    EXPECT_FALSE(f.lbCounter->isVisible());
    EXPECT_FALSE(f.PanelPrint->isVisible());
    EXPECT_EQ(presenter.texts(Kind::Info).last(), u"Es wurden 2 Datensätze gedruckt."_s);
}

TEST_F(RechnungForm, CancellingInThePauseAfterTheFirstOfTwoCopiesKeepsTheInvoiceMarked) {
    addInvoice({.id = 1, .buchung = 1, .nr = u"RE-00001"_s});
    {
        auto o = InvoiceRun::open(u"Objekte.DB"_s);
        ASSERT_TRUE(o->locate({u"O_Nr"_s}, {500}));
        o->edit();
        o->field(u"O_KopienRG"_s).setValue(2);
        o->post();
    }
    setCompanyField(u"F_Printwait"_s, 30);
    TF_Rechnung& f = open();
    presenter.answers = {true, true, false};
    bool pauseShown = false;
    auto* press = new QTimer(&f);
    QObject::connect(press, &QTimer::timeout, [&] {
        if (!f.PanelPause->isVisible())
            return;
        pauseShown = f.lbPause->text() == u"30"_s && f.btnAbbruch->isEnabled();
        press->stop();
        f.btnAbbruch->click();
    });
    press->start(10);
    f.btnBuchen->click();
    EXPECT_TRUE(pauseShown);
    EXPECT_FALSE(f.PanelPause->isVisible());
    EXPECT_EQ(previews.size(), 1);
    EXPECT_EQ(invoice(1, "R_Drucke").toInt(), 1);
    EXPECT_TRUE(invoice(1, "R_Selected").toBool());
    EXPECT_EQ(invoice(1, "R_Nr").toString(), u"RE-00001"_s) << "a booked invoice keeps its number";
}

TEST_F(RechnungForm, TheListPreviewsTheMarkedInvoices) {
    addInvoice({.id = 1, .marked = true});
    addInvoice({.id = 2, .objekt = 600, .kunde = 200, .marked = false});
    TF_Rechnung& f = open();
    titles.clear();
    f.btnListe->click();
    EXPECT_EQ(previews, QList<bool>{true});
    EXPECT_EQ(titles, QStringList{u"TQR_FaktList01"_s});
}

TEST_F(RechnungForm, RgvShowsTheTemplatesAndTheInvoicesPrintAgainAfterwards) {
    TF_Rechnung& f = open();
    CurrentUser.rights.set(64, rbAllRights);
    int sourceWhileShown = -1;
    rgedittest::WhenModal<TF_ListForm>([&](TF_ListForm& list) {
        sourceWhileShown = RgPrintSource;
        list.reject();
    });
    f.btnRgv->click();
    EXPECT_EQ(sourceWhileShown, int(RgSourceTemplates));
    EXPECT_EQ(RgPrintSource, int(RgSourceInvoices));
    EXPECT_TRUE(errors().isEmpty()) << errors().join(u'|').toStdString();
}

TEST_F(RechnungForm, AnInvoiceInTheAccountingSurvivesEveryChangingCommand) {
    addInvoice({.id = 1, .marked = true, .buchung = 8, .nr = u"RE-00007"_s});
    TF_Rechnung& f = open();
    presenter.answers = QList<bool>(10, true);
    f.btnDeleteRg->click();
    EXPECT_TRUE(exists(u"Rechkopf.DB"_s, u"R_ID"_s, 1));
    f.sbtnEditRg->click();
    EXPECT_EQ(invoice(1, "R_Nr").toString(), u"RE-00007"_s);
    EXPECT_EQ(invoice(1, "R_Buchung").toInt(), 8);
    EXPECT_TRUE(errors().contains(FibuHandedOverText())) << errors().join(u'|').toStdString();
}

TEST_F(RechnungForm, TheEditorOnAnEmptyListPointsToNewInvoices) {
    TF_Rechnung& f = open();
    f.sbtnEditRg->click();
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Es ist kein Datensatz angewählt! Verwenden Sie bitte\rzur "
                          u"Neuerstellung den Button \"Neuanlage\"."_s});
}

TEST_F(RechnungForm, HandOverRefusalsNameWhatIsMissing) {
    addInvoice({.id = 1, .marked = false});
    TF_Rechnung& f = open();
    f.OPUebergabe();
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Die gewählte Rechnung wurde noch nicht gedruckt!"_s});
    EXPECT_FALSE(f.actOpUebergabe->isEnabled()) << "the pop-up needs a booked invoice";

    rgedittest::WhenModal<TF_DateRange>([](TF_DateRange& d) { d.okButton()->click(); });
    f.btnRg2OP->click();
    EXPECT_EQ(presenter.texts(Kind::Error).last(),
              u"Es wurden keine gedruckten Rechnungen gefunden!"_s);
    EXPECT_TRUE(dm->TabRechKopf().isOpen()) << "the invoice tables are open again";
    EXPECT_TRUE(dm->TabRechSatz().isOpen());
}

TEST_F(RechnungForm, ThePreviewPrintsFromTheInvoicesOutsideMarkModeOnly) {
    addInvoice({.id = 1, .marked = false});
    TF_Rechnung& f = open();
    f.Vorschau();
    EXPECT_EQ(previews, QList<bool>{true});
    EXPECT_EQ(sources, QList<int>{RgSourceInvoices});
    f.btnWaehlen->click();
    f.Vorschau();
    EXPECT_EQ(previews.size(), 1) << "no preview in mark mode";
}

} // namespace
