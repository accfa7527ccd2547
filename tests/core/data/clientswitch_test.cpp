#include "core/data/clientswitch.h"
#include "core/data/clientswitchfixture.h"
#include "core/data/datamodule.h"
#include "core/data/startclient.h"
#include "core/files/programdirs.h"
#include "core/framefixture.h"
#include "core/messages/syslog.h"
#include "core/rights/rights.h"
#include "core/settings/programsettings.h"
#include "core/settings/settingsfiles.h"
#include "core/startup.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <functional>
#include <memory>

namespace {

using Kind = MessagePresenter::Kind;

class ClientSwitch : public datatest::ClientSwitchFixture {};

TEST_F(ClientSwitch, FirstStartBuildsTemplateAndWorksOnTheNewClient) {
    // A rights lock left by a crashed run: this workstation is the only user.
    const QString rightsLock = ProgramDir + QStringLiteral("Rights.lck");
    startUp([&] { writeBytes(rightsLock, "x"); });
    EXPECT_FALSE(QFile::exists(rightsLock));
    // The activation of the new client registers its layout files; no name
    // of a new client could be replaced, so nothing is asked.
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
    // The databases are created without access for other users.
    for (int mandant : {0, 1}) {
        const QString file = table::Database::fileIn(GetMandantDataDir(mandant));
        EXPECT_FALSE(QFile::permissions(file) & (QFileDevice::ReadOther | QFileDevice::WriteOther))
            << file.toStdString();
        EXPECT_FALSE(QFile::permissions(GetMandantDataDir(mandant)) & QFileDevice::ExeOther);
    }
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
    presenter.boxes.clear();
    QFile::remove(LogFileName);
    presenter.answers = {true};
    SelectMandant(2, true, false);

    // After the creation the activation registers the new client's layout
    // files without a question.
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList({QStringLiteral("Möchten Sie wirklich einen neuen Mandanten anlegen?")}));
    EXPECT_EQ(MandantNr, 2);
    EXPECT_EQ(lumoDir(), GetMandantDataDir(2));
    EXPECT_GT(rowCount(GetMandantDataDir(2), QStringLiteral("Kostart.DB")), 5);
    EXPECT_TRUE(title.startsWith(QStringLiteral("     ( Mandant 0002"))) << title.toStdString();
    EXPECT_EQ(logMessages(), (QStringList{QStringLiteral("LOGOUT"), QStringLiteral("ChangeTo 2"),
                                          QStringLiteral("OpenDataFiles OK"),
                                          QStringLiteral("Startreread"), QStringLiteral("LOGIN")}));
    ASSERT_EQ(presenter.texts(Kind::Info).size(), 1);
    EXPECT_EQ(presenter.texts(Kind::Info).first(), QStringLiteral("Mandant 0002 ist aktiviert"));

    // Back to client 1 through the menu, which starts each switch without an
    // upgrade: no question, the same log sequence.
    presenter.boxes.clear();
    QFile::remove(LogFileName);
    DbUpgraded = false;
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

TEST_F(ClientSwitch, StartClientWithoutDatabaseIsBuiltAtStartUpWithoutQuestion) {
    // Nobody has logged in yet: the start-up needs no create right.
    CurrentUser = TUserRec();
    writeBytes(ProgramDir + QStringLiteral("Mandant.ini"), "3\r\n");
    MandantNr = ReadStartMandant();
    BuildStartDirs();
    startUp();
    // Nothing is asked, not even by the import of the new client's layouts.
    EXPECT_TRUE(presenter.boxes.isEmpty()) << presenter.boxes.value(0).text.toStdString();
    EXPECT_EQ(MandantNr, 3);
    EXPECT_EQ(DataDir, GetMandantDataDir(3));
    EXPECT_EQ(lumoDir(), GetMandantDataDir(3));
    EXPECT_EQ(tableDirs(), QSet<QString>{QDir::cleanPath(GetMandantDataDir(3))});
    EXPECT_EQ(ReadDbVersion(), CurrentDbVersion);
    EXPECT_TRUE(DbUpgraded);
    EXPECT_GT(rowCount(GetMandantDataDir(3), QStringLiteral("Kostart.DB")), 5);
    EXPECT_EQ(title, QStringLiteral("     ( Mandant 0003 :  )"));
    EXPECT_EQ(logMessages().mid(logMessages().indexOf(QStringLiteral("Selectmandant OK"))),
              (QStringList{QStringLiteral("Selectmandant OK"), QStringLiteral("LOGIN")}));
}

TEST_F(ClientSwitch, StartClientThatCannotBeBuiltGivesWayToClientOne) {
    startUp();
    dm.reset();
    // The next start is on client 3, whose databases cannot be built: the
    // upgrade's work directory is blocked by a file.
    writeBytes(ProgramDir + QStringLiteral("Mandant.ini"), "3\r\n");
    MandantNr = ReadStartMandant();
    BuildStartDirs();
    writeBytes(GetDataTempDir(), "x");
    presenter.boxes.clear();
    QFile::remove(LogFileName);
    startUp();
    const QStringList errors = presenter.texts(Kind::Error);
    ASSERT_FALSE(errors.isEmpty());
    EXPECT_EQ(errors.last(), QStringLiteral("Mandant 3 konnte nicht angelegt werden!\r"
                                            "Es wird mit Mandant 1 gearbeitet."));
    EXPECT_EQ(MandantNr, 1);
    EXPECT_EQ(lumoDir(), GetMandantDataDir(1));
    EXPECT_EQ(tableDirs(), QSet<QString>{QDir::cleanPath(GetMandantDataDir(1))});
    EXPECT_FALSE(QFileInfo::exists(GetMandantDataDir(3)));
    EXPECT_EQ(title, QStringLiteral("     ( Mandant 0001 :  )"));
    EXPECT_EQ(logMessages().mid(logMessages().indexOf(QStringLiteral("Selectmandant OK"))),
              (QStringList{QStringLiteral("Selectmandant OK"), QStringLiteral("LOGIN")}));

    // When client 1 cannot be built either, the start ends with a message.
    dm.reset();
    ASSERT_TRUE(QDir(GetMandantDataDir(1)).removeRecursively());
    MandantNr = 3;
    BuildStartDirs();
    presenter.boxes.clear();
    EXPECT_FALSE(PrepareStartMandant());
    EXPECT_EQ(presenter.texts(Kind::Error).value(presenter.texts(Kind::Error).size() - 1),
              QStringLiteral("Mandant 1 konnte nicht angelegt werden!\r"
                             "Das Programm ist NICHT betriebsbereit!"));
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
