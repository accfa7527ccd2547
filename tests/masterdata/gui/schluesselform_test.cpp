#include "core/data/dbhelpers.h"
#include "core/datagui/gridservices.h"
#include "core/settings/formplacement.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "masterdata/dialogs/tf_kalender.h"
#include "masterdata/gui/schluesselform.h"
#include "masterdata/gui/tableformdecl.h"
#include "masterdata/gui/tf_tableform.h"
#include "platform/table/table.h"
#include "tableformfixture.h"

#include <QDate>
#include <QPushButton>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Two objects, two employees and three keys: key 1 of object 12 held by
// employee 7 under an outdated name since 1 March 2024, key 2 with an object
// text holding no number, key 3 with leading blanks and no date.
class SchluesselForm : public formtest::TableFormTest {
protected:
    void SetUp() override {
        TableFormTest::SetUp();
        addRow(
            u"Objekte.DB"_s,
            {{u"O_ID"_s, 1}, {u"O_Nr"_s, 12}, {u"O_Match"_s, u"RATHAUS"_s}, {u"O_Aktiv"_s, true}});
        addRow(
            u"Objekte.DB"_s,
            {{u"O_ID"_s, 2}, {u"O_Nr"_s, 13}, {u"O_Match"_s, u"SCHULE"_s}, {u"O_Aktiv"_s, true}});
        addRow(u"Personal.DB"_s, {{u"P_ID"_s, 1}, {u"P_Nr"_s, 7}, {u"P_Name1"_s, u"Meier"_s}});
        addRow(u"Personal.DB"_s, {{u"P_ID"_s, 2}, {u"P_Nr"_s, 8}, {u"P_Name1"_s, u"Schulz"_s}});
        addRow(u"Schluess.DB"_s, {{u"S_ID"_s, 1},
                                  {u"S_Nr"_s, 3},
                                  {u"S_Bezeichnung"_s, u"A"_s},
                                  {u"S_Objekt"_s, u"12 RATHAUS"_s},
                                  {u"S_PersNo"_s, 7},
                                  {u"S_Halter"_s, u"Meier (alt)"_s},
                                  {u"S_Gegeben"_s, QDate(2024, 3, 1)}});
        addRow(u"Schluess.DB"_s, {{u"S_ID"_s, 2},
                                  {u"S_Nr"_s, 1},
                                  {u"S_Bezeichnung"_s, u"B"_s},
                                  {u"S_Objekt"_s, u"Keller"_s}});
        addRow(u"Schluess.DB"_s, {{u"S_ID"_s, 3},
                                  {u"S_Nr"_s, 2},
                                  {u"S_Bezeichnung"_s, u"C"_s},
                                  {u"S_Objekt"_s, u"   13 SCHULE"_s}});
        keys().open();
        form = std::make_unique<TF_TableForm>(SchluesselTableDecl(), keys());
        form->move(30, 50);
        form->show();
    }
    void TearDown() override {
        form.reset();
        TableFormTest::TearDown();
    }
    table::Table& keys() { return dm->TabSchluessel(); }
    void onKey(int id) {
        keys().cancel();
        ASSERT_TRUE(keys().locate({u"S_ID"_s}, {id}));
    }
    QString text(const QString& field) { return FieldText(keys(), field); }
    // Sorts by "Bezeichnung", as a title click does, so that each editor
    // shows it puts the list back into key-number order.
    void sortByDescription() {
        form->sortByTitle(2);
        ASSERT_EQ(keys().indexName(), u"S_I_Bezeich"_s);
    }
    // The picker of the next editor chooses the row whose keyField is key.
    static void choose(const QString& keyField, int key, const QString& sortBy = {}) {
        WhenModalShown([=](QWidget* modal) {
            auto* d = qobject_cast<TF_DbSelect*>(modal);
            ASSERT_NE(d, nullptr);
            if (!sortBy.isEmpty())
                d->sortBy(sortBy);
            const bool found = d->lookupTable()->locate({keyField}, {key});
            EXPECT_TRUE(found) << key;
            (found ? d->btnOK() : d->btnCancel())->click();
        });
    }

    std::unique_ptr<TF_TableForm> form;
};

TEST_F(SchluesselForm, ObjectEditorStartsOnTheTextsNumberAndWritesAnotherObject) {
    const struct {
        int key;
        int chosen;
        QString objekt; // afterwards
        bool editing;
    } cases[] = {
        {1, 12, u"12 RATHAUS"_s, false},   // the same object
        {1, 13, u"13 SCHULE"_s, true},     // another
        {2, 12, u"12 RATHAUS"_s, true},    // no number: starts on 0
        {3, 13, u"   13 SCHULE"_s, false}, // leading blanks: starts on 13
    };
    for (const auto& c : cases) {
        onKey(c.key);
        choose(u"O_Nr"_s, c.chosen);
        EXPECT_TRUE(form->runColumnAction(u"S_Objekt"_s));
        EXPECT_EQ(FieldInt(keys(), u"S_ID"_s), c.key);
        EXPECT_EQ(text(u"S_Objekt"_s), c.objekt) << c.key;
        EXPECT_EQ(keys().isEditing(), c.editing) << c.key;
    }
}

// Sorted by another column, the list goes back to key-number order, which
// posts the change; the edited key stays current.
TEST_F(SchluesselForm, EachEditorSortsByKeyNumberAgainAndKeepsItsKey) {
    const struct {
        QString field;
        std::function<void()> choice;
    } editors[] = {
        {u"S_Objekt"_s, [] { choose(u"O_Nr"_s, 13); }},
        {u"S_PersNo"_s, [] { choose(u"P_Nr"_s, 8); }},
        {u"S_Gegeben"_s,
         [] {
             WhenModalShown([](QWidget* modal) {
                 auto* k = qobject_cast<TF_Kalender*>(modal);
                 ASSERT_NE(k, nullptr);
                 k->SetDate(DateTimeOfDate(QDate(2025, 1, 2)));
                 k->okButton()->click();
             });
         }},
    };
    for (const auto& e : editors) {
        onKey(1);
        sortByDescription();
        e.choice();
        EXPECT_TRUE(form->runColumnAction(e.field));
        EXPECT_EQ(keys().indexName(), u"S_I_Nr"_s) << e.field.toStdString();
        EXPECT_EQ(FieldInt(keys(), u"S_ID"_s), 1) << e.field.toStdString();
        EXPECT_FALSE(keys().isEditing());
    }
    auto stored = open(u"Schluess.DB"_s);
    ASSERT_TRUE(stored->locate({u"S_ID"_s}, {1}));
    EXPECT_EQ(FieldText(*stored, u"S_Objekt"_s), u"13 SCHULE"_s);
    EXPECT_EQ(FieldText(*stored, u"S_Halter"_s), u"Schulz"_s);
    EXPECT_EQ(stored->field(u"S_Gegeben"_s).asDate(), QDate(2025, 1, 2));
}

TEST_F(SchluesselForm, StaffEditorKeepsTheStoredNameForTheSameEmployee) {
    onKey(1);
    choose(u"P_Nr"_s, 7);
    EXPECT_TRUE(form->runColumnAction(u"S_PersNo"_s));
    EXPECT_FALSE(keys().isEditing());
    EXPECT_EQ(text(u"S_Halter"_s), u"Meier (alt)"_s);
    choose(u"P_Nr"_s, 8);
    EXPECT_TRUE(form->runColumnAction(u"S_PersNo"_s));
    EXPECT_EQ(FieldInt(keys(), u"S_PersNo"_s), 8);
    EXPECT_EQ(text(u"S_Halter"_s), u"Schulz"_s);
    keys().post();
}

TEST_F(SchluesselForm, CalendarStartsTodayOnAnEmptyDateAndWritesOnlyAnotherDate) {
    const struct {
        int key;
        QDate start;
        QDate chosen;
        bool ok;
        bool editing;
    } cases[] = {
        {1, QDate(2024, 3, 1), QDate(2024, 3, 1), true, false},
        {1, QDate(2024, 3, 1), QDate(2024, 5, 2), false, false},
        {1, QDate(2024, 3, 1), QDate(2024, 5, 2), true, true},
        {3, QDate::currentDate(), QDate::currentDate(), true, true},
    };
    for (const auto& c : cases) {
        onKey(c.key);
        QPoint shownAt;
        WhenModalShown([&](QWidget* modal) {
            auto* k = qobject_cast<TF_Kalender*>(modal);
            ASSERT_NE(k, nullptr);
            shownAt = k->pos();
            EXPECT_EQ(k->GetDate(), DateTimeOfDate(c.start));
            k->SetDate(DateTimeOfDate(c.chosen));
            (c.ok ? k->okButton() : k->cancelButton())->click();
        });
        EXPECT_TRUE(form->runColumnAction(u"S_Gegeben"_s));
        EXPECT_EQ(shownAt, form->pos() + QPoint(240, 140));
        EXPECT_EQ(keys().isEditing(), c.editing) << c.key;
        if (c.editing) {
            EXPECT_EQ(keys().field(u"S_Gegeben"_s).asDate(), c.chosen);
        }
    }
    EXPECT_FALSE(form->runColumnAction(u"S_Bezeichnung"_s));
}

TEST_F(SchluesselForm, ObjectPickersSortFieldIsKeptWithTheForm) {
    onKey(1);
    choose(u"O_Nr"_s, 12, u"O_Match"_s);
    form->runColumnAction(u"S_Objekt"_s);
    form->close();
    const auto stored =
        ReadFormPlacement(kPlacementFile03, u"Schluessel"_s, 0, {u"lbSortObjekt.Caption"_s});
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->properties.value(u"lbSortObjekt.Caption"_s), u"O_Match"_s);
}

} // namespace
