// The delivery-note and order lists on the document-list host: the
// delivered colour, the mark commands, the deletion through the delivery
// note's own entry and the archive check.
#include "commercial/gui/auftraglist.h"
#include "commercial/gui/doclisthead.h"
#include "commercial/gui/liefscheinlist.h"
#include "commercial/gui/tf_doclist.h"
#include "core/rights/rights.h"
#include "platform/widgets/datagrid.h"
#include "rgeditfixture.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

using Kind = MessagePresenter::Kind;
const QString kHeads = u"LSkopf.DB"_s;

class DeliveryLists : public rgedittest::RgEdit {
protected:
    void TearDown() override {
        form.reset();
        for (const char* name :
             {"TabLSSatz", "TabLSKopf", "TabAuftSatz", "TabAuftKopf", "TabPosArt"})
            if (dm->table(QString::fromLatin1(name)).isOpen())
                dm->table(QString::fromLatin1(name)).close();
        CurrentUser = saved;
        RgEdit::TearDown();
    }
    // A document written straight into its files with (quantity, delivered,
    // kind) lines.
    void addDocument(const QString& heads, const QString& lines, int id, bool marked,
                     const QList<std::tuple<double, double, int>>& rows,
                     const QList<std::pair<QString, QVariant>>& more = {}) {
        QList<std::pair<QString, QVariant>> values{{u"R_ID"_s, id},
                                                   {u"R_Nr"_s, u"D-%1"_s.arg(id)},
                                                   {u"R_ObjektNr"_s, 500},
                                                   {u"R_Selected"_s, marked},
                                                   {u"R_Drucke"_s, 0}};
        values.append(more);
        addRow(heads, values);
        int n = 0;
        for (const auto& [menge, delivered, kind] : rows) {
            ++n;
            addSourceLine(lines, id, {id * 100 + n, n * 1000000, kind, menge, delivered});
        }
    }
    TF_DocList& open(const TDocListDecl& decl) {
        saved = CurrentUser;
        CurrentUser = TUserRec();
        CurrentUser.rights.set(decl.right, rbAllRights);
        for (const QString& name :
             QStringList{decl.headTable} + decl.lookupTables + QStringList{decl.lineTable})
            if (!dm->table(name).isOpen())
                dm->table(name).open();
        form = std::make_unique<TF_DocList>(decl);
        form->show();
        return *form;
    }
    bool marked(int id) { return headValue(kHeads, id, u"R_Selected"_s).toBool(); }
    TUserRec saved;
    std::unique_ptr<TF_DocList> form;
};

TEST_F(DeliveryLists, DeliveredLinesOfKindZeroTurnLightGreen) {
    addDocument(u"Auftkopf.DB"_s, u"Auftsatz.DB"_s, 1, false,
                {{5, 5, 0}, {5, 4.9995, 0}, {5, 4.99, 0}, {5, 5, 3}});
    TF_DocList& f = open(AuftragListDeclaration());
    EXPECT_EQ(f.windowTitle(), u"Aufträge"_s);
    widgets::DataGrid& g = f.lineGrid();
    const int column = g.gridModel().columnOf(u"S_MengeGeliefert"_s);
    const bool expected[] = {true, true, false, false};
    ASSERT_EQ(g.gridModel().rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        const QVariant brush =
            g.gridModel().data(g.gridModel().index(row, column), Qt::BackgroundRole);
        const bool green =
            brush.canConvert<QBrush>() && brush.value<QBrush>().color() == QColor(0xA0, 0xFF, 0xA0);
        EXPECT_EQ(green, expected[row]) << row;
    }
    // The order list's columns as its users know them.
    EXPECT_EQ(f.headGrid().gridModel().columnOf(u"R_KMatch"_s), 5);
    EXPECT_EQ(f.headGrid().gridModel().columnOf(u"R_Selected"_s), 7);
}

TEST_F(DeliveryLists, TheMarkCommandsMarkAllOpenFinishedOrNone) {
    addDocument(kHeads, u"LSsatz.DB"_s, 1, false, {{5, 5, 0}, {3, 2, 0}});
    addDocument(kHeads, u"LSsatz.DB"_s, 2, true, {{5, 5, 0}, {3, 3, 0}});
    addDocument(kHeads, u"LSsatz.DB"_s, 3, false, {{5, 5, 0}, {3, 2.995, 0}});
    TF_DocList& f = open(LiefscheinListDeclaration());
    QMenu& menu = f.headMenu();
    // The commands belong to the mark mode, the preview to the other.
    EXPECT_FALSE(TF_DocEdit::menuAction(&menu, u"Offene wählen"_s)->isVisible());
    f.button(u"btnWaehlen"_s)->click();
    EXPECT_TRUE(TF_DocEdit::menuAction(&menu, u"Offene wählen"_s)->isVisible());
    EXPECT_FALSE(TF_DocEdit::menuAction(&menu, u"Vorschau"_s)->isVisible());

    const struct {
        QString command;
        bool one, two, three;
    } cases[] = {
        {u"Offene wählen"_s, true, false, false},
        {u"Erledigte wählen"_s, false, true, true},
        {u"Alle wählen"_s, true, true, true},
        {u"Alle abwählen"_s, false, false, false},
    };
    for (const auto& c : cases) {
        TF_DocEdit::menuAction(&menu, c.command)->trigger();
        EXPECT_EQ(marked(1), c.one) << c.command.toStdString();
        EXPECT_EQ(marked(2), c.two) << c.command.toStdString();
        EXPECT_EQ(marked(3), c.three) << c.command.toStdString();
    }
    EXPECT_TRUE(f.findChild<QWidget*>(u"HeadFields"_s) != nullptr);
    EXPECT_EQ(f.pages().tabText(3), u"ZusatzAdr. 2"_s);
}

TEST_F(DeliveryLists, DeletingAsksEachNotesOwnQuestionAndUnmarksTheOneKept) {
    addRow(u"TermObj.DB"_s, {{u"T_ID"_s, 7}, {u"T_LsID"_s, 1}});
    addDocument(kHeads, u"LSsatz.DB"_s, 1, true, {{1, 0, 4}},
                {{u"R_LsTyp"_s, 2}, {u"R_CreatorID"_s, 7}, {u"R_AutoLS"_s, true}});
    addDocument(kHeads, u"LSsatz.DB"_s, 2, true, {{1, 0, 4}},
                {{u"R_LsTyp"_s, 1}, {u"R_AutoLS"_s, true}});
    addDocument(kHeads, u"LSsatz.DB"_s, 3, true, {{1, 0, 4}}, {{u"R_LsTyp"_s, 0}});
    TF_DocList& f = open(LiefscheinListDeclaration());
    // The count, note 1's question yes, note 2's question no.
    presenter.answers = {true, true, false};
    f.button(u"btnLoeschen"_s)->click();
    EXPECT_EQ(presenter.texts(Kind::Question),
              (QStringList{u"Es sind 3 Einträge markiert.\rMöchten Sie diese Lieferscheine "
                           u"wirklich löschen?"_s,
                           u"Lieferschein D-1 :\rDieser Lieferschein soll autmatisch in Rechnung "
                           u"gestellt werden!\rDer Lieferschein wurde von der Terminverwaltung "
                           u"erstellt!\rMöchten Sie den Datensatz löschen?"_s,
                           u"Lieferschein D-2 :\rDieser Lieferschein soll autmatisch in Rechnung "
                           u"gestellt werden!\rMöchten Sie den Datensatz löschen?"_s}));
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{u"Es wurden 2 Datensätze gelöscht."_s});
    EXPECT_EQ(valueOf(u"TermObj.DB"_s, u"T_ID"_s, 7, u"T_LsID"_s).toInt(), 0);
    EXPECT_EQ(rows(kHeads, u"R_ID"_s, 1) + rows(kHeads, u"R_ID"_s, 3), 0);
    EXPECT_EQ(rows(kHeads, u"R_ID"_s, 2), 1);
    EXPECT_FALSE(marked(2));
}

TEST_F(DeliveryLists, TheArchiveCheckOffersUnfinishedNotesToBeLeftOut) {
    // Unfinished by the last line's remainder; finished although a line
    // before the last is 0.005 short; unfinished by its second line.
    addDocument(kHeads, u"LSsatz.DB"_s, 1, true, {{5, 5, 0}, {3, 2.995, 0}});
    addDocument(kHeads, u"LSsatz.DB"_s, 2, true, {{3, 2.995, 0}, {5, 5, 0}});
    addDocument(kHeads, u"LSsatz.DB"_s, 3, true, {{5, 5, 0}, {3, 1, 0}, {2, 2, 0}});
    TF_DocList& f = open(LiefscheinListDeclaration());
    // Leave note 1 out, keep note 3, then decline the move.
    presenter.answers = {true, false, false};
    EXPECT_FALSE(ConfirmDeliveryNoteArchive(f));
    const QString unfinished =
        u"Der markierte Lieferscheine ist nicht erledigt!\rSoll dieser Lieferschein "
        u"ausgeklammert werden?"_s;
    EXPECT_EQ(presenter.texts(Kind::Question),
              (QStringList{unfinished, unfinished,
                           u"Es sind 2 Einträge markiert.\rMöchten Sie diese Datensätze in die "
                           u"Datenablage überstellen?"_s}));
    EXPECT_FALSE(marked(1));
    EXPECT_TRUE(marked(2));
    EXPECT_TRUE(marked(3));
}

} // namespace
