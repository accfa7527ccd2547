// The incoming-invoice list on the document-list host: rights of 27, no mark
// mode, only the lines' tab, and the commands on the current invoice.
#include "commercial/gui/doclistdecl.h"
#include "commercial/gui/recheinlist.h"
#include "commercial/gui/tf_doclist.h"
#include "core/rights/rights.h"
#include "core/rights/rightsfile.h"
#include "rgeditfixture.h"

#include <QPushButton>
#include <QTabWidget>

using namespace Qt::StringLiterals;

namespace {

using Kind = MessagePresenter::Kind;

class RightsOf27 {
public:
    explicit RightsOf27(int mask) : m_saved(CurrentUser) {
        CurrentUser = TUserRec();
        CurrentUser.rights.set(27, mask);
    }
    ~RightsOf27() { CurrentUser = m_saved; }

private:
    TUserRec m_saved;
};

class RechEinList : public rgedittest::RgEdit {
protected:
    void TearDown() override {
        form.reset();
        for (const char* name : {"TabERSatz", "TabERKopf"})
            if (dm->table(QString::fromLatin1(name)).isOpen())
                dm->table(QString::fromLatin1(name)).close();
        RgEdit::TearDown();
    }
    void addInvoice(int id, const QString& nr) {
        addRow(u"ERkopf.DB"_s, {{u"R_ID"_s, id},
                                {u"R_Nr"_s, nr},
                                {u"R_KundenNr"_s, 0},
                                {u"R_DatumErstell"_s, QDate(2026, 3, 2)},
                                {u"R_Brutto"_s, 119.0},
                                {u"R_Netto"_s, 100.0},
                                {u"R_Mwst"_s, 19.0}});
        addRow(u"ERsatz.db"_s, {{u"S_ID"_s, id * 10}, {u"S_Ref"_s, id}, {u"S_Netto"_s, 100.0}});
    }
    TF_DocList& open(int rights = rbAllRights) {
        user.emplace(rights);
        form = std::make_unique<TF_DocList>(RechEinListDeclaration());
        for (const char* name : {"TabERKopf", "TabERSatz"})
            if (!dm->table(QString::fromLatin1(name)).isOpen())
                dm->table(QString::fromLatin1(name)).open();
        form->show();
        return *form;
    }
    int rows(const QString& file) { return RgEdit::open(file)->recordCount(); }
    std::optional<RightsOf27> user;
    std::unique_ptr<TF_DocList> form;
};

TEST_F(RechEinList, TheRightsOf27DecideWhichCommandsShowAndNothingMarks) {
    struct Case {
        int rights;
        QStringList visible;
    };
    const QStringList ruled{u"btnDruck"_s, u"btnLoeschen"_s, u"btnOpUeberg"_s};
    const Case cases[] = {
        {rbView, {}},
        {rbView | rbPrint, {u"btnDruck"_s}},
        {rbView | rbDelete, {u"btnLoeschen"_s}},
        {rbView | rbExport, {u"btnOpUeberg"_s}},
        {rbAllRights, ruled},
    };
    for (const Case& c : cases) {
        TF_DocList& f = open(c.rights);
        for (const QString& name : ruled)
            EXPECT_EQ(f.button(name)->isVisible(), c.visible.contains(name))
                << name.toStdString() << " with rights " << c.rights;
        for (const QString& name : {u"btnVorschau"_s, u"btnRaListe"_s, u"btnListe"_s, u"btnInfo"_s})
            EXPECT_TRUE(f.button(name)->isVisible()) << name.toStdString();
        for (const QString& name : {u"btnWaehlen"_s, u"btnDrucken"_s, u"btnEditor"_s, u"btnNeu"_s})
            EXPECT_EQ(f.button(name), nullptr) << name.toStdString();
        EXPECT_EQ(f.pages().count(), 1);
        form.reset();
    }
}

TEST_F(RechEinList, HandOverAndDeleteWorkOnTheCurrentInvoice) {
    addInvoice(1, u"ER-1"_s);
    addInvoice(2, u"ER-2"_s);
    TF_DocList& f = open();
    ASSERT_TRUE(f.headTable().locate({u"R_ID"_s}, {1}));
    presenter.answers = {true};
    f.button(u"btnOpUeberg"_s)->click();
    EXPECT_EQ(rows(u"OERkopf.DB"_s), 1);
    EXPECT_EQ(rows(u"ERkopf.DB"_s), 1);
    EXPECT_EQ(f.headTable().recordCount(), 1) << "the list shows what stayed";

    presenter.answers = {false};
    f.button(u"btnLoeschen"_s)->click();
    EXPECT_EQ(presenter.texts(Kind::Question).last(), u"Möchten Sie den Datensatz löschen?"_s);
    EXPECT_EQ(rows(u"ERkopf.DB"_s), 1);
    presenter.answers = {true};
    f.button(u"btnLoeschen"_s)->click();
    EXPECT_EQ(rows(u"ERkopf.DB"_s), 0);
    EXPECT_EQ(rows(u"ERsatz.db"_s), 0);
    EXPECT_TRUE(presenter.texts(Kind::Error).isEmpty())
        << presenter.texts(Kind::Error).join(u'|').toStdString();
}

} // namespace
