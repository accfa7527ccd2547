// The purchasing windows: the purchase-order list on the document-list host,
// the purchase-order editor and the order proposals.
#include "commercial/gui/bestellunglist.h"
#include "commercial/gui/doclisthead.h"
#include "commercial/gui/tf_bestedit.h"
#include "commercial/gui/tf_bestvor.h"
#include "commercial/gui/tf_doclist.h"
#include "commercial/purchasing/purchaseorders.h"
#include "core/rights/rights.h"
#include "core/rights/rightsfile.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datagridmodel.h"
#include "rgeditfixture.h"

#include <QDate>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Kind = MessagePresenter::Kind;

class RightsOf57 {
public:
    explicit RightsOf57(int mask) : m_saved(CurrentUser) {
        CurrentUser = TUserRec();
        CurrentUser.rights.set(57, mask);
    }
    ~RightsOf57() { CurrentUser = m_saved; }

private:
    TUserRec m_saved;
};

class Purchasing : public rgedittest::RgEdit {
protected:
    void SetUp() override {
        RgEdit::SetUp();
        addRow(u"Liefrnt.db"_s, {{u"K_ID"_s, 1}, {u"K_Nr"_s, 70001}, {u"K_Match"_s, u"NORD"_s}});
        addRow(u"Artikel.DB"_s, {{u"A_ID"_s, 901},
                                 {u"A_ArtNo"_s, u"P1"_s},
                                 {u"A_ObjID"_s, 0},
                                 {u"A_Bestandsfuehrung"_s, true},
                                 {u"A_SollBestand"_s, 5.0},
                                 {u"A_HauptLiefID"_s, 1},
                                 {u"A_Bezeich1"_s, u"Putzmittel"_s}});
        addRow(u"QrFrmDef.DB"_s, {{u"QF_ID"_s, 76001},
                                  {u"Q_FormType"_s, 76000},
                                  {u"Q_Protect"_s, false},
                                  {u"Q_Comment"_s, u"Bestellung"_s}});
        for (table::Table* t : dm->tables())
            RefreshIfActive(*t);
    }
    void TearDown() override {
        list.reset();
        for (const char* name :
             {"TabBestObj", "TabBestSatz", "TabBestKopf", "TabBvObj", "TabBvListe", "TabLiefArt"})
            if (dm->table(QString::fromLatin1(name)).isOpen())
                dm->table(QString::fromLatin1(name)).close();
        RgEdit::TearDown();
    }
    void addOrder(int id, int state, bool marked) {
        addRow(u"bestkopf.db"_s, {{u"R_ID"_s, id},
                                  {u"R_Nr"_s, u"B-%1"_s.arg(id)},
                                  {u"R_RgState"_s, state},
                                  {u"R_Drucke"_s, 0},
                                  {u"R_PrintFormNo"_s, 76001},
                                  {u"R_Selected"_s, marked}});
        addRow(u"bestsatz.db"_s,
               {{u"S_ID"_s, id}, {u"S_Ref"_s, id}, {u"S_ArtNr"_s, u"P1"_s}, {u"S_Menge"_s, 5.0}});
        addRow(u"BestObj.DB"_s, {{u"BO_ID"_s, id},
                                 {u"BO_Ref"_s, id},
                                 {u"BO_ArtNr"_s, u"P1"_s},
                                 {u"BO_ArtID"_s, 901},
                                 {u"BO_ObjID"_s, 0},
                                 {u"BO_BestMenge"_s, 5.0},
                                 {u"BO_Liefermenge"_s, 0.0}});
    }
    void setMark(int id, bool on) {
        auto t = open(u"bestkopf.db"_s);
        ASSERT_TRUE(t->locate({u"R_ID"_s}, {id}));
        t->edit();
        t->field(u"R_Selected"_s).setValue(on);
        t->post();
        RefreshIfActive(dm->TabBestKopf());
    }
    QVariant field(const QString& table, const QString& key, int id, const QString& name) {
        auto t = open(table);
        return t->locate({key}, {id}) ? t->field(name).value() : QVariant();
    }
    TF_DocList& openList(int rights = rbAllRights) {
        user.emplace(rights);
        for (const char* name : {"TabBestKopf", "TabBestSatz"})
            if (!dm->table(QString::fromLatin1(name)).isOpen())
                dm->table(QString::fromLatin1(name)).open();
        TDocListDecl decl = BestellungListDeclaration();
        decl.print = [this](int id, bool preview, const QString&, QWidget*) {
            printed.append({id, preview});
        };
        list = std::make_unique<TF_DocList>(decl);
        list->show();
        return *list;
    }
    std::optional<RightsOf57> user;
    std::unique_ptr<TF_DocList> list;
    QList<std::pair<int, bool>> printed;
};

TEST_F(Purchasing, TheRightsOf57DecideWhichCommandsShow) {
    struct Case {
        int rights;
        QStringList visible;
    };
    const QStringList all{u"btnWaehlen"_s, u"btnDrucken"_s, u"btnLoeschen"_s, u"btnAblage"_s,
                          u"btnEditor"_s,  u"btnNeu"_s,     u"btnVorschlag"_s};
    const Case cases[] = {
        {rbView, {}},
        {rbView | rbPrint, {u"btnWaehlen"_s, u"btnDrucken"_s}},
        {rbView | rbDelete, {u"btnWaehlen"_s, u"btnLoeschen"_s}},
        {rbView | rbExport, {u"btnWaehlen"_s, u"btnAblage"_s}},
        {rbView | rbEdit, {u"btnEditor"_s, u"btnVorschlag"_s}},
        {rbView | rbCreate, {u"btnNeu"_s}},
        {rbAllRights, all},
    };
    for (const Case& c : cases) {
        TF_DocList& f = openList(c.rights);
        for (const QString& name : all) {
            QPushButton* b = f.button(name);
            ASSERT_NE(b, nullptr) << name.toStdString();
            EXPECT_EQ(b->isVisible(), c.visible.contains(name))
                << name.toStdString() << " with rights " << c.rights;
        }
        list.reset();
    }
}

TEST_F(Purchasing, PrintingTwiceRaisesTheQuantityOnOrderOnceAndCountsBoth) {
    addOrder(1, 0, true);
    TF_DocList& f = openList();
    for (int round = 1; round <= 2; ++round) {
        presenter.answers = {true};
        f.button(u"btnDrucken"_s)->click();
        EXPECT_EQ(field(u"bestkopf.db"_s, u"R_ID"_s, 1, u"R_Drucke"_s).toInt(), round);
        setMark(1, true);
    }
    EXPECT_EQ(printed.size(), 2);
    EXPECT_EQ(
        presenter.texts(Kind::Question).value(0),
        u"Es sind 1 Einträge markiert.\rMöchten Sie diese Bestellung(en) wirklich drucken?"_s);
    EXPECT_EQ(field(u"bestkopf.db"_s, u"R_ID"_s, 1, u"R_RgState"_s).toInt(), 1);
    EXPECT_EQ(field(u"bestkopf.db"_s, u"R_ID"_s, 1, u"R_DatumDruck"_s).toDate(),
              QDate::currentDate());
    EXPECT_EQ(field(u"Artikel.DB"_s, u"A_ID"_s, 901, u"A_Bestellt"_s).toDouble(), 5.0);
}

TEST_F(Purchasing, DeletingAPrintedOrderGivesBackItsQuantityOnOrder) {
    addOrder(1, 0, true);
    addOrder(2, 0, false);
    TF_DocList& f = openList();
    presenter.answers = {true, true};
    f.button(u"btnDrucken"_s)->click();
    setMark(1, true);
    setMark(2, true);
    EXPECT_EQ(field(u"Artikel.DB"_s, u"A_ID"_s, 901, u"A_Bestellt"_s).toDouble(), 5.0);
    f.button(u"btnLoeschen"_s)->click();
    EXPECT_EQ(field(u"Artikel.DB"_s, u"A_ID"_s, 901, u"A_Bestellt"_s).toDouble(), 0.0);
    EXPECT_FALSE(field(u"bestkopf.db"_s, u"R_ID"_s, 1, u"R_ID"_s).isValid());
    EXPECT_FALSE(field(u"BestObj.DB"_s, u"BO_ID"_s, 2, u"BO_ID"_s).isValid());
}

TEST_F(Purchasing, APrintedOrderIsNotOpenedInTheEditorAndPrintedHeadsAreBlue) {
    addOrder(1, 1, false);
    addOrder(2, 0, false);
    TF_DocList& f = openList();
    dm->TabBestKopf().locate({u"R_ID"_s}, {1});
    f.button(u"btnEditor"_s)->click();
    EXPECT_EQ(errors(), QStringList{u"Gedruckte Bestellungen sind nicht mehr veränderbar!"_s});
    const QAbstractItemModel& m = f.headGrid().gridModel();
    QStringList blue;
    for (int row = 0; row < m.rowCount(); ++row)
        if (m.index(row, 0).data(Qt::BackgroundRole).value<QBrush>().color() ==
            QColor(124, 118, 252))
            blue << m.index(row, 0).data().toString();
    EXPECT_EQ(blue, QStringList{u"B-1"_s});
}

TEST_F(Purchasing, ANewOrderClosedWithoutLinesIsDeletedAndItsNumberGivenBack) {
    QString first, second;
    for (QString* nr : {&first, &second}) {
        rgedittest::WhenModal<TF_DocEdit>([nr](TF_DocEdit& form) {
            *nr = form.head().field(u"R_Nr"_s).asString();
            EXPECT_EQ(form.windowTitle(), u"Bestellung erfassen"_s);
            form.accept();
        });
        ShowBestEditForm(QString());
    }
    EXPECT_FALSE(first.isEmpty());
    EXPECT_EQ(first, second);
    EXPECT_EQ(open(u"bestkopf.db"_s)->recordCount(), 0);
}

TEST_F(Purchasing, TheSupplierArticlePickerNeedsASupplier) {
    rgedittest::WhenModal<TF_DocEdit>([](TF_DocEdit& form) {
        form.lines().append();
        form.lines().post();
        form.runColumnAction(u"S_LArtNr"_s);
        form.accept();
    });
    ShowBestEditForm(QString());
    EXPECT_TRUE(errors().contains(u"Kein Lieferant angegeben!"_s))
        << errors().join(u'|').toStdString();
}

TEST_F(Purchasing, ProposalsKeepTheListWhenDeclinedAndColourTheirRows) {
    user.emplace(rbAllRights);
    CreateOrderProposals(*dm);
    addRow(u"BVliste.db"_s, {{u"BV_ID"_s, 50},
                             {u"BV_ArtNr"_s, u"Q9"_s},
                             {u"BV_LiefNr"_s, 0},
                             {u"BV_Vorschlag"_s, 3.0},
                             {u"BV_BestellMenge"_s, 1.0}});
    addRow(u"BVliste.db"_s, {{u"BV_ID"_s, 51},
                             {u"BV_ArtNr"_s, u"Q8"_s},
                             {u"BV_LiefNr"_s, 70001},
                             {u"BV_Vorschlag"_s, 3.0},
                             {u"BV_BestellMenge"_s, 1.0}});
    TF_BestVor form;
    form.show();
    presenter.answers = {false};
    form.createProposals();
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{u"Existierende Vorschlagsliste überschreiben?"_s});
    EXPECT_EQ(open(u"BVliste.db"_s)->recordCount(), 3);
    const QAbstractItemModel& m = form.grid().gridModel();
    QHash<QString, QColor> colours;
    for (int row = 0; row < m.rowCount(); ++row)
        colours.insert(m.index(row, 0).data().toString(),
                       m.index(row, 0).data(Qt::BackgroundRole).value<QBrush>().color());
    EXPECT_EQ(colours.value(u"Q9"_s), QColor(224, 224, 224));
    EXPECT_EQ(colours.value(u"Q8"_s), QColor(255, 167, 79));
    presenter.answers = {true};
    form.createProposals();
    EXPECT_EQ(open(u"BVliste.db"_s)->recordCount(), 1);
    EXPECT_FALSE(form.sumGesamt().isEmpty());
}

} // namespace
