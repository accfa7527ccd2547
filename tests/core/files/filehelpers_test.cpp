#include "core/files/filehelpers.h"
#include "core/framefixture.h"
#include "platform/table/database.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFileInfo>
#include <QMap>

using frametest::ProgramDirFixture;
using Kind = MessagePresenter::Kind;
using namespace Qt::StringLiterals;

namespace {

// Every file below dir, by relative path, with its content.
QMap<QString, QByteArray> treeOf(const QString& dir) {
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files.insert(QDir(dir).relativeFilePath(path), file.readAll());
    }
    return files;
}

class FileHelpersTest : public ProgramDirFixture {
protected:
    void TearDown() override {
        SetFileCopyFault({});
        ProgramDirFixture::TearDown();
    }
    QString prog(const QString& name) const { return ProgramDir + name; }
    void makeTree(const QString& dir, const QMap<QString, QByteArray>& files) {
        for (auto it = files.begin(); it != files.end(); ++it)
            writeBytes(dir + u'/' + it.key(), it.value());
    }
};

TEST_F(FileHelpersTest, CopyFileKeepsContentAndDate) {
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    for (const int size : {0, 1, 32768, 32769, 100000}) {
        QByteArray content(size, '\0');
        for (int i = 0; i < size; ++i)
            content[i] = char(i % 251);
        writeBytes(prog(u"src.bin"_s), content);
        QFile src(prog(u"src.bin"_s));
        ASSERT_TRUE(src.open(QIODevice::ReadWrite));
        ASSERT_TRUE(src.setFileTime(old, QFileDevice::FileModificationTime));
        src.close();

        const QString dest = prog(u"new/sub/dest.bin"_s);
        ASSERT_TRUE(CopyFileKeepDate(prog(u"src.bin"_s), dest)) << size;
        EXPECT_EQ(readBytes(dest), content) << size;
        EXPECT_EQ(QFileInfo(dest).lastModified(), old) << size;
    }
    EXPECT_FALSE(CopyFileKeepDate(prog(u"missing"_s), prog(u"x"_s)));
    EXPECT_FALSE(QFileInfo::exists(prog(u"x"_s)));
}

TEST_F(FileHelpersTest, CopyFileOverwritesAWriteProtectedTarget) {
    writeBytes(prog(u"src"_s), "new");
    writeBytes(prog(u"dest"_s), "old content");
    QFile::setPermissions(prog(u"dest"_s), QFileDevice::ReadOwner);
    ASSERT_TRUE(CopyFileKeepDate(prog(u"src"_s), prog(u"dest"_s)));
    EXPECT_EQ(readBytes(prog(u"dest"_s)), QByteArray("new"));
}

TEST_F(FileHelpersTest, WriteProtectedFileIsReplacedOnlyAfterConsent) {
    const QString name = prog(u"Ftpcnf0001.ccf"_s);
    writeBytes(name, "old");
    QFile::setPermissions(name, QFileDevice::ReadOwner);

    presenter.answers = {false};
    EXPECT_EQ(WriteDataFile(name, "new"), DataFileWrite::NotOpened);
    EXPECT_EQ(readBytes(name), QByteArray("old"));
    ASSERT_EQ(
        presenter.texts(Kind::Question),
        QStringList({u"Datei "_s + name + u"\rist schreibgeschützt.\rSchreibschutz entfernen?"_s}));

    presenter.answers = {true};
    EXPECT_EQ(WriteDataFile(name, "new"), DataFileWrite::Written);
    EXPECT_EQ(readBytes(name), QByteArray("new"));
}

TEST_F(FileHelpersTest, TextFilesAreWindows1252WithCrLf) {
    ASSERT_TRUE(WriteTextDataFile(prog(u"t.txt"_s), {u"Größe"_s, QString(), u"€ 5"_s}));
    EXPECT_EQ(readBytes(prog(u"t.txt"_s)), QByteArray("Gr\xF6\xDF"
                                                      "e\r\n\r\n\x80 5\r\n"));
    QStringList lines;
    ASSERT_TRUE(ReadTextDataFile(prog(u"t.txt"_s), lines));
    EXPECT_EQ(lines, QStringList({u"Größe"_s, QString(), u"€ 5"_s}));
    // Lines ended by LF alone and a last line without an end are read too.
    writeBytes(prog(u"lf.txt"_s), "a\nb\r\nc");
    ASSERT_TRUE(ReadTextDataFile(prog(u"lf.txt"_s), lines));
    EXPECT_EQ(lines, QStringList({u"a"_s, u"b"_s, u"c"_s}));
    EXPECT_FALSE(ReadTextDataFile(prog(u"none.txt"_s), lines));
    // A character the code page lacks is not silently replaced.
    EXPECT_FALSE(WriteTextDataFile(prog(u"x.txt"_s), {u"Ω"_s}));
}

TEST_F(FileHelpersTest, TreeCopyKeepsTargetFilesAndSkipsDotDirectories) {
    makeTree(
        prog(u"src"_s),
        {{u"a.db"_s, "A"}, {u"sub/b.px"_s, "B"}, {u"sub/deep/c"_s, "C"}, {u".hidden/x"_s, "X"}});
    makeTree(prog(u"dst"_s), {{u"only-in-dst"_s, "D"}, {u"a.db"_s, "old"}});
    ASSERT_TRUE(CopyDirectoryTree(prog(u"src/"_s), prog(u"dst/"_s)));
    EXPECT_EQ(treeOf(prog(u"dst"_s)), (QMap<QString, QByteArray>{{u"a.db"_s, "A"},
                                                                 {u"sub/b.px"_s, "B"},
                                                                 {u"sub/deep/c"_s, "C"},
                                                                 {u"only-in-dst"_s, "D"}}));
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

TEST_F(FileHelpersTest, TreeCopyReportsTheFirstFailureAndStops) {
    makeTree(prog(u"src"_s), {{u"1"_s, "1"}, {u"2"_s, "2"}, {u"3"_s, "3"}});
    SetFileCopyFault([](const QString& source, const QString&) { return source.endsWith(u"/2"); });
    EXPECT_FALSE(CopyDirectoryTree(prog(u"src"_s), prog(u"dst"_s)));
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList({u"Datei "_s + prog(u"dst/2"_s) + u"\rkann nicht kopiert werden"_s}));
    EXPECT_FALSE(QFileInfo::exists(prog(u"dst/3"_s)));
}

TEST_F(FileHelpersTest, TreeCopyRefusesItsOwnSubtreeAndOpenDatabases) {
    makeTree(prog(u"src"_s), {{u"a"_s, "A"}});
    EXPECT_FALSE(CopyDirectoryTree(prog(u"src"_s), prog(u"src/inner"_s)));
    EXPECT_FALSE(CopyDirectoryTree(prog(u"src"_s), prog(u"src"_s)));
    EXPECT_FALSE(CopyDirectoryTree(u"/"_s, prog(u"root-copy"_s)));
    EXPECT_FALSE(CopyDirectoryTree(QString(), prog(u"empty-copy"_s)));
    EXPECT_FALSE(CopyDirectoryTree(prog(u"src"_s), u"/"_s));
    EXPECT_FALSE(QFileInfo::exists(prog(u"root-copy"_s)));
    EXPECT_FALSE(QFileInfo::exists(u"/a"_s));
    EXPECT_FALSE(QFileInfo::exists(prog(u"src/inner"_s)));

    struct OpenData : OpenDatabaseCheck {
        QString open;
        bool holdsOpenDatabase(const QString& dir) const override {
            return QDir::cleanPath(dir) == QDir::cleanPath(open);
        }
    } check;
    check.open = prog(u"src"_s);
    OpenDatabaseCheck* previous = SetOpenDatabaseCheck(&check);
    presenter.boxes.clear();
    EXPECT_FALSE(CopyDirectoryTree(prog(u"src"_s), prog(u"copy"_s)));
    EXPECT_FALSE(QFileInfo::exists(prog(u"copy/a"_s)));
    EXPECT_EQ(presenter.texts(Kind::Error).size(), 1);
    check.open.clear();
    EXPECT_TRUE(CopyDirectoryTree(prog(u"src"_s), prog(u"copy"_s)));
    SetOpenDatabaseCheck(previous);
}

TEST_F(FileHelpersTest, TreeDeleteRefusesDangerousPaths) {
    QDir().mkpath(prog(u"child"_s));
    const QString refused[] = {
        QString(),
        u"/"_s,
        u"C:\\"_s,
        u"/a"_s,
        u"relative/dir"_s,
        QDir::homePath(),
        QDir::homePath() + u'/',
        ProgramDir,
        QFileInfo(ProgramDir + u"..").absoluteFilePath(),
        QDir::tempPath(),
    };
    for (const QString& path : refused)
        EXPECT_FALSE(DeleteDirectoryTree(path)) << path.toStdString();
    EXPECT_TRUE(QFileInfo(prog(u"child"_s)).isDir());
}

TEST_F(FileHelpersTest, TreeDeleteRemovesProtectedFilesButNotLinkTargets) {
    makeTree(prog(u"tree"_s), {{u"a"_s, "A"}, {u"sub/b"_s, "B"}, {u"sub/deeper/c"_s, "C"}});
    QFile::setPermissions(prog(u"tree/sub/b"_s), QFileDevice::ReadOwner);
    makeTree(root(u"outside"_s), {{u"keep"_s, "K"}});
    ASSERT_TRUE(QFile::link(root(u"outside"_s), prog(u"tree/link"_s)));
    EXPECT_TRUE(DeleteDirectoryTree(prog(u"tree/"_s)));
    EXPECT_FALSE(QFileInfo::exists(prog(u"tree"_s)));
    EXPECT_EQ(readBytes(root(u"outside/keep"_s)), QByteArray("K"));
    EXPECT_FALSE(DeleteDirectoryTree(prog(u"tree"_s)));
}

TEST_F(FileHelpersTest, MatchingFilesAreCopiedAndCounted) {
    makeTree(prog(u"Data0000"_s), {{u"Kostart.DB"_s, "1"},
                                   {u"Kostart.PX"_s, "2"},
                                   {u"Plz.DB"_s, "3"},
                                   {u"Kunden.DB"_s, "4"}});
    QDir().mkpath(prog(u"Data0000/Kostart.dir"_s));
    EXPECT_EQ(CountMatchingFiles(prog(u"Data0000"_s), u"Kostart.*"_s), 2);
    EXPECT_EQ(CopyMatchingFiles(prog(u"Data0000"_s), prog(u"Data0001"_s), u"Kostart.*"_s), 2);
    EXPECT_EQ(treeOf(prog(u"Data0001"_s)),
              (QMap<QString, QByteArray>{{u"Kostart.DB"_s, "1"}, {u"Kostart.PX"_s, "2"}}));

    EXPECT_EQ(CopyMatchingFiles(prog(u"Data0000"_s), prog(u"Empty"_s), u"Nothing.*"_s), 0);
    EXPECT_TRUE(QFileInfo(prog(u"Empty"_s)).isDir());
    EXPECT_TRUE(presenter.boxes.isEmpty());

    SetFileCopyFault([](const QString& source, const QString&) { return source.endsWith(u".PX"); });
    EXPECT_EQ(CopyMatchingFiles(prog(u"Data0000"_s), prog(u"Data0002"_s), u"Kostart.*"_s), 0);
    EXPECT_EQ(presenter.texts(Kind::Error),
              QStringList({u"Datei Kostart.PX\rkann nicht kopiert werden"_s}));
}

const QMap<QString, QByteArray> kOldData{{u"Kunden.DB"_s, "old customers"},
                                         {u"Kunden.PX"_s, "old index"},
                                         {u"Notes.txt"_s, "mine"},
                                         {u"sub/Extra.DB"_s, "old extra"}};
const QMap<QString, QByteArray> kUpgraded{{u"Kunden.DB"_s, "new customers"},
                                          {u"Kunden.PX"_s, "new index"},
                                          {u"Neu.DB"_s, "new table"},
                                          {u"sub/Extra.DB"_s, "new extra"}};

TEST_F(FileHelpersTest, ReplaceDirectoryMergesAndKeepsTheOldVersion) {
    makeTree(prog(u"Data0001"_s), kOldData);
    makeTree(prog(u"DataTemp"_s), kUpgraded);
    ASSERT_TRUE(ReplaceDirectory(prog(u"Data0001/"_s), prog(u"DataTemp"_s), 7));

    QMap<QString, QByteArray> merged = kUpgraded;
    merged.insert(u"Notes.txt"_s, "mine");
    EXPECT_EQ(treeOf(prog(u"Data0001"_s)), merged);
    EXPECT_EQ(treeOf(prog(u"Data0001.007"_s)), kOldData);
    EXPECT_FALSE(QFileInfo::exists(prog(u"DataTemp"_s)));
    // No working copies are left beside the directory.
    EXPECT_EQ(QDir(ProgramDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList({u"Data0001"_s, u"Data0001.007"_s}));
    EXPECT_TRUE(presenter.boxes.isEmpty());
}

// A copy that fails at some point of the replacement must leave the
// directory exactly as it was, and an earlier saved copy too.
TEST_F(FileHelpersTest, ReplaceDirectoryFailureLeavesTheOldDirectoryIntact) {
    const struct {
        const char* where;
        // Fails the copy of this file from a path containing `from` to a
        // path containing `into`.
        QString file;
        QString from;
        QString into;
        QString message; // from -> to of the final message
    } faults[] = {
        {"saving the old state", u"Kunden.PX"_s, u"/Data0001/"_s, u"/Data0001.230"_s,
         u"Data0001 -> Data0001.230"_s},
        {"staging the old state", u"Notes.txt"_s, u"/Data0001/"_s, u"/Data0001.neu"_s,
         u"DataTemp -> Data0001"_s},
        {"staging the new tables", u"Neu.DB"_s, u"/DataTemp/"_s, u"/Data0001.neu"_s,
         u"DataTemp -> Data0001"_s},
        {"deep in the new tables", u"Extra.DB"_s, u"/DataTemp/"_s, u"/Data0001.neu"_s,
         u"DataTemp -> Data0001"_s},
    };
    const QMap<QString, QByteArray> earlierSave{{u"Kunden.DB"_s, "earlier"},
                                                {u"Only-earlier"_s, "e"}};
    for (const bool savedExisted : {false, true}) {
        for (const auto& fault : faults) {
            SCOPED_TRACE(std::string(fault.where) + (savedExisted ? ", saved copy existed" : ""));
            QDir(ProgramDir).removeRecursively();
            QDir().mkpath(ProgramDir);
            presenter.boxes.clear();
            makeTree(prog(u"Data0001"_s), kOldData);
            makeTree(prog(u"DataTemp"_s), kUpgraded);
            if (savedExisted)
                makeTree(prog(u"Data0001.230"_s), earlierSave);

            SetFileCopyFault([&](const QString& source, const QString& dest) {
                return QFileInfo(source).fileName() == fault.file && source.contains(fault.from) &&
                       dest.contains(fault.into);
            });
            EXPECT_FALSE(ReplaceDirectory(prog(u"Data0001"_s), prog(u"DataTemp"_s), 230));
            SetFileCopyFault({});

            EXPECT_EQ(treeOf(prog(u"Data0001"_s)), kOldData);
            EXPECT_EQ(treeOf(prog(u"DataTemp"_s)), kUpgraded);
            // The saved copy changes only together with the directory.
            const QMap<QString, QByteArray> noSave;
            EXPECT_EQ(treeOf(prog(u"Data0001.230"_s)), savedExisted ? earlierSave : noSave);
            EXPECT_EQ(QFileInfo::exists(prog(u"Data0001.230"_s)), savedExisted);

            const QStringList errors = presenter.texts(Kind::Error);
            ASSERT_FALSE(errors.isEmpty());
            const QString from = fault.message.section(u" -> "_s, 0, 0);
            const QString to = fault.message.section(u" -> "_s, 1, 1);
            EXPECT_TRUE(errors.last().startsWith(u"Verzeichnis kann nicht kopiert werden:\r"_s +
                                                 prog(from) + u" -> "_s + prog(to) +
                                                 u"\rFehlercode :"_s))
                << errors.last().toStdString();
            EXPECT_TRUE(errors.last().endsWith(u"\rProgramm wird beendet!"_s));
            for (const QString& entry :
                 QDir(ProgramDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                EXPECT_TRUE(entry == u"Data0001" || entry == u"DataTemp" ||
                            entry == u"Data0001.230")
                    << entry.toStdString();
        }
    }
}

TEST_F(FileHelpersTest, ReplaceDirectoryMergesIntoAnEarlierSavedCopy) {
    makeTree(prog(u"Data0001"_s), kOldData);
    makeTree(prog(u"DataTemp"_s), kUpgraded);
    makeTree(prog(u"Data0001.007"_s), {{u"Kunden.DB"_s, "earlier"}, {u"Only-earlier"_s, "e"}});
    ASSERT_TRUE(ReplaceDirectory(prog(u"Data0001"_s), prog(u"DataTemp"_s), 7));
    QMap<QString, QByteArray> saved = kOldData;
    saved.insert(u"Only-earlier"_s, "e");
    EXPECT_EQ(treeOf(prog(u"Data0001.007"_s)), saved);
}

TEST_F(FileHelpersTest, ReplaceDirectoryRefusesADirectoryWithAnOpenDatabase) {
    makeTree(prog(u"Data0001"_s), kOldData);
    makeTree(prog(u"DataTemp"_s), kUpgraded);
    struct AllOpen : OpenDatabaseCheck {
        bool holdsOpenDatabase(const QString& dir) const override {
            return QDir::cleanPath(dir).endsWith(u"/Data0001");
        }
    } check;
    OpenDatabaseCheck* previous = SetOpenDatabaseCheck(&check);
    EXPECT_FALSE(ReplaceDirectory(prog(u"Data0001"_s), prog(u"DataTemp"_s), 1));
    SetOpenDatabaseCheck(previous);
    EXPECT_EQ(treeOf(prog(u"Data0001"_s)), kOldData);
    EXPECT_FALSE(QFileInfo::exists(prog(u"Data0001.001"_s)));
}

} // namespace

namespace {

// Every entry below dir (links as links, not followed) with its content or
// its link target: a refusal must leave all of it as it was.
std::string snapshot(const QString& dir) {
    QMap<QString, QByteArray> entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        QByteArray value = "dir";
        if (info.isSymLink()) {
            value = "-> " + info.symLinkTarget().toUtf8();
        } else if (info.isFile()) {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            value = file.readAll();
        }
        entries.insert(QDir(dir).relativeFilePath(path), value);
    }
    std::string text;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        text += it.key().toStdString() + ": " + it.value().toStdString() + "\n";
    return text;
}

} // namespace

// Paths spelled through symbolic links, "." and "..": every helper checks
// the path the system would really use, before it changes anything.
TEST_F(FileHelpersTest, PathsThroughLinksAreRefusedWithNothingChanged) {
    makeTree(prog(u"Data0001"_s), {{u"domvera.sqlite"_s, "customers"}, {u"sub/x"_s, "X"}});
    makeTree(prog(u"DataTemp"_s), {{u"domvera.sqlite"_s, "new"}});
    makeTree(root(u"outside"_s), {{u"keep"_s, "K"}});
    ASSERT_TRUE(QFile::link(ProgramDir, root(u"to-prog"_s)));
    ASSERT_TRUE(QFile::link(prog(u"Data0001"_s), root(u"to-data"_s)));
    ASSERT_TRUE(QFile::link(prog(u"Data0001"_s), prog(u"Data0001/sub/back"_s)));
    ASSERT_TRUE(QFile::link(root(), root(u"outside/to-root"_s)));

    const struct {
        const char* what;
        std::function<bool()> call;
    } cases[] = {
        {"delete the program directory through a link and '.'",
         [&] { return DeleteDirectoryTree(root(u"to-prog/."_s)); }},
        {"delete the program directory as 'Data0001/..'",
         [&] { return DeleteDirectoryTree(prog(u"Data0001/.."_s)); }},
        {"delete the program directory as 'link/..' where link is inside it",
         [&] { return DeleteDirectoryTree(prog(u"Data0001/sub/back/.."_s)); }},
        {"delete the directory holding the program directory through a link",
         [&] { return DeleteDirectoryTree(root(u"outside/to-root/"_s)); }},
        {"copy a directory into itself through a link",
         [&] { return CopyDirectoryTree(prog(u"Data0001"_s), root(u"to-data/inner"_s)); }},
        {"copy a directory reached through a link into itself",
         [&] { return CopyDirectoryTree(root(u"to-data"_s), prog(u"Data0001/sub/inner"_s)); }},
        {"copy a directory into its own subdirectory through '..'",
         [&] { return CopyDirectoryTree(prog(u"Data0001/sub/.."_s), prog(u"Data0001/new"_s)); }},
        {"copy a file onto itself through a link",
         [&] {
             return CopyFileKeepDate(prog(u"Data0001/domvera.sqlite"_s),
                                     root(u"to-data/domvera.sqlite"_s));
         }},
        {"copy the files of a directory onto themselves",
         [&] { return CopyMatchingFiles(prog(u"Data0001"_s), root(u"to-data/"_s), u"*"_s) > 0; }},
        {"replace a directory by itself through a link",
         [&] { return ReplaceDirectory(prog(u"Data0001"_s), root(u"to-data"_s), 230); }},
        {"replace a directory by a work copy inside it",
         [&] { return ReplaceDirectory(prog(u"Data0001"_s), prog(u"Data0001/sub"_s), 230); }},
    };
    const std::string before = snapshot(root());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(c.call());
        EXPECT_EQ(snapshot(root()), before);
    }
    // The same helpers still work on sound paths.
    EXPECT_TRUE(CopyDirectoryTree(root(u"to-data"_s), prog(u"Copy"_s)));
    EXPECT_EQ(readBytes(prog(u"Copy/domvera.sqlite"_s)), QByteArray("customers"));
    EXPECT_TRUE(DeleteDirectoryTree(root(u"to-data"_s))); // the link alone
    EXPECT_EQ(readBytes(prog(u"Data0001/domvera.sqlite"_s)), QByteArray("customers"));
    EXPECT_TRUE(DeleteDirectoryTree(prog(u"Copy/sub/.."_s)));
    EXPECT_FALSE(QFileInfo::exists(prog(u"Copy"_s)));
    EXPECT_EQ(readBytes(prog(u"Data0001/sub/x"_s)), QByteArray("X"));
}

// Without a check of its own the program counts the databases it holds open:
// such a directory is neither copied nor replaced, also when it is named
// through a link or as its parent, and once closed it is.
TEST_F(FileHelpersTest, ADirectoryWhoseDatabaseIsReallyOpenIsNeitherCopiedNorReplaced) {
    makeTree(prog(u"DataTemp"_s), kUpgraded);
    table::Database::Options scratch;
    scratch.syncToDisk = false;
    auto open = table::Database::open(prog(u"Data0001"_s), scratch);
    ASSERT_TRUE(QFile::link(prog(u"Data0001"_s), root(u"to-data"_s)));
    const std::string before = snapshot(root());
    EXPECT_FALSE(CopyDirectoryTree(root(u"to-data"_s), prog(u"Copy"_s)));
    EXPECT_FALSE(CopyDirectoryTree(ProgramDir, root(u"prog-copy"_s)));
    EXPECT_FALSE(ReplaceDirectory(prog(u"Data0001"_s), prog(u"DataTemp"_s), 230));
    EXPECT_EQ(snapshot(root()), before);
    EXPECT_EQ(presenter.texts(Kind::Error).size(), 3);

    open.reset();
    EXPECT_TRUE(CopyDirectoryTree(root(u"to-data"_s), prog(u"Copy"_s)));
    EXPECT_TRUE(QFileInfo::exists(prog(u"Copy/domvera.sqlite"_s)));
}
