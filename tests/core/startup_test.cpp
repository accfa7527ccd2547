#include "core/files/filehelpers.h"
#include "core/files/programdirs.h"
#include "core/framefixture.h"
#include "core/settings/formlayoutreset.h"
#include "core/settings/programsettings.h"
#include "core/settings/settingsfiles.h"
#include "core/startup.h"
#include "platform/table/database.h"

#include <QDir>
#include <QFileInfo>

using frametest::ProgramDirFixture;
using Kind = MessagePresenter::Kind;
using namespace Qt::StringLiterals;

namespace {

class StartupTest : public ProgramDirFixture {
protected:
    void SetUp() override {
        ProgramDirFixture::SetUp();
        m_savedMandant = MandantNr;
        MandantNr = 1;
        DbUpgraded = false;
        m_loader = SetBackupPathsLoader({});
        m_upgrader = SetDatabaseUpgrader({});
        m_copier = SetTemplateDirsCopier({});
    }
    void TearDown() override {
        SetBackupPathsLoader(m_loader);
        SetDatabaseUpgrader(m_upgrader);
        SetTemplateDirsCopier(m_copier);
        MandantNr = m_savedMandant;
        ProgramDirFixture::TearDown();
    }
    QString prog(const QString& name) const { return ProgramDir + name; }

private:
    int m_savedMandant = 1;
    BackupPathsLoader m_loader;
    DatabaseUpgrader m_upgrader;
    TemplateDirsCopier m_copier;
};

// A client database with one table, as an older version left it.
void makeDatabase(const QString& dir) {
    auto db = table::Database::open(dir);
    table::TableDef def;
    def.name = u"Kunden.DB"_s;
    def.fields = {{u"K_Nr"_s, table::FieldType::Integer}};
    db->createTable(def);
}

TEST_F(StartupTest, StartClientFromMandantIni) {
    const struct {
        const char* content; // nullptr: no file
        int mandant;
    } cases[] = {{"3\r\n", 3},     {"0\r\n", 0}, {"4", 4},       {"7\r\n", 1},  {"-1\r\n", 1},
                 {"\r\n2\r\n", 1}, {"", 1},      {"abc\r\n", 1}, {"2x\r\n", 1}, {nullptr, 1}};
    for (const auto& c : cases) {
        QFile::remove(prog(u"Mandant.ini"_s));
        if (c.content)
            writeBytes(prog(u"Mandant.ini"_s), c.content);
        EXPECT_EQ(ReadStartMandant(), c.mandant) << (c.content ? c.content : "(none)");
    }
}

TEST_F(StartupTest, SoundAndServiceSwitches) {
    const struct {
        QStringList parameters;
        bool soundsOn;
        bool serviceMode;
    } cases[] = {
        {{}, true, false},
        {{u"+NS"_s}, false, false},
        {{u" +ns "_s, u"+sm"_s}, false, true},
        {{u"+NSX"_s, u"NS"_s, u"-SM"_s}, true, false},
    };
    for (const auto& c : cases) {
        ReadCommandLineSwitches(c.parameters);
        EXPECT_EQ(SoundsOn, c.soundsOn) << c.parameters.join(u',').toStdString();
        EXPECT_EQ(ServiceMode, c.serviceMode) << c.parameters.join(u',').toStdString();
    }
    ReadCommandLineSwitches({});
}

TEST_F(StartupTest, UpgradeMarkerRemovesTheWorkDirectories) {
    for (const QString& dir : {u"DataTemp"_s, u"AblgTemp"_s, u"DataTemp_Sav"_s, u"AblgTemp_Sav"_s})
        writeBytes(prog(dir + u"/Kunden.DB"_s), "x");
    writeBytes(prog(u"Data0001/Kunden.DB"_s), "keep");
    ASSERT_TRUE(MarkTempDirsForDeletion());
    ASSERT_TRUE(QFileInfo::exists(WindowsDir + u"DELDEPP.DSF"_s));

    ProcessStartMarkers();
    EXPECT_EQ(QDir(ProgramDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList({u"Data0001"_s}));
    EXPECT_FALSE(QFileInfo::exists(WindowsDir + u"DELDEPP.DSF"_s));
}

TEST_F(StartupTest, LayoutMarkerDeletesThePlacementFiles) {
    // Exactly the files a layout reset removes; the plan-check and DATEV
    // forms keep their placement in files of their own.
    const QStringList deleted = {u"DomveraPlan00.ini"_s, u"DomveraPlan01.ini"_s,
                                 u"DomveraPlan04.ini"_s, u"DomveraX04.ini"_s, u"DomveraX304.ini"_s};
    const QStringList kept = {u"DomveraPlan05.ini"_s, u"DomveraX05.ini"_s, u"Other.ini"_s};
    for (const QString& name : deleted + kept)
        writeBytes(WindowsDir + name, "[Form]\r\n");
    QFile::setPermissions(WindowsDir + deleted.first(), QFileDevice::ReadOwner);
    writeBytes(WindowsDir + u"DELDEF.DSF"_s, "");

    ProcessStartMarkers();
    for (const QString& name : deleted)
        EXPECT_FALSE(QFileInfo::exists(WindowsDir + name)) << name.toStdString();
    for (const QString& name : kept)
        EXPECT_TRUE(QFileInfo::exists(WindowsDir + name)) << name.toStdString();
    EXPECT_FALSE(QFileInfo::exists(WindowsDir + u"DELDEF.DSF"_s));
}

TEST_F(StartupTest, LayoutMarkerDeletesEveryFileTheLayoutResetDeletes) {
    for (const QString& name : FormLayoutFileNames())
        writeBytes(WindowsDir + name, "[Form]\r\n");
    writeBytes(WindowsDir + u"DELDEF.DSF"_s, "");
    ProcessStartMarkers();
    for (const QString& name : FormLayoutFileNames())
        EXPECT_FALSE(QFileInfo::exists(WindowsDir + name)) << name.toStdString();
}

TEST_F(StartupTest, NoMarkersTouchNothing) {
    writeBytes(prog(u"DataTemp/x"_s), "x");
    writeBytes(WindowsDir + u"DomveraPlan01.ini"_s, "x");
    ProcessStartMarkers();
    EXPECT_TRUE(QFileInfo::exists(prog(u"DataTemp/x"_s)));
    EXPECT_TRUE(QFileInfo::exists(WindowsDir + u"DomveraPlan01.ini"_s));
}

TEST_F(StartupTest, StartDirectoriesAndLogFile) {
    MandantNr = 2;
    BuildStartDirs();
    EXPECT_EQ(LogFileName, prog(u"Syslog.txt"_s));
    EXPECT_EQ(DataDir, prog(u"Data0002/"_s));
    EXPECT_TRUE(QFileInfo(DataDir).isDir());
}

// An upgrader that writes a complete database into the work directories.
struct FakeUpgrader {
    bool succeed = true;
    int calls = 0;
    QStringList arguments;
    bool operator()(const QString& dataDir, const QString& dataTemp, const QString& ablageDir,
                    const QString& ablgTemp) {
        ++calls;
        arguments = {dataDir, dataTemp, ablageDir, ablgTemp};
        QDir().mkpath(dataTemp);
        QDir().mkpath(ablgTemp);
        QFile(dataTemp + u"Firmen.DB"_s).open(QIODevice::WriteOnly);
        if (succeed)
            QFile(ablgTemp + u"RechAbl.DB"_s).open(QIODevice::WriteOnly);
        return succeed;
    }
};

TEST_F(StartupTest, OldDatabaseIsUpgradedAndReplaced) {
    BuildStartDirs();
    writeBytes(DataDir + u"Version.Dat"_s, "230\r\n");
    makeDatabase(DataDir);
    writeBytes(DataDir + u"Kunden.DB"_s, "old");
    writeBytes(AblageDir + u"Alt.DB"_s, "old archive");
    // A client with layouts of its own gets no template directories.
    writeBytes(QrfdDir + u"ORM10001.qfd"_s, "own layout");
    writeBytes(GetMandantQrfdDir(0) + u"ORM20001.qfd"_s, "template layout");
    auto upgrader = std::make_shared<FakeUpgrader>();
    SetDatabaseUpgrader([upgrader](auto&&... a) { return (*upgrader)(a...); });

    ASSERT_TRUE(CheckDatabaseVersion());
    EXPECT_EQ(upgrader->arguments,
              QStringList({DataDir, prog(u"DataTemp/"_s), AblageDir, prog(u"AblgTemp/"_s)}));
    EXPECT_EQ(DbVersion, 230); // the old version, as the client activation reads it
    EXPECT_TRUE(DbUpgraded);
    EXPECT_EQ(ReadDbVersion(), 240);
    EXPECT_TRUE(QFileInfo::exists(DataDir + u"Firmen.DB"_s));
    EXPECT_EQ(readBytes(DataDir + u"Kunden.DB"_s), QByteArray("old")); // merged, not dropped
    EXPECT_TRUE(QFileInfo::exists(AblageDir + u"RechAbl.DB"_s));
    EXPECT_EQ(readBytes(prog(u"Data0001.230/Version.Dat"_s)), QByteArray("230\r\n"));
    EXPECT_TRUE(QFileInfo::exists(prog(u"Data0001.230/domvera.sqlite"_s)));
    EXPECT_EQ(readBytes(prog(u"Ablg0001.230/Alt.DB"_s)), QByteArray("old archive"));
    EXPECT_FALSE(QFileInfo::exists(prog(u"DataTemp"_s)));
    EXPECT_FALSE(QFileInfo::exists(prog(u"AblgTemp"_s)));
    EXPECT_EQ(readBytes(QrfdDir + u"ORM10001.qfd"_s), QByteArray("own layout"));
    EXPECT_FALSE(QFileInfo::exists(QrfdDir + u"ORM20001.qfd"_s));
    EXPECT_FALSE(QFileInfo::exists(prog(u"Austausch.dat"_s)));
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

// An upgraded client without layouts of its own gets the template's through
// the installed copier, inside the same swap as its databases.
TEST_F(StartupTest, UpgradedClientWithoutLayoutsGetsTheTemplateDirectories) {
    BuildStartDirs();
    writeBytes(DataDir + u"Version.Dat"_s, "230\r\n");
    makeDatabase(DataDir);
    writeBytes(GetMandantQrfdDir(0) + u"ORM10001.qfd"_s, "template layout");
    writeBytes(GetMandantWordDir(0) + u"Brief.rtf"_s, "template letter");
    auto upgrader = std::make_shared<FakeUpgrader>();
    SetDatabaseUpgrader([upgrader](auto&&... a) { return (*upgrader)(a...); });
    QStringList copies;
    SetTemplateDirsCopier([&](const QString& source, const QString& target) {
        copies << QDir(ProgramDir).relativeFilePath(source) + u" -> "_s +
                      QDir(ProgramDir).relativeFilePath(target);
        return CopyDirectoryTree(source, target);
    });
    ASSERT_TRUE(CheckDatabaseVersion());
    // The template has no import/export directory: nothing to copy there.
    EXPECT_EQ(copies, QStringList({u"QRFD0000 -> QRFD0001.neu"_s, u"Word0000 -> Word0001.neu"_s}));
    EXPECT_EQ(readBytes(QrfdDir + u"ORM10001.qfd"_s), QByteArray("template layout"));
    EXPECT_EQ(readBytes(WordDir + u"Brief.rtf"_s), QByteArray("template letter"));
    EXPECT_EQ(ReadDbVersion(), 240);
}

TEST_F(StartupTest, CurrentDatabaseIsLeftAlone) {
    BuildStartDirs();
    writeBytes(DataDir + u"Version.Dat"_s, "240\r\n");
    writeBytes(QrfdDir + u"ORM10001.qfd"_s, "layout");
    auto upgrader = std::make_shared<FakeUpgrader>();
    SetDatabaseUpgrader([upgrader](auto&&... a) { return (*upgrader)(a...); });
    ASSERT_TRUE(CheckDatabaseVersion());
    EXPECT_EQ(upgrader->calls, 0);
    EXPECT_EQ(DbVersion, 240);
    EXPECT_FALSE(DbUpgraded);
    EXPECT_FALSE(NewClientLayouts);
}

TEST_F(StartupTest, ClientLayoutsAreFoundUnderAnyCase) {
    // A client whose invoice layout is named in other case is no new client.
    const struct {
        const char16_t* file; // nullptr: none
        bool newLayouts;
    } cases[] = {{u"ORM10001.qfd", false},
                 {u"ORM10001.QFD", false},
                 {u"orm10001.Qfd", false},
                 {u"ORM10002.QFD", true},
                 {nullptr, true}};
    BuildStartDirs();
    writeBytes(DataDir + u"Version.Dat"_s, "240\r\n");
    for (const auto& c : cases) {
        QDir(QrfdDir).removeRecursively();
        if (c.file)
            writeBytes(QrfdDir + QString::fromUtf16(c.file), "layout");
        ASSERT_TRUE(CheckDatabaseVersion());
        EXPECT_EQ(NewClientLayouts, c.newLayouts) << (c.file ? "file" : "none");
    }
}

TEST_F(StartupTest, MissingVersionFileTakesTheUpgradeBranch) {
    BuildStartDirs();
    makeDatabase(DataDir);
    auto upgrader = std::make_shared<FakeUpgrader>();
    SetDatabaseUpgrader([upgrader](auto&&... a) { return (*upgrader)(a...); });
    ASSERT_TRUE(CheckDatabaseVersion());
    EXPECT_EQ(upgrader->calls, 1);
    EXPECT_TRUE(QFileInfo(prog(u"Data0001.000"_s)).isDir());
    EXPECT_EQ(ReadDbVersion(), 240);
    // The lost version file is reported, not passed over.
    const QStringList infos = presenter.texts(Kind::Info);
    ASSERT_EQ(infos.size(), 1);
    EXPECT_TRUE(infos.first().startsWith(u"Die Datei \"Version.Dat\" in\r"_s));
}

TEST_F(StartupTest, FailedUpgradeRemovesOnlyEmptyWorkDirectories) {
    BuildStartDirs();
    writeBytes(DataDir + u"Version.Dat"_s, "200\r\n");
    auto upgrader = std::make_shared<FakeUpgrader>();
    upgrader->succeed = false;
    SetDatabaseUpgrader([upgrader](auto&&... a) { return (*upgrader)(a...); });
    EXPECT_FALSE(CheckDatabaseVersion());
    // DataTemp still holds a file and stays; the empty AblgTemp is removed.
    EXPECT_TRUE(QFileInfo::exists(prog(u"DataTemp/Firmen.DB"_s)));
    EXPECT_FALSE(QFileInfo::exists(prog(u"AblgTemp"_s)));
    EXPECT_EQ(ReadDbVersion(), 200);
    EXPECT_FALSE(DbUpgraded);
}

TEST_F(StartupTest, VersionIsNotWrittenWhenTheReplacementFails) {
    BuildStartDirs();
    writeBytes(DataDir + u"Version.Dat"_s, "230\r\n");
    makeDatabase(DataDir);
    auto upgrader = std::make_shared<FakeUpgrader>();
    SetDatabaseUpgrader([upgrader](auto&&... a) { return (*upgrader)(a...); });
    SetFileCopyFault(
        [](const QString& source, const QString&) { return source.endsWith(u"Firmen.DB"); });
    EXPECT_FALSE(CheckDatabaseVersion());
    SetFileCopyFault({});
    EXPECT_EQ(ReadDbVersion(), 230);
    EXPECT_FALSE(QFileInfo::exists(DataDir + u"Firmen.DB"_s));
    EXPECT_FALSE(presenter.texts(Kind::Error).isEmpty());
    EXPECT_FALSE(DbUpgraded);
}

} // namespace
