#include "core/data/clientswitch.h"
#include "core/data/datamodule.h"
#include "core/framefixture.h"
#include "core/programdirs.h"
#include "core/programsettings.h"
#include "core/rights.h"
#include "core/settingsfiles.h"
#include "core/startup.h"
#include "core/syslog.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <functional>
#include <memory>

namespace {

using Kind = MessagePresenter::Kind;

// A fresh program directory with client 1 as the start client, the log in it
// and a user allowed to create clients.
class ClientSwitch : public frametest::ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        m_savedUser = CurrentUser;
        m_savedMandant = MandantNr;
        CurrentUser = TUserRec();
        CurrentUser.rights.set(55, rbView | rbCreate);
        MandantNr = 1;
        DbUpgraded = false;
        BuildStartDirs();
        ClientSwitchHooksRegistry().setTitle = [this](const QString& part) { title = part; };
    }
    void TearDown() override {
        dm.reset();
        for (const char* alias : {"LumoDB", "AblageDB"}) {
            try {
                table::aliases::remove(QString::fromLatin1(alias));
            } catch (...) {
            }
        }
        ClientSwitchHooksRegistry() = {};
        CurrentUser = m_savedUser;
        MandantNr = m_savedMandant;
        ProgramDirFixture::TearDown();
    }

    // The first start: template data, then the data module as created at
    // start-up; beforeActivation runs between creation and activation.
    void startUp(const std::function<void()>& beforeActivation = {}) {
        ASSERT_TRUE(EnsureTemplateData());
        dm = std::make_unique<TDataModule1>();
        dm->DataModuleCreate();
        SelectMandant(MandantNr, false, true);
        WriteLog(QStringLiteral("Selectmandant OK"));
        if (beforeActivation)
            beforeActivation();
        SelectMandant(MandantNr, false, false);
    }

    // The messages of the log, without date, time and user columns.
    QStringList logMessages() const {
        QStringList result;
        const QString text = QString::fromLatin1(readBytes(LogFileName));
        const qsizetype prefix =
            FormatLogLine(QDateTime::currentDateTime(), CurrentUserText, QString()).size();
        for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            result << line.mid(prefix).trimmed();
        return result;
    }

    int rowCount(const QString& dir, const QString& tableName) {
        auto db = table::Database::open(dir);
        if (!db->exists(tableName))
            return -1;
        table::Table t(db, tableName);
        t.open();
        return t.recordCount();
    }

    QString lumoDir() const { return table::aliases::directory(QStringLiteral("LumoDB")); }

    std::unique_ptr<TDataModule1> dm;
    QString title;

private:
    TUserRec m_savedUser;
    int m_savedMandant = 1;
};

TEST_F(ClientSwitch, FirstStartBuildsTemplateAndWorksOnTheNewClient) {
    // A rights lock left by a crashed run: this workstation is the only user.
    const QString rightsLock = ProgramDir + QStringLiteral("Rights.lck");
    startUp([&] { writeBytes(rightsLock, "x"); });
    EXPECT_FALSE(QFile::exists(rightsLock));
    EXPECT_TRUE(presenter.boxes.isEmpty()) << presenter.boxes.value(0).text.toStdString();

    // The template holds the shipped cost types and an empty postal-code table.
    EXPECT_TRUE(MandantDatabaseExists(0));
    EXPECT_GT(rowCount(GetMandantDataDir(0), QStringLiteral("Kostart.DB")), 5);
    EXPECT_EQ(rowCount(GetMandantDataDir(0), QStringLiteral("Plz.DB")), 0);

    // Work continues on client 1, which got the template's tables.
    EXPECT_EQ(MandantNr, 1);
    EXPECT_EQ(DataDir, GetMandantDataDir(1));
    EXPECT_EQ(lumoDir(), GetMandantDataDir(1));
    EXPECT_EQ(rowCount(GetMandantDataDir(1), QStringLiteral("Kostart.DB")),
              rowCount(GetMandantDataDir(0), QStringLiteral("Kostart.DB")));
    EXPECT_EQ(rowCount(GetMandantDataDir(1), QStringLiteral("Plz.DB")), 0);
    EXPECT_EQ(ReadDbVersion(), CurrentDbVersion);
    EXPECT_TRUE(dm->table(QStringLiteral("TabFirmen")).isOpen());
    EXPECT_EQ(title, QStringLiteral("     ( Mandant 0001 :  )"));

    const QStringList log = logMessages();
    const qsizetype at = log.indexOf(QStringLiteral("Selectmandant OK"));
    ASSERT_GE(at, 0) << log.join(u'|').toStdString();
    const QStringList expected{QStringLiteral("Selectmandant OK"), QStringLiteral("LOGIN")};
    EXPECT_EQ(log.mid(at), expected);
}

TEST_F(ClientSwitch, SwitchToANewClientAsksCreatesAndActivates) {
    startUp();
    QFile::remove(LogFileName);
    presenter.answers = {true};
    SelectMandant(2, true, false);

    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList{QStringLiteral("Möchten Sie wirklich einen neuen Mandanten anlegen?")});
    EXPECT_EQ(MandantNr, 2);
    EXPECT_EQ(lumoDir(), GetMandantDataDir(2));
    EXPECT_GT(rowCount(GetMandantDataDir(2), QStringLiteral("Kostart.DB")), 5);
    EXPECT_EQ(title.left(22), QStringLiteral("     ( Mandant 0002 : "));
    EXPECT_EQ(logMessages(), (QStringList{QStringLiteral("LOGOUT"), QStringLiteral("ChangeTo 2"),
                                          QStringLiteral("OpenDataFiles OK"),
                                          QStringLiteral("Startreread"), QStringLiteral("LOGIN")}));
    ASSERT_EQ(presenter.texts(Kind::Info).size(), 1);
    EXPECT_TRUE(presenter.texts(Kind::Info).first().startsWith(QStringLiteral("Mandant 0002 (")));

    // Back to client 1: no question, the same log sequence.
    presenter.boxes.clear();
    QFile::remove(LogFileName);
    SelectMandant(1, false, false);
    EXPECT_TRUE(presenter.boxes.isEmpty());
    EXPECT_EQ(lumoDir(), GetMandantDataDir(1));
    EXPECT_EQ(logMessages().value(1), QStringLiteral("ChangeTo 1"));
}

TEST_F(ClientSwitch, NewClientNotConfirmedOrNotAllowedChangesNothing) {
    startUp();
    struct Case {
        const char* name;
        bool answer;
        bool right;
    } cases[] = {{"declined", false, true}, {"no create right", true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        presenter.boxes.clear();
        presenter.answers = {c.answer};
        if (!c.right)
            CurrentUser.rights.set(55, rbView);
        SelectMandant(3, true, false);
        EXPECT_EQ(MandantNr, 1);
        EXPECT_EQ(DataDir, GetMandantDataDir(1));
        EXPECT_EQ(lumoDir(), GetMandantDataDir(1));
        EXPECT_FALSE(MandantDatabaseExists(3));
        EXPECT_TRUE(dm->table(QStringLiteral("TabFirmen")).isOpen());
    }
}

TEST_F(ClientSwitch, DeclinedUpgradeFallsBackToThePreviousClient) {
    startUp();
    presenter.answers = {true};
    SelectMandant(2, false, false);
    SelectMandant(1, false, false);
    // Client 2 is now an old database.
    {
        QFile version(GetMandantDataDir(2) + QStringLiteral("Version.Dat"));
        ASSERT_TRUE(version.open(QIODevice::WriteOnly | QIODevice::Truncate));
        version.write("230\r\n");
    }
    presenter.boxes.clear();
    presenter.answers = {false};
    QFile::remove(LogFileName);
    SelectMandant(2, false, false);

    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList{QStringLiteral("Mandant 0002 kann nicht aktiviert werden")});
    EXPECT_EQ(MandantNr, 1);
    EXPECT_EQ(DataDir, GetMandantDataDir(1));
    EXPECT_EQ(AblageDir, GetMandantAblgDir(1));
    EXPECT_EQ(lumoDir(), GetMandantDataDir(1));
    EXPECT_TRUE(dm->table(QStringLiteral("TabFirmen")).isOpen());
    EXPECT_EQ(logMessages(), (QStringList{QStringLiteral("LOGOUT"), QStringLiteral("ChangeTo 2"),
                                          QStringLiteral("OpenDataFiles OK"),
                                          QStringLiteral("Startreread"), QStringLiteral("LOGIN")}));
}

TEST_F(ClientSwitch, CaptionsComeFromTheClientListFile) {
    writeBytes(ProgramDir + QStringLiteral("Mandanten.txt"),
               "03 Glanz & Co. M\xfcller\r\n07 ignored\r\n12 too big\r\n01 Hausmeister\r\n");
    EXPECT_EQ(MandantCaptions(),
              (QStringList{QStringLiteral("Demoinstallation"), QStringLiteral("Hausmeister"),
                           QStringLiteral("Mandant 2"), QStringLiteral("Glanz & Co. Müller"),
                           QStringLiteral("Mandant 4")}));
}

} // namespace
