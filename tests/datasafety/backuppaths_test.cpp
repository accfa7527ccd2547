#include "core/files/programdirs.h"
#include "core/framefixture.h"
#include "datasafety/backuppaths.h"
#include "datasafety/datasafety.h"

#include <QFileInfo>

using frametest::ProgramDirFixture;
using Kind = MessagePresenter::Kind;
using namespace Qt::StringLiterals;

namespace {

class BackupPathsTest : public ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        m_savedTransport = TransportDir;
        PfadeFileName = ProgramDir + u"Pfade.001"_s;
        BackupDir = ProgramDir + u"DTBU0001/"_s;
        TransportDir = u"A:\\"_s;
        m_loader = SetBackupPathsLoader(&LoadBackupPaths);
    }
    void TearDown() override {
        SetBackupPathsLoader(m_loader);
        TransportDir = m_savedTransport;
        ProgramDirFixture::TearDown();
    }
    QString existing(const QString& name) {
        const QString dir = root(name) + u'/';
        QDir().mkpath(dir);
        return dir;
    }

private:
    QString m_savedTransport;
    BackupPathsLoader m_loader;
};

TEST_F(BackupPathsTest, WithoutPathsFileTheDefaultsStay) {
    LoadBackupPaths();
    EXPECT_EQ(BackupDir, ProgramDir + u"DTBU0001/");
    // The drive of "A:\" is not there: the system's own place is taken.
    EXPECT_EQ(TransportDir, SystemDrivePath());
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(BackupPathsTest, PathsOfTheFileAreTakenWhenUsable) {
    const QString transport = existing(u"stick"_s);
    const QString backup = existing(u"sicherung"_s);
    writeBytes(PfadeFileName, (transport + u"\r\n"_s + backup + u"\r\n"_s).toUtf8());
    LoadBackupPaths();
    EXPECT_EQ(TransportDir, transport);
    EXPECT_EQ(BackupDir, backup);
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(BackupPathsTest, PathOnAMissingDriveIsRefusedWithItsLetter) {
    const QString transport = existing(u"stick"_s);
    writeBytes(PfadeFileName, (transport + u"\r\nD:\\SICHERUNG\\\r\n"_s).toUtf8());
    LoadBackupPaths();
    EXPECT_EQ(BackupDir, ProgramDir + u"DTBU0001/");
    EXPECT_EQ(TransportDir, transport);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList({u"Laufwerk D ist nicht vorhanden oder kann nicht\ral"
                           u"s Sicherungslaufwerk verwendet werden!\r\rZur Datensicherung wird "
                           u"der Standard-Sicherungspfad\r"_s +
                           ProgramDir + u"DTBU0001/\rverwendet!"_s}));
}

TEST_F(BackupPathsTest, MissingDirectoryIsCreatedOnlyAfterConsent) {
    const QString wanted = root(u"neu/sicherung/"_s);
    writeBytes(PfadeFileName, (SystemDrivePath() + u"\r\n"_s + wanted + u"\r\n"_s).toUtf8());

    presenter.answers = {false};
    LoadBackupPaths();
    EXPECT_EQ(BackupDir, ProgramDir + u"DTBU0001/");
    EXPECT_FALSE(QFileInfo::exists(wanted));
    EXPECT_EQ(presenter.texts(Kind::Question),
              QStringList({u"Das Verzeichnis\r"_s + wanted +
                           u"\rexistiert noch nicht.\r\rSoll das Verzeichnis angelegt werden?"_s}));
    EXPECT_TRUE(presenter.texts(Kind::Error).isEmpty());

    presenter.answers = {true};
    LoadBackupPaths();
    EXPECT_EQ(BackupDir, wanted);
    EXPECT_TRUE(QFileInfo(wanted).isDir());
}

TEST_F(BackupPathsTest, DirectoryThatCannotBeCreatedKeepsTheDefault) {
    writeBytes(root(u"blocked"_s), "a file");
    const QString wanted = root(u"blocked/sub/"_s);
    presenter.answers = {true};
    EXPECT_FALSE(CheckBackupPath(wanted, TransportPurpose(), u"/default/"_s));
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList({u"Das Verzeichnis\r"_s + wanted +
                           u"\rkonnte nicht angelegt werden.\r\rZum Datenexport wird der "
                           u"Standard-Sicherungspfad\r/default/\rverwendet!"_s}));
}

TEST_F(BackupPathsTest, SavedPathsAreReadBack) {
    TransportDir = existing(u"export"_s);
    BackupDir = existing(u"Datensicherung Ä"_s);
    ASSERT_TRUE(SaveBackupPaths());
    EXPECT_EQ(readBytes(PfadeFileName),
              (TransportDir + u"\r\n"_s).toLatin1() + (BackupDir + u"\r\n"_s).toLatin1());
    const QString transport = TransportDir;
    const QString backup = BackupDir;
    TransportDir = u"A:\\"_s;
    BackupDir = ProgramDir + u"DTBU0001/"_s;
    LoadBackupPaths();
    EXPECT_EQ(TransportDir, transport);
    EXPECT_EQ(BackupDir, backup);
}

TEST_F(BackupPathsTest, ClientDirectorySetCreatesTheBackupDirectoryOfThePathsFile) {
    const QString backup = root(u"extern/DTBU/"_s);
    writeBytes(ProgramDir + u"Pfade.002"_s, (u"\r\n"_s + backup + u"\r\n"_s).toUtf8());
    presenter.answers = {true};
    BuildMandantDirs(2);
    EXPECT_EQ(BackupDir, backup);
    EXPECT_TRUE(QFileInfo(backup).isDir());
    EXPECT_FALSE(QFileInfo::exists(ProgramDir + u"DTBU0002"_s));
}

} // namespace
