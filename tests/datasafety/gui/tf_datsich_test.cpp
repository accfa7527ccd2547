#include "core/values/datetext.h"
#include "datasafety/autobackup.h"
#include "datasafetyguifixture.h"

#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

using backupguitest::DataSafetyGuiTest;
using namespace Qt::StringLiterals;

namespace {

class DatsichWindowTest : public DataSafetyGuiTest {
protected:
    void SetUp() override {
        DataSafetyGuiTest::SetUp();
        InstallBackupDialogWindow();
    }
    // Once the dialog has prepared its mode.
    static TF_Datsich* prepared() {
        auto* form = dynamic_cast<TF_Datsich*>(QApplication::activeModalWidget());
        if (form)
            waitFor([form] {
                return !form->dialog().closeCaption().isEmpty() &&
                       (form->startButton()->isEnabled() ||
                        form->dialog().closeCaption() == u"S&chließen");
            });
        return form;
    }
};

} // namespace

// The automatic backup offer of a data run opens the dialog with the run's
// comment; "&Starten" writes the archive, "S&chließen" closes.
TEST_F(DatsichWindowTest, TheAutomaticBackupOfferRunsTheDialog) {
    presenter.answers = {true, false}; // the offer, then "Ablagedaten sichern?"
    bool seen = false;
    WhenModalShown([&](QWidget*) {
        TF_Datsich* form = prepared();
        ASSERT_NE(form, nullptr);
        seen = true;
        EXPECT_EQ(form->windowTitle(), u"Datensicherung [sichern]");
        EXPECT_EQ(form->commentEdit()->text(), u"Autosicherung vor OP-Übergabe am 08.12.2026");
        EXPECT_EQ(form->commentEdit()->maxLength(), 63);
        EXPECT_EQ(form->focusWidget(), form->commentEdit());
        EXPECT_TRUE(QFontInfo(form->grid()->font()).fixedPitch());
        EXPECT_TRUE(form->archiveLabel()->text().endsWith(u"v000.CCB [Ablage in .CCA]"));
        EXPECT_FALSE(form->progressBar()->isVisible());
        // At the main window's left edge, directly below it, on the screen.
        EXPECT_EQ(form->frameGeometry().left(), main.frameGeometry().left());
        EXPECT_EQ(form->frameGeometry().top(), main.frameGeometry().bottom() + 1);
        EXPECT_GE(form->width(), 700);
        EXPECT_GE(form->height(), 450);
        EXPECT_TRUE(form->screen()->availableGeometry().contains(form->frameGeometry()));
        QTest::mouseClick(form->startButton(), Qt::LeftButton);
        EXPECT_EQ(form->closeButton()->text(), u"S&chließen");
        EXPECT_FALSE(form->startButton()->isEnabled());
        EXPECT_EQ(form->grid()->item(form->grid()->rowCount() - 1, 0)->text(),
                  u"Es wurden 1 Dateien gesichert,");
        QTest::mouseClick(form->closeButton(), Qt::LeftButton);
    });
    EXPECT_EQ(OfferAutomaticBackup(AutoBackupSwitch::Ask, u"Datenübertragung"_s,
                                   u"Autosicherung vor OP-Übergabe am 08.12.2026"_s),
              AutoBackupOutcome::BackupRun);
    EXPECT_TRUE(seen);
    EXPECT_EQ(GetBackupResult(), 0);
    EXPECT_EQ(archivesIn(BackupDir), QStringList{u"FB"_s + TodayStr() + u"v000.CCB"_s});
}

TEST_F(DatsichWindowTest, EscapeClosesWithoutARun) {
    WhenModalShown([](QWidget*) {
        TF_Datsich* form = prepared();
        ASSERT_NE(form, nullptr);
        QTest::keyClick(form->commentEdit(), Qt::Key_Escape);
    });
    BackupFormularLayouts();
    EXPECT_EQ(GetBackupResult(), 1);
    EXPECT_TRUE(archivesIn(BackupDir).isEmpty());
}

// In the transport import the grid is worked with the keys as in the
// restore: Up and Down choose, Enter goes on to "&Starten".
TEST_F(DatsichWindowTest, TheImportListIsChosenWithTheKeys) {
    for (int i = 0; i < 3; ++i) {
        QFile file(QrfdDir + u"ORM%1.QFD"_s.arg(i));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Layout");
        file.close();
        window.scripts.clear();
        DataSafetyWindowsRegistry().backupDialog = [](const BackupDialogArgs& args) {
            BackupDialogArgs a = args;
            backuptest::ScriptedDialogWindow view;
            BackupDialog d(a, view);
            d.open();
            d.start();
        };
        BackupFormularLayoutsToDrive();
    }
    InstallBackupDialogWindow();
    ASSERT_EQ(archivesIn(TransportDir).size(), 3);
    presenter.answers = {false};
    QString chosen;
    WhenModalShown([&](QWidget*) {
        TF_Datsich* form = prepared();
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->windowTitle(), u"Datensicherung [importieren]");
        EXPECT_EQ(form->focusWidget(), form->grid());
        QTest::keyClick(form->grid(), Qt::Key_Down);
        QTest::keyClick(form->grid(), Qt::Key_Down);
        QTest::keyClick(form->grid(), Qt::Key_Down); // not past the last
        QTest::keyClick(form->grid(), Qt::Key_Up);
        QTest::keyClick(form->grid(), Qt::Key_X); // taken, does nothing
        EXPECT_EQ(form->grid()->currentRow(), 1);
        chosen = form->grid()->item(1, 0)->text();
        QTest::keyClick(form->grid(), Qt::Key_Return);
        EXPECT_EQ(form->focusWidget(), form->startButton());
        QTest::keyClick(form->startButton(), Qt::Key_Space);
        EXPECT_EQ(form->closeButton()->text(), u"S&chließen");
        QTest::mouseClick(form->closeButton(), Qt::LeftButton);
    });
    RestoreFormularLayoutsFromDrive();
    EXPECT_EQ(GetBackupResult(), 0);
    EXPECT_TRUE(chosen.endsWith(u"v001.CCL")) << chosen.toStdString();
}
