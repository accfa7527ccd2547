#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/gui/modaldriver.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "masterdata/gui/taetigform.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datagridmodel.h"
#include "platform/widgets/fieldform.h"
#include "tableformfixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Activities 10 and 11, the cost type 901 and the unit "Stunde".
class TaetigForm : public formtest::ListFormTest {
protected:
    void SetUp() override {
        ListFormTest::SetUp();
        grant(8);
        addRow(u"Kostart.DB"_s, {{u"A_ID"_s, 99}, {u"A_Nr"_s, 901}, {u"A_Text"_s, u"Reinigung"_s}});
        addRow(u"MgEinh.db"_s,
               {{u"VE_ID"_s, 99}, {u"VE_Kurz"_s, u"Std"_s}, {u"VE_Lang"_s, u"Stunde"_s}});
        addRow(u"Taetig.DB"_s, {{u"T_ID"_s, 1},
                                {u"T_Nr"_s, 10},
                                {u"T_Match"_s, u"FENSTER"_s},
                                {u"T_SaisonVon"_s, QDate(2000, 4, 1)},
                                {u"T_BasisEinheit"_s, u"m²"_s},
                                {u"T_KostArt"_s, 901},
                                {u"T_Func"_s, 1}});
        addRow(u"Taetig.DB"_s,
               {{u"T_ID"_s, 2}, {u"T_Nr"_s, 11}, {u"T_KostArt"_s, 4711}, {u"T_Func"_s, 0}});
        for (table::Table* t : {&dm->TabTaetig(), &dm->TabKostart(), &dm->TabVE()})
            t->open();
        showForm(TaetigFormDecl());
    }
    void TearDown() override {
        if (dm->TabTaetig().isEditing())
            dm->TabTaetig().cancel();
        ListFormTest::TearDown();
    }
    QString shownCostType() const {
        return form->findChild<QLineEdit*>(u"T_KostArtText"_s)->text();
    }
    QString cell(int row, const QString& field) const {
        const auto& model = form->grid().gridModel();
        return model.data(model.index(row, model.columnOf(field))).toString();
    }
};

TEST_F(TaetigForm, TheGridShowsSeasonsAsDayAndMonthAndTheFunctionByName) {
    EXPECT_EQ(cell(0, u"T_SaisonVon"_s), u"01.04."_s);
    EXPECT_EQ(cell(0, u"T_Func"_s), u"Formulardruck"_s);
    EXPECT_EQ(cell(1, u"T_Func"_s), u"Tätigkeit"_s);
}

// A new activity is a plain one: the page's list shows what the grid shows.
TEST_F(TaetigForm, ANewActivitysFunctionShowsAlikeInListAndGrid) {
    table::Table& t = form->table();
    t.append();
    auto* function = form->fields()->editorAs<QComboBox>(u"T_Func"_s);
    ASSERT_NE(function, nullptr);
    EXPECT_EQ(function->currentText(), u"Tätigkeit"_s);
    EXPECT_EQ(t.field(u"T_Func"_s).text(), u"Tätigkeit"_s);
    EXPECT_EQ(t.field(u"T_Func"_s).value(), QVariant(0));
    t.cancel();
}

// The two texts stand side by side, each under its caption.
TEST_F(TaetigForm, TheTextCaptionsStandAboveTheirTexts) {
    for (const QString& field : {u"T_TextTour"_s, u"T_TextKontroll"_s}) {
        SCOPED_TRACE(field.toStdString());
        QLabel* label = form->fields()->label(field);
        QWidget* text = form->fields()->editor(field);
        ASSERT_TRUE(label && text);
        const QPoint labelAt = label->mapTo(form.get(), QPoint(0, 0));
        const QPoint textAt = text->mapTo(form.get(), QPoint(0, 0));
        EXPECT_LE(labelAt.y() + label->height(), textAt.y() + 1);
        EXPECT_LE(std::abs(labelAt.x() - textAt.x()), 2);
    }
    EXPECT_LT(form->fields()->editor(u"T_TextTour"_s)->mapTo(form.get(), QPoint(0, 0)).x(),
              form->fields()->editor(u"T_TextKontroll"_s)->mapTo(form.get(), QPoint(0, 0)).x());
}

TEST_F(TaetigForm, TheCostTypeNameFollowsTheNumber) {
    table::Table& t = form->table();
    ASSERT_TRUE(t.locate({u"T_Nr"_s}, {10}));
    EXPECT_EQ(shownCostType(), u"Reinigung"_s);
    t.next();
    EXPECT_EQ(shownCostType(), u"Undefiniert"_s);
    // Typing a number shows its name before anything is stored.
    auto* edit = form->fields()->editorAs<QLineEdit>(u"T_KostArt"_s);
    edit->setText(u"901"_s);
    EXPECT_EQ(shownCostType(), u"Reinigung"_s);
}

TEST_F(TaetigForm, ACancelledUnitPickerPostsNothingAndAChosenUnitIsPosted) {
    table::Table& t = form->table();
    ASSERT_TRUE(t.locate({u"T_Nr"_s}, {10}));
    WhenModalShown([](QWidget* modal) {
        auto* lookup = qobject_cast<TF_DbSelect*>(modal);
        ASSERT_NE(lookup, nullptr);
        lookup->btnCancel()->click();
    });
    ChooseTaetigBasisEinheit(*form);
    EXPECT_FALSE(t.isEditing());
    EXPECT_EQ(FieldText(t, u"T_BasisEinheit"_s), u"m²"_s);

    WhenModalShown([](QWidget* modal) {
        auto* lookup = qobject_cast<TF_DbSelect*>(modal);
        ASSERT_NE(lookup, nullptr);
        ASSERT_TRUE(lookup->lookupTable()->locate({u"VE_ID"_s}, {99}));
        lookup->grid()->followCursor();
        lookup->btnOK()->click();
    });
    ChooseTaetigBasisEinheit(*form);
    EXPECT_FALSE(t.isEditing());
    auto stored = open(u"Taetig.DB"_s);
    ASSERT_TRUE(stored->locate({u"T_Nr"_s}, {10}));
    EXPECT_EQ(FieldText(*stored, u"T_BasisEinheit"_s), u"Stunde"_s);
}

TEST_F(TaetigForm, ADoubleClickOnTheSearchNameStartsNoEdit) {
    widgets::DataGrid& grid = form->grid();
    const QModelIndex at = grid.gridModel().index(0, grid.gridModel().columnOf(u"T_Match"_s));
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(at).center());
    EXPECT_FALSE(form->table().isEditing());
    for (QWidget* editor : grid.viewport()->findChildren<QLineEdit*>())
        EXPECT_FALSE(editor->isVisible());
}

TEST_F(TaetigForm, TheCopyOfTheContextMenuGetsTheFirstFreeNumber) {
    ASSERT_TRUE(form->table().locate({u"T_Nr"_s}, {10}));
    QAction* copy = nullptr;
    for (QAction* a : form->contextMenu()->actions())
        if (a->text() == u"Leistungssatz kopieren"_s)
            copy = a;
    ASSERT_NE(copy, nullptr);
    copy->trigger();
    EXPECT_EQ(FieldInt(form->table(), u"T_Nr"_s), 1);
    EXPECT_EQ(FieldText(form->table(), u"T_Match"_s), u"FENSTER"_s);
    EXPECT_EQ(form->table().recordCount(), 3);
}

} // namespace
