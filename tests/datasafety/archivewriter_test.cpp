#include "archivefixture.h"
#include "datasafety/archiveformat.h"
#include "datasafety/archiverestore.h"
#include "datasafety/archivewriter.h"
#include "datasafety/databasesnapshot.h"
#include "platform/table/database.h"
#include "platform/table/filelock.h"

#include <QFile>
#include <unistd.h>

using backuptest::ArchiveTest;
using backuptest::RecordingObserver;
using namespace Qt::StringLiterals;

namespace {

class ArchiveWriterTest : public ArchiveTest {
protected:
    bool write(const QString& source, const QString& name, const QString& comment = u"Test"_s) {
        return WriteBackupArchive(u"*.*"_s, source, name, comment, dir(u"backup"_s), 240, observer,
                                  &totals);
    }
    TheaderArray headerOf(const QString& name) {
        QFile file(QDir(root(u"backup"_s)).filePath(name));
        TheaderArray header;
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_GE(ReadArchiveHeader(file, header), 0);
        return header;
    }
    QStringList storedNames(const QString& name) {
        QStringList names;
        const TheaderArray header = headerOf(name);
        for (qsizetype i = 1; i < header.size(); ++i)
            names << header[i].fileName;
        return names;
    }
    // Everything in the backup directory, hidden working files included
    // (the empty lock file that keeps backups from cleaning up each other's
    // work is no working file).
    QStringList backupDirEntries() {
        QStringList entries =
            QDir(dir(u"backup"_s))
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        entries.removeAll(BackupWorkLockName());
        return entries;
    }

    RecordingObserver observer;
    BackupTotals totals;
};

const QString kName = u"FB08.12.2026v000.CCL"_s;

} // namespace

TEST_F(ArchiveWriterTest, GoldenBytesOfASmallArchive) {
    const QString source = dir(u"src"_s);
    writeFile(source, u"A.TXT"_s, "hallo", QDateTime(QDate(2026, 12, 8), QTime(10, 15, 31)));
    ASSERT_TRUE(write(source, kName));
    const QByteArray stream = QByteArray::fromHex("78dacb48ccc9c90700061c0211");
    QByteArray expected(2 * 84, '\0');
    expected[0] = 8;
    expected.replace(1, 8, "240:Test");
    expected.replace(68, 12,
                     QByteArray::fromHex("05000000"
                                         "01000000"
                                         "0d000000"));
    expected[80] = char(240);
    expected[84] = 5;
    expected.replace(85, 5, "A.TXT");
    expected.replace(84 + 68, 12,
                     QByteArray::fromHex("05000000"
                                         "ef51885d"
                                         "0d000000"));
    expected += stream;
    EXPECT_EQ(readBytes(QDir(root(u"backup"_s)).filePath(kName)).toHex(), expected.toHex());
    EXPECT_EQ(totals.files, 1);
    EXPECT_EQ(totals.bytes, 5);
    EXPECT_EQ(totals.packed, 13);
    EXPECT_EQ(observer.view, BackupView::Writing);
    ASSERT_EQ(observer.rows.size(), 1);
    EXPECT_EQ(observer.rows[0],
              (QStringList{u"A.TXT"_s, u"           5"_s, u"          13"_s, u"OK"_s}));
    EXPECT_EQ(observer.progressMax, 5);
    EXPECT_EQ(observer.progress, 5);
    EXPECT_EQ(BackupSummaryRow(totals).first(), u"Es wurden 1 Dateien gesichert,");
}

TEST_F(ArchiveWriterTest, SkipsLockFilesHiddenFilesJournalsAndDirectories) {
    const QString source = dir(u"src"_s);
    for (const QString& name : {u"PARADOX.LCK"_s, u"PDOXUSRS.LCK"_s, u"kunden.lck"_s, u".hidden"_s,
                                u"Kunden.DB"_s, u"domvera.sqlite-journal"_s, u"X.LCKX"_s})
        writeFile(source, name, "x");
    writeFile(source + u"/sub"_s, u"inner.txt"_s, "y");
    ASSERT_TRUE(write(source, kName));
    EXPECT_EQ(storedNames(kName), (QStringList{u"Kunden.DB"_s, u"X.LCKX"_s, u"kunden.lck"_s}));
    EXPECT_EQ(totals.files, 3);
}

TEST_F(ArchiveWriterTest, CommentIsCutToFitTheInfoText) {
    const QString source = dir(u"src"_s);
    writeFile(source, u"a"_s, "a");
    const QString comment = QString(62, u'k') + u"REST"_s;
    ASSERT_TRUE(write(source, kName, comment));
    EXPECT_EQ(headerOf(kName)[0].fileName, u"240:"_s + QString(62, u'k'));
    // Characters the code page lacks and line breaks do not break the record.
    ASSERT_TRUE(write(source, u"FB08.12.2026v001.CCL"_s, u"Zeile\r\nzwei 日"_s));
    EXPECT_EQ(headerOf(u"FB08.12.2026v001.CCL"_s)[0].fileName, u"240:Zeile  zwei ?");
}

TEST_F(ArchiveWriterTest, EmptyDirectoryGivesAHeaderOnlyArchive) {
    ASSERT_TRUE(write(dir(u"src"_s), kName));
    const QByteArray bytes = readBytes(QDir(root(u"backup"_s)).filePath(kName));
    ASSERT_EQ(bytes.size(), 84);
    EXPECT_EQ(bytes.mid(68, 12), QByteArray(12, '\0'));
    RecordingObserver restoreObserver;
    EXPECT_FALSE(RestoreBackupArchive(dir(u"target"_s), QDir(root(u"backup"_s)).filePath(kName),
                                      restoreObserver));
    EXPECT_EQ(errors(), QStringList{u"Die Sicherungsdatei enthält keine Daten!"_s});
}

TEST_F(ArchiveWriterTest, RefusesNamesItCannotStoreAndWritesNothing) {
    const struct {
        QString name;
        QString message;
    } cases[] = {
        {QString(67, u'n'), u" ist länger als 66 Zeichen und kann nicht gesichert werden!"_s},
        {u"日本.txt"_s, u" enthält Zeichen, die eine Sicherungsdatei nicht speichern kann!"_s},
    };
    for (const auto& c : cases) {
        const QString source = dir(u"src-"_s + QString::number(c.name.size()));
        writeFile(source, u"gut.txt"_s, "gut");
        writeFile(source, c.name, "x");
        presenter.boxes.clear();
        EXPECT_FALSE(write(source, kName));
        EXPECT_EQ(errors(), QStringList{u"Der Dateiname "_s + c.name + c.message +
                                        u"\rDie Datensicherung wird abgebrochen!"_s});
        EXPECT_TRUE(backupDirEntries().isEmpty());
    }
}

TEST_F(ArchiveWriterTest, AnUnreadableSourceLeavesNoArchive) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const QString source = dir(u"src"_s);
    writeFile(source, u"A.TXT"_s, "a");
    writeFile(source, u"B.TXT"_s, "b");
    QFile::setPermissions(QDir(source).filePath(u"B.TXT"_s), QFileDevice::Permissions());
    EXPECT_FALSE(write(source, kName));
    EXPECT_EQ(errors(), QStringList{u"Datei "_s + QDir(source).filePath(u"B.TXT"_s) +
                                    u" kann nicht geöffnet werden!"_s});
    EXPECT_TRUE(backupDirEntries().isEmpty());
    EXPECT_EQ(readBytes(QDir(source).filePath(u"A.TXT"_s)), "a");
}

TEST_F(ArchiveWriterTest, AFileThatShrinksWhileArchivedLeavesNoArchive) {
    // Another workstation cuts the file after the directory was listed.
    struct Shrinking : RecordingObserver {
        QString victim;
        int addRow(const QStringList& cells) override {
            if (cells.first() == u"B.TXT")
                QFile::resize(victim, 1);
            return RecordingObserver::addRow(cells);
        }
    } shrinking;
    const QString source = dir(u"src"_s);
    writeFile(source, u"A.TXT"_s, "a");
    writeFile(source, u"B.TXT"_s, QByteArray(1000, 'b'));
    shrinking.victim = QDir(source).filePath(u"B.TXT"_s);
    EXPECT_FALSE(WriteBackupArchive(u"*.*"_s, source, kName, {}, dir(u"backup"_s), 240, shrinking));
    EXPECT_EQ(errors(),
              QStringList{u"Datei "_s + shrinking.victim + u" kann nicht gelesen werden!"_s});
    EXPECT_TRUE(backupDirEntries().isEmpty());
}

TEST_F(ArchiveWriterTest, NeverOverwritesAnExistingArchive) {
    const QString source = dir(u"src"_s);
    writeFile(source, u"A.TXT"_s, "neu");
    writeFile(dir(u"backup"_s), kName, "alt");
    EXPECT_FALSE(write(source, kName));
    EXPECT_EQ(errors(),
              QStringList{u"Die Sicherungsdatei "_s + QDir(root(u"backup"_s)).filePath(kName) +
                          u" ist bereits vorhanden und wird nicht überschrieben!"_s});
    EXPECT_EQ(backupDirEntries(), QStringList{kName});
    EXPECT_EQ(readBytes(QDir(root(u"backup"_s)).filePath(kName)), "alt");
}

TEST_F(ArchiveWriterTest, RefusesAVersionTheByteCannotHold) {
    const QString source = dir(u"src"_s);
    writeFile(source, u"A.TXT"_s, "a");
    EXPECT_FALSE(WriteBackupArchive(u"*.*"_s, source, kName, {}, dir(u"backup"_s), 256, observer));
    EXPECT_EQ(errors().size(), 1);
    EXPECT_TRUE(backupDirEntries().isEmpty());
}

TEST_F(ArchiveWriterTest, ALiveDatabaseIsArchivedFromASnapshot) {
    const QString source = dir(u"data"_s);
    writeFile(source, u"Notiz.txt"_s, "n");
    table::Database::Options options;
    options.journalMode = table::JournalMode::Wal;
    auto db = table::Database::open(source, options);
    db->createTable({u"Firmen.DB"_s, {{u"F_Nr"_s, table::FieldType::Integer}}, {}});
    for (int i = 1; i <= 25; ++i)
        db->execSql(u"INSERT INTO Firmen (F_Nr) VALUES (?)"_s, {i});
    ASSERT_TRUE(QFileInfo::exists(source + u"/domvera.sqlite-wal"_s));

    ASSERT_TRUE(write(source, kName));
    EXPECT_EQ(storedNames(kName), (QStringList{u"Notiz.txt"_s, u"domvera.sqlite"_s}));
    // No working copy is left beside the archive.
    EXPECT_EQ(backupDirEntries(), QStringList{kName});

    RecordingObserver restoreObserver;
    const QString target = dir(u"restored"_s);
    ASSERT_TRUE(RestoreBackupArchive(target, QDir(root(u"backup"_s)).filePath(kName),
                                     restoreObserver, RestoreOptionsForKind(u"CCB"_s)));
    auto copy = table::Database::open(target);
    EXPECT_EQ(copy->execSql(u"UPDATE Firmen SET F_Nr = F_Nr"_s), 25);
}

// A killed backup leaves a copy of the database and an unfinished archive
// hidden in the backup directory: the next backup removes them, unless
// another backup works there right now.
TEST_F(ArchiveWriterTest, LeftoversOfAKilledBackupGoWithTheNextBackup) {
    const QString backupDir = dir(u"backup"_s);
    const auto leave = [&] {
        writeFile(backupDir + u"/.snapshot-Ab12Cd"_s, u"domvera.sqlite"_s, "Kundendaten");
        writeFile(backupDir, u".FB08.12.2026v000.CCB.x1Y2z3"_s, "halbes Archiv");
    };
    const QString source = dir(u"src"_s);
    writeFile(source, u"a.txt"_s, "a");
    leave();
    {
        // Another workstation's backup holds the directory.
        table::FileLock other(QDir(backupDir).filePath(BackupWorkLockName()));
        ASSERT_TRUE(other.tryLockShared());
        ASSERT_TRUE(write(source, u"FB08.12.2026v001.CCL"_s));
        EXPECT_EQ(backupDirEntries().size(), 3);
    }
    ASSERT_TRUE(write(source, u"FB08.12.2026v002.CCL"_s));
    EXPECT_EQ(backupDirEntries(),
              (QStringList{u"FB08.12.2026v001.CCL"_s, u"FB08.12.2026v002.CCL"_s}));
    // The start-up looks into the backup path in force as well.
    leave();
    const QString saved = BackupDir;
    BackupDir = backupDir;
    RemoveLeftoverBackupWorkAtStart();
    BackupDir = saved;
    EXPECT_EQ(backupDirEntries().size(), 2);
}
