#include "core/files/aesfile.h"
#include "core/gui/datasafetymenu.h"
#include "core/values/datetext.h"
#include "datasafety/ftppeer.h"
#include "datasafety/ftpsettings.h"
#include "datasafety/gui/tf_ftp.h"
#include "datasafetyguifixture.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

using backupguitest::DataSafetyGuiTest;
using ftptest::FtpPeer;
using Kind = MessagePresenter::Kind;
using namespace Qt::StringLiterals;

namespace {

const QString kKey = u"Tresor-Schlüssel"_s;

// The vault windows against a local FTP server, reached from the menu.
class VaultWindowTest : public DataSafetyGuiTest {
protected:
    void SetUp() override {
        DataSafetyGuiTest::SetUp();
        REQUIRE_FTP_PEER();
        InstallVaultWindows();
        m_saved = FtpSettings;
        peer = std::make_unique<FtpPeer>();
        ASSERT_TRUE(peer->ready()) << peer->errors().toStdString();
        FtpSettings = FtpSettingsRecord{};
        FtpSettings.ftpHost = peer->host();
        FtpSettings.ftpUser = peer->user;
        FtpSettings.ftpPassword = peer->password;
        FtpSettings.ftpDirectory = u"tresor"_s;
        FtpSettings.cipherKey = kKey;
        FtpSettings.maxMB = 50;
        ASSERT_TRUE(SaveFtpSettings());
        ASSERT_TRUE(IsFtpConfigured());
        FillDatensicherungMenu(&menu, &main);
    }
    void TearDown() override {
        FtpSettings = m_saved;
        peer.reset();
        DataSafetyGuiTest::TearDown();
    }
    void trigger(const QString& caption) {
        for (QMenu* sub : menu.findChildren<QMenu*>())
            for (QAction* action : sub->actions())
                if (action->text() == caption) {
                    ASSERT_TRUE(action->isEnabled()) << caption.toStdString();
                    action->trigger();
                    return;
                }
        FAIL() << "no entry " << caption.toStdString();
    }
    QStringList vault() const {
        return QDir(peer->path(u"tresor"_s)).entryList(QDir::Files, QDir::Name);
    }
    // The vault window of the next run, once its list is there or its run
    // is over. Polled, not waited for: the window's transfers run event
    // loops of their own, which a waiting test would hold up.
    void whenVaultWindow(std::function<void(TF_Ftp&)> act) {
        auto* timer = new QTimer;
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
            auto* form = dynamic_cast<TF_Ftp*>(QApplication::activeModalWidget());
            if (!form || form->running() ||
                !(form->waitingForMarks() || form->startButton()->text() == u"Schließen"))
                return;
            timer->stop();
            timer->deleteLater();
            act(*form);
        });
        timer->start();
    }
    static void finishAndClose(TF_Ftp& form) {
        ASSERT_TRUE(waitFor([&form] { return form.startButton()->text() == u"Schließen"; }));
        QTest::mouseClick(form.startButton(), Qt::LeftButton);
    }
    std::unique_ptr<FtpPeer> peer;
    QMenu menu;

private:
    FtpSettingsRecord m_saved;
};

} // namespace

TEST_F(VaultWindowTest, SendingTheDatabasesSendsBothArchives) {
    startWith({true});
    QString protocol;
    whenVaultWindow([&](TF_Ftp& form) {
        EXPECT_EQ(form.windowTitle(), u"Ftp-Transfer");
        EXPECT_EQ(form.pos(), main.frameGeometry().topLeft() + QPoint(100, 100));
        EXPECT_FALSE(form.deleteBox()->isVisible());
        EXPECT_TRUE(form.printButton()->isEnabled());
        EXPECT_FALSE(form.abortButton()->isEnabled());
        EXPECT_EQ(form.grid()->rowCount(), 2);
        EXPECT_EQ(form.grid()->item(0, 2)->text(), u"OK");
        EXPECT_EQ(form.grid()->item(1, 2)->text(), u"OK");
        protocol = form.protocolArea()->toPlainText();
        finishAndClose(form);
    });
    trigger(u"Datenbanken versenden"_s);
    EXPECT_EQ(GetBackupResult(), 0);
    const QString stem = u"FB"_s + TodayStr() + u"v000"_s;
    EXPECT_EQ(vault(), (QStringList{stem + u".CCA"_s, stem + u".CCB"_s}));
    EXPECT_TRUE(protocol.contains(stem + u".CCB (OK)"_s)) << protocol.toStdString();
    EXPECT_TRUE(protocol.contains(u"Upload beendet: "_s));
    EXPECT_EQ(presenter.texts(Kind::Info), QStringList{u"Datentransfer beendet"_s});
    EXPECT_EQ(window.lastArgs.mode, VaultBackup);
}

// The fetched archives stay in the backup path when they are not to be
// activated at once; answered Yes, the first one fetched is restored.
TEST_F(VaultWindowTest, ReceivingTheDatabasesRestoresTheFirstOneOnlyWhenAsked) {
    addCustomer(1);
    backupBoth(u"Tresor-Test"_s);
    for (const QString& name : archivesIn(BackupDir)) {
        QDir().mkpath(peer->path(u"tresor"_s));
        ASSERT_TRUE(EncryptFileAes(BackupDir + name, peer->path(u"tresor/"_s + name), kKey));
        QFile::remove(BackupDir + name);
    }
    addCustomer(2);
    const auto fetchBoth = [this] {
        whenVaultWindow([](TF_Ftp& form) {
            ASSERT_TRUE(form.waitingForMarks());
            EXPECT_TRUE(form.deleteBox()->isVisible());
            ASSERT_EQ(form.grid()->rowCount(), 2);
            for (int row = 0; row < 2; ++row)
                QTest::mouseClick(form.grid()->viewport(), Qt::LeftButton, {},
                                  form.grid()->visualItemRect(form.grid()->item(row, 2)).center());
            EXPECT_EQ(form.grid()->item(0, 2)->text(), u"Ja");
            QTest::mouseClick(form.startButton(), Qt::LeftButton);
            finishAndClose(form);
        });
    };
    fetchBoth();
    presenter.answers = {false};
    trigger(u"Datenbanken empfangen"_s);
    EXPECT_EQ(archivesIn(BackupDir).size(), 2);
    EXPECT_EQ(window.opened, 1); // the backup only
    EXPECT_EQ(customers(), 2);
    EXPECT_EQ(vault().size(), 2);

    presenter.boxes.clear();
    fetchBoth();
    presenter.answers = {true, true}; // activate at once, with the archive database
    trigger(u"Datenbanken empfangen"_s);
    EXPECT_EQ(presenter.texts(Kind::Question), (QStringList{u"Sicherungsdaten sofort aktivieren?"_s,
                                                            u"Ablagedaten wiederherstellen?"_s}));
    EXPECT_EQ(window.lastArgs.mode, VaultRestore);
    EXPECT_EQ(GetBackupResult(), 0) << presenter.texts(Kind::Error).join(u'|').toStdString();
    EXPECT_EQ(customers(), 1);
}

TEST_F(VaultWindowTest, TheCleanUpDeletesOnlyTheMarkedArchives) {
    backupBoth(u"Tresor-Test"_s);
    QFile layout(QrfdDir + u"ORM10000.QFD"_s);
    ASSERT_TRUE(layout.open(QIODevice::WriteOnly));
    layout.write("Layout");
    layout.close();
    startWith({});
    BackupFormularLayouts();
    for (const QString& name : archivesIn(BackupDir)) {
        QDir().mkpath(peer->path(u"tresor"_s));
        ASSERT_TRUE(EncryptFileAes(BackupDir + name, peer->path(u"tresor/"_s + name), kKey));
    }
    ASSERT_EQ(vault().size(), 3);
    const QString stem = u"FB"_s + TodayStr() + u"v000"_s;
    QString printed;
    whenVaultWindow([&](TF_Ftp& form) {
        ASSERT_TRUE(form.waitingForMarks());
        ASSERT_EQ(form.grid()->rowCount(), 3);
        int marked = -1;
        for (int row = 0; row < 3; ++row)
            if (form.grid()->item(row, 0)->text() == stem + u".CCL")
                marked = row;
        ASSERT_GE(marked, 0);
        form.transfer().toggleChoice(marked);
        presenter.boxes.clear();
        presenter.answers = {true};
        QTest::mouseClick(form.startButton(), Qt::LeftButton);
        EXPECT_EQ(presenter.texts(Kind::Question),
                  QStringList{u"Sollen die markierten Sicherungen im Tresor gelöscht werden?"_s});
        EXPECT_EQ(form.grid()->item(marked, 2)->text(), u"OK");
        // "Drucken" prints the protocol.
        printed = path(u"protokoll.pdf"_s);
        TF_Ftp::setPrinterChooser([&printed](QWidget*) {
            auto printer = std::make_unique<QPrinter>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(printed);
            return printer;
        });
        QTest::mouseClick(form.printButton(), Qt::LeftButton);
        TF_Ftp::setPrinterChooser({});
        finishAndClose(form);
    });
    trigger(u"Tresor aufräumen"_s);
    EXPECT_EQ(vault(), (QStringList{stem + u".CCA"_s, stem + u".CCB"_s}));
    EXPECT_GT(QFileInfo(printed).size(), 500);
}

// Without the delete right of the backup menu the clean-up opens nothing.
TEST_F(VaultWindowTest, TheCleanUpNeedsTheDeleteRight) {
    CurrentUser.rights.set(48, rbView | rbCreate);
    trigger(u"Tresor aufräumen"_s);
    EXPECT_EQ(presenter.boxes.size(), 1);
    EXPECT_EQ(shown<TF_Ftp>(), nullptr);
}
