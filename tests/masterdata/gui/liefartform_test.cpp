#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/data/recordrules.h"
#include "core/gui/modaldriver.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "masterdata/gui/liefartform.h"
#include "masterdata/gui/lieferantform.h"
#include "masterdata/gui/tf_listform.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/fieldform.h"
#include "tableformfixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Supplier 4 (K_ID 2) with two rows, another supplier's row, and the
// central articles 000007 and 000008 beside an object's article 000009.
class LiefArtForm : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        addRow(u"Liefrnt.db"_s, {{u"K_ID"_s, 2}, {u"K_Nr"_s, 4}, {u"K_Match"_s, u"GROSS"_s}});
        addRow(u"Liefrnt.db"_s, {{u"K_ID"_s, 3}, {u"K_Nr"_s, 5}});
        addArticle(1, 0, u"000007"_s, u"Besen"_s, 3.5);
        addArticle(2, 9, u"000009"_s, u"Eimer"_s, 2.0);
        addArticle(3, 0, u"000008"_s, u"Lappen"_s, 1.0);
        addLiefArt(1, 2, u"000007"_s, u"B-7"_s);
        addLiefArt(2, 2, u"000009"_s, u"E-9"_s);
        addLiefArt(3, 3, u"000007"_s, u"X-1"_s);
    }
    void addArticle(int id, int objId, const QString& artNo, const QString& name, double price) {
        addRow(u"Artikel.db"_s, {{u"A_ID"_s, id},
                                 {u"A_ObjID"_s, objId},
                                 {u"A_ArtNo"_s, artNo},
                                 {u"A_Bezeich1"_s, name},
                                 {u"A_EkPreis"_s, price}});
    }
    void addLiefArt(int id, int lieferantId, const QString& artNo, const QString& liefArtNo) {
        addRow(u"Liefart.db"_s, {{u"A_ID"_s, id},
                                 {u"A_LieferantID"_s, lieferantId},
                                 {u"A_ArtNo"_s, artNo},
                                 {u"A_LiefArtNo"_s, liefArtNo}});
    }
    // Runs work on the assortment of supplier 4, the form active as the
    // user's click makes it; work closes nothing.
    void onActiveAssortment(const std::function<void(TF_ListForm&)>& work) {
        onAssortment([&](TF_TableForm& form) {
            auto* list = qobject_cast<TF_ListForm*>(&form);
            ASSERT_NE(list, nullptr);
            QApplication::setActiveWindow(list);
            ASSERT_TRUE(QTest::qWaitForWindowActive(list));
            list->activate();
            work(*list);
        });
    }
    // Runs work on the assortment of supplier 4; work closes nothing.
    void onAssortment(const std::function<void(TF_TableForm&)>& work) {
        ASSERT_TRUE(whenFormShown(
            [&](TF_TableForm& form) {
                work(form);
                if (form.table().isEditing())
                    form.table().cancel();
                form.reject();
            },
            [] { ShowLiefArtForm(2, 4); }));
    }
};

TEST_F(LiefArtForm, ShowsTheSuppliersRowsUnderItsNumberAndClosesTheTableAfter) {
    onAssortment([](TF_TableForm& form) {
        EXPECT_EQ(form.windowTitle(), u"Sortiment [Lieferant 4]"_s);
        EXPECT_EQ(form.table().recordCount(), 2);
        EXPECT_EQ(form.findChild<QLabel*>(u"lbRecordCount"_s)->text(), u"Datensätze:     2"_s);
        EXPECT_EQ(form.findChild<QLabel*>(u"lbRecordNo"_s)->text(), u"Satznummer:     1"_s);
        form.table().last();
        EXPECT_EQ(form.findChild<QLabel*>(u"lbRecordNo"_s)->text(), u"Satznummer:     2"_s);
    });
    EXPECT_FALSE(dm->TabLiefArt().isOpen());
}

TEST_F(LiefArtForm, ANewRowBelongsToTheSupplier) {
    onAssortment([](TF_TableForm& form) {
        table::Table& t = form.table();
        t.append();
        t[u"A_ArtNo"_s] = u"000008"_s;
        t[u"A_LiefArtNo"_s] = u"L-8"_s;
        form.post();
        EXPECT_EQ(FieldInt(t, u"A_LieferantID"_s), 2);
        EXPECT_EQ(t.recordCount(), 3);
    });
}

TEST_F(LiefArtForm, TheArticlePickerFillsTheRowOnlyFromTheArticleColumn) {
    onAssortment([](TF_TableForm& form) {
        ASSERT_TRUE(form.table().locate({u"A_LiefArtNo"_s}, {u"E-9"_s}));
        form.grid().followCursor();
        // Another column selected: the field's double-click opens nothing.
        ASSERT_TRUE(form.grid().selectField(u"A_LiefArtNo"_s));
        // Closes a picker that should not have opened; harmless when none did.
        bool opened = false;
        QTimer::singleShot(50, &form, [&opened] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* lookup = qobject_cast<TF_DbSelect*>(w); lookup && lookup->isVisible()) {
                    opened = true;
                    lookup->btnCancel()->click();
                }
        });
        QTest::mouseDClick(form.fields()->editor(u"A_ArtNo"_s), Qt::LeftButton);
        EXPECT_FALSE(opened);
        EXPECT_FALSE(form.table().isEditing());

        ASSERT_TRUE(form.grid().selectField(u"A_ArtNo"_s));
        QString listed;
        WhenModalShown([&](QWidget* modal) {
            auto* lookup = qobject_cast<TF_DbSelect*>(modal);
            ASSERT_NE(lookup, nullptr);
            // Only the central stock is offered.
            listed = QString::number(lookup->lookupTable()->recordCount());
            ASSERT_TRUE(lookup->lookupTable()->locate({u"A_ArtNo"_s}, {u"000008"_s}));
            lookup->grid()->followCursor();
            lookup->btnOK()->click();
        });
        ASSERT_TRUE(form.runColumnAction(u"A_ArtNo"_s));
        EXPECT_EQ(listed, u"2"_s);
        EXPECT_TRUE(form.table().isEditing());
        EXPECT_EQ(FieldText(form.table(), u"A_ArtNo"_s), u"000008"_s);
        EXPECT_EQ(FieldText(form.table(), u"A_Bezeich1"_s), u"Lappen"_s);
        EXPECT_DOUBLE_EQ(FieldFloat(form.table(), u"A_EkPreis"_s), 1.0);
    });
}

// "&Suchen" as in the other list forms: the sort column selected, the
// tooltip colour and no navigator while it has the focus, each change on the
// nearest key upper-cased; the data module remembers nothing for it.
TEST_F(LiefArtForm, TheSearchLineFindsTheNearestKeyOfTheSortColumn) {
    onActiveAssortment([](TF_ListForm& form) {
        QLineEdit& search = form.searchEdit();
        EXPECT_EQ(search.objectName(), u"EditSearch"_s);
        EXPECT_EQ(search.toolTip(), u"Suchbegriff eingeben"_s);
        bool labelled = false;
        for (QLabel* label : form.findChildren<QLabel*>())
            labelled = labelled || (label->buddy() == &search && label->text() == u"&Suchen"_s);
        EXPECT_TRUE(labelled);
        EXPECT_EQ(form.table().indexFieldNames().value(0), u"A_ArtNo"_s);
        ASSERT_EQ(form.sortColumn(), 0);

        ASSERT_TRUE(form.grid().selectField(u"A_LiefArtNo"_s));
        search.setFocus();
        EXPECT_EQ(form.grid().selectedField(), u"A_ArtNo"_s);
        EXPECT_EQ(search.palette().color(QPalette::Base),
                  form.palette().color(QPalette::ToolTipBase));
        EXPECT_FALSE(form.navigator().isEnabled());
        QTest::keyClicks(&search, u"000008"_s);
        EXPECT_EQ(FieldText(form.table(), u"A_ArtNo"_s), u"000009"_s) << "the nearest key";

        form.grid().setFocus();
        EXPECT_EQ(search.palette().color(QPalette::Base), form.palette().color(QPalette::Base));
        EXPECT_TRUE(form.navigator().isEnabled());

        // Sorted by the supplier's article number, the text is sought upper-cased.
        Q_EMIT form.grid().titleClicked(1, u"A_LiefArtNo"_s);
        EXPECT_EQ(form.sortColumn(), 1);
        search.setFocus();
        search.clear();
        QTest::keyClicks(&search, u"b"_s);
        EXPECT_EQ(FieldText(form.table(), u"A_LiefArtNo"_s), u"B-7"_s);
        QTest::keyClicks(&search, u"-8"_s);
        EXPECT_EQ(FieldText(form.table(), u"A_LiefArtNo"_s), u"E-9"_s);
        form.grid().setFocus();
    });
    EXPECT_FALSE(RememberedNr(u"TabLiefArt"_s).isValid());
}

// The search line's key filter also judges what is typed into the grid:
// sorted by the purchase price (where the installation indexes it), a
// letter typed into a cell is dropped and empties a search line holding
// letters, digits open the cell.
TEST_F(LiefArtForm, TypingIntoTheGridPassesTheKeyFilterOfTheSortColumn) {
    auto db = table::aliases::database(u"LumoDB"_s);
    QList<table::IndexDef> indexes = db->tableDef(u"Liefart.db"_s).indexes;
    indexes.append({u"A_IEkPreis"_s, {u"A_EkPreis"_s}});
    db->rebuildIndexes(u"Liefart.db"_s, indexes);
    onActiveAssortment([](TF_ListForm& form) {
        widgets::DataGrid& grid = form.grid();
        const auto editor = [&grid]() -> QLineEdit* {
            auto* focus = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            return focus && grid.viewport()->isAncestorOf(focus) ? focus : nullptr;
        };
        const auto typeIntoName = [&](const QString& keys) {
            grid.setFocus();
            ASSERT_TRUE(grid.selectField(u"A_Bezeich1"_s));
            for (const QChar c : keys) {
                QWidget* target = editor() ? static_cast<QWidget*>(editor()) : &grid;
                QTest::keyClick(target, c.toLatin1());
            }
        };
        const auto cancelCell = [&] {
            if (QLineEdit* open = editor())
                QTest::keyClick(open, Qt::Key_Escape);
            if (form.table().isEditing())
                form.table().cancel();
        };

        Q_EMIT form.grid().titleClicked(4, u"A_EkPreis"_s);
        ASSERT_EQ(form.sortColumn(), 4);
        form.searchEdit().setText(u"B-"_s);
        typeIntoName(u"x"_s);
        EXPECT_EQ(editor(), nullptr) << "the letter opened no cell";
        EXPECT_EQ(form.searchEdit().text(), QString());
        typeIntoName(u"5x0"_s);
        ASSERT_NE(editor(), nullptr);
        EXPECT_EQ(editor()->text(), u"50"_s);
        cancelCell();

        Q_EMIT form.grid().titleClicked(0, u"A_ArtNo"_s);
        typeIntoName(u"Besen"_s);
        ASSERT_NE(editor(), nullptr);
        EXPECT_EQ(editor()->text(), u"Besen"_s);
        cancelCell();
    });
}

TEST_F(LiefArtForm, TheSupplierFormsAssortmentButtonOpensTheCurrentSuppliersRows) {
    dm->TabLieferant().open();
    for (table::Table* t : {&dm->TabBanken(), &dm->TabZahlart(), &dm->TabZahlbed()})
        t->open();
    TF_TableForm suppliers(LieferantPagesDecl(), dm->TabLieferant());
    ASSERT_TRUE(dm->TabLieferant().locate({u"K_Nr"_s}, {4}));
    QString caption;
    int rows = 0;
    WhenModalShown([&](QWidget* modal) {
        auto* form = qobject_cast<TF_TableForm*>(modal);
        ASSERT_NE(form, nullptr);
        caption = form->windowTitle();
        rows = form->table().recordCount();
        form->reject();
    });
    suppliers.button(u"Sortiment"_s)->click();
    EXPECT_EQ(caption, u"Sortiment [Lieferant 4]"_s);
    EXPECT_EQ(rows, 2);
    EXPECT_FALSE(dm->TabLiefArt().isOpen());
}

} // namespace
