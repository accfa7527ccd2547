#include "core/files/programdirs.h"
#include "core/gui/datasafetymenu.h"
#include "core/settings/programsettings.h"
#include "datasafety/gui/tf_defftp.h"
#include "datasafetyguifixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

using backupguitest::DataSafetyGuiTest;
using Kind = MessagePresenter::Kind;
using namespace Qt::StringLiterals;

namespace {

class FtpFormTest : public DataSafetyGuiTest {
protected:
    void SetUp() override {
        DataSafetyGuiTest::SetUp();
        m_saved = FtpSettings;
    }
    void TearDown() override {
        FtpSettings = m_saved;
        DataSafetyGuiTest::TearDown();
    }
    static void type(TF_DefFtp& form, const QString& field, const QString& text) {
        QLineEdit* edit = form.field(field);
        edit->setFocus();
        edit->selectAll();
        // Typed as keys where QTest has them; umlauts are inserted.
        if (text.toLatin1() == text.toUtf8())
            QTest::keyClicks(edit, text);
        else
            edit->insert(text);
    }
    QString settingsFile() const { return ProgramDir + FtpSettingsFileName(MandantNr); }

private:
    FtpSettingsRecord m_saved;
};

} // namespace

TEST_F(FtpFormTest, OkWritesTheRecordOfTheFields) {
    TF_DefFtp form;
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(form.focusWidget(), form.okButton());
    EXPECT_EQ(form.field(u"edDirectory"_s)->text(), u"tresor");
    EXPECT_EQ(form.field(u"edPassword"_s)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(form.field(u"edKey"_s)->echoMode(), QLineEdit::Password);
    type(form, u"edHost"_s, QString(90, u'h'));
    EXPECT_EQ(form.helpArea()->toPlainText(),
              u"Geben Sie hier die Bezeichnung des FTP-Servers ein.\n"
              u"Diese Bezeichnung entspricht normalerweise dem Namen\n"
              u"Ihrer Internet-Präsenz."_s);
    type(form, u"edUser"_s, u"hausmeister"_s);
    type(form, u"edPassword"_s, u"Geheim"_s);
    type(form, u"edKey"_s, u"Schlüssel"_s);
    type(form, u"edSpace"_s, u"12a34"_s);
    EXPECT_EQ(form.field(u"edSpace"_s)->text(), u"123");
    EXPECT_EQ(form.helpArea()->toPlainText().count(u'\n'), 8);
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    ASSERT_EQ(QFileInfo(settingsFile()).size(), 292);
    EXPECT_TRUE(IsFtpConfigured());
    EXPECT_TRUE(LoadFtpSettings());
    EXPECT_EQ(FtpSettings.ftpHost, QString(80, u'h'));
    EXPECT_EQ(FtpSettings.cipherKey, u"Schlüssel");
    EXPECT_EQ(FtpSettings.maxMB, 123);
}

// "Abbruch" puts back the record loaded at opening, also for the fields
// already left: no discarded edit reaches a later transfer.
TEST_F(FtpFormTest, CancelKeepsTheRecordLoadedAtOpening) {
    {
        TF_DefFtp form;
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        type(form, u"edHost"_s, u"ftp.example.org"_s);
        type(form, u"edUser"_s, u"u"_s);
        EXPECT_EQ(FtpSettings.ftpHost, u"ftp.example.org");
        QTest::keyClick(form.field(u"edUser"_s), Qt::Key_Escape);
        EXPECT_FALSE(form.isVisible());
    }
    EXPECT_TRUE(FtpSettings.ftpHost.isEmpty());
    EXPECT_EQ(FtpSettings.ftpDirectory, u"tresor");
    LoadFtpSettings();
    EXPECT_TRUE(FtpSettings.ftpHost.isEmpty());
}

// With an empty key the vault counts as not set up: "Datenbanken
// versenden" says so and opens nothing.
TEST_F(FtpFormTest, WithAnEmptyKeyTheVaultEntriesShowTheError) {
    DataSafetyWindowsRegistry().ftpUpload = [](const QString&) { return true; };
    DataSafetyWindowsRegistry().ftpDownload = [](const QString&, const QString&, QString&) {
        return false;
    };
    DataSafetyWindowsRegistry().ftpCleanUp = [] {};
    {
        TF_DefFtp form;
        form.show();
        type(form, u"edHost"_s, u"ftp.example.org"_s);
        type(form, u"edUser"_s, u"u"_s);
        type(form, u"edPassword"_s, u"p"_s);
        QTest::mouseClick(form.okButton(), Qt::LeftButton);
    }
    EXPECT_FALSE(IsFtpConfigured());
    QMenu menu;
    FillDatensicherungMenu(&menu, &main);
    QAction* send = nullptr;
    for (QMenu* sub : menu.findChildren<QMenu*>())
        for (QAction* action : sub->actions())
            if (action->text() == u"Datenbanken versenden")
                send = action;
    ASSERT_NE(send, nullptr);
    ASSERT_TRUE(send->isEnabled());
    send->trigger();
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{u"Sie müssen zuerst Ihren Ftp-Zugang einrichten!"_s});
    EXPECT_EQ(window.opened, 0);
}
