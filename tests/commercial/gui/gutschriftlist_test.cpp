// The credit-note list through its window: the booking print, the test
// print, the marking rules and the refusals of "&Ablage"; the booking itself
// is tested without a window.
#include "commercial/creditnotefixture.h"
#include "commercial/gui/doclisthead.h"
#include "commercial/gui/gutschriftlist.h"
#include "commercial/gui/tf_doclist.h"
#include "commercial/invoicing/creditnotes.h"
#include "core/rights/rights.h"
#include "core/rights/rightsfile.h"
#include "platform/report/report.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datagridmodel.h"
#include "printing/printingsetup.h"
#include "printing/reportentry.h"

#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using creditnotetest::CreditNotes;
using invoiceruntest::Kind;

class RightsOf25 {
public:
    explicit RightsOf25(int mask) : m_saved(CurrentUser) {
        CurrentUser = TUserRec();
        CurrentUser.rights.set(25, mask);
    }
    ~RightsOf25() { CurrentUser = m_saved; }

private:
    TUserRec m_saved;
};

class GutschriftList : public CreditNotes {
protected:
    void SetUp() override {
        CreditNotes::SetUp();
        m_previousOutput = SetReportOutput([this](report::Report& rep, bool preview, QWidget*) {
            titles.append(rep.def().className);
            previews.append(preview);
        });
        InitPrinting();
        dm->TabPosArt().open();
    }
    void TearDown() override {
        form.reset();
        dm->TabPosArt().close();
        SetReportOutput(m_previousOutput);
        CreditNotes::TearDown();
    }
    TF_DocList& openList(int rights = rbAllRights) {
        user.emplace(rights);
        refreshAll();
        form = std::make_unique<TF_DocList>(GutschriftListDeclaration());
        form->show();
        return *form;
    }
    void click(const char* name) { form->button(QString::fromLatin1(name))->click(); }

    std::optional<RightsOf25> user;
    std::unique_ptr<TF_DocList> form;
    QStringList titles;
    QList<bool> previews;

private:
    ReportOutput m_previousOutput;
};

TEST_F(GutschriftList, PrintingBooksPrintsOnceAndUnmarksWithoutACountMessage) {
    addNote({.id = 2, .kunde = 200});
    openList();
    presenter.answers = {true, false};
    click("btnDrucken");
    EXPECT_EQ(presenter.texts(Kind::Question).first(),
              u"Sie haben 2 Gutschrift(en) gewählt.\rMöchten Sie diese Gutschrift(en) wirklich "
              u"drucken?"_s);
    for (int id : {1, 2}) {
        EXPECT_EQ(note(id, "R_Buchung").toInt(), kGutschriftBooked) << id;
        EXPECT_EQ(note(id, "R_Drucke").toInt(), 1) << id;
        EXPECT_FALSE(note(id, "R_Selected").toBool()) << id;
    }
    EXPECT_EQ(effects(), kBooked);
    EXPECT_DOUBLE_EQ(customer(200, "K_UmsGesamt").toDouble(), -116);
    EXPECT_EQ(previews, (QList<bool>{false, false}));
    for (const QString& info : presenter.texts(Kind::Info))
        EXPECT_FALSE(info.startsWith(u"Es wurden"_s)) << info.toStdString();
    EXPECT_FALSE(form->head().markMode());

    // A reprint, marked after the question, books nothing again.
    presenter.answers = {true, true, false};
    click("btnWaehlen");
    QTest::keyClick(&form->headGrid(), Qt::Key_J);
    click("btnDrucken");
    EXPECT_EQ(effects(), kBooked);
    EXPECT_EQ(note(1, "R_Drucke").toInt() + note(2, "R_Drucke").toInt(), 3);
}

TEST_F(GutschriftList, PrintingWithNothingMarkedTellsAndStaysInMarkMode) {
    UnmarkAllGutschriften(heads());
    openList();
    click("btnDrucken");
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{u"Es sind keine Sätze markiert!"_s});
    EXPECT_TRUE(form->head().markMode());
    EXPECT_EQ(note(1, "R_Buchung").toInt(), 0);
}

TEST_F(GutschriftList, ATestPrintBooksNothingAndKeepsTheCounter) {
    openList();
    presenter.answers = {true};
    click("btnTestdruck");
    EXPECT_TRUE(presenter.texts(Kind::Question).first().startsWith(u"Probeausdruck:\r\r"_s));
    EXPECT_EQ(previews, QList<bool>{false});
    EXPECT_EQ(note(1, "R_Buchung").toInt(), 0);
    EXPECT_EQ(note(1, "R_Drucke").toInt(), 0);
    EXPECT_FALSE(note(1, "R_Selected").toBool());
    EXPECT_EQ(effects(), CreditNotes::Effects{});
    EXPECT_EQ(presenter.texts(Kind::Info).last(), u"Es wurden 1 Datensätze gedruckt."_s);
}

TEST_F(GutschriftList, MarkingRefusesNotesInTheAccountingAndAsksForBookedOnes) {
    UnmarkAllGutschriften(heads());
    addNote({.id = 2, .marked = false, .buchung = kGutschriftInFibu | kGutschriftBooked});
    addNote({.id = 3, .objekt = 600, .marked = false, .buchung = kGutschriftBooked});
    openList();
    click("btnWaehlen");
    widgets::DataGrid& g = form->headGrid();
    // Sorted by object: 1 and 2 (object 500), then 3.
    QTest::keyClick(&g, Qt::Key_Down);
    QTest::keyClick(&g, Qt::Key_Up);
    ASSERT_TRUE(heads().locate({u"R_ID"_s}, {1}));
    form->head().toggleMark();
    ASSERT_TRUE(heads().locate({u"R_ID"_s}, {2}));
    form->head().toggleMark();
    EXPECT_TRUE(presenter.texts(Kind::Error)
                    .first()
                    .startsWith(u"Diese Rechnung wurde bereits an die Fibu übergeben!"_s));
    presenter.answers = {false};
    ASSERT_TRUE(heads().locate({u"R_ID"_s}, {3}));
    form->head().toggleMark();
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{u"Diese Gutschrift wurde bereits abgeschlossen!\rTrotzdem markieren?"_s});
    EXPECT_TRUE(note(1, "R_Selected").toBool());
    EXPECT_FALSE(note(2, "R_Selected").toBool());
    EXPECT_FALSE(note(3, "R_Selected").toBool());
}

TEST_F(GutschriftList, ArchivingRefusesANoteNotPrintedYet) {
    openList();
    presenter.answers = {true};
    click("btnAblage");
    EXPECT_EQ(
        presenter.texts(Kind::Question),
        QStringList{u"Möchten Sie die markierte Gutschrift in die Datenablage überstellen?"_s});
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Die gewählte Gutschrift wurde noch nicht gedruckt!"_s});
    EXPECT_FALSE(note(1, "R_Selected").toBool());
    EXPECT_EQ(note(1, "R_Buchung").toInt(), 0);
}

TEST_F(GutschriftList, BruttoGivesWayToWahlWhileMarkingAndRowsShowTheirState) {
    addNote({.id = 2, .objekt = 600, .buchung = kGutschriftBooked | kGutschriftJournalled});
    addNote({.id = 3, .objekt = 700, .buchung = kGutschriftBooked});
    openList();
    // The mark mode lasts for the program run.
    form->head().setMarkMode(false);
    widgets::DataGrid& g = form->headGrid();
    const int brutto = g.gridModel().columnOf(u"R_Brutto"_s);
    const int mark = g.gridModel().columnOf(u"R_Selected"_s);
    EXPECT_FALSE(g.isColumnHidden(brutto));
    EXPECT_TRUE(g.isColumnHidden(mark));
    click("btnWaehlen");
    EXPECT_TRUE(g.isColumnHidden(brutto));
    EXPECT_FALSE(g.isColumnHidden(mark));
    auto colour = [&](int row) {
        return g.gridModel().data(g.gridModel().index(row, 0), Qt::BackgroundRole).value<QBrush>();
    };
    // Sorted by object number: 500, 600, 700.
    EXPECT_EQ(colour(1).color(), QColor(0x88, 0x88, 0x88));
    EXPECT_EQ(colour(2).color(), QColor(0x7C, 0x76, 0xFC));
}

} // namespace
