#include "platform/errors.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbedit.h"
#include "platform/widgets/dblookupcombobox.h"
#include "platform/widgets/fieldform.h"
#include "widgetfixture.h"

#include <QApplication>
#include <QTest>

using widgets::DataSource;
using widgets::FieldDecl;
using widgets::FieldForm;
using widgets::FieldKind;

TEST_F(WidgetTest, PickOpensOnDoubleClickAndAltWAndShowsItsErrors) {
    DataSource ds(*kunden);
    QStringList picked;
    FieldDecl name{.caption = "N&ame", .field = "Name"};
    name.pick = [&](QWidget& editor) {
        picked << editor.metaObject()->className();
        if (picked.size() == 3)
            throw DbError(QStringLiteral("Keine Auswahl möglich"));
    };
    FieldForm form(ds, {name, {.caption = "&Nummer", .field = "Nr"}});
    form.show();
    QWidget* editor = form.editor("Name");
    QTest::mouseDClick(editor, Qt::LeftButton);
    QTest::keyClick(editor, Qt::Key_W, Qt::AltModifier);
    EXPECT_EQ(picked, (QStringList{"widgets::DbEdit", "widgets::DbEdit"}));
    QTest::keyClick(editor, Qt::Key_W, Qt::AltModifier);
    EXPECT_EQ(errors, QStringList{"Keine Auswahl möglich"});
    // A field without a picker edits on a double-click as before.
    QTest::mouseDClick(form.editor("Nr"), Qt::LeftButton);
    EXPECT_EQ(picked.size(), 3);
}

TEST_F(WidgetTest, ChosenListRowFillsTheCopiedFields) {
    DataSource places(*orte);
    DataSource ds(*kunden);
    FieldDecl ort{.caption = "&Ort", .field = "Ort", .kind = FieldKind::LookupCombo};
    ort.lookup = &places;
    ort.lookupKey = "ONr";
    ort.lookupText = "OName";
    ort.lookupCopies = {{"OName", "Name"}};
    FieldForm form(ds, {ort, {.caption = "N&ame", .field = "Name"}});
    auto* box = form.editorAs<widgets::DbLookupComboBox>("Ort");
    ASSERT_NE(box, nullptr);
    const int bonn = box->findText("Bonn");
    ASSERT_GE(bonn, 0);
    box->setCurrentIndex(bonn);
    Q_EMIT box->activated(bonn);
    EXPECT_TRUE(kunden->isEditing());
    EXPECT_EQ(kunden->value("Ort").toInt(), 2);
    EXPECT_EQ(kunden->value("Name").toString(), QStringLiteral("Bonn"));
    EXPECT_EQ(form.editorAs<widgets::DbEdit>("Name")->text(), QStringLiteral("Bonn"));
    kunden->cancel();
}

TEST_F(WidgetTest, SameLineFieldsShareTheirLine) {
    DataSource ds(*kunden);
    FieldForm form(ds, {{.caption = "&Nummer", .field = "Nr", .width = 6},
                        {.field = "Name", .sameLine = true},
                        {.caption = "An&zahl", .field = "Anzahl"}});
    form.resize(400, 200);
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.editor("Nr")->y(), form.editor("Name")->y());
    EXPECT_LT(form.editor("Nr")->x(), form.editor("Name")->x());
    EXPECT_GT(form.editor("Anzahl")->y(), form.editor("Nr")->y());
    EXPECT_EQ(form.label("Name"), nullptr);
}
