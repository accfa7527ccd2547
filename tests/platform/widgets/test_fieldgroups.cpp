#include "platform/widgets/datasource.h"
#include "platform/widgets/dbedit.h"
#include "platform/widgets/fieldform.h"
#include "widgetfixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QScrollArea>
#include <QTabWidget>

using widgets::DataSource;
using widgets::FieldDecl;
using widgets::FieldForm;
using widgets::FieldKind;

namespace {

FieldDecl line(const char* caption, const char* field, const char* page, const char* group,
               bool readOnly = false) {
    FieldDecl d{caption, field, FieldKind::Edit, page};
    d.group = QString::fromUtf8(group);
    d.readOnly = readOnly;
    return d;
}

QGroupBox* boxOf(QWidget* w) {
    for (QWidget* p = w ? w->parentWidget() : nullptr; p; p = p->parentWidget())
        if (auto* box = qobject_cast<QGroupBox*>(p))
            return box;
    return nullptr;
}

} // namespace

TEST_F(WidgetTest, GroupedLinesSitInBoxesInTheOrderDeclared) {
    DataSource ds(*kunden);
    FieldDecl aktiv{"A&ktiv", "Aktiv", FieldKind::CheckBox, "Adresse"};
    aktiv.group = "Status";
    FieldForm form(ds, {
                           line("&Nummer", "Nr", "Adresse", ""),
                           line("N&ame", "Name", "Adresse", "Adressdaten"),
                           line("&Ort", "Ort", "Adresse", "Adressdaten"),
                           aktiv,
                           line("&Seit", "Seit", "Adresse", "Adressdaten"),
                           line("&Umsatz", "Umsatz", "Konditionen", "Adressdaten"),
                       });
    QGroupBox* address = form.group("Adressdaten");
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(address->title(), QStringLiteral("Adressdaten"));
    EXPECT_EQ(boxOf(form.editor("Nr")), nullptr);
    EXPECT_EQ(boxOf(form.editor("Name")), address);
    EXPECT_EQ(boxOf(form.editor("Ort")), address);
    EXPECT_TRUE(address->isAncestorOf(form.label("Name")));
    EXPECT_EQ(boxOf(form.editor("Aktiv")), form.group("Status"));
    // A group named again after another one, or on another page, is a box
    // of its own at its place.
    QGroupBox* again = boxOf(form.editor("Seit"));
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, address);
    EXPECT_EQ(again->title(), QStringLiteral("Adressdaten"));
    QGroupBox* other = boxOf(form.editor("Umsatz"));
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(form.page("Konditionen")->isAncestorOf(other));

    QLayout* page = form.page("Adresse")->layout();
    EXPECT_LT(page->indexOf(address), page->indexOf(form.group("Status")));
    EXPECT_LT(page->indexOf(form.group("Status")), page->indexOf(again));
}

TEST_F(WidgetTest, GroupsAlsoOnAFormWithoutPages) {
    DataSource ds(*kunden);
    FieldForm form(ds, {line("&Nummer", "Nr", "", "Kopf"), line("N&ame", "Name", "", "")});
    EXPECT_EQ(form.pages(), nullptr);
    ASSERT_NE(form.group("Kopf"), nullptr);
    EXPECT_EQ(boxOf(form.editor("Nr")), form.group("Kopf"));
    EXPECT_EQ(boxOf(form.editor("Name")), nullptr);
}

TEST_F(WidgetTest, ReadOnlyLineStaysReadOnlyThroughEveryStateAndWritesNothing) {
    DataSource ds(*kunden);
    FieldForm form(ds, {line("N&ame", "Name", "", ""), line("&Umsatz", "Umsatz", "", "", true)});
    auto* name = form.editorAs<widgets::DbEdit>("Name");
    auto* sum = form.editorAs<widgets::DbEdit>("Umsatz");
    ASSERT_NE(sum, nullptr);
    EXPECT_EQ(sum->focusPolicy(), Qt::NoFocus) << "skipped by the Tab key";
    const QVariant before = kunden->value("Umsatz");
    kunden->edit();
    EXPECT_FALSE(name->isReadOnly()) << "an ordinary line follows the state";
    EXPECT_TRUE(sum->isReadOnly());
    sum->setText("999");
    sum->setModified(true);
    Q_EMIT sum->editingFinished();
    kunden->post();
    EXPECT_EQ(kunden->value("Umsatz"), before);
    kunden->next();
    EXPECT_TRUE(sum->isReadOnly());
    kunden->edit();
    EXPECT_TRUE(sum->isReadOnly());
    kunden->cancel();
}

TEST_F(WidgetTest, ReadOnlyIsRefusedForOtherThanOneLineEdits) {
    DataSource ds(*kunden);
    FieldDecl date{"&Seit", "Seit", FieldKind::Date};
    date.readOnly = true;
    EXPECT_THROW(FieldForm(ds, {date}), DbError);
}

// Each page sits in a scroll area, so a long page scrolls instead of making
// the window taller than a small screen; showPage finds every page.
TEST_F(WidgetTest, PagesScrollAndShowPageBringsThemToTheFront) {
    DataSource ds(*kunden);
    FieldForm form(ds, {
                           line("&Nummer", "Nr", "Erste", ""),
                           line("N&ame", "Name", "Zweite", "Adressdaten"),
                           line("&Ort", "Ort", "Zweite", "Adressdaten"),
                       });
    ASSERT_NE(form.pages(), nullptr);
    for (const char* name : {"Erste", "Zweite"}) {
        bool found = false;
        for (int i = 0; i < form.pages()->count(); ++i) {
            auto* scroll = qobject_cast<QScrollArea*>(form.pages()->widget(i));
            found = found || (scroll && scroll->widget() == form.page(name));
        }
        EXPECT_TRUE(found) << name;
    }
    form.showPage("Zweite");
    EXPECT_TRUE(form.pages()->currentWidget()->isAncestorOf(form.editor("Ort")));
    form.showPage("Erste");
    EXPECT_TRUE(form.pages()->currentWidget()->isAncestorOf(form.editor("Nr")));
}

TEST_F(WidgetTest, ACheckBoxBesideAFieldCarriesItsCaptionOnlyOnce) {
    DataSource ds(*kunden);
    FieldDecl aktiv{"A&ktiv", "Aktiv", FieldKind::CheckBox, "Adresse"};
    aktiv.sameLine = true;
    FieldForm form(ds, {line("N&ame", "Name", "Adresse", ""), aktiv});
    EXPECT_EQ(form.label("Aktiv"), nullptr);
    for (QLabel* label : form.findChildren<QLabel*>())
        EXPECT_NE(label->text(), QStringLiteral("A&ktiv"));
    EXPECT_EQ(form.editor("Name")->parentWidget(), form.editor("Aktiv")->parentWidget());
}
