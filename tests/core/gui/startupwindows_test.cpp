#include "core/connectedsessions.h"
#include "core/files/programdirs.h"
#include "core/gui/aboutbox.h"
#include "core/gui/messagelistwindow.h"
#include "core/gui/splashform.h"
#include "core/settings/programsettings.h"
#include "platform/errors.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(SplashForm, ShowsVersionAndStatusAndIgnoresCallsAfterItIsFreed) {
    VersionText = u"v2.40[7]"_s;
    NoSplash = true;
    CreateSplash();
    ASSERT_NE(SplashForm, nullptr);
    EXPECT_FALSE(SplashForm->isVisible()); // created, but not shown with "Nosplash"
    EXPECT_FALSE(SplashForm->isEnabled());
    EXPECT_EQ(SplashForm->Label3->text(), u"Domvera  v2.40[7]");
    EXPECT_EQ(SplashForm->Label2->text(), u"Statusmeldungen:");

    SetSplashStatus(u"LumoMain"_s);
    EXPECT_EQ(SplashForm->Label2->text(), u"Initialisierung: LumoMain");
    SplashForm->showMandantPanel(u"Installation Mandant 2"_s);
    EXPECT_FALSE(SplashForm->PanelMandant->isHidden());
    EXPECT_EQ(SplashForm->Label4->text(), u"Installation Mandant 2");

    SplashForm->showBackgroundOnly();
    EXPECT_TRUE(SplashForm->Label3->isHidden());
    EXPECT_TRUE(SplashForm->Image1->isHidden());
    EXPECT_FALSE(SplashForm->Image2->isHidden());

    FreeSplash();
    EXPECT_EQ(SplashForm, nullptr);
    SetSplashStatus(u"TF_Kunden"_s); // must not touch the freed window
    ShowSplash(true, 800);
    NoSplash = false;
}

TEST(SplashForm, ShownUnlessNosplash) {
    NoSplash = false;
    CreateSplash();
    ASSERT_NE(SplashForm, nullptr);
    EXPECT_TRUE(SplashForm->isVisible());
    EXPECT_EQ(SplashForm->pos(), QPoint(0, 0));
    ShowSplash(false, 640);
    EXPECT_FALSE(SplashForm->isVisible());
    EXPECT_EQ(SplashForm->width(), 640);
    FreeSplash();
}

class MessageListTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = SetMessageListSink(&sink);
        MessageListEnabled = true;
    }
    void TearDown() override {
        CloseMessageList();
        MessageListEnabled = false;
        SetMessageListSink(m_previous);
    }
    QStringList lines() const {
        QStringList result;
        for (int i = 0; i < sink.window()->Liste->count(); ++i)
            result << sink.window()->Liste->item(i)->text();
        return result;
    }
    MessageListWindowSink sink;

private:
    MessageListSink* m_previous = nullptr;
};

TEST_F(MessageListTest, SwitchedOffItCreatesAndShowsNothing) {
    MessageListEnabled = false;
    OpenMessageList(u"Reorganisation"_s, u"Start"_s, 10, 20);
    AddMessageLine(u"Kunden.DB"_s);
    EXPECT_FALSE(sink.isOpen());
    MessageListEnabled = true;
    AddMessageLine(u"ohne Fenster"_s); // not open: nothing but the event processing
    EXPECT_FALSE(sink.isOpen());
}

TEST_F(MessageListTest, LinesAreAppendedAndTheLastIsSelected) {
    OpenMessageList(u"Tabellen anlegen"_s, u"Start"_s, 30, 40);
    ASSERT_TRUE(sink.isOpen());
    EXPECT_EQ(sink.window()->windowTitle(), u"Tabellen anlegen");
    EXPECT_EQ(sink.window()->pos(), QPoint(30, 40));
    AddMessageLine(u"Kunden.DB"_s);
    AddMessageLine(u"Objekte.DB"_s);
    SetMessageListStatus(u"2 von 80"_s);
    EXPECT_EQ(lines(), QStringList({u"Start"_s, u"Kunden.DB"_s, u"Objekte.DB"_s}));
    EXPECT_EQ(sink.window()->Liste->currentRow(), 2);
    EXPECT_EQ(sink.window()->Panel2->text(), u"2 von 80");

    // A second opening changes neither caption nor lines.
    OpenMessageList(u"Anders"_s, u"Neu"_s, 0, 0);
    EXPECT_EQ(sink.window()->windowTitle(), u"Tabellen anlegen");
    EXPECT_EQ(lines().size(), 3);
}

TEST_F(MessageListTest, NextOpeningHasTheDesignedSizeAgain) {
    OpenMessageList(u"A"_s, u"1"_s, 0, 0);
    SetMessageListHeight(600);
    SetMessageListWidth(700);
    EXPECT_EQ(sink.window()->size(), QSize(700, 600));
    CloseMessageList();
    EXPECT_FALSE(sink.isOpen());
    OpenMessageList(u"B"_s, u"2"_s, 0, 0);
    EXPECT_EQ(sink.window()->size(), QSize(TF_Mess::DesignedWidth, TF_Mess::DesignedHeight));
    EXPECT_EQ(lines(), QStringList({u"2"_s}));
}

struct FakeSessions : ConnectedSessionsSource {
    QList<ConnectedSession> sessions;
    bool fail = false;
    QList<ConnectedSession> connectedSessions() const override {
        if (fail)
            throw DbError(u"Liste nicht lesbar"_s);
        return sessions;
    }
};

TEST(AboutBox, ShowsVersionsDirectoryAndConnectedUsers) {
    FakeSessions sessions;
    sessions.sessions = {{u"Maria"_s, 1}, {u"Ein sehr langer Benutzername"_s, 12}};
    ConnectedSessionsSource* previous = SetConnectedSessionsSource(&sessions);
    VersionText = u"v2.40[7]"_s;
    NetDir = u"/daten/Domvera/Netdir/"_s;

    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), u"Über Domvera");
    EXPECT_EQ(box.lbVersion->text(), u"Programm-Version v2.40[7]");
    EXPECT_EQ(box.lbDbVersion->text(), u"Datenbank-Version 2.40");
    EXPECT_EQ(box.Label5->text(), u"Netfiledir: /daten/Domvera/Netdir/");
    EXPECT_TRUE(box.PhysMem->text().endsWith(u" KB"));
    EXPECT_TRUE(box.FreeRes->text().endsWith(u" %"));
    ASSERT_EQ(box.ListBox1->count(), 2);
    EXPECT_EQ(box.ListBox1->item(0)->text(), u" Maria                       1");
    EXPECT_EQ(box.ListBox1->item(1)->text(), u" Ein sehr langer            12");

    sessions.fail = true;
    EXPECT_THROW(TAboutBox failing, DbError);
    SetConnectedSessionsSource(previous);
}

} // namespace
