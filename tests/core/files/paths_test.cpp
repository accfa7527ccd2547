#include "core/files/ioresult.h"
#include "core/files/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(Paths, AddAndRemoveTheTrailingSeparator) {
    struct Case {
        const char* path;
        const char* added;
        const char* removed;
    } const cases[] = {
        {"C:\\Daten", "C:\\Daten\\", "C:\\Daten"},
        {"C:\\Daten\\", "C:\\Daten\\", "C:\\Daten"},
        {"/home/daten", "/home/daten/", "/home/daten"},
        {"/home/daten/", "/home/daten/", "/home/daten"},
        {"/home/daten\\", "/home/daten\\", "/home/daten"},
        {"daten", "daten/", "daten"},
        {"", "/", ""},
        {"/", "/", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AddBackslash(QString::fromUtf8(c.path)), QString::fromUtf8(c.added)) << c.path;
        EXPECT_EQ(RemoveBackslash(QString::fromUtf8(c.path)), QString::fromUtf8(c.removed))
            << c.path;
    }
}

TEST(Paths, StoredBackslashPathsAreUnderstood) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString stored = temp.path() + QStringLiteral("\\Data0001\\Sub");
    EXPECT_EQ(LocalPath(stored), temp.path() + QStringLiteral("/Data0001/Sub"));
    EXPECT_FALSE(DirExists(stored));
    EXPECT_TRUE(MakePath(stored));
    EXPECT_TRUE(QFileInfo(temp.path() + QStringLiteral("/Data0001/Sub")).isDir());
    EXPECT_TRUE(DirExists(stored));
    EXPECT_TRUE(DirExists(AddBackslash(stored)));
}

TEST(Paths, HasDriveLetter) {
    EXPECT_TRUE(HasDriveLetter(QStringLiteral("C:\\Daten")));
    EXPECT_TRUE(HasDriveLetter(QStringLiteral("q:")));
    EXPECT_FALSE(HasDriveLetter(QStringLiteral("/home")));
    EXPECT_FALSE(HasDriveLetter(QStringLiteral("Ä:\\x")));
    EXPECT_FALSE(HasDriveLetter(QStringLiteral("C")));
}

TEST(Paths, MakePathCreatesEveryLevel) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString deep = temp.path() + QStringLiteral("/a/b/c");
    EXPECT_TRUE(MakePath(deep));
    EXPECT_TRUE(QFileInfo(deep).isDir());
    // Every level exists: true again, nothing changes.
    EXPECT_TRUE(MakePath(deep + u'/'));
    EXPECT_EQ(QDir(temp.path() + QStringLiteral("/a/b"))
                  .entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{QStringLiteral("c")});
}

TEST(Paths, MakePathHasNoLengthLimit) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    QString deep = temp.path();
    while (deep.size() < 300)
        deep += QStringLiteral("/Verzeichnisebene");
    ASSERT_GT(deep.size(), 128);
    EXPECT_TRUE(MakePath(deep));
    EXPECT_TRUE(QFileInfo(deep).isDir());
}

TEST(Paths, MakePathStopsAtALevelThatCannotBeCreated) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    QFile blocker(temp.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(MakePath(temp.path() + QStringLiteral("/file/sub/deeper")));
    EXPECT_FALSE(QFileInfo::exists(temp.path() + QStringLiteral("/file/sub")));
    // A drive letter names no drive here; nothing is created relative to the working directory.
    EXPECT_FALSE(MakePath(QStringLiteral("Q:\\Domvera\\Data0001")));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("Q:")));
}

TEST(Paths, ShortenPath) {
    struct Case {
        const char* path;
        int maxLen;
        const char* shortened;
    } const cases[] = {
        {"C:\\Programme\\Domvera\\Data0001\\x.db", 60, "C:\\Programme\\Domvera\\Data0001\\x.db"},
        {"C:\\Programme\\Domvera\\Data0001\\Kunden.db", 25, "C:\\Programme\\..\\Kunden.db"},
        {"/usr/local/share/domvera/Data0001/Kunden.db", 25, "/usr/local/../Kunden.db"},
        {"C:\\Programme\\Domvera\\Data0001\\Kunden.db", 14, "..\\Kunden.db"},
        {"C:\\Programme\\Domvera\\Data0001\\Kunden.db", 12, "..\\Kunden.db"},
        {"C:\\Programmverzeichnis\\Kunden.db", 20, "C:\\..\\Kunden.db"},
        {"Programmverzeichnis\\Kunden.db", 20, "Pro..\\Kunden.db"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShortenPath(QString::fromUtf8(c.path), c.maxLen), QString::fromUtf8(c.shortened))
            << c.path << " " << c.maxLen;
}

TEST(Paths, DriveKinds) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const DriveKind here = GetDriveKind(temp.path());
    EXPECT_NE(here, DriveKind::Unknown);
    EXPECT_NE(here, DriveKind::NoRootDir);
    EXPECT_TRUE(DriveExists(temp.path()));
    // A missing directory lies on the drive of its nearest existing level.
    EXPECT_EQ(GetDriveKind(temp.path() + QStringLiteral("/not/there")), here);
    EXPECT_EQ(GetDriveKind(QStringLiteral("Q:\\Daten")), DriveKind::NoRootDir);
    EXPECT_FALSE(DriveExists(QStringLiteral("Q:\\Daten")));

    struct Case {
        const char* type;
        const char* mount;
        DriveKind kind;
    } const cases[] = {
        {"ext4", "/", DriveKind::Fixed},
        {"btrfs", "/home", DriveKind::Fixed},
        {"vfat", "/media/usb", DriveKind::Removable},
        {"exfat", "/run/media/anna/STICK", DriveKind::Removable},
        {"nfs4", "/mnt/server", DriveKind::Remote},
        {"cifs", "/mnt/share", DriveKind::Remote},
        {"iso9660", "/media/cdrom", DriveKind::CdRom},
        {"tmpfs", "/tmp", DriveKind::RamDisk},
        {"", "/", DriveKind::Unknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DriveKindOfFileSystem(QString::fromUtf8(c.type), QString::fromUtf8(c.mount)),
                  c.kind)
            << c.type;
}

TEST(IOResult, TakesThePendingCodeOnce) {
    SetIOResult(0);
    EXPECT_TRUE(IOResultOk());
    EXPECT_EQ(LastIOError(), 0);
    SetIOResult(5);
    EXPECT_FALSE(IOResultOk());
    EXPECT_EQ(LastIOError(), 5);
    // The code was taken: the next test succeeds, LastIOError keeps the last code until then.
    EXPECT_EQ(LastIOError(), 5);
    EXPECT_TRUE(IOResultOk());
    EXPECT_EQ(LastIOError(), 0);
}

} // namespace
