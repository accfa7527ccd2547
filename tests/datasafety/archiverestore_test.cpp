#include "archivefixture.h"
#include "core/files/filehelpers.h"
#include "core/files/programdirs.h"
#include "datasafety/archiveformat.h"
#include "datasafety/archiverestore.h"
#include "datasafety/restoreswap.h"
#include "platform/table/filelock.h"

#include <QFile>
#include <QtEndian>
#include <functional>

using backuptest::ArchiveTest;
using backuptest::MixedFiles;
using backuptest::RecordingObserver;
using namespace Qt::StringLiterals;

namespace {

using Files = QMap<QString, QByteArray>;

const QDateTime kStored(QDate(2026, 12, 7), QTime(16, 45, 20));

class ArchiveRestoreTest : public ArchiveTest {
protected:
    void TearDown() override {
        SetRestoreFault({});
        ArchiveTest::TearDown();
    }
    // An archive of these files, each written at kStored plus its index in hours.
    QString archiveOf(const Files& files) {
        const QString source = dir(u"src"_s);
        int hour = 0;
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            writeFile(source, it.key(), it.value(), kStored.addSecs(3600 * hour++));
        return backup(source, dir(u"backup"_s));
    }
    // The target as the user left it: old files and a subdirectory of their own.
    QString oldTarget() {
        const QString target = dir(u"target"_s);
        QDir(target).removeRecursively();
        const RestoreWorkPaths paths = RestoreWorkPathsOf(target);
        QDir(paths.staging).removeRecursively();
        QDir(paths.retired).removeRecursively();
        QFile::remove(paths.state);
        writeFile(target, u"Kunden.DB"_s, "alte Kunden");
        writeFile(target, u"Veraltet.txt"_s, "weg damit");
        writeFile(target, u".versteckt"_s, "auch weg");
        writeFile(target + u"/Unterordner"_s, u"bleibt.txt"_s, "bleibt");
        return target;
    }
    static Files oldFiles() {
        return {{u"Kunden.DB"_s, "alte Kunden"},
                {u"Veraltet.txt"_s, "weg damit"},
                {u".versteckt"_s, "auch weg"}};
    }
    bool restore(const QString& target, const QString& archive,
                 const RestoreOptions& options = {}) {
        observer = RecordingObserver{};
        return RestoreBackupArchive(target, archive, observer, options, &result);
    }
    // Nothing of a restore is left beside the target; its subdirectory is untouched.
    void expectNoWorkLeft(const QString& target) {
        const RestoreWorkPaths paths = RestoreWorkPathsOf(target);
        EXPECT_FALSE(QFileInfo::exists(paths.staging));
        EXPECT_FALSE(QFileInfo::exists(paths.retired));
        EXPECT_FALSE(QFileInfo::exists(paths.state));
        EXPECT_EQ(readBytes(target + u"/Unterordner/bleibt.txt"_s), "bleibt");
    }
    // Rewrites bytes of an archive file in place.
    static void patch(const QString& path, qint64 offset, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(offset);
        file.write(bytes);
    }
    static QByteArray le32(qint32 value) {
        QByteArray bytes(4, '\0');
        qToLittleEndian<qint32>(value, bytes.data());
        return bytes;
    }

    RecordingObserver observer;
    RestoreResult result;
};

const Files kNew{{u"Kunden.DB"_s, "neue Kunden"},
                 {u"Objekte.DB"_s, QByteArray(5000, 'o')},
                 {u"Leer.txt"_s, QByteArray()}};

} // namespace

TEST_F(ArchiveRestoreTest, RoundTripOfMixedFilesWithTheirDates) {
    const Files files = MixedFiles();
    const QString archive = archiveOf(files);
    ASSERT_FALSE(archive.isEmpty());
    const QString target = oldTarget();
    ASSERT_TRUE(restore(target + u'/', archive));
    EXPECT_EQ(filesOf(target), files);
    int hour = 0;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        EXPECT_EQ(writtenAt(QDir(target).filePath(it.key())), kStored.addSecs(3600 * hour++))
            << it.key().toStdString();
    expectNoWorkLeft(target);
    EXPECT_TRUE(errors().isEmpty());
    EXPECT_EQ(result.files, 5);
    EXPECT_EQ(observer.view, BackupView::Restoring);
    EXPECT_EQ(observer.caption, archive);
    EXPECT_EQ(observer.comment, u"Test");
    EXPECT_EQ(observer.rows.size(), 6);
    EXPECT_EQ(observer.rows[0].value(2), u"OK");
    EXPECT_EQ(observer.rows.last().first(), u"Es wurden 5 Dateien wiederhergestellt.");
    EXPECT_EQ(observer.rows.last().value(1), ByteColumn(result.bytes));
    EXPECT_EQ(observer.progressMax, result.bytes);
    EXPECT_EQ(observer.progress, result.bytes);
    EXPECT_FALSE(observer.progressWentBack);
}

TEST_F(ArchiveRestoreTest, AMissingTargetDirectoryIsCreated) {
    const QString archive = archiveOf(kNew);
    const QString target = root(u"neu/tiefer"_s);
    ASSERT_TRUE(restore(target, archive));
    EXPECT_EQ(filesOf(target), kNew);
}

TEST_F(ArchiveRestoreTest, DamagedArchivesLeaveTheTargetUnchanged) {
    const QString pristine = archiveOf(kNew);
    const QByteArray bytes = readBytes(pristine);
    // Records: 0 info, then Kunden.DB, Leer.txt, Objekte.DB (name order).
    const QString damaged = u"Die Sicherungsdatei "_s + pristine + u" ist beschädigt: "_s;
    const QString unreadableHeader =
        u"Die Sicherungsdatei ist beschädigt und kann nicht wiederhergestellt werden!"_s;
    const struct {
        const char* what;
        std::function<void(const QString&)> damage;
        QString message;
    } cases[] = {
        {"truncated stream", [&](const QString& p) { QFile::resize(p, bytes.size() - 1); },
         u"Datei "_s + pristine + u" kann nicht gelesen werden!"_s},
        {"truncated header", [&](const QString& p) { QFile::resize(p, 2 * 84); }, unreadableHeader},
        {"cut first record", [&](const QString& p) { QFile::resize(p, 40); }, unreadableHeader},
        {"count beyond the file", [&](const QString& p) { patch(p, 72, le32(1000000)); },
         unreadableHeader},
        {"name length beyond its field", [&](const QString& p) { patch(p, 84, "\x43"); },
         unreadableHeader},
        {"oversized", [&](const QString& p) { patch(p, bytes.size(), "x"); },
         damaged + u"Die Datei ist länger, als ihr Dateikopf angibt!"},
        {"inconsistent", [&](const QString& p) { patch(p, 68, le32(1)); },
         damaged + u"Die Summen im Dateikopf stimmen nicht!"},
        {"negative count", [&](const QString& p) { patch(p, 72, le32(-3)); }, unreadableHeader},
        {"escaping name", [&](const QString& p) { patch(p, 84 + 1, "../Kunden"); },
         damaged + u"Der Dateiname \"../Kunden\" ist unzulässig!"},
        {"separator name", [&](const QString& p) { patch(p, 84 + 1, "a\\..\\x.DB"); },
         damaged + u"Der Dateiname \"a\\..\\x.DB\" ist unzulässig!"},
        {"wrong length",
         [&](const QString& p) {
             // Header sums kept consistent: only inflating shows the fault.
             patch(p, 3 * 84 + 68, le32(4999));
             patch(p, 68, le32(5010));
         },
         u"Bei der Dekompression der Daten ist ein Fehler aufgetreten!"_s},
        {"corrupt stream",
         [&](const QString& p) {
             patch(p, bytes.size() - 3, QByteArray(1, char(bytes.at(bytes.size() - 3) ^ 0x55)));
         },
         u"Bei der Dekompression der Daten ist ein Fehler aufgetreten!"_s},
        {"stream with a tail",
         [&](const QString& p) {
             // The empty file's stream claims one byte more; the next stream shrinks by one.
             const qint32 packed1 = qFromLittleEndian<qint32>(bytes.constData() + 2 * 84 + 76);
             const qint32 packed2 = qFromLittleEndian<qint32>(bytes.constData() + 3 * 84 + 76);
             patch(p, 2 * 84 + 76, le32(packed1 + 1));
             patch(p, 3 * 84 + 76, le32(packed2 - 1));
         },
         u"Bei der Dekompression der Daten ist ein Fehler aufgetreten!"_s},
    };
    for (const auto& c : cases) {
        const QString archive = root(u"backup/kaputt.CCL"_s);
        QFile::remove(archive);
        writeBytes(archive, bytes);
        c.damage(archive);
        presenter.boxes.clear();
        const QString target = oldTarget();
        EXPECT_FALSE(restore(target, archive)) << c.what;
        QString expected = c.message;
        expected.replace(pristine, archive);
        EXPECT_EQ(errors(), QStringList{expected}) << c.what;
        EXPECT_EQ(filesOf(target), oldFiles()) << c.what;
        expectNoWorkLeft(target);
    }
}

TEST_F(ArchiveRestoreTest, AMissingArchiveIsReported) {
    const QString target = oldTarget();
    EXPECT_FALSE(restore(target, root(u"backup/fehlt.CCB"_s)));
    EXPECT_EQ(
        errors(),
        QStringList{u"Datei "_s + root(u"backup/fehlt.CCB"_s) +
                    u" kann nicht geöffnet werden!\rDie Datenrestauration wird abgebrochen!"_s});
    EXPECT_EQ(filesOf(target), oldFiles());
}

TEST_F(ArchiveRestoreTest, AFileThatCannotBeWrittenStopsWithTheTargetUnchanged) {
    const QString archive = archiveOf(kNew);
    SetRestoreFault([](RestoreStep step, const QString& item) {
        return step == RestoreStep::Stage && item == u"Leer.txt" ? FaultAction::Fail
                                                                 : FaultAction::Proceed;
    });
    const QString target = oldTarget();
    EXPECT_FALSE(restore(target, archive));
    EXPECT_EQ(
        errors(),
        QStringList{u"Es sind Fehler aufgetreten!\r1 Dateien konnten nicht restauriert werden"_s});
    EXPECT_EQ(observer.rows[1], (QStringList{u"Leer.txt"_s, u"           0"_s, u"FEHLER"_s, {}}));
    EXPECT_EQ(result.errors, 1);
    EXPECT_EQ(filesOf(target), oldFiles());
    expectNoWorkLeft(target);
}

TEST_F(ArchiveRestoreTest, ADatabaseArchiveMustHoldADatabaseOfThisProgram) {
    const struct {
        const char* what;
        Files files;
    } cases[] = {
        {"other engine's files", {{u"Firmen.DB"_s, "Paradox"}, {u"Firmen.PX"_s, "index"}}},
        // The writer never stores such a file: the name is patched in below.
        {"no database file", {{u"domvera.sqlitX"_s, "kein SQLite"}}},
    };
    for (const auto& c : cases) {
        QDir(root(u"src"_s)).removeRecursively();
        QDir(root(u"backup"_s)).removeRecursively();
        const QString archive = archiveOf(c.files);
        if (c.files.contains(u"domvera.sqlitX"_s))
            patch(archive, 84 + 1, "domvera.sqlite");
        presenter.boxes.clear();
        const QString target = oldTarget();
        EXPECT_FALSE(restore(target, archive, RestoreOptionsForKind(u"CCB"_s))) << c.what;
        EXPECT_EQ(
            errors(),
            QStringList{
                u"Die Sicherungsdatei "_s + archive +
                u" enthält keine Datenbank dieses Programms.\rDie bisherigen Daten bleiben unverändert."_s})
            << c.what;
        EXPECT_EQ(filesOf(target), oldFiles()) << c.what;
        expectNoWorkLeft(target);
    }
}

TEST_F(ArchiveRestoreTest, ADirectoryWhoseDatabaseIsOpenIsRefused) {
    const QString archive = archiveOf(kNew);
    const QString target = oldTarget();
    struct Open : OpenDatabaseCheck {
        QString dir;
        bool holdsOpenDatabase(const QString& d) const override {
            return QDir::cleanPath(d) == QDir::cleanPath(dir);
        }
    } check;
    check.dir = target;
    OpenDatabaseCheck* previous = SetOpenDatabaseCheck(&check);
    EXPECT_FALSE(restore(target, archive));
    SetOpenDatabaseCheck(previous);
    EXPECT_EQ(errors(), QStringList{u"Die Datenbank im Verzeichnis "_s + target +
                                    u" ist geöffnet und kann nicht wiederhergestellt werden!"_s});
    EXPECT_EQ(filesOf(target), oldFiles());
}

TEST_F(ArchiveRestoreTest, EmptyTargetDirectoryDeletesPlainFilesOnly) {
    const QString target = oldTarget();
    QFile::setPermissions(target + u"/Kunden.DB"_s, QFileDevice::ReadOwner);
    EXPECT_TRUE(EmptyTargetDirectory(target));
    EXPECT_TRUE(filesOf(target).isEmpty());
    EXPECT_EQ(readBytes(target + u"/Unterordner/bleibt.txt"_s), "bleibt");
}

// Every step of a restore, failing or killed: afterwards (once the next
// restore has finished what was left) the target holds either its old files
// or exactly the archive's, and nothing of the restore lies beside it.
TEST_F(ArchiveRestoreTest, FaultsAtEveryStepLeaveOldOrNewFiles) {
    const QString archive = archiveOf(kNew);
    struct Call {
        RestoreStep step;
        QString item;
    };
    QList<Call> calls;
    SetRestoreFault([&](RestoreStep step, const QString& item) {
        calls.append({step, item});
        return FaultAction::Proceed;
    });
    ASSERT_TRUE(restore(oldTarget(), archive));
    const QList<Call> steps = calls;
    ASSERT_GE(steps.size(), 12);

    // A first fault in the middle of placing sends the swap back through
    // every undo step, so that those can be hit by a second fault.
    int placeFault = -1;
    for (int i = 0; i < steps.size(); ++i)
        if (steps[i].step == RestoreStep::Place && placeFault < 0 && steps[i].item == u"Leer.txt")
            placeFault = i;
    ASSERT_GE(placeFault, 0);

    const auto run = [&](int firstFault, int secondFault, FaultAction action, const char* what) {
        const QString target = oldTarget();
        int index = 0;
        SetRestoreFault([&](RestoreStep, const QString&) {
            const int at = index++;
            if (at == firstFault)
                return FaultAction::Fail;
            if (at == secondFault)
                return action;
            return FaultAction::Proceed;
        });
        presenter.boxes.clear();
        const bool ok = restore(target, archive);
        SetRestoreFault({});
        const Files after = filesOf(target);
        const bool pending = QFileInfo::exists(RestoreWorkPathsOf(target).state);
        if (action == FaultAction::Fail && !pending) {
            // A plain failure is backed out at once.
            EXPECT_EQ(after, ok ? kNew : oldFiles()) << what << " at " << secondFault;
        }
        EXPECT_TRUE(FinishInterruptedRestore(target)) << what << " at " << secondFault;
        const Files finished = filesOf(target);
        EXPECT_TRUE(finished == oldFiles() || finished == kNew) << what << " at " << secondFault;
        if (ok) {
            EXPECT_EQ(finished, kNew) << what << " at " << secondFault;
        }
        expectNoWorkLeft(target);
    };
    for (int i = 0; i < steps.size(); ++i) {
        run(-1, i, FaultAction::Fail, "fail");
        run(-1, i, FaultAction::Kill, "kill");
    }
    // The undo path is longer than the steps of a sound run.
    for (int i = placeFault + 1; i < placeFault + 12; ++i) {
        run(placeFault, i, FaultAction::Fail, "fail after failed place");
        run(placeFault, i, FaultAction::Kill, "kill after failed place");
    }
}

// A restore killed half-way in a client's filing directory is completed by
// the next start, unless another workstation holds that directory's restore
// lock right now: then the start stops with a message and changes nothing,
// and a restore there is refused as well.
TEST_F(ArchiveRestoreTest, TheStartCompletesAKilledRestoreOfAnyClientUnlessOneRunsElsewhere) {
    const QString archive = archiveOf(kNew);
    const QString target = QDir::cleanPath(GetMandantAblgDir(2));
    writeFile(target, u"Kunden.DB"_s, "alte Kunden");
    writeFile(target + u"/Unterordner"_s, u"bleibt.txt"_s, "bleibt");
    SetRestoreFault([](RestoreStep step, const QString&) {
        return step == RestoreStep::Place ? FaultAction::Kill : FaultAction::Proceed;
    });
    EXPECT_FALSE(restore(target, archive));
    SetRestoreFault({});
    const RestoreWorkPaths paths = RestoreWorkPathsOf(target);
    ASSERT_TRUE(QFileInfo::exists(paths.state));
    const Files halfWay = filesOf(target);

    {
        table::FileLock elsewhere(paths.lock);
        ASSERT_TRUE(elsewhere.tryLockExclusive());
        presenter.boxes.clear();
        EXPECT_FALSE(FinishInterruptedClientRestores());
        EXPECT_FALSE(restore(target, archive));
        EXPECT_EQ(errors().size(), 2);
        EXPECT_TRUE(errors().first().contains(target)) << errors().first().toStdString();
        EXPECT_TRUE(QFileInfo::exists(paths.state));
        EXPECT_EQ(filesOf(target), halfWay);
    }

    presenter.boxes.clear();
    EXPECT_TRUE(FinishInterruptedClientRestores());
    EXPECT_TRUE(errors().isEmpty());
    EXPECT_EQ(filesOf(target), kNew);
    expectNoWorkLeft(target);
    // Nothing of a restore lies beside the other clients' directories.
    EXPECT_FALSE(QFileInfo::exists(RestoreWorkPathsOf(GetMandantDataDir(1)).lock));
}

// A client's working and archive databases restored together: a kill at any
// step of the pair leaves, once the next start has finished, both
// directories old or both new, never one of each, whichever directory the
// start looks at first.
TEST_F(ArchiveRestoreTest, AKilledPairRestoreEndsWithBothOldOrBothNew) {
    const Files newData{{u"Kunden.DB"_s, "neue Kunden"}, {u"Version.Dat"_s, "240"}};
    const Files newAblage{{u"Rechkopf.DB"_s, "neue Rechnungen"}};
    const Files oldData{{u"Kunden.DB"_s, "alte Kunden"}, {u"Alt.txt"_s, "alt"}};
    const Files oldAblage{{u"Rechkopf.DB"_s, "alte Rechnungen"}};
    const QString dataArchive = archiveOf(newData);
    QDir(root(u"src"_s)).removeRecursively();
    const QString ablageArchive = archiveOf(newAblage);
    const QString data = QDir::cleanPath(GetMandantDataDir(3));
    const QString ablage = QDir::cleanPath(GetMandantAblgDir(3));
    const auto reset = [&] {
        for (const auto& [target, files] :
             {std::pair{data, oldData}, std::pair{ablage, oldAblage}}) {
            const RestoreWorkPaths paths = RestoreWorkPathsOf(target);
            for (const QString& d : {target, paths.staging, paths.retired})
                QDir(d).removeRecursively();
            QFile::remove(paths.state);
            for (auto it = files.cbegin(); it != files.cend(); ++it)
                writeFile(target, it.key(), it.value());
        }
    };
    const auto restorePair = [&] {
        observer = RecordingObserver{};
        return RestoreBackupArchives({{data, dataArchive, {}}, {ablage, ablageArchive, {}}},
                                     observer);
    };
    int steps = 0;
    reset();
    SetRestoreFault([&](RestoreStep, const QString&) {
        ++steps;
        return FaultAction::Proceed;
    });
    ASSERT_TRUE(restorePair());
    EXPECT_EQ(filesOf(data), newData);
    EXPECT_EQ(filesOf(ablage), newAblage);
    ASSERT_GE(steps, 10);
    for (int kill = 0; kill < steps; ++kill) {
        for (bool ablageFirst : {false, true}) {
            reset();
            int index = 0;
            SetRestoreFault([&](RestoreStep, const QString&) {
                return index++ == kill ? FaultAction::Kill : FaultAction::Proceed;
            });
            EXPECT_FALSE(restorePair()) << kill;
            SetRestoreFault({});
            presenter.boxes.clear();
            if (ablageFirst) {
                EXPECT_TRUE(FinishInterruptedRestoreAtStart(ablage)) << kill;
            }
            EXPECT_TRUE(FinishInterruptedClientRestores()) << kill;
            EXPECT_TRUE(errors().isEmpty()) << kill;
            const bool isNew = filesOf(data) == newData;
            EXPECT_EQ(filesOf(data), isNew ? newData : oldData) << kill;
            EXPECT_EQ(filesOf(ablage), isNew ? newAblage : oldAblage) << kill;
            for (const QString& target : {data, ablage}) {
                const RestoreWorkPaths paths = RestoreWorkPathsOf(target);
                EXPECT_FALSE(QFileInfo::exists(paths.staging)) << kill;
                EXPECT_FALSE(QFileInfo::exists(paths.retired)) << kill;
                EXPECT_FALSE(QFileInfo::exists(paths.state)) << kill;
            }
        }
    }
}
