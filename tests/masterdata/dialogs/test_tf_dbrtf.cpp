#include "core/gui/modaldriver.h"
#include "masterdata/dialogs/tf_dbrtf.h"
#include "rtfeditorfixture.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>

namespace {

using MemoEditorTest = RtfEditorTest;

TEST(ForceRtfExtension, AnyOtherExtensionBecomesRtf) {
    const struct {
        const char* chosen;
        const char* written;
    } cases[] = {
        {"/t/modul", "/t/modul.rtf"},
        {"/t/modul.txt", "/t/modul.rtf"},
        {"/t/modul.RTF", "/t/modul.RTF"},
        {"/t/modul.Rtf", "/t/modul.Rtf"},
        {"/t/a.b.doc", "/t/a.b.rtf"},
        {"/t.v/modul", "/t.v/modul.rtf"},
        {"/t/modul.rtf.bak", "/t/modul.rtf.rtf"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ForceRtfExtension(QString::fromUtf8(c.chosen)), QString::fromUtf8(c.written));
}

TEST_F(MemoEditorTest, TheEditorLiesOverTheFieldWithItsToolBarAbove) {
    TF_DbRtf editor(host.get(), *richEdit, {});
    const QPoint origin = richEdit->mapToGlobal(QPoint(0, 0));
    const int bar = editor.toolBar().sizeHint().height();
    EXPECT_EQ(editor.geometry(), QRect(origin.x(), origin.y() - bar + 1, richEdit->width() - 3,
                                       richEdit->height() + bar - 6));
    EXPECT_TRUE(editor.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Texteditor"));
    const QStringList hints = [&] {
        QStringList h;
        for (QAction* a : editor.toolBar().actions())
            if (!a->isSeparator())
                h << a->toolTip();
        return h;
    }();
    EXPECT_EQ(hints, QStringList({"Bearbeitung beenden", "Editierfenster groß/klein",
                                  "Datei/Block laden", "Datei/Block speichern", "Text drucken",
                                  "Schrift auswählen", "Fett", "Kursiv", "Unterstrichen",
                                  "linksbündig", "zentriert", "rechtsbündig", "Auswahl löschen",
                                  "Auswahl kopieren", "Zwischenablage einfügen", "Widerrufen"}));

    editor.show();
    editor.btnSizeClick();
    EXPECT_TRUE(editor.isLarge());
    EXPECT_TRUE(editor.isVisible());
    EXPECT_FALSE(editor.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(editor.size(), host->frameGeometry().size());
    editor.btnSizeClick();
    EXPECT_FALSE(editor.isLarge());
    EXPECT_TRUE(editor.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(editor.size(), QSize(richEdit->width() - 3, richEdit->height() + bar - 6));
}

TEST_F(MemoEditorTest, AnEmptyMemoStartsInThePrintFontAndTheRecordIsBeingEdited) {
    TF_DbRtf editor(host.get(), *richEdit, {});
    EXPECT_EQ(editor.editor().currentFont().family(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(editor.editor().currentFont().pointSize(), 13);
    EXPECT_EQ(editor.editor().document()->defaultFont().pointSize(), 13);
    EXPECT_TRUE(positions->isEditing());
    EXPECT_FALSE(editor.editor().document()->isModified());
    const auto tabs = editor.editor().document()->begin().blockFormat().tabPositions();
    ASSERT_EQ(tabs.size(), 2);
    EXPECT_EQ(tabs[1].position, 120);
}

TEST_F(MemoEditorTest, ATextModuleIsSavedFromTheSelectionOrTheWholeText) {
    TF_DbRtf editor(host.get(), *richEdit, {});
    type(editor.editor(), QStringLiteral("Sehr geehrte Damen und Herren"));
    select(editor.editor(), 5, 12);
    answers = {root(QStringLiteral("Textbst/anrede.txt"))};
    editor.Textbausteinspeichern1Click();
    EXPECT_EQ(asked, QStringList({QStringLiteral("save ") + TextbstDir}));
    EXPECT_EQ(fileText(root(QStringLiteral("Textbst/anrede.rtf"))), QStringLiteral("geehrte"));
    EXPECT_FALSE(QFile::exists(root(QStringLiteral("Textbst/anrede.txt"))));

    // Nothing selected: the whole text, and the caret stays where it was.
    QTextCursor caret = editor.editor().textCursor();
    caret.setPosition(3);
    editor.editor().setTextCursor(caret);
    answers = {root(QStringLiteral("Textbst/ganz"))};
    editor.Textbausteinspeichern1Click();
    EXPECT_EQ(fileText(root(QStringLiteral("Textbst/ganz.rtf"))),
              QStringLiteral("Sehr geehrte Damen und Herren"));
    EXPECT_FALSE(editor.editor().textCursor().hasSelection());
    EXPECT_EQ(editor.editor().textCursor().position(), 3);

    // A cancelled dialog writes nothing.
    editor.Textbausteinspeichern1Click();
    EXPECT_EQ(QDir(TextbstDir).entryList(QDir::Files).size(), 2);
}

TEST_F(MemoEditorTest, AnExistingRtfFileIsNotReplacedUnasked) {
    writeBytes(root(QStringLiteral("Textbst/gruss.rtf")), "{\\rtf1 alt\\par}");
    TF_DbRtf editor(host.get(), *richEdit, {});
    type(editor.editor(), QStringLiteral("neu"));
    presenter.answers = {false};
    answers = {root(QStringLiteral("Textbst/gruss.txt"))};
    editor.Textbausteinspeichern1Click();
    EXPECT_EQ(readBytes(root(QStringLiteral("Textbst/gruss.rtf"))),
              QByteArray("{\\rtf1 alt\\par}"));
    ASSERT_EQ(presenter.boxes.size(), 1);
    EXPECT_TRUE(presenter.boxes[0].text.contains(QStringLiteral("bereits vorhanden")));
}

TEST_F(MemoEditorTest, ATextModuleIsInsertedAtTheCaret) {
    writeBytes(root(QStringLiteral("Textbst/modul.rtf")),
               "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 {\\b EINSCHUB}}");
    TF_DbRtf editor(host.get(), *richEdit, {});
    type(editor.editor(), QStringLiteral("AB"));
    QTextCursor caret = editor.editor().textCursor();
    caret.setPosition(1);
    editor.editor().setTextCursor(caret);
    answers = {root(QStringLiteral("Textbst/modul.rtf"))};
    editor.Textbausteinladen1Click();
    EXPECT_EQ(asked, QStringList({QStringLiteral("open ") + TextbstDir}));
    EXPECT_EQ(editor.editor().toPlainText(), QStringLiteral("AEINSCHUBB"));
    QTextCursor inside(editor.editor().document());
    inside.setPosition(4);
    EXPECT_EQ(inside.charFormat().fontWeight(), QFont::Bold);

    // A missing module is named in a message and changes nothing.
    answers = {root(QStringLiteral("Textbst/fehlt.rtf"))};
    editor.Textbausteinladen1Click();
    EXPECT_EQ(editor.editor().toPlainText(), QStringLiteral("AEINSCHUBB"));
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error),
              QStringList({QStringLiteral("Datei %1\rist nicht vorhanden!")
                               .arg(root(QStringLiteral("Textbst/fehlt.rtf")))}));
}

TEST_F(MemoEditorTest, BerechnenPricesTheMarkersIntoTheMoneyField) {
    TF_DbRtf editor(host.get(), *richEdit, QStringLiteral("Preis"));
    editor.PopupCalcPopup();
    QAction* berechnen = editor.popupMenu().findChild<QAction*>(QStringLiteral("Berechnen1"));
    ASSERT_NE(berechnen, nullptr);
    EXPECT_TRUE(berechnen->isVisible());
    type(editor.editor(),
         QStringLiteral("Unterhalt @ 3 Std. zu @ 25,50 EUR\nFenster @2 Stück à @4,25\nRest @ 7"));
    select(editor.editor(), 4, 9);
    editor.Berechnen1Click();
    EXPECT_DOUBLE_EQ(positions->field(QStringLiteral("Preis")).asFloat(), 85.0);
    // The changed text was posted first; the caret and selection stay.
    EXPECT_TRUE(storedText().startsWith(QStringLiteral("Unterhalt @ 3")));
    EXPECT_EQ(editor.editor().textCursor().selectionStart(), 4);
    EXPECT_EQ(editor.editor().textCursor().selectionEnd(), 9);
    EXPECT_TRUE(positions->isEditing());

    // Without a complete pair the field keeps its value.
    editor.editor().clear();
    type(editor.editor(), QStringLiteral("nur @ 4"));
    editor.Berechnen1Click();
    EXPECT_DOUBLE_EQ(positions->field(QStringLiteral("Preis")).asFloat(), 85.0);
}

TEST_F(MemoEditorTest, BerechnenIsOfferedOnlyWithAMoneyField) {
    TF_DbRtf editor(host.get(), *richEdit, {});
    editor.PopupCalcPopup();
    QStringList items;
    for (QAction* a : editor.popupMenu().actions())
        if (a->isVisible())
            items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items,
              QStringList({"Textbaustein laden", "Textbaustein speichern", "-", "Abbrechen"}));
    type(editor.editor(), QStringLiteral("@ 2 @ 3"));
    editor.Berechnen1Click();
    EXPECT_DOUBLE_EQ(positions->field(QStringLiteral("Preis")).asFloat(), 9.99);
}

TEST_F(MemoEditorTest, TheTextIsPostedWhenTheEditingEndsHoweverItEnds) {
    const std::function<void(TRtfEditorBase&)> endings[] = {
        [](TRtfEditorBase& e) { e.action(QStringLiteral("btnClose"))->trigger(); },
        [](TRtfEditorBase& e) { e.close(); },
    };
    int round = 0;
    for (const auto& end : endings) {
        const QString text = QStringLiteral("Fassung %1").arg(++round);
        WhenModalShown([&](QWidget* modal) {
            auto* editor = qobject_cast<TF_DbRtf*>(modal);
            ASSERT_NE(editor, nullptr);
            editor->editor().selectAll();
            type(editor->editor(), text);
            end(*editor);
        });
        ShowRtfEditor(host.get(), *richEdit);
        EXPECT_FALSE(positions->isEditing()) << round;
        EXPECT_EQ(storedText(), text);
        EXPECT_EQ(richEdit->toPlainText(), text);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST_F(MemoEditorTest, FocusOnAnotherControlOfTheEditorEndsTheEditing) {
    bool endedByFocus = false;
    WhenModalShown([&](QWidget* modal) {
        auto* editor = static_cast<TF_DbRtf*>(modal);
        editor->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
        editor->editor().setFocus();
        type(editor->editor(), QStringLiteral("Fokus"));
        // A menu of the editor takes the focus without ending anything.
        QMenu other;
        other.addAction(QStringLiteral("x"));
        other.popup(QPoint(0, 0));
        other.close();
        QWidget* button = editor->toolBar().widgetForAction(editor->action("btnSize"));
        button->setFocusPolicy(Qt::StrongFocus);
        EXPECT_TRUE(editor->isVisible());
        button->setFocus();
        endedByFocus = !editor->isVisible();
        if (!endedByFocus)
            editor->close();
    });
    ShowRtfEditor(host.get(), *richEdit);
    EXPECT_TRUE(endedByFocus);
    EXPECT_EQ(storedText(), QStringLiteral("Fokus"));
}

} // namespace
