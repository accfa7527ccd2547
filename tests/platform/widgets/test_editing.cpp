#include "platform/widgets/datagrid.h"
#include "platform/widgets/datasource.h"
#include "platform/widgets/dbcheckbox.h"
#include "platform/widgets/dbdateedit.h"
#include "platform/widgets/dbedit.h"
#include "platform/widgets/dbimage.h"
#include "platform/widgets/dbmemo.h"
#include "platform/widgets/dbrichedit.h"
#include "platform/widgets/dbspinedit.h"
#include "platform/widgets/fieldlink.h"
#include "widgetfixture.h"

#include <QBuffer>
#include <QTest>
#include <QTextCursor>

using widgets::DataGrid;
using widgets::DataSource;

namespace {

int column(DataGrid& grid, const QString& field) {
    for (int c = 0; c < grid.gridModel().columnCount(); ++c)
        if (grid.gridModel().fieldAt(c) == field)
            return c;
    return -1;
}

void type(QLineEdit& edit, const QString& text) {
    edit.setText(text);
    edit.setModified(true);
    Q_EMIT edit.editingFinished();
}

// Counts the table events a change runs through.
struct EventLog {
    explicit EventLog(table::Table& t) {
        t.beforeEdit += [this](table::Table&) { ++edits; };
        t.beforePost += [this](table::Table&) { ++posts; };
        t.afterPost += [this](table::Table&) { ++afterPosts; };
    }
    int edits = 0, posts = 0, afterPosts = 0;
};

} // namespace

TEST_F(WidgetTest, GridEditPostsThroughTheTableWhenTheRowIsLeft) {
    EventLog log(*kunden);
    DataSource ds(*kunden);
    DataGrid grid(ds);
    auto& model = grid.gridModel();
    ASSERT_TRUE(model.setData(model.index(1, column(grid, "Name")), QStringLiteral("Brandt")));
    EXPECT_EQ(kunden->state(), table::TableState::Edit);
    EXPECT_EQ((*kunden)["Nr"].asInteger(), 2) << "editing a row makes it the current record";
    EXPECT_EQ(grid.currentIndex().row(), 1);
    EXPECT_EQ(model.index(1, column(grid, "Name")).data().toString(), QStringLiteral("Brandt"));
    EXPECT_EQ(storedValue(2, "Name").toString(), QStringLiteral("Berger"))
        << "not posted while on the row";

    grid.setCurrentIndex(model.index(0, 0));
    EXPECT_EQ(log.edits, 1);
    EXPECT_EQ(log.posts, 1);
    EXPECT_EQ(storedValue(2, "Name").toString(), QStringLiteral("Brandt"));
    EXPECT_EQ(kunden->state(), table::TableState::Browse);
    EXPECT_EQ((*kunden)["Nr"].asInteger(), 1);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
}

TEST_F(WidgetTest, RecordRuleRefusingThePostKeepsTheGridOnTheEditedRow) {
    kunden->beforePost += [](table::Table& t) {
        if (t["Name"].asString().isEmpty())
            throw DbError(QStringLiteral("Name fehlt!"));
    };
    DataSource ds(*kunden);
    DataGrid grid(ds);
    auto& model = grid.gridModel();
    ASSERT_TRUE(model.setData(model.index(2, column(grid, "Name")), QString()));
    grid.setCurrentIndex(model.index(0, 0));
    EXPECT_EQ(errors, QStringList{QStringLiteral("Name fehlt!")});
    EXPECT_EQ(grid.currentIndex().row(), 2);
    EXPECT_EQ(kunden->state(), table::TableState::Edit);
    EXPECT_EQ(storedValue(3, "Name").toString(), QStringLiteral("Conrad"));
}

TEST_F(WidgetTest, GridInsertShowsANewRowUntilPostedOrCancelled) {
    DataSource ds(*kunden);
    DataGrid grid(ds);
    auto& model = grid.gridModel();
    ds.insert();
    ASSERT_EQ(model.rowCount(), 4);
    EXPECT_EQ(grid.currentIndex().row(), 3);
    ASSERT_TRUE(model.setData(model.index(3, column(grid, "Nr")), 4));
    ASSERT_TRUE(model.setData(model.index(3, column(grid, "Name")), QStringLiteral("Dahl")));
    kunden->post();
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(storedValue(4, "Name").toString(), QStringLiteral("Dahl"));

    ds.insert();
    EXPECT_EQ(model.rowCount(), 5);
    kunden->cancel();
    EXPECT_EQ(model.rowCount(), 4);
}

TEST_F(WidgetTest, EditorsWriteTheirValuesAndTheTableEventsRun) {
    EventLog log(*kunden);
    DataSource ds(*kunden);
    widgets::DbEdit name(ds, "Name");
    widgets::DbEdit umsatz(ds, "Umsatz");
    widgets::DbCheckBox aktiv(ds, "Aktiv", QStringLiteral("&Aktiv"));
    widgets::DbDateEdit seit(ds, "Seit");
    widgets::DbSpinEdit anzahl(ds, "Anzahl");
    widgets::DbMemo notiz(ds, "Notiz");
    EXPECT_EQ(name.text(), QStringLiteral("Albers"));
    EXPECT_EQ(name.maxLength(), 20);
    EXPECT_EQ(anzahl.minimum(), -32768);
    EXPECT_EQ(anzahl.maximum(), 32767);

    type(name, QStringLiteral("Ahrens"));
    type(umsatz, QStringLiteral("1.234,50"));
    aktiv.click();
    type(seit, QStringLiteral("1.2.2024"));
    anzahl.setValue(12);
    Q_EMIT anzahl.editingFinished();
    notiz.insertPlainText(QStringLiteral("Zeile 1\nZeile 2"));
    notiz.commit();
    EXPECT_EQ(log.edits, 1) << "one edit for all the changes of the record";
    EXPECT_EQ(seit.text(), QStringLiteral("01.02.2024")) << "shown again in the field's own form";
    kunden->post();
    EXPECT_EQ(log.posts, 1);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
    EXPECT_EQ(storedValue(1, "Name").toString(), QStringLiteral("Ahrens"));
    EXPECT_DOUBLE_EQ(storedValue(1, "Umsatz").toDouble(), 1234.5);
    EXPECT_TRUE(storedValue(1, "Aktiv").toBool());
    EXPECT_EQ(storedValue(1, "Seit").toDate(), QDate(2024, 2, 1));
    EXPECT_EQ(storedValue(1, "Anzahl").toInt(), 12);
    EXPECT_EQ(storedValue(1, "Notiz").toString(), QStringLiteral("Zeile 1\nZeile 2"));

    kunden->next();
    EXPECT_EQ(name.text(), QStringLiteral("Berger"));
    EXPECT_FALSE(aktiv.isChecked());
    EXPECT_TRUE(seit.text().isEmpty());
}

TEST_F(WidgetTest, LeavingAnEditorUnchangedStartsNoEdit) {
    EventLog log(*kunden);
    DataSource ds(*kunden);
    widgets::DbEdit name(ds, "Name");
    widgets::DbSpinEdit anzahl(ds, "Anzahl");
    type(name, QStringLiteral("Albers"));
    Q_EMIT anzahl.editingFinished();
    EXPECT_EQ(log.edits, 0);
    EXPECT_EQ(kunden->state(), table::TableState::Browse);
}

TEST_F(WidgetTest, ARuleChangingAnotherFieldShowsInItsEditor) {
    (*kunden)["Name"].onChange +=
        [](table::Field& f) { f.table()["Notiz"] = QStringLiteral("geändert"); };
    DataSource ds(*kunden);
    widgets::DbEdit name(ds, "Name");
    widgets::DbMemo notiz(ds, "Notiz");
    type(name, QStringLiteral("Ahrens"));
    EXPECT_EQ(notiz.toPlainText(), QStringLiteral("geändert"));
}

TEST_F(WidgetTest, AFieldRuleRefusingAValueEndsTheEditItBegan) {
    (*kunden)["Anzahl"].onValidate += [](table::Field& f) {
        if (f.asInteger() < 0)
            throw DbError(QStringLiteral("Die Anzahl darf nicht negativ sein."));
    };
    DataSource ds(*kunden);
    widgets::DbEdit anzahl(ds, "Anzahl");
    type(anzahl, QStringLiteral("-3"));
    EXPECT_EQ(errors, QStringList{QStringLiteral("Die Anzahl darf nicht negativ sein.")});
    EXPECT_EQ(kunden->state(), table::TableState::Browse);
    EXPECT_TRUE(anzahl.text().isEmpty()) << "the editor shows the field again";
}

// Values a field cannot take are refused at the widget with the table's German
// message; the record is not even put into edit mode.
struct BadInput {
    const char* field;
    const char* text;
    const char* message;
};

class BadInputTest : public WidgetTest, public ::testing::WithParamInterface<BadInput> {};

TEST_P(BadInputTest, IsRefusedWithAMessageAndNothingPosted) {
    const BadInput& c = GetParam();
    EventLog log(*kunden);
    DataSource ds(*kunden);
    DataGrid grid(ds);
    const QString field = QString::fromUtf8(c.field);
    const QVariant before = storedValue(1, field);

    EXPECT_FALSE(grid.gridModel().setData(grid.gridModel().index(0, column(grid, field)),
                                          QString::fromUtf8(c.text)));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QString::fromUtf8(c.message))) << errors[0].toStdString();

    widgets::DbEdit edit(ds, field);
    if (edit.maxLength() >= int(strlen(c.text))) {
        type(edit, QString::fromUtf8(c.text));
        ASSERT_EQ(errors.size(), 2);
        EXPECT_EQ(errors[1], errors[0]);
        EXPECT_EQ(edit.text(), (*kunden)[field].text())
            << "the editor shows the stored value again";
    }
    EXPECT_EQ(kunden->state(), table::TableState::Browse);
    EXPECT_EQ(log.edits, 0);
    EXPECT_EQ(log.posts, 0);
    EXPECT_EQ(storedValue(1, field), before);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, BadInputTest,
    ::testing::Values(
        BadInput{"Anzahl", "abc", "'abc' ist kein gültiger Wert für das Feld Anzahl."},
        BadInput{"Anzahl", "40000", "außerhalb des Bereichs von Anzahl"},
        BadInput{"Anzahl", "-32769", "außerhalb des Bereichs von Anzahl"},
        BadInput{"Ort", "3000000000", "außerhalb des Bereichs von Ort"},
        BadInput{"Umsatz", "zwölf", "kein gültiger Wert für das Feld Umsatz"},
        BadInput{"Seit", "31.02.2024", "\"31.02.2024\" ist kein gültiges Datum!"},
        BadInput{"Name", "Ein viel zu langer Name", "Der Text ist zu lang für das Feld Name"}));

TEST_F(WidgetTest, RichTextIsEditedInPlaceAndStoredAsRtf) {
    DataSource ds(*kunden);
    widgets::DbRichEdit brief(ds, "Brief");
    EXPECT_TRUE(brief.toPlainText().isEmpty());
    QTextCursor cursor(brief.document());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("Sehr geehrte Damen, "));
    cursor.insertText(QStringLiteral("Grüße"), bold);
    brief.commit();
    kunden->post();
    const QString stored = storedValue(1, "Brief").toString();
    EXPECT_TRUE(stored.startsWith(QStringLiteral("{\\rtf"))) << stored.toStdString();

    kunden->next();
    EXPECT_TRUE(brief.toPlainText().isEmpty());
    kunden->prior();
    EXPECT_EQ(brief.toPlainText(), QStringLiteral("Sehr geehrte Damen, Grüße"));
    QTextCursor inside(brief.document());
    inside.setPosition(3); // the format of the character before the position
    EXPECT_NE(inside.charFormat().fontWeight(), QFont::Bold);
    inside.setPosition(23);
    EXPECT_EQ(inside.charFormat().fontWeight(), QFont::Bold)
        << "the formatting survives the round trip";
}

TEST_F(WidgetTest, ImageShowsAPictureFieldAndSaysSoForBytesThatAreNone) {
    QImage red(8, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");
    kunden->edit();
    (*kunden)["Logo"] = png;
    kunden->post();
    kunden->next();
    kunden->edit();
    (*kunden)["Logo"] = QByteArray("kein Bild");
    kunden->post();
    kunden->first();

    DataSource ds(*kunden);
    widgets::DbImage logo(ds, "Logo");
    EXPECT_TRUE(logo.hasPicture());
    kunden->next();
    EXPECT_FALSE(logo.hasPicture());
    EXPECT_EQ(logo.text(), QStringLiteral("Kein Bild"));
    kunden->next();
    EXPECT_FALSE(logo.hasPicture());
    EXPECT_TRUE(logo.text().isEmpty()) << "an empty field shows nothing";
}

TEST_F(WidgetTest, GridKeysPostCancelInsertAndDelete) {
    DataSource ds(*kunden);
    DataGrid grid(ds);
    auto& model = grid.gridModel();
    grid.setFocus();
    ASSERT_TRUE(model.setData(model.index(0, column(grid, "Name")), QStringLiteral("Ahrens")));
    QTest::keyClick(&grid, Qt::Key_Escape);
    EXPECT_EQ(kunden->state(), table::TableState::Browse);
    EXPECT_EQ(model.index(0, column(grid, "Name")).data().toString(), QStringLiteral("Albers"));

    ASSERT_TRUE(model.setData(model.index(0, column(grid, "Name")), QStringLiteral("Ahrens")));
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(storedValue(1, "Name").toString(), QStringLiteral("Ahrens"));

    QTest::keyClick(&grid, Qt::Key_Insert);
    EXPECT_EQ(kunden->state(), table::TableState::Insert);
    QTest::keyClick(&grid, Qt::Key_Escape);
    EXPECT_EQ(model.rowCount(), 3);

    kunden->setRecNo(2);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(questions, QStringList{QStringLiteral("Datensatz löschen?")});
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_FALSE(storedValue(2, "Name").isValid());
}
