#include "core/framefixture.h"
#include "core/settings/programsettings.h"
#include "masterdata/gui/tf_defmail.h"
#include "masterdata/gui/tf_mailing.h"
#include "masterdata/mailsettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

using frametest::ProgramDirFixture;
using namespace Qt::StringLiterals;

namespace {

class MailForms : public ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        MailSettings = TMailSettings{};
        MailConfigured = false;
    }
    void TearDown() override {
        MailSettings = TMailSettings{};
        MailConfigured = false;
        ProgramDirFixture::TearDown();
    }
};

TEST_F(MailForms, SettingsDialogKeepsValuesInMemoryAndOnlyOkWrites) {
    TF_DefMail dialog;
    dialog.show();
    dialog.edHost->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(dialog.memoHelp->toPlainText().startsWith(
        u"Geben Sie hier die Bezeichnung des Mail-Servers ein."_s));
    dialog.edHost->setText(u"mail.example.de"_s);
    dialog.edPassword->setText(u"geheim"_s);
    EXPECT_EQ(dialog.edPassword->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.edPassword->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                                    dialog.edPassword),
              u'*');
    dialog.cbAuth->setFocus(); // leaving the host field
    QApplication::processEvents();
    EXPECT_EQ(MailSettings.host, u"mail.example.de");
    EXPECT_TRUE(dialog.memoHelp->toPlainText().endsWith(u"Mailserver-Provider"_s));
    dialog.reject();
    EXPECT_FALSE(QFileInfo::exists(MailSettingsFilePath()));
    // The next load discards what was not saved.
    ASSERT_TRUE(LoadMailSettings());
    EXPECT_EQ(MailSettings.host, QString());
}

TEST_F(MailForms, MailingFormShowsTheAccessAndComplainsWhenItIsIncomplete) {
    MailSettings.host = u"mail.example.de"_s;
    MailSettings.senderName = u"Büro"_s;
    MailSettings.senderAddress = u"buero@example.de"_s;
    MailSettings.password = u"geheim"_s;
    ASSERT_TRUE(SaveMailSettings());
    TF_Mailing form;
    form.ShowSettings();
    EXPECT_EQ(form.edPassword->text(), u"******");
    EXPECT_EQ(form.edHost->text(), u"mail.example.de");
    EXPECT_FALSE(form.lbAuth->isVisibleTo(&form));
    EXPECT_TRUE(presenter.texts(MessagePresenter::Kind::Error).isEmpty());

    ASSERT_TRUE(ResetMailSettings());
    form.ShowSettings();
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error),
              QStringList{u"Sie müssen zuerst Ihren Mail-Verand einrichten!"_s});
    // Sending without settings only shows the settings again.
    form.Edit3->setText(u"Betreff"_s);
    form.btnSendenClick();
    EXPECT_EQ(presenter.texts(MessagePresenter::Kind::Error).size(), 2);
    EXPECT_TRUE(form.btnSenden->isEnabled());
}

TEST_F(MailForms, NothingToSendIsRefusedBeforeAnyQuestion) {
    MailSettings.host = u"mail.example.de"_s;
    MailSettings.senderName = u"Büro"_s;
    MailSettings.senderAddress = u"buero@example.de"_s;
    MailSettings.password = u"geheim"_s;
    MailSettings.user = u"hm"_s;
    ASSERT_TRUE(SaveMailSettings());
    TF_Mailing form;
    form.ShowSettings();
    form.btnSendenClick();
    EXPECT_EQ(
        presenter.texts(MessagePresenter::Kind::Error),
        QStringList{
            u"Sie haben keine Mitteilung, keinen Betreff\rund keinen Email-Anhang angegeben!"_s});
    EXPECT_TRUE(presenter.texts(MessagePresenter::Kind::Question).isEmpty());
}

} // namespace
