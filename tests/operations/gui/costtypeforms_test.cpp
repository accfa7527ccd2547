#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/gui/modaldriver.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "masterdata/gui/tableformfixture.h"
#include "operations/gui/kostartform.h"
#include "operations/gui/operationsmodules.h"
#include "operations/gui/tf_zeiterf.h"
#include "operations/gui/zeitartform.h"
#include "platform/table/database.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"

#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

// Chooses the row whose field holds value in the next record lookup, or
// cancels it (an invalid value).
void chooseInLookup(const QString& field, const QVariant& value) {
    WhenModalShown([field, value](QWidget* modal) {
        auto* lookup = qobject_cast<TF_DbSelect*>(modal);
        ASSERT_NE(lookup, nullptr);
        if (!value.isValid()) {
            lookup->btnCancel()->click();
            return;
        }
        ASSERT_TRUE(lookup->lookupTable()->locate({field}, {value}));
        lookup->grid()->followCursor();
        lookup->btnOK()->click();
    });
}

// The cost-type form over the shared table with types 10 and 20.
class KostartForm : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        for (int nr : {10, 20})
            addRow(u"Kostart.DB"_s, {{u"A_ID"_s, nr},
                                     {u"A_Nr"_s, nr},
                                     {u"A_RubrikNr"_s, 2},
                                     {u"A_Rubrikname"_s, u"Material"_s},
                                     {u"A_Text"_s, u"Art %1"_s.arg(nr)},
                                     {u"A_MwstKz"_s, 1}});
        table::Table& t = dm->TabKostart();
        if (!t.isOpen())
            t.open();
        t.refresh();
        dm->TabRubrik().open();
        form = std::make_unique<TF_TableForm>(KostartFormDecl(), t);
        formtest::ShowActive(*form);
    }
    void TearDown() override {
        if (dm->TabKostart().isEditing())
            dm->TabKostart().cancel();
        form.reset();
        TableFormTest::TearDown();
    }
    table::Table& table() { return dm->TabKostart(); }
    std::unique_ptr<TF_TableForm> form;
};

TEST_F(KostartForm, ANewRecordHasTheProposalAndTheCursorInTheNumberColumn) {
    EXPECT_EQ(table().indexName(), u"ANr"_s);
    form->grid().selectField(u"A_Text"_s);
    table().append();
    EXPECT_EQ(FieldInt(table(), u"A_Nr"_s), 1); // the first free number
    EXPECT_EQ(FieldInt(table(), u"A_RubrikNr"_s), 0);
    EXPECT_FALSE(table().field(u"A_Personal"_s).asBoolean());
    EXPECT_EQ(FieldInt(table(), u"A_MwstKz"_s), 1);
    EXPECT_EQ(form->grid().selectedField(), u"A_Nr"_s);
    EXPECT_EQ(form->grid().toolTip(),
              u"Sortierung ändern: Kopf der\r\ngewünschten Spalte anclicken"_s);
}

TEST_F(KostartForm, TheNumberProposalAsksOnlyForANumberThatIsSet) {
    ASSERT_TRUE(table().locate({u"A_Nr"_s}, {20}));
    presenter.answers = {false};
    ProposeKostartNumber(*form);
    EXPECT_FALSE(table().isEditing());
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{u"Möchten Sie die Kostenartennummer wirklich ändern?"_s});
    presenter.answers = {true};
    ProposeKostartNumber(*form);
    EXPECT_EQ(FieldInt(table(), u"A_Nr"_s), 1); // the first free number
    table().cancel();
    // A stored number 0 (from an old import) is replaced without a question.
    addRow(u"Kostart.DB"_s, {{u"A_ID"_s, 30}, {u"A_Nr"_s, 0}, {u"A_RubrikNr"_s, 1}});
    table().refresh();
    ASSERT_TRUE(table().locate({u"A_ID"_s}, {30}));
    presenter.boxes.clear();
    ProposeKostartNumber(*form);
    EXPECT_TRUE(presenter.texts(Kind::Question).isEmpty());
    EXPECT_EQ(FieldInt(table(), u"A_Nr"_s), 1);
}

TEST_F(KostartForm, TheRubricPickerSetsWithoutPostingAndItsCancelChangesNothing) {
    ASSERT_TRUE(table().locate({u"A_Nr"_s}, {10}));
    chooseInLookup(u"R_Nr"_s, QVariant());
    EXPECT_TRUE(form->runColumnAction(u"A_Rubrikname"_s));
    EXPECT_FALSE(table().isEditing());
    EXPECT_EQ(FieldInt(table(), u"A_RubrikNr"_s), 2);
    chooseInLookup(u"R_Nr"_s, 3);
    EXPECT_TRUE(form->runColumnAction(u"A_RubrikNr"_s));
    EXPECT_TRUE(table().isEditing());
    EXPECT_EQ(FieldInt(table(), u"A_RubrikNr"_s), 3);
    EXPECT_EQ(FieldText(table(), u"A_Rubrikname"_s), u"Fremdkosten"_s);
    table().cancel();
}

TEST_F(KostartForm, TheVatPickerPostsTheChosenCode) {
    ASSERT_TRUE(table().locate({u"A_Nr"_s}, {10}));
    chooseInLookup(u"Mwst_Nr"_s, 2);
    EXPECT_TRUE(form->runColumnAction(u"A_MwstKz"_s));
    EXPECT_FALSE(table().isEditing());
    auto stored = open(u"Kostart.DB"_s);
    ASSERT_TRUE(stored->locate({u"A_Nr"_s}, {10}));
    EXPECT_EQ(FieldInt(*stored, u"A_MwstKz"_s), 2);
}

TEST_F(KostartForm, TabAndTheLeftArrowPassOverTheRubricName) {
    widgets::DataGrid& grid = form->grid();
    grid.setFocus();
    grid.selectField(u"A_RubrikNr"_s);
    QTest::keyClick(&grid, Qt::Key_Tab);
    EXPECT_EQ(grid.selectedField(), u"A_Text"_s);
    QTest::keyClick(&grid, Qt::Key_Left);
    EXPECT_EQ(grid.selectedField(), u"A_RubrikNr"_s);
    QTest::keyClick(&grid, Qt::Key_Right);
    EXPECT_EQ(grid.selectedField(), u"A_Text"_s);
}

TEST_F(KostartForm, EachRefusalLandsInItsColumn) {
    const struct {
        const char* field;
        QVariant value;
        const char* column;
    } cases[] = {
        {"A_RubrikNr", 7, "A_RubrikNr"},
        {"A_MwstKz", 3, "A_MwstKz"},
        {"A_Nr", 20, "A_Nr"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        ASSERT_TRUE(table().locate({u"A_Nr"_s}, {10}));
        form->grid().selectField(u"A_Text"_s);
        table().edit();
        try {
            table().field(QString::fromLatin1(c.field)).setValue(c.value);
            table().post();
        } catch (const std::exception&) {
        }
        EXPECT_EQ(form->grid().selectedField(), QString::fromLatin1(c.column));
        table().cancel();
    }
}

// The time types on the form's own cursor.
class ZeitartForm : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        addRow(u"Kostart.DB"_s, {{u"A_ID"_s, 1}, {u"A_Nr"_s, 500}, {u"A_Text"_s, u"Löhne"_s}});
        own =
            std::make_unique<table::Table>(table::aliases::database(u"LumoDB"_s), u"Zeitart.DB"_s);
        form = std::make_unique<TF_TableForm>(ZeitartFormDecl(), *own);
        own->open();
        own->first();
        formtest::ShowActive(*form);
    }
    void TearDown() override {
        form.reset();
        own.reset();
        TableFormTest::TearDown();
    }
    std::unique_ptr<table::Table> own;
    std::unique_ptr<TF_TableForm> form;
};

TEST_F(ZeitartForm, TheEightTypesCanBeNeitherAddedToNorDeleted) {
    form->grid().setFocus();
    QTest::keyClick(&form->grid(), Qt::Key_Insert);
    EXPECT_FALSE(own->isEditing());
    own->last();
    QTest::keyClick(&form->grid(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(own->recordCount(), 8);
    EXPECT_EQ(presenter.texts(Kind::Error),
              (QStringList{u"Sie können der Tabelle keine neuen Datensätze hinzufügen!"_s,
                           u"Sie können keine Datensäte aus der Tabelle löschen!"_s}));
    EXPECT_TRUE(presenter.texts(Kind::Question).isEmpty());
    EXPECT_EQ(open(u"Zeitart.DB"_s)->recordCount(), 8);
}

TEST_F(ZeitartForm, TheCostTypePickerPostsOnlyANewChoice) {
    int posts = 0;
    own->afterPost += [&posts](table::Table&) { ++posts; };
    ASSERT_TRUE(own->locate({u"ZA_Type"_s}, {2}));
    chooseInLookup(u"A_Nr"_s, QVariant());
    ChooseZeitartKostart(*form);
    EXPECT_EQ(posts, 0);
    chooseInLookup(u"A_Nr"_s, 500);
    ChooseZeitartKostart(*form);
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(own->field(u"KostartName"_s).asString(), u"Löhne"_s);
    EXPECT_EQ(own->field(u"ZA_Aufschlag"_s).text(), u"1,25"_s);
    EXPECT_TRUE(form->grid().gridModel().flags(form->grid().gridModel().index(0, 0)) &
                Qt::ItemIsEnabled);
    EXPECT_FALSE(form->grid().gridModel().flags(form->grid().gridModel().index(0, 0)) &
                 Qt::ItemIsEditable);
    chooseInLookup(u"A_Nr"_s, 500);
    ChooseZeitartKostart(*form);
    EXPECT_EQ(posts, 1);
}

} // namespace
