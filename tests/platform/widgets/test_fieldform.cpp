#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbcheckbox.h"
#include "platform/widgets/dbdateedit.h"
#include "platform/widgets/dbedit.h"
#include "platform/widgets/dblookupcombobox.h"
#include "platform/widgets/dbnavigator.h"
#include "platform/widgets/fieldform.h"
#include "platform/widgets/recordpositionlabel.h"
#include "widgetfixture.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

using widgets::DataSource;
using widgets::FieldDecl;
using widgets::FieldForm;
using widgets::FieldKind;

namespace {

QList<FieldDecl> customerForm(DataSource& places) {
    FieldDecl ort{"&Ort", "Ort", FieldKind::LookupCombo, "Adresse"};
    ort.lookup = &places;
    ort.lookupKey = "ONr";
    ort.lookupText = "OName";
    return {
        {"&Nummer", "Nr", FieldKind::Edit, "Adresse", 8},
        {"N&ame", "Name", FieldKind::Edit, "Adresse"},
        ort,
        {"Kunde &seit", "Seit", FieldKind::Date, "Adresse", 10},
        {"A&ktiv", "Aktiv", FieldKind::CheckBox, "Adresse"},
        {"&Umsatz", "Umsatz", FieldKind::Edit, "Konditionen", 12},
        {"An&zahl", "Anzahl", FieldKind::Spin, "Konditionen", 6},
        {"No&tiz", "Notiz", FieldKind::Memo, "Konditionen"},
    };
}

} // namespace

TEST_F(WidgetTest, DeclaredFormBuildsPagesWithCaptionsBoundToTheirEditors) {
    DataSource dsOrte(*orte);
    DataSource ds(*kunden);
    FieldForm form(ds, customerForm(dsOrte));
    ASSERT_NE(form.pages(), nullptr);
    ASSERT_EQ(form.pages()->count(), 2);
    EXPECT_EQ(form.pages()->tabText(0), QStringLiteral("Adresse"));
    EXPECT_EQ(form.pages()->tabText(1), QStringLiteral("Konditionen"));

    ASSERT_NE(form.editorAs<widgets::DbEdit>("Name"), nullptr);
    ASSERT_NE(form.editorAs<widgets::DbDateEdit>("seit"), nullptr)
        << "fields are found without regard to case";
    ASSERT_NE(form.editorAs<widgets::DbLookupComboBox>("Ort"), nullptr);
    ASSERT_NE(form.editorAs<widgets::DbCheckBox>("Aktiv"), nullptr);
    EXPECT_EQ(form.editorAs<widgets::DbCheckBox>("Aktiv")->text(), QStringLiteral("A&ktiv"));
    EXPECT_EQ(form.label("Aktiv"), nullptr) << "a check box carries its caption itself";
    ASSERT_NE(form.label("Name"), nullptr);
    EXPECT_EQ(form.label("Name")->text(), QStringLiteral("N&ame"));
    EXPECT_EQ(form.label("Name")->buddy(), form.editor("Name"))
        << "the mnemonic reaches the editor";
    EXPECT_TRUE(form.page("Konditionen")->isAncestorOf(form.editor("Notiz")));

    EXPECT_EQ(form.editorAs<widgets::DbEdit>("Name")->text(), QStringLiteral("Albers"));
    EXPECT_EQ(form.editorAs<widgets::DbLookupComboBox>("Ort")->currentText(),
              QStringLiteral("Köln"));
    kunden->next();
    EXPECT_EQ(form.editorAs<widgets::DbEdit>("Name")->text(), QStringLiteral("Berger"));
}

TEST_F(WidgetTest, DeclaredFormRefusesAFieldTwiceAndALookupWithoutList) {
    DataSource ds(*kunden);
    EXPECT_THROW(FieldForm(ds, {{"&Name", "Name"}, {"N&ame", "name"}}), DbError);
    EXPECT_THROW(FieldForm(ds, {{"&Ort", "Ort", FieldKind::LookupCombo}}), DbError);
}

TEST_F(WidgetTest, DeclaredFormWithoutPagesHasNoTabs) {
    DataSource ds(*kunden);
    FieldForm form(ds, {{"&Name", "Name"}, {"&Seit", "Seit", FieldKind::Date, {}, 10}});
    EXPECT_EQ(form.pages(), nullptr);
    EXPECT_NE(form.editorAs<widgets::DbDateEdit>("Seit"), nullptr);
}

// Saves a picture of a small declared form with its grid for a look by eye.
TEST_F(WidgetTest, DeclaredFormScreenshot) {
    (*kunden)["Name"].onChange.clear();
    kunden->edit();
    (*kunden)["Seit"] = QStringLiteral("15.03.2019");
    (*kunden)["Umsatz"] = 12345.5;
    (*kunden)["Aktiv"] = true;
    kunden->post();
    DataSource dsOrte(*orte);
    DataSource ds(*kunden);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Kunden"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new widgets::DbNavigator(ds, &window));
    layout->addWidget(new FieldForm(ds, customerForm(dsOrte), &window));
    auto* grid = new widgets::DataGrid(ds, &window);
    grid->setColumns({{"Nr", "Nr.", 6}, {"Name", {}, 20}, {"Aktiv", {}, 5}, {"Umsatz", {}, 10}});
    layout->addWidget(grid);
    layout->addWidget(new widgets::RecordPositionLabel(ds, &window));
    window.resize(520, 480);
    window.show();
    const QImage shot = window.grab().toImage();
    EXPECT_FALSE(shot.isNull());
    shot.save(QDir::temp().filePath(QStringLiteral("domvera_fieldform.png")));
}

namespace {

TEST_F(WidgetTest, ADisplayLineShowsWhatItsFunctionMakesOfTheCurrentRecord) {
    DataSource ds(*kunden);
    FieldDecl name{"Ortsname", "OrtName", FieldKind::Display};
    name.display = [this](table::Table& t) {
        return orte->lookup({"ONr"}, {t["Ort"].asInteger()}, "OName").toString();
    };
    FieldForm form(ds, {{"&Ort", "Ort", FieldKind::Edit}, name});
    auto* line = qobject_cast<QLineEdit*>(form.editor("OrtName"));
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isReadOnly());
    EXPECT_EQ(line->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(line->text(), QStringLiteral("Köln"));
    kunden->next();
    EXPECT_EQ(line->text(), QStringLiteral("Bonn"));
    ds.startEdit();
    (*kunden)["Ort"] = 3;
    ds.notifyRecordChanged();
    EXPECT_EQ(line->text(), QStringLiteral("Aachen"));
    EXPECT_EQ(form.label("OrtName")->text(), QStringLiteral("Ortsname"));
}

} // namespace
