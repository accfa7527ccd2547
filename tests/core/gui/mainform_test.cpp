#include "core/files/programdirs.h"
#include "core/framefixture.h"
#include "core/gui/application.h"
#include "core/gui/mainform.h"
#include "core/moduleentries.h"
#include "core/rights/rights.h"
#include "core/settings/programsettings.h"
#include "platform/errors.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

TUserRec userWithRights(std::initializer_list<int> rights) {
    TUserRec rec;
    for (int nr : rights)
        rec.rights.set(nr, rbAllRights);
    return rec;
}

class MainFormTest : public frametest::ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        m_savedUser = CurrentUser;
        CurrentUser = TUserRec();
    }
    void TearDown() override {
        CurrentUser = m_savedUser;
        ProgramDirFixture::TearDown();
    }
    QPushButton* button(TF_LumoMain& window, const QString& caption) {
        for (QPushButton* b : window.toolButtons)
            if (b->text() == caption)
                return b;
        return nullptr;
    }

    ModuleDispatcher dispatcher;

private:
    TUserRec m_savedUser;
};

TEST_F(MainFormTest, ToolBarShowsEighteenButtonsInTwoRows) {
    TF_LumoMain window(dispatcher);
    const QStringList expected = {u"Artikel"_s,     u"Kunden"_s,        u"Mitarbeiter"_s,
                                  u"Touren"_s,      u"Berichte"_s,      u"Lieferscheine"_s,
                                  u"Angebote"_s,    u"Zeiterfassung"_s, u"Wareneing."_s,
                                  u"Leistungen"_s,  u"Lieferanten"_s,   u"Objekte"_s,
                                  u"Tageslisten"_s, u"Termine"_s,       u"Rechnungen"_s,
                                  u"Aufträge"_s,    u"Off. Post. AR"_s, u"Off. Post. ER"_s};
    ASSERT_EQ(window.toolButtons.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QPushButton* b = window.toolButtons.at(i);
        EXPECT_EQ(b->text(), expected.at(i));
        EXPECT_TRUE(b->font().bold());
        EXPECT_FALSE(b->icon().isNull());
        const QPushButton* first = window.toolButtons.at(i < 9 ? 0 : 9);
        EXPECT_EQ(b->y(), first->y()) << "same row";
        if (i % 9) {
            EXPECT_GT(b->x(), window.toolButtons.at(i - 1)->x()) << "left to right";
        }
    }
    EXPECT_LT(window.toolButtons.at(0)->y(), window.toolButtons.at(9)->y());
    EXPECT_TRUE(window.windowTitle().startsWith(u"Domvera  "_s + VersionText));
    EXPECT_EQ(F_LumoMain, &window);
}

TEST_F(MainFormTest, ButtonsAndItemsFollowTheDispatcherAndTheRightCheck) {
    int opened = 0;
    dispatcher.setOpener(u"ShowKundenForm"_s, [&] { ++opened; });
    TF_LumoMain window(dispatcher);

    // Modules not in this build are disabled, in the tool bar and the menu.
    EXPECT_FALSE(button(window, u"Artikel"_s)->isEnabled());
    EXPECT_FALSE(window.menuItem(u"Datenbanken"_s, u"Artikel"_s)->isEnabled());
    // The rights editors are part of this build and check no right.
    EXPECT_TRUE(window.menuItem(u"Einstellungen"_s, u"Benutzerrechte bearbeiten"_s)->isEnabled());
    EXPECT_TRUE(window.menuItem(u"Einstellungen"_s, u"Gruppenrechte bearbeiten"_s)->isEnabled());

    QPushButton* kunden = button(window, u"Kunden"_s);
    ASSERT_TRUE(kunden->isEnabled());
    kunden->click();
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(presenter.texts(Kind::Info),
              QStringList{u"Sie haben keine Berechtigung für diese Funktion."_s});

    presenter.boxes.clear();
    CurrentUser = userWithRights({2});
    window.menuItem(u"Datenbanken"_s, u"Kunden"_s)->trigger();
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(presenter.boxes.isEmpty());

    // A module's error is shown, not lost.
    dispatcher.setOpener(u"ShowKundenForm"_s, [] { throw DbError(u"Kunde gesperrt"_s); });
    kunden->click();
    EXPECT_EQ(presenter.texts(Kind::Error), QStringList{u"Kunde gesperrt"_s});
}

TEST_F(MainFormTest, ClickOnTheBarOrTheClockShowsTheAddressBook) {
    TF_LumoMain window(dispatcher);
    QTest::mouseClick(window.Panel1, Qt::LeftButton, {}, QPoint(950, 50));
    int shown = 0;
    dispatcher.setOpener(u"TF_Adress"_s, [&] { ++shown; });
    QTest::mouseClick(window.Panel1, Qt::LeftButton, {}, QPoint(950, 50));
    QTest::mouseClick(window.lbUhrzeit, Qt::LeftButton);
    EXPECT_EQ(shown, 2);
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(MainFormTest, MenusAreHiddenByRightsAfterLogin) {
    struct Case {
        int right;
        const char16_t* menu;
    };
    const Case cases[] = {{33, u"Einstellungen"}, {54, u"Import/Export"},  {55, u"Mandant"},
                          {56, u"Sonstiges"},     {48, u"Datensicherung"}, {40, u"Datenablage"}};
    const QList<int> all = {33, 54, 55, 56, 48, 40};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.right);
        TUserRec user;
        for (int nr : all)
            if (nr != c.right)
                user.rights.set(nr, rbView);
        CurrentUser = user;
        TF_LumoMain window(dispatcher);
        window.ApplyMenuRights();
        for (const Case& other : cases) {
            QMenu* menu = window.menuNamed(QString::fromUtf16(other.menu));
            ASSERT_NE(menu, nullptr);
            EXPECT_EQ(menu->menuAction()->isVisible(), other.right != c.right)
                << QString::fromUtf16(other.menu).toStdString();
        }
        // Menus without a right of their own stay.
        for (const QString& title : {u"Datenbanken"_s, u"Statistiken"_s, u"Hilfe"_s})
            EXPECT_TRUE(window.menuNamed(title)->menuAction()->isVisible());
        EXPECT_FALSE(window.menuNamed(u"Merkmale"_s)->menuAction()->isVisible());
    }
}

TEST_F(MainFormTest, EveryMenuEndsWithAbbrechen) {
    TF_LumoMain window(dispatcher);
    for (const QString& title :
         {u"Datenbanken"_s, u"Einstellungen"_s, u"Statistiken"_s, u"Datenablage"_s,
          u"Datensicherung"_s, u"Import/Export"_s, u"Mandant"_s, u"Sonstiges"_s, u"Hilfe"_s}) {
        const QList<QAction*> actions = window.menuNamed(title)->actions();
        ASSERT_GE(actions.size(), 2) << title.toStdString();
        EXPECT_TRUE(actions.at(actions.size() - 2)->isSeparator());
        EXPECT_EQ(actions.last()->text(), u"Abbrechen"_s);
    }
    EXPECT_TRUE(window.VerlegenmitKalender1->isChecked());
}

TEST_F(MainFormTest, ClockShowsTimeEachTickAndTheDateWhenItChanges) {
    QDateTime now(QDate(2026, 3, 31), QTime(23, 59, 58));
    TF_LumoMain window(dispatcher);
    window.Timer1->stop();
    window.setClock([&] { return now; });
    EXPECT_EQ(window.lbUhrzeit->text(), u"23:59:58"_s);
    EXPECT_EQ(window.lbDatum->text(), u"31.03.2026"_s);

    now = now.addSecs(1);
    window.Timer1Timer();
    EXPECT_EQ(window.lbUhrzeit->text(), u"23:59:59"_s);
    EXPECT_EQ(window.lbDatum->text(), u"31.03.2026"_s);

    now = now.addSecs(1);
    window.Timer1Timer();
    EXPECT_EQ(window.lbUhrzeit->text(), u"00:00:00"_s);
    EXPECT_EQ(window.lbDatum->text(), u"01.04.2026"_s);
    EXPECT_EQ(window.Timer1->interval(), 1000);
}

TEST_F(MainFormTest, KopieVermerkFollowsTheWindow) {
    EXPECT_FALSE(GetKopieVermerk());
    SetKopieVermerk(true); // no window: nothing happens
    {
        TF_LumoMain window(dispatcher);
        EXPECT_FALSE(GetKopieVermerk());
        SetKopieVermerk(true);
        EXPECT_TRUE(GetKopieVermerk());
        EXPECT_TRUE(window.RgKopieVermerk->isChecked());
    }
    EXPECT_EQ(F_LumoMain, nullptr);
    EXPECT_FALSE(GetKopieVermerk());
}

TEST_F(MainFormTest, FormulareGrundeinstellungRemovesLayoutsAndLeavesMarker) {
    writeBytes(WindowsDir + u"DomveraX304.ini"_s, "[Datev]\r\n");
    TF_LumoMain window(dispatcher);
    window.menuItem(u"Sonstiges"_s, u"Formulare Grundeinstellung"_s)->trigger();
    EXPECT_FALSE(QFileInfo::exists(WindowsDir + u"DomveraX304.ini"_s));
    EXPECT_TRUE(QFileInfo::exists(WindowsDir + u"DELDEF.DSF"_s));
    const QStringList infos = presenter.texts(MessagePresenter::Kind::Info);
    ASSERT_EQ(infos.size(), 1) << "the reset says what it did";
    EXPECT_TRUE(
        infos[0].startsWith(u"Die Formulare wurden auf die Grundeinstellung zurückgesetzt"_s));
}

TEST_F(MainFormTest, UnhandledErrorsShowTheirText) {
    const auto raise = [](auto error) {
        try {
            throw error;
        } catch (...) {
            ShowUnhandledError();
        }
    };
    const QString savedLog = LogFileName;
    LogFileName = ProgramDir + u"Syslog.txt"_s;
    raise(DbError(u"Tabelle ist gesperrt"_s));
    raise(Abort{});
    raise(std::runtime_error("disk full"));
    EXPECT_EQ(
        presenter.texts(Kind::Error),
        (QStringList{u"Tabelle ist gesperrt"_s, u"Unerwarteter Programmfehler:\rdisk full"_s}));
    // A fault of the program is kept in the log as well.
    const QString log = QString::fromLatin1(readBytes(LogFileName));
    EXPECT_TRUE(log.contains(u"Unerwarteter Programmfehler: disk full"_s)) << log.toStdString();
    EXPECT_FALSE(log.contains(u"gesperrt"_s));
    LogFileName = savedLog;
}

TEST_F(MainFormTest, Screenshot) {
    CurrentUser = userWithRights({1, 2, 33, 40, 48, 54, 55, 56});
    dispatcher.setOpener(u"ShowKundenForm"_s, [] {});
    TF_LumoMain window(dispatcher);
    window.ApplyMenuRights();
    window.show();
    const QImage image = window.grab().toImage();
    EXPECT_GE(image.width(), 960);
    image.save(u"/tmp/domvera_mainform.png"_s);
}

TEST_F(MainFormTest, EveryActivationRunsTheDataWorkAndTellsTheFirst) {
    TF_LumoMain window(dispatcher);
    window.FormActivate(); // without installed work nothing is run
    QList<bool> calls;
    TF_LumoMain other(dispatcher);
    other.setActivationWork([&calls](bool first) { calls.append(first); });
    const bool savedServiceMode = ServiceMode;
    ServiceMode = true;
    other.FormActivate();
    EXPECT_TRUE(other.Panel4->isHidden()) << "no clock in service mode";
    ServiceMode = false;
    other.FormActivate();
    other.FormActivate();
    ServiceMode = savedServiceMode;
    EXPECT_EQ(calls, (QList<bool>{true, false, false}));
}

} // namespace
