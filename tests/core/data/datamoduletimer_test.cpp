#include "core/data/datamoduletimer.h"
#include "core/files/programdirs.h"
#include "core/messages/soundmessage.h"
#include "core/messages/syslog.h"
#include "core/settings/programsettings.h"
#include "platform/errors.h"
#include "recordrulesfixture.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTimer>

namespace {

// A customer posted at another workstation: seen after a refresh only.
void addCustomerElsewhere(int nr) {
    auto other = table::Database::open(DataDir);
    table::Table t(other, QStringLiteral("Kunden.DB"));
    t.open();
    t.append();
    t.field(QStringLiteral("K_ID")).setValue(nr);
    t.field(QStringLiteral("K_Nr")).setValue(nr);
    t.post();
}

using datatest::kDb;
using datatest::RecordRules;
using Kind = MessagePresenter::Kind;

const QDate kToday(2026, 12, 10); // a Thursday

class DataModuleTimer : public RecordRules {
protected:
    void SetUp() override {
        m_savedCounters = TimerCounters();
        m_savedHooks = DataModuleTimerHooksRegistry();
        TimerCounters() = {};
        DataModuleTimerHooksRegistry() = {};
        m_savedClock = SetTimerClock([this] { return now; });
        m_savedLogEnabled = LogEnabled;
        LogEnabled = true;
        RecordRules::SetUp();
    }
    void TearDown() override {
        RecordRules::TearDown();
        LogEnabled = m_savedLogEnabled;
        SetTimerClock(m_savedClock);
        DataModuleTimerHooksRegistry() = m_savedHooks;
        TimerCounters() = m_savedCounters;
    }

    void addAppointment(int id, const QVariant& date, const QVariant& alarmDate,
                        const QVariant& alarmTime, const QString& text, bool alarm = true,
                        const QVariant& done = {}) {
        addRow(QStringLiteral("TermObj.DB"), {{QStringLiteral("T_ID"), id},
                                              {QStringLiteral("T_Date"), date},
                                              {QStringLiteral("T_Alarm"), alarm},
                                              {QStringLiteral("T_AlarmDate"), alarmDate},
                                              {QStringLiteral("T_AlarmTime"), alarmTime},
                                              {QStringLiteral("T_AlarmDone"), done},
                                              {QStringLiteral("T_Kurztext"), text}});
    }
    void addDueAppointment(int id, const QString& text = QStringLiteral("Zahnarzt")) {
        addAppointment(id, kToday, {}, QTime(9, 30), text);
    }
    bool alarmDone(int id) {
        auto t = open(QStringLiteral("TermObj.DB"));
        EXPECT_TRUE(t->locate({QStringLiteral("T_ID")}, {id}));
        return t->field(QStringLiteral("T_AlarmDone")).asBooleanOr(false);
    }
    QStringList reminders() const { return presenter.texts(Kind::Info); }
    int timestamps() const { return int(logText().count(QStringLiteral("TIMESTAMP"))); }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            Timer1Timer(*dm);
    }

    QDateTime now{kToday, QTime(11, 0)};

private:
    DataModuleTimerCounters m_savedCounters;
    DataModuleTimerHooks m_savedHooks;
    TimerClock m_savedClock;
    bool m_savedLogEnabled = true;
};

TEST_F(DataModuleTimer, RunsEveryFifteenSecondsFromTheModulesCreation) {
    EXPECT_EQ(dm->Timer1().interval(), 15000);
    EXPECT_TRUE(dm->Timer1().isActive());
}

TEST_F(DataModuleTimer, TimestampIsLoggedHourlyAlsoWithTimerWorkOff) {
    addDueAppointment(1);
    dm->DisableTimerWork();
    ticks(1);
    EXPECT_EQ(timestamps(), 1);
    ticks(239);
    EXPECT_EQ(timestamps(), 1);
    ticks(1);
    EXPECT_EQ(timestamps(), 2);
    ticks(240);
    EXPECT_EQ(timestamps(), 3);
    EXPECT_TRUE(reminders().isEmpty()) << "no reminder while timer work is off";
    // The reminder counter stood still: the first tick with work on checks.
    dm->EnableTimerWork();
    ticks(1);
    EXPECT_EQ(reminders().size(), 1);
    EXPECT_EQ(timestamps(), 3);
}

TEST_F(DataModuleTimer, ReminderRunsAtTheFirstTickAndThenEveryFifth) {
    addDueAppointment(1);
    ticks(1);
    EXPECT_EQ(reminders().size(), 1);
    addDueAppointment(2);
    ticks(4);
    EXPECT_EQ(reminders().size(), 1);
    ticks(1);
    EXPECT_EQ(reminders().size(), 2);
    addDueAppointment(3);
    ticks(4);
    EXPECT_EQ(reminders().size(), 2);
    ticks(1);
    EXPECT_EQ(reminders().size(), 3);
}

TEST_F(DataModuleTimer, TwoDueAppointmentsGiveOneBox) {
    addAppointment(1, kToday, {}, QTime(9, 30), QStringLiteral("Zahnarzt"));
    addAppointment(2, kToday, {}, QTime(10, 15), QStringLiteral("Schlüssel abholen"));
    CheckTerminAlarms(*dm);
    ASSERT_EQ(reminders().size(), 1);
    const QString text = reminders().first();
    ASSERT_TRUE(text.startsWith(QStringLiteral("Termin-Erinnerung:\r"))) << text.toStdString();
    QStringList lines = text.mid(19).split(u'\r');
    EXPECT_EQ(lines.takeLast(), QString()) << "every line ends with a carriage return";
    lines.sort();
    EXPECT_EQ(lines, QStringList({QStringLiteral("Donnerstag, 10. Dezember 2026 09:30:00 Zahnarzt"),
                                  QStringLiteral("Donnerstag, 10. Dezember 2026 10:15:00 "
                                                 "Schlüssel abholen")}));
    EXPECT_TRUE(alarmDone(1));
    EXPECT_TRUE(alarmDone(2));
}

TEST_F(DataModuleTimer, DueMomentOfAnAppointment) {
    struct Case {
        const char* what;
        QVariant date, alarmDate, alarmTime;
        bool alarm;
        QVariant done;
        QDateTime now;
        const char* shown; // the reminder line; nullptr: not due
    } cases[] = {
        {"no alarm date: its own date plus the time, passed",
         kToday,
         {},
         QTime(14, 0),
         true,
         {},
         QDateTime(kToday, QTime(14, 1)),
         "Donnerstag, 10. Dezember 2026 14:00:00 T"},
        {"no alarm date, not yet",
         kToday,
         {},
         QTime(14, 0),
         true,
         {},
         QDateTime(kToday, QTime(13, 59)),
         nullptr},
        {"exactly at the moment is not later",
         kToday,
         {},
         QTime(14, 0),
         true,
         {},
         QDateTime(kToday, QTime(14, 0)),
         nullptr},
        {"zero alarm date counts as none",
         kToday,
         QDate(1899, 12, 30),
         QTime(14, 0),
         true,
         {},
         QDateTime(kToday, QTime(13, 59)),
         nullptr},
        {"alarm date the day before the appointment",
         kToday,
         kToday.addDays(-1),
         QTime(8, 0),
         true,
         {},
         QDateTime(kToday.addDays(-1), QTime(8, 1)),
         "Donnerstag, 10. Dezember 2026 08:00:00 T"},
        {"no alarm time: midnight",
         kToday,
         {},
         {},
         true,
         {},
         QDateTime(kToday, QTime(0, 1)),
         "Donnerstag, 10. Dezember 2026 00:00:00 T"},
        {"no date at all: shown with today",
         {},
         {},
         QTime(8, 0),
         true,
         {},
         QDateTime(kToday, QTime(7, 0)),
         "Donnerstag, 10. Dezember 2026 08:00:00 T"},
        {"no reminder wanted",
         kToday,
         {},
         QTime(8, 0),
         false,
         {},
         QDateTime(kToday, QTime(9, 0)),
         nullptr},
        {"reminder already given",
         kToday,
         {},
         QTime(8, 0),
         true,
         true,
         QDateTime(kToday, QTime(9, 0)),
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        table::aliases::database(kDb)->emptyTable(QStringLiteral("TermObj.DB"));
        presenter.boxes.clear();
        addAppointment(1, c.date, c.alarmDate, c.alarmTime, QStringLiteral("T"), c.alarm, c.done);
        now = c.now;
        CheckTerminAlarms(*dm);
        if (!c.shown) {
            EXPECT_TRUE(reminders().isEmpty());
            continue;
        }
        EXPECT_EQ(reminders(), QStringList(QStringLiteral("Termin-Erinnerung:\r") +
                                           QString::fromUtf8(c.shown) + u'\r'));
        EXPECT_TRUE(alarmDone(1));
    }
}

TEST_F(DataModuleTimer, RemindedOnceUntilTheAlarmTimeChanges) {
    addDueAppointment(1);
    CheckTerminAlarms(*dm);
    CheckTerminAlarms(*dm);
    EXPECT_EQ(reminders().size(), 1);

    table::Table& t = dm->TabTermObj();
    t.open();
    ASSERT_TRUE(t.locate({QStringLiteral("T_ID")}, {1}));
    t.edit();
    t.field(QStringLiteral("T_AlarmTime")).setValue(QTime(10, 45));
    EXPECT_FALSE(t.field(QStringLiteral("T_AlarmDone")).asBooleanOr(false))
        << "the appointment's change rule gives the reminder back";
    t.post();
    CheckTerminAlarms(*dm);
    ASSERT_EQ(reminders().size(), 2);
    EXPECT_TRUE(reminders().last().contains(QStringLiteral("10:45:00 Zahnarzt")));
}

TEST_F(DataModuleTimer, TheAppointmentTableKeepsItsPositionAndOpenState) {
    addAppointment(1, kToday, {}, QTime(23, 0), QStringLiteral("später"));
    addDueAppointment(2);
    addAppointment(3, kToday, {}, QTime(23, 30), QStringLiteral("noch später"));
    table::Table& t = dm->TabTermObj();
    ASSERT_FALSE(t.isOpen());
    CheckTerminAlarms(*dm);
    EXPECT_FALSE(t.isOpen());

    t.open();
    ASSERT_TRUE(t.locate({QStringLiteral("T_ID")}, {3}));
    now = QDateTime(kToday, QTime(23, 15));
    CheckTerminAlarms(*dm);
    EXPECT_EQ(reminders().size(), 2);
    EXPECT_EQ(t.field(QStringLiteral("T_ID")).asInteger(), 3);
    EXPECT_EQ(t.state(), table::TableState::Browse);
}

TEST_F(DataModuleTimer, AFailedScanRestoresTheTableAndTheNextTickRunsNormally) {
    addDueAppointment(1);
    addDueAppointment(2, QStringLiteral("Zweiter"));
    table::Table& t = dm->TabTermObj();
    {
        datatest::HeldElsewhere held(QStringLiteral("TermObj.DB"), QStringLiteral("T_ID"), 2);
        EXPECT_ANY_THROW(CheckTerminAlarms(*dm));
        EXPECT_FALSE(t.isOpen());
        EXPECT_TRUE(reminders().isEmpty());

        t.open();
        ASSERT_TRUE(t.locate({QStringLiteral("T_ID")}, {1}));
        ticks(1); // the timer's event shows the error instead of raising
        EXPECT_EQ(presenter.texts(Kind::Error).size(), 1);
        EXPECT_TRUE(t.isOpen());
        EXPECT_EQ(t.state(), table::TableState::Browse);
        EXPECT_EQ(t.field(QStringLiteral("T_ID")).asInteger(), 1);
        t.close();
    }
    ticks(5);
    ASSERT_EQ(reminders().size(), 1);
    EXPECT_TRUE(reminders().first().contains(QStringLiteral("Zweiter")));
}

TEST_F(DataModuleTimer, AnAppointmentBeingEditedIsNotPostedByTheReminder) {
    addDueAppointment(1);
    table::Table& t = dm->TabTermObj();
    t.open();
    t.first();
    t.edit();
    t.field(QStringLiteral("T_Kurztext")).setValue(QStringLiteral("halb getippt"));
    CheckTerminAlarms(*dm);
    EXPECT_TRUE(reminders().isEmpty());
    EXPECT_EQ(t.state(), table::TableState::Edit);
    EXPECT_EQ(t.field(QStringLiteral("T_Kurztext")).asString(), QStringLiteral("halb getippt"));
    t.cancel();
    EXPECT_FALSE(alarmDone(1));
}

TEST_F(DataModuleTimer, TheReminderPlaysSoundOne) {
    struct RecordingPlayer : SoundPlayer {
        bool open(const QString& fileName) override {
            opened << fileName;
            return true;
        }
        void play() override { ++played; }
        void close() override {}
        QStringList opened;
        int played = 0;
    } player;
    const QString savedDir = SoundsDir;
    const bool savedOn = SoundsOn;
    SoundsDir = path(QStringLiteral("sounds/"));
    SoundsOn = true;
    QDir().mkpath(SoundsDir);
    QFile wave(SoundsDir + QStringLiteral("notify.wav"));
    ASSERT_TRUE(wave.open(QIODevice::WriteOnly));
    wave.close();
    SoundPlayer* previous = SetSoundPlayer(&player);
    addDueAppointment(1);
    CheckTerminAlarms(*dm);
    SetSoundPlayer(previous);
    SoundsDir = savedDir;
    SoundsOn = savedOn;
    EXPECT_EQ(player.opened, QStringList(path(QStringLiteral("sounds/notify.wav"))));
    EXPECT_EQ(player.played, 1);
    EXPECT_EQ(presenter.texts(Kind::InfoQuiet).size(), 1);
}

TEST_F(DataModuleTimer, VisibleFormsTablesAreRefreshedInANetworkInstallation) {
    struct Case {
        const char* what;
        bool network, visible, editing, timerWork, refreshed;
    } cases[] = {
        {"network, visible, browsing", true, true, false, true, true},
        {"single workstation", false, true, false, true, false},
        {"form not visible", true, false, false, true, false},
        {"customer being edited", true, true, true, true, false},
        {"timer work off", true, true, false, false, false},
    };
    DataModuleTimerHooks& hooks = DataModuleTimerHooksRegistry();
    bool network = false, visible = false;
    QStringList asked;
    hooks.networkInstallation = [&] { return network; };
    hooks.formVisible = [&](const QString& tableObject) {
        asked << tableObject;
        return visible && tableObject == QStringLiteral("TabKunden");
    };
    table::Table& kunden = dm->TabKunden();
    int nextId = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        network = c.network;
        visible = c.visible;
        c.timerWork ? dm->EnableTimerWork() : dm->DisableTimerWork();
        kunden.refresh();
        kunden.first();
        const int before = kunden.recordCount();
        addCustomerElsewhere(nextId);
        ++nextId;
        ASSERT_EQ(kunden.recordCount(), before) << "a row posted elsewhere needs a refresh";
        if (c.editing) {
            kunden.edit();
            kunden.field(QStringLiteral("K_Name1")).setValue(QStringLiteral("in Arbeit"));
        }
        asked.clear();
        ticks(1);
        EXPECT_EQ(kunden.isEditing(), c.editing);
        EXPECT_EQ(kunden.recordCount(), c.refreshed ? before + 1 : before);
        if (c.editing) {
            EXPECT_EQ(kunden.field(QStringLiteral("K_Name1")).asString(),
                      QStringLiteral("in Arbeit"));
            kunden.cancel();
        }
        if (c.network && c.timerWork) {
            EXPECT_EQ(asked, QStringList({"TabFirmen", "TabKunden", "TabArtikel", "TabTaetig",
                                          "TabPersonal", "TabObjekt", "TabTour"}));
        }
    }
}

TEST_F(DataModuleTimer, ANetworkInstallationHasSeveralSessionsConnected) {
    DataModuleTimerHooksRegistry().formVisible = [](const QString& tableObject) {
        return tableObject == QStringLiteral("TabKunden");
    };
    table::Table& kunden = dm->TabKunden();
    kunden.refresh();
    const int before = kunden.recordCount();
    addCustomerElsewhere(100);
    ticks(1);
    EXPECT_EQ(kunden.recordCount(), before) << "a single workstation skips the refresh";
    table::Session other(NetDir, QStringLiteral("andere"));
    ticks(1);
    EXPECT_EQ(kunden.recordCount(), before + 1);
}

TEST_F(DataModuleTimer, RefreshIfBrowsingLeavesAClosedTableClosed) {
    table::Table& t = dm->TabTour();
    ASSERT_FALSE(t.isOpen());
    EXPECT_NO_THROW(RefreshIfBrowsing(t));
    EXPECT_FALSE(t.isOpen());
}

} // namespace
