#include "core/data/datamodule.h"
#include "core/data/dbhelpers.h"
#include "core/gui/modaldriver.h"
#include "masterdata/dialogs/tf_dbselect.h"
#include "masterdata/gui/personalform.h"
#include "masterdata/staffchoices.h"
#include "platform/table/table.h"
#include "platform/widgets/datagrid.h"
#include "platform/widgets/dbcombobox.h"
#include "platform/widgets/dblookupcombobox.h"
#include "platform/widgets/fieldform.h"
#include "tableformfixture.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// Employee 7 with the cost types 901 and 902 and two health insurers.
class PersonalForm : public formtest::ListFormTest {
protected:
    void SetUp() override {
        ListFormTest::SetUp();
        grant(6);
        addRow(u"Kostart.DB"_s, {{u"A_ID"_s, 98}, {u"A_Nr"_s, 901}, {u"A_Text"_s, u"Lohn"_s}});
        addRow(u"Kostart.DB"_s, {{u"A_ID"_s, 99}, {u"A_Nr"_s, 902}, {u"A_Text"_s, u"Fahrt"_s}});
        addRow(
            u"Krkassen.db"_s,
            {{u"KK_ID"_s, 98}, {u"KK_Match"_s, u"AOK"_s}, {u"KK_Langbezeich"_s, u"AOK Nordost"_s}});
        addRow(u"Krkassen.db"_s, {{u"KK_ID"_s, 99},
                                  {u"KK_Match"_s, u"TK"_s},
                                  {u"KK_Langbezeich"_s, u"Techniker Krankenkasse"_s}});
        addRow(u"Personal.DB"_s, {{u"P_ID"_s, 1},
                                  {u"P_Nr"_s, 7},
                                  {u"P_Name1"_s, u"Berg"_s},
                                  {u"P_Krankenkasse"_s, u"TK"_s},
                                  {u"P_Kostart2"_s, 902}});
        for (table::Table* t : {&dm->TabPersonal(), &dm->TabKostart(), &dm->TabKrankenkassen(),
                                &dm->TabBanken(), &dm->TabZahlart()})
            t->open();
        showForm(PersonalFormDecl());
    }
    void TearDown() override {
        if (dm->TabPersonal().isEditing())
            dm->TabPersonal().cancel();
        ListFormTest::TearDown();
    }
    QVariant stored(const QString& field) {
        auto t = open(u"Personal.DB"_s);
        return t->locate({u"P_Nr"_s}, {7}) ? t->field(field).value() : QVariant();
    }
};

TEST_F(PersonalForm, ClosedListsTakeOnlyTheirEntriesAndOpenOnesATypedText) {
    for (const FixedChoiceList& list : PersonalChoiceLists()) {
        SCOPED_TRACE(list.field.toStdString());
        auto* box = form->fields()->editorAs<widgets::DbComboBox>(list.field);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->isEditable(), !list.closed);
        QStringList shown;
        for (int i = 0; i < box->count(); ++i)
            shown.append(box->itemText(i));
        EXPECT_EQ(shown, list.texts);
    }
    auto* job = form->fields()->editorAs<widgets::DbComboBox>(u"P_Job"_s);
    job->lineEdit()->setText(u"Hausmeisterin"_s);
    job->lineEdit()->setModified(true);
    Q_EMIT job->lineEdit()->editingFinished();
    auto* children = form->fields()->editorAs<widgets::DbComboBox>(u"P_Kinder"_s);
    children->setCurrentIndex(children->findText(u"1,5"_s));
    Q_EMIT children->activated(children->currentIndex());
    form->post();
    EXPECT_EQ(stored(u"P_Job"_s).toString(), u"Hausmeisterin"_s);
    EXPECT_DOUBLE_EQ(stored(u"P_Kinder"_s).toDouble(), 1.5);
}

TEST_F(PersonalForm, TheHealthInsurerIsShownByNameAndStoredByItsSearchName) {
    auto* box = form->fields()->editorAs<widgets::DbLookupComboBox>(u"P_Krankenkasse"_s);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->currentText(), u"Techniker Krankenkasse"_s);
    const int aok = box->findText(u"AOK Nordost"_s);
    ASSERT_GE(aok, 0);
    box->setCurrentIndex(aok);
    Q_EMIT box->activated(aok);
    form->post();
    EXPECT_EQ(stored(u"P_Krankenkasse"_s).toString(), u"AOK"_s);
}

TEST_F(PersonalForm, EachTimeTypeShowsItsCostTypesName) {
    EXPECT_EQ(form->findChild<QLineEdit*>(u"P_Kostart2Text"_s)->text(), u"Fahrt"_s);
    EXPECT_TRUE(form->findChild<QLineEdit*>(u"P_Kostart1Text"_s)->text().isEmpty());
}

TEST_F(PersonalForm, TheSameCostTypeAgainPostsNothingAndANewOneIsPosted) {
    const auto choose = [](int nr) {
        WhenModalShown([nr](QWidget* modal) {
            auto* lookup = qobject_cast<TF_DbSelect*>(modal);
            ASSERT_NE(lookup, nullptr);
            ASSERT_TRUE(lookup->lookupTable()->locate({u"A_Nr"_s}, {nr}));
            lookup->grid()->followCursor();
            lookup->btnOK()->click();
        });
    };
    int posts = 0;
    form->table().afterPost += [&posts](table::Table&) { ++posts; };
    choose(902);
    ChoosePersonalKostart(*form, 2);
    EXPECT_EQ(posts, 0);
    choose(901);
    ChoosePersonalKostart(*form, 2);
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(stored(u"P_Kostart2"_s).toInt(), 901);
    EXPECT_EQ(form->findChild<QLineEdit*>(u"P_Kostart2Text"_s)->text(), u"Lohn"_s);
}

} // namespace
