// The offer list on the document-list host: rights, marking, deleting with
// a refused document, the head and foot text choice and the remembered sort.
#include "commercial/gui/angebotlist.h"
#include "commercial/gui/doclisthead.h"
#include "commercial/gui/tf_doclist.h"
#include "core/rights/rights.h"
#include "core/rights/rightsfile.h"
#include "masterdata/gui/tf_tableform.h"
#include "platform/widgets/datagrid.h"
#include "rgeditfixture.h"

#include <QDialog>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Kind = MessagePresenter::Kind;

class RightsOf21 {
public:
    explicit RightsOf21(int mask) : m_saved(CurrentUser) {
        CurrentUser = TUserRec();
        CurrentUser.rights.set(21, mask);
    }
    ~RightsOf21() { CurrentUser = m_saved; }

private:
    TUserRec m_saved;
};

class AngebotList : public rgedittest::RgEdit {
protected:
    void TearDown() override {
        form.reset();
        for (const char* name : {"TabAngSatz", "TabAngKopf", "TabPosArt", "TabCalcIV"})
            if (dm->table(QString::fromLatin1(name)).isOpen())
                dm->table(QString::fromLatin1(name)).close();
        RgEdit::TearDown();
    }
    // An offer written straight into its files with `lines` lines.
    void addOffer(int id, const QString& nr, bool marked, int lines = 2, int kfid = 0) {
        addRow(u"Angkopf.DB"_s, {{u"R_ID"_s, id},
                                 {u"R_Nr"_s, nr},
                                 {u"R_ObjektNr"_s, 500},
                                 {u"R_KMatch"_s, u"Kunde %1"_s.arg(id)},
                                 {u"R_Selected"_s, marked},
                                 {u"R_KFID"_s, kfid},
                                 {u"R_KopfText"_s, u"eigener Kopf"_s},
                                 {u"R_Drucke"_s, 0}});
        for (int i = 0; i < lines; ++i)
            addSourceLine(u"AngSatz.DB"_s, id, {id * 100 + i, (i + 1) * 1000000, 0, 1.0});
    }
    TF_DocList& open(int rights = rbAllRights) {
        user.emplace(rights);
        for (const char* name : {"TabAngKopf", "TabCalcIV", "TabPosArt", "TabAngSatz"})
            if (!dm->table(QString::fromLatin1(name)).isOpen())
                dm->table(QString::fromLatin1(name)).open();
        form = std::make_unique<TF_DocList>(AngebotListDeclaration());
        form->show();
        return *form;
    }
    int count(const QString& file, const QString& field, int value) {
        auto t = RgEdit::open(file);
        int n = 0;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            n += FieldInt(*t, field) == value;
        return n;
    }
    std::optional<RightsOf21> user;
    std::unique_ptr<TF_DocList> form;
};

TEST_F(AngebotList, TheRightsOf21DecideWhichCommandsShow) {
    struct Case {
        int rights;
        QStringList visible;
    };
    const QStringList all{u"btnWaehlen"_s, u"btnDrucken"_s, u"btnLoeschen"_s,
                          u"btnAblage"_s,  u"btnEditor"_s,  u"btnNeu"_s};
    const Case cases[] = {
        {rbView, {}},
        {rbView | rbPrint, {u"btnWaehlen"_s, u"btnDrucken"_s}},
        {rbView | rbDelete, {u"btnWaehlen"_s, u"btnLoeschen"_s}},
        {rbView | rbExport, {u"btnWaehlen"_s, u"btnAblage"_s}},
        {rbView | rbEdit, {u"btnEditor"_s}},
        {rbView | rbCreate, {u"btnNeu"_s}},
        {rbAllRights, all},
    };
    for (const Case& c : cases) {
        TF_DocList& f = open(c.rights);
        for (const QString& name : all)
            if (QPushButton* b = f.button(name)) {
                EXPECT_EQ(b->isVisible(), c.visible.contains(name))
                    << name.toStdString() << " with rights " << c.rights;
            }
        for (const QString& name : {u"btnListe"_s, u"btnRgv"_s, u"btnInfo"_s})
            EXPECT_TRUE(f.button(name)->isVisible()) << name.toStdString();
        form.reset();
    }
}

TEST_F(AngebotList, MarkModeShowsWahlAndNarrowsTheCustomerNameBy40Pixels) {
    addOffer(1, u"A-1"_s, false);
    addOffer(2, u"A-2"_s, false);
    TF_DocList& f = open();
    widgets::DataGrid& g = f.headGrid();
    const int mark = g.gridModel().columnOf(u"R_Selected"_s);
    const int name = g.gridModel().columnOf(u"R_KMatch"_s);
    EXPECT_TRUE(g.isColumnHidden(mark));
    const int width = g.columnWidth(name);
    f.button(u"btnWaehlen"_s)->click();
    EXPECT_FALSE(g.isColumnHidden(mark));
    EXPECT_EQ(g.columnWidth(name), width - 40);
    QTest::keyClick(&g, Qt::Key_J);
    EXPECT_EQ(count(u"Angkopf.DB"_s, u"R_Selected"_s, 1), 1);
    f.button(u"btnWaehlen"_s)->click();
    EXPECT_TRUE(g.isColumnHidden(mark));
    EXPECT_EQ(g.columnWidth(name), width);
}

TEST_F(AngebotList, DeleteWithNothingMarkedTellsSoAndLeavesMarkModeOff) {
    addOffer(1, u"A-1"_s, false);
    TF_DocList& f = open();
    f.button(u"btnLoeschen"_s)->click();
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{u"Es sind keine Sätze markiert!"_s});
    EXPECT_FALSE(f.head().markMode());
    EXPECT_EQ(count(u"Angkopf.DB"_s, u"R_ID"_s, 1), 1);
}

TEST_F(AngebotList, DeleteTakesEachOfferWithItsLinesAndNamesTheOneThatStays) {
    addOffer(1, u"A-1"_s, true);
    addOffer(2, u"A-2"_s, true);
    addOffer(3, u"A-3"_s, true);
    addOffer(4, u"A-4"_s, false);
    TF_DocList& f = open();
    datatest::HeldElsewhere held(u"Angkopf.DB"_s, u"R_ID"_s, 2);
    presenter.answers = {true};
    f.button(u"btnLoeschen"_s)->click();
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{u"Es sind 3 Einträge markiert.\rMöchten Sie diese Angebote wirklich "
                          u"löschen?"_s});
    const QStringList shown = presenter.texts(Kind::Error);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(u"Es wurden 2 Datensätze gelöscht.\rNicht gelöscht: A-2"_s))
        << shown[0].toStdString();
    for (int id : {1, 3})
        EXPECT_EQ(count(u"Angkopf.DB"_s, u"R_ID"_s, id) + count(u"AngSatz.DB"_s, u"S_Ref"_s, id),
                  0);
    EXPECT_EQ(count(u"Angkopf.DB"_s, u"R_ID"_s, 2), 1);
    EXPECT_EQ(count(u"AngSatz.DB"_s, u"S_Ref"_s, 2), 2);
    EXPECT_EQ(headValue(u"Angkopf.DB"_s, 2, u"R_Selected"_s).toBool(), true);
    EXPECT_EQ(count(u"AngSatz.DB"_s, u"S_Ref"_s, 4), 2);
}

TEST_F(AngebotList, CancelInTheHeadAndFootTextChooserChangesNothing) {
    addRow(u"ORgHDef.DB"_s,
           {{u"RH_ID"_s, 5}, {u"RH_KopfText"_s, u"Kopf 5"_s}, {u"RH_FussText"_s, u"Fuss 5"_s}});
    addOffer(1, u"A-1"_s, false, 1, 5);
    TF_DocList& f = open();
    rgedittest::WhenModal<TF_TableForm>(
        [](TF_TableForm& chooser) { chooser.button(u"A&bbrechen"_s)->click(); });
    f.ChooseKopfFussText();
    EXPECT_EQ(headValue(u"Angkopf.DB"_s, 1, u"R_KopfText"_s).toString(), u"eigener Kopf"_s);
    rgedittest::WhenModal<TF_TableForm>(
        [](TF_TableForm& chooser) { chooser.button(u"&OK"_s)->click(); });
    f.ChooseKopfFussText();
    EXPECT_EQ(headValue(u"Angkopf.DB"_s, 1, u"R_KopfText"_s).toString(), u"Kopf 5"_s);
}

TEST_F(AngebotList, TheSortColumnOfOneOpeningHoldsInTheNext) {
    addOffer(1, u"A-2"_s, false);
    addOffer(2, u"A-1"_s, false);
    TF_DocList& f = open();
    EXPECT_EQ(f.head().sortField(), u"R_Nr"_s);
    f.head().sortBy(u"R_KMatch"_s);
    form->close();
    form.reset();
    TF_DocList& again = open();
    EXPECT_EQ(again.head().sortField(), u"R_KMatch"_s);
    again.head().sortBy(u"R_Nr"_s);
    form->close();
}

} // namespace
