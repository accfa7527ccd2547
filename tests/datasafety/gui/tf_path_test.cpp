#include "core/files/programdirs.h"
#include "datasafety/backuppaths.h"
#include "datasafety/gui/tf_path.h"
#include "datasafetyguifixture.h"

#include <QFileSystemModel>
#include <QLineEdit>
#include <QTreeView>

using backupguitest::DataSafetyGuiTest;
using Kind = MessagePresenter::Kind;
using namespace Qt::StringLiterals;

namespace {

class PathFormTest : public DataSafetyGuiTest {
protected:
    void SetUp() override {
        DataSafetyGuiTest::SetUp();
        m_savedPfade = PfadeFileName;
        PfadeFileName = ProgramDir + u"Pfade.001"_s;
    }
    void TearDown() override {
        PfadeFileName = m_savedPfade;
        DataSafetyGuiTest::TearDown();
    }
    QByteArray pathsFile() const {
        QFile file(PfadeFileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void show(QWidget& form) {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    static void retype(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

private:
    QString m_savedPfade;
};

} // namespace

TEST_F(PathFormTest, EscapeAfterAnEditAsksAndNoChangesNothing) {
    const QString backup = BackupDir;
    TF_Path form;
    show(form);
    EXPECT_EQ(form.backupEdit()->text(), backup);
    EXPECT_EQ(form.target(), form.backupEdit());
    retype(form.transportEdit(), path(u"Stick"_s));
    EXPECT_EQ(form.target(), form.transportEdit());
    presenter.answers = {false};
    QTest::keyClick(form.transportEdit(), Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{u"Möchten Sie die Änderungen speichern?"_s});
    EXPECT_EQ(BackupDir, backup);
    EXPECT_TRUE(pathsFile().isEmpty());
}

TEST_F(PathFormTest, EscapeWithoutAnEditAsksNothing) {
    TF_Path form;
    show(form);
    QTest::keyClick(form.backupEdit(), Qt::Key_Escape);
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_EQ(pathsFile(), (TransportDir + u"\r\n"_s + BackupDir + u"\r\n"_s).toLatin1());
}

// A new directory is made after its question; the paths are kept as typed,
// with a separator at the end, and F10 is "&OK".
TEST_F(PathFormTest, ANewDirectoryIsCreatedAfterTheQuestion) {
    const QString wanted = path(u"Neue/Sicherung"_s);
    TF_Path form;
    show(form);
    retype(form.backupEdit(), wanted);
    presenter.answers = {true};
    QTest::keyClick(form.backupEdit(), Qt::Key_F10);
    EXPECT_FALSE(form.isVisible());
    ASSERT_EQ(presenter.texts(Kind::Question).size(), 1);
    EXPECT_TRUE(presenter.texts(Kind::Question).first().contains(u"existiert noch nicht"));
    EXPECT_TRUE(QFileInfo(wanted).isDir());
    EXPECT_EQ(BackupDir, wanted + u'/');
    EXPECT_TRUE(pathsFile().endsWith((u"\r\n"_s + wanted + u"/\r\n"_s).toUtf8()));
}

TEST_F(PathFormTest, TheDirectoryListFillsTheEditLastEntered) {
    const QString chosen = dir(u"Gewählt"_s);
    TF_Path form;
    show(form);
    form.transportEdit()->setFocus();
    QApplication::processEvents();
    form.directoryList()->setCurrentIndex(
        static_cast<QFileSystemModel*>(form.directoryList()->model())
            ->index(QDir::cleanPath(chosen)));
    EXPECT_EQ(form.transportEdit()->text(), chosen);
    EXPECT_EQ(form.backupEdit()->text(), BackupDir);
    // Entering the list moves it to the target's path.
    form.directoryList()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(form.listedDirectory(), QDir::cleanPath(chosen));
}
