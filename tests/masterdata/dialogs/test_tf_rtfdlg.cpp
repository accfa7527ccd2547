#include "core/files/paths.h"
#include "core/gui/modaldriver.h"
#include "masterdata/dialogs/tf_rtfdlg.h"
#include "rtfeditorfixture.h"

#include <QAction>

namespace {

class FileEditorTest : public RtfEditorTest {
protected:
    void SetUp() override {
        RtfEditorTest::SetUp();
        dir = root(QStringLiteral("Briefe"));
        QDir().mkpath(dir);
        letter =
            dir + QStringLiteral("/an_meier_mit_einem_recht_langen_namen_fuer_die_anzeige.rtf");
        writeBytes(letter,
                   "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Sehr geehrter Herr Meier,\\par}");
    }
    // Runs the editor modally with `work` done on it once it shows.
    QString edit(const QString& fileName, const std::function<void(TF_Rtfdlg&)>& work) {
        WhenModalShown([work](QWidget* modal) {
            auto* editor = qobject_cast<TF_Rtfdlg*>(modal);
            ASSERT_NE(editor, nullptr);
            work(*editor);
            if (editor->isVisible())
                editor->close();
        });
        return EditRtfFile(fileName, QStringLiteral("Brief"), dir, 20, 30, 600, 400, 0, 0, 900,
                           700);
    }

    QString dir;
    QString letter;
};

TEST_F(FileEditorTest, TheFileIsLoadedUnderItsShortenedName) {
    TF_Rtfdlg editor(letter, QStringLiteral("Brief"), dir, QRect(20, 30, 600, 400),
                     QRect(0, 0, 900, 700));
    EXPECT_EQ(editor.editor().toPlainText(), QStringLiteral("Sehr geehrter Herr Meier,"));
    EXPECT_FALSE(editor.editor().document()->isModified());
    EXPECT_EQ(editor.windowTitle(),
              QStringLiteral("Brief [") + ShortenPath(letter, 60) + QLatin1Char(']'));
    EXPECT_EQ(editor.pos(), QPoint(20, 30));
    EXPECT_EQ(editor.size(), QSize(600, 400));
    EXPECT_EQ(editor.fileName(), letter);
    editor.show();
    editor.btnSizeClick();
    EXPECT_EQ(editor.pos(), QPoint(0, 0));
    EXPECT_EQ(editor.size(), QSize(900, 700));
    EXPECT_TRUE(editor.isVisible());
}

TEST_F(FileEditorTest, AMissingFileGivesAMessageAndAnEmptyEditor) {
    const QString missing = dir + QStringLiteral("/fehlt.rtf");
    TF_Rtfdlg editor(missing, QStringLiteral("Brief"), dir, QRect(20, 30, 600, 400),
                     QRect(0, 0, 900, 700));
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error),
              QStringList({QStringLiteral("Datei %1\rist nicht vorhanden!").arg(missing)}));
    EXPECT_TRUE(editor.editor().toPlainText().isEmpty());
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Brief"));
    EXPECT_EQ(edit(missing, [](TF_Rtfdlg&) {}), missing) << "the given name comes back";
}

TEST_F(FileEditorTest, UnchangedTextClosesWithoutQuestion) {
    EXPECT_EQ(edit(letter, [](TF_Rtfdlg&) {}), letter);
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_TRUE(asked.isEmpty());
}

TEST_F(FileEditorTest, ChangesAreSavedOnClosingWhenTheUserSaysYes) {
    presenter.answers = {true};
    answers = {dir + QStringLiteral("/neu.txt")};
    const QString result = edit(letter, [](TF_Rtfdlg& e) {
        QTextCursor end = e.editor().textCursor();
        end.movePosition(QTextCursor::End);
        end.insertText(QStringLiteral(" anbei"));
        // A selection does not cut the saved text down.
        select(e.editor(), 0, 4);
    });
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Question),
              QStringList({QStringLiteral("Möchten Sie die Änderungen speichern?")}));
    EXPECT_EQ(asked, QStringList({QStringLiteral("save ") + dir}));
    EXPECT_EQ(result, dir + QStringLiteral("/neu.rtf"));
    EXPECT_EQ(fileText(result), QStringLiteral("Sehr geehrter Herr Meier, anbei"));
    EXPECT_EQ(fileText(letter), QStringLiteral("Sehr geehrter Herr Meier,"));
}

TEST_F(FileEditorTest, NoOrACancelledSaveClosesAndKeepsTheFile) {
    presenter.answers = {false};
    EXPECT_EQ(edit(letter, [](TF_Rtfdlg& e) { type(e.editor(), QStringLiteral("X")); }), letter);
    presenter.answers = {true};
    EXPECT_EQ(edit(letter, [](TF_Rtfdlg& e) { type(e.editor(), QStringLiteral("X")); }), letter);
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Question).size(), 2);
    EXPECT_EQ(fileText(letter), QStringLiteral("Sehr geehrter Herr Meier,"));
}

TEST_F(FileEditorTest, WithoutANameTheLoadDialogOpensAtOnce) {
    answers = {letter};
    const QString result = edit(QString(), [](TF_Rtfdlg&) {});
    EXPECT_EQ(asked, QStringList({QStringLiteral("open ") + dir}));
    EXPECT_EQ(result, letter);
    EXPECT_TRUE(presenter.boxes.isEmpty()) << "the loaded text counts as unchanged";
}

TEST_F(FileEditorTest, ABlockSavedAsModuleLeavesTheFileBeingEdited) {
    TF_Rtfdlg editor(letter, QStringLiteral("Brief"), dir, QRect(20, 30, 600, 400),
                     QRect(0, 0, 900, 700));
    select(editor.editor(), 0, 0);
    type(editor.editor(), QStringLiteral("Neu: "));
    select(editor.editor(), 5, 9);
    answers = {dir + QStringLiteral("/block")};
    editor.Textbausteinspeichern1Click();
    EXPECT_EQ(fileText(dir + QStringLiteral("/block.rtf")), QStringLiteral("Sehr"));
    EXPECT_EQ(editor.fileName(), letter);
    EXPECT_TRUE(editor.editor().document()->isModified());

    select(editor.editor(), 0, 0);
    answers = {dir + QStringLiteral("/ganz.rtf")};
    editor.Textbausteinspeichern1Click();
    EXPECT_EQ(editor.fileName(), dir + QStringLiteral("/ganz.rtf"));
    EXPECT_FALSE(editor.editor().document()->isModified());
    EXPECT_TRUE(editor.windowTitle().endsWith(QStringLiteral("ganz.rtf]")));
}

} // namespace
