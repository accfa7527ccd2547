#include "core/files/programdirs.h"
#include "core/framefixture.h"
#include "platform/errors.h"

#include <QFileInfo>

using frametest::ProgramDirFixture;
using namespace Qt::StringLiterals;
using Kind = MessagePresenter::Kind;

namespace {

class ProgramDirsTest : public ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        m_previousLoader = SetBackupPathsLoader({});
    }
    void TearDown() override {
        SetBackupPathsLoader(m_previousLoader);
        ProgramDirFixture::TearDown();
    }
    BackupPathsLoader m_previousLoader;
};

TEST_F(ProgramDirsTest, NewClientGetsItsOwnAndTheSharedDirectories) {
    BuildMandantDirs(3);
    const QString p = ProgramDir;
    struct Expected {
        QString path;
        QString value;
    } const expected[] = {
        {DataDir, p + u"Data0003/"},   {BackupDir, p + u"DTBU0003/"}, {ImExDir, p + u"IMEX0003/"},
        {WordDir, p + u"Word0003/"},   {FormDir, p + u"Form0003/"},   {QrfdDir, p + u"QRFD0003/"},
        {AblageDir, p + u"Ablg0003/"}, {NetDir, p + u"Netdir/"},      {TextbstDir, p + u"Textbst"},
        {TempDir, p + u"Temp"},        {SelectDir, p + u"Select/"},
    };
    for (const Expected& e : expected) {
        EXPECT_EQ(e.path, e.value);
        EXPECT_TRUE(QFileInfo(e.value).isDir()) << e.value.toStdString();
    }
    EXPECT_EQ(PfadeFileName, p + u"Pfade.003");
    EXPECT_EQ(TemplateDataDir, p + u"Data0000/");
    EXPECT_EQ(SoundsDir, p + u"Sounds/");
    // Template data and sounds are shipped, never made up.
    EXPECT_FALSE(QFileInfo::exists(TemplateDataDir));
    EXPECT_FALSE(QFileInfo::exists(SoundsDir));
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(ProgramDirsTest, DataDirectoryThatCannotBeCreatedIsFatal) {
    writeBytes(ProgramDir + u"Data0002", "a file in the way");
    try {
        BuildMandantDirs(2);
        FAIL() << "no error raised";
    } catch (const DbError& error) {
        EXPECT_EQ(error.message(),
                  u"Das Verzeichnis\r" + ProgramDir + u"Data0002/\rkonnte nicht angelegt werden.");
    }
    // Nothing after the data directory was built.
    EXPECT_FALSE(QFileInfo::exists(ProgramDir + u"IMEX0002"));
}

TEST_F(ProgramDirsTest, OtherDirectoryFailuresAreShownAndTheBuildGoesOn) {
    writeBytes(ProgramDir + u"IMEX0001", "x");
    writeBytes(ProgramDir + u"Temp", "x");
    BuildMandantDirs(1);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList(
                  {u"Das Verzeichnis\r" + ProgramDir + u"IMEX0001/\rkonnte nicht angelegt werden.",
                   u"Das Verzeichnis\r" + ProgramDir + u"Temp\rkonnte nicht angelegt werden."}));
    EXPECT_TRUE(QFileInfo(ProgramDir + u"Select/").isDir());
    EXPECT_TRUE(QFileInfo(ProgramDir + u"Word0001/").isDir());
}

TEST_F(ProgramDirsTest, BackupDirectoryComesFromTheLoaderAndIsCreated) {
    QString seenDefault;
    QString seenDataDir;
    const QString elsewhere = root(QStringLiteral("sicherung/"));
    SetBackupPathsLoader([&] {
        seenDefault = BackupDir;
        seenDataDir = DataDir;
        BackupDir = elsewhere;
    });
    BuildMandantDirs(4);
    EXPECT_EQ(seenDefault, ProgramDir + u"DTBU0004/");
    EXPECT_EQ(seenDataDir, ProgramDir + u"Data0004/");
    EXPECT_EQ(BackupDir, elsewhere);
    EXPECT_TRUE(QFileInfo(elsewhere).isDir());
    EXPECT_FALSE(QFileInfo::exists(ProgramDir + u"DTBU0004"));
}

TEST_F(ProgramDirsTest, ClientNumberOutsideTheRangeIsRefused) {
    EXPECT_THROW(BuildMandantDirs(5), DbError);
    EXPECT_THROW(BuildMandantDirs(-1), DbError);
}

TEST(SoundFile, NumbersPickTheirWaveFiles) {
    SoundsDir = QStringLiteral("/p/Sounds/");
    const struct {
        int nr;
        const char* file;
    } cases[] = {{1, "notify.wav"}, {2, "chimes.wav"}, {3, "chord.wav"},
                 {0, "Ding.wav"},   {9, "Ding.wav"},   {-1, "Ding.wav"}};
    for (const auto& c : cases)
        EXPECT_EQ(GetSoundFile(c.nr), u"/p/Sounds/" + QString::fromLatin1(c.file)) << c.nr;
}

} // namespace
