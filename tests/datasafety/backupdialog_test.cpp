#include "backupdialogfixture.h"
#include "core/values/datetext.h"
#include "datasafety/archiveformat.h"
#include "platform/table/database.h"
#include "platform/table/table.h"

#include <QFile>

using backuptest::BackupDialogTest;
using namespace Qt::StringLiterals;

namespace {

const QString kComment = u"Autosicherung vor Rechnungsdruck am 08.12.2026"_s;

using BackupEntriesTest = BackupDialogTest;

} // namespace

TEST(BackupRights, EachModeAndKindNeedsItsRights) {
    using K = BackupKind;
    const BackupRight c48{48, rbCreate}, e48{48, rbExport}, d48{48, rbDelete};
    const BackupRight c51{51, rbCreate}, e51{51, rbExport}, d51{51, rbDelete};
    const struct {
        BackupKind kind;
        int mode;
        QList<BackupRight> rights;
    } cases[] = {
        {K::Databases, LocalBackup, {c48}},
        {K::Databases, TransportBackup, {c48, e48}},
        {K::Databases, VaultBackup, {c48, e48}},
        {K::Databases, LocalRestore, {c51}},
        {K::Databases, TransportRestore, {c51, e48}},
        {K::Databases, VaultRestore, {c51, e48}},
        {K::Databases, DeleteBackupsMode, {d48}},
        {K::Layouts, LocalBackup, {c48}},
        {K::Definitions, TransportBackup, {e48}},
        {K::DunningTemplates, VaultBackup, {c48, e48}},
        {K::TextModules, LocalRestore, {c51}},
        {K::Layouts, TransportRestore, {e51}},
        {K::Definitions, VaultRestore, {c51, e51}},
        {K::TextModules, DeleteBackupsMode, {d51}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BackupRightsOf(c.kind, c.mode), c.rights) << int(c.kind) << " " << c.mode;
}

// Create right of 48 without its export right: local backups only.
TEST_F(BackupEntriesTest, ARefusedRightOpensNoDialog) {
    CurrentUser.rights.set(48, rbView | rbCreate);
    const struct {
        std::function<void()> call;
        bool opens;
    } cases[] = {
        {[] { BackupDatabases(LocalBackup, kComment); }, true},
        {[] { BackupDatabases(TransportBackup, kComment); }, false},
        {[] { BackupDatabases(VaultBackup, kComment); }, false},
        {[] { BackupFormularLayouts(); }, true},
        {[] { BackupFormularLayoutsToDrive(); }, false},
    };
    for (const auto& c : cases) {
        window.opened = 0;
        presenter.boxes.clear();
        c.call();
        EXPECT_EQ(window.opened, c.opens ? 1 : 0);
        EXPECT_EQ(presenter.boxes.size(), c.opens ? 0 : 1);
        EXPECT_EQ(GetBackupResult(), 1);
    }
    CurrentUser.rights.set(48, rbExport);
    window.opened = 0;
    BackupFormularLayoutsToDrive();
    EXPECT_EQ(window.opened, 1);
}

TEST_F(BackupEntriesTest, CancelLeavesResultOneAndWritesNothing) {
    SetBackupResult(0);
    BackupDatabases(LocalBackup, kComment);
    EXPECT_EQ(window.opened, 1);
    EXPECT_EQ(GetBackupResult(), 1);
    EXPECT_TRUE(archivesIn(BackupDir).isEmpty());
    EXPECT_EQ(window.title, u"Datensicherung [sichern]");
    EXPECT_EQ(window.lastArgs.comment, kComment);
    EXPECT_EQ(window.lastArgs.sourceDir, DataDir);
    EXPECT_EQ(window.lastArgs.sourceDir2, AblageDir);
}

TEST_F(BackupEntriesTest, AnsweringNoToTheArchiveGivesOneArchiveNamedByLastArchivePath) {
    startWith({false});
    BackupDatabases(LocalBackup, kComment);
    EXPECT_EQ(GetBackupResult(), 0);
    const QString name = u"FB"_s + TodayStr() + u"v000.CCB"_s;
    EXPECT_EQ(archivesIn(BackupDir), QStringList{name});
    EXPECT_EQ(LastArchivePath(), QDir(BackupDir).filePath(name));
    EXPECT_EQ(questions(), QStringList{u"Ablagedaten sichern?"_s});
    EXPECT_EQ(window.rows.last().value(0), u"Es wurden 1 Dateien gesichert,");
}

TEST_F(BackupEntriesTest, AnsweringYesGivesAPairWithOneNumberAndTheirTotals) {
    backupBoth(kComment);
    const QString stem = u"FB"_s + TodayStr() + u"v000"_s;
    EXPECT_EQ(archivesIn(BackupDir), (QStringList{stem + u".CCA"_s, stem + u".CCB"_s}));
    EXPECT_EQ(LastArchivePath(), QDir(BackupDir).filePath(stem + u".CCB"_s));
    const qint64 sizes = QFileInfo(table::Database::fileIn(DataDir)).size() +
                         QFileInfo(table::Database::fileIn(AblageDir)).size();
    EXPECT_EQ(window.rows.last().value(0), u"Es wurden 2 Dateien gesichert,");
    EXPECT_EQ(window.rows.last().value(1).trimmed().toLongLong(), sizes);
    // The next one gets the next number for both.
    backupBoth(kComment);
    EXPECT_EQ(archivesIn(BackupDir, u"*v001.*"_s).size(), 2);
}

TEST_F(BackupEntriesTest, AFailedCompanionGivesResultTwoAndNoUpload) {
    int uploads = 0;
    DataSafetyWindowsRegistry().ftpUpload = [&](const QString&) { return ++uploads > 0; };
    QFile tooLong(AblageDir + QString(70, u'x'));
    ASSERT_TRUE(tooLong.open(QIODevice::WriteOnly));
    tooLong.close();
    startWith({true});
    BackupDatabases(VaultBackup, kComment);
    EXPECT_EQ(GetBackupResult(), 2);
    EXPECT_EQ(uploads, 0);
    EXPECT_EQ(errors().size(), 1);
    // A sound pair is sent.
    QFile::remove(tooLong.fileName());
    presenter.boxes.clear();
    startWith({true});
    BackupDatabases(VaultBackup, kComment);
    EXPECT_EQ(GetBackupResult(), 0);
    EXPECT_EQ(uploads, 1);
}

TEST_F(BackupEntriesTest, ARestoreIsRefusedWhileAnotherUserIsConnected) {
    backupBoth(kComment);
    presenter.boxes.clear();
    BackupDialogArgs args = window.lastArgs;
    args.mode = LocalRestore;
    args.userCount = 2;
    backuptest::ScriptedDialogWindow view;
    BackupDialog dialog(args, view);
    dialog.open();
    EXPECT_EQ(
        errors(),
        QStringList{
            u"Es sind noch andere Benutzer mit Ihren Datenbanken verbunden!\rZur Wiederherstellung von Daten müssen alle anderen Benutzer\rDomvera beenden!"_s});
    EXPECT_TRUE(dialog.rows().isEmpty());
    EXPECT_FALSE(dialog.startEnabled());
    EXPECT_EQ(dialog.closeCaption(), u"S&chließen");
    EXPECT_TRUE(questions().isEmpty());
}

TEST_F(BackupEntriesTest, APreRestoreBackupDeclinedWithCancelShowsTheRestoreList) {
    backupBoth(kComment);
    presenter.boxes.clear();
    presenter.answers = {true};
    window.scripts.append([this](BackupDialog& d) {
        EXPECT_TRUE(d.waitingForPreRestoreBackup());
        EXPECT_EQ(d.title(), u"Datensicherung [sichern]");
        EXPECT_EQ(d.comment(), u"Vor Restauration");
        EXPECT_TRUE(d.startEnabled());
        EXPECT_FALSE(d.close());
        EXPECT_FALSE(d.waitingForPreRestoreBackup());
        EXPECT_EQ(d.title(), u"Datensicherung [wiederherstellen]");
        EXPECT_EQ(d.rows().size(), 1);
        EXPECT_EQ(d.currentRow(), 0);
        EXPECT_TRUE(d.startEnabled());
        EXPECT_EQ(d.comment(), kComment);
        EXPECT_TRUE(d.close());
    });
    RestoreDatabases(LocalRestore);
    EXPECT_EQ(questions().size(), 1);
    EXPECT_EQ(archivesIn(BackupDir).size(), 2);
    EXPECT_EQ(GetBackupResult(), 1);
}

TEST_F(BackupEntriesTest, APreRestoreBackupWrittenWithStartJoinsTheRestoreList) {
    backupBoth(kComment);
    presenter.boxes.clear();
    presenter.answers = {true, false};
    window.scripts.append([](BackupDialog& d) {
        d.setComment(u"Vor Restauration, geprüft"_s);
        d.start();
        EXPECT_EQ(d.title(), u"Datensicherung [wiederherstellen]");
        ASSERT_EQ(d.rows().size(), 2);
        // Newest first: the backup just written.
        EXPECT_TRUE(d.rows().first().value(0).endsWith(u"v001.CCB"));
        EXPECT_EQ(d.rows().first().value(3), u"Vor Restauration, geprüft");
        EXPECT_TRUE(d.startEnabled());
    });
    RestoreDatabases(LocalRestore);
    EXPECT_EQ(archivesIn(BackupDir, u"*.CCB"_s).size(), 2);
    EXPECT_EQ(archivesIn(BackupDir, u"*.CCA"_s).size(), 1);
}

TEST_F(BackupEntriesTest, ArchivesMarkedWithJAreDeletedWithTheirCompanions) {
    for (int i = 0; i < 3; ++i)
        backupBoth(kComment);
    const QString stem = u"FB"_s + TodayStr();
    QFile(BackupDir + stem + u"v000.CCB"_s).copy(BackupDir + u"FB07.12.2025v003.CCB"_s);
    presenter.boxes.clear();
    window.scripts.append([](BackupDialog& d) {
        ASSERT_EQ(d.rows().size(), 4);
        // Oldest first, unmarked, with their versions.
        EXPECT_EQ(d.rows().first().value(0), u"FB07.12.2025v003.CCB");
        EXPECT_EQ(d.rows().first().value(2), u"Nein");
        EXPECT_EQ(d.rows().first().value(4), VersionColumn(240));
        d.gridKey(Qt::Key_Down, {});
        d.gridKey(Qt::Key_J, u"j"_s);
        d.gridKey(Qt::Key_J, u"J"_s);
        EXPECT_EQ(d.currentRow(), 3);
        d.gridKey(Qt::Key_N, u"n"_s);
        d.pressCell(0, 1); // not the mark column
        d.start();
        EXPECT_EQ(d.rows().at(1).value(2), u" gelöscht.");
        EXPECT_EQ(d.rows().at(2).value(2), u" gelöscht.");
        EXPECT_EQ(d.rows().at(3).value(2), u"Nein");
        EXPECT_FALSE(d.startEnabled());
        EXPECT_EQ(d.closeCaption(), u"S&chließen");
    });
    DeleteDatabaseBackups(BackupDir);
    EXPECT_EQ(archivesIn(BackupDir),
              (QStringList{u"FB07.12.2025v003.CCB"_s, stem + u"v002.CCA"_s, stem + u"v002.CCB"_s}));
}

// "Arbeitsdaten" No with "Ablagedaten" Yes restores only the archive
// database; both Yes restore both together.
TEST_F(BackupEntriesTest, TheAnswersChooseTheDatabasesToRestore) {
    addCustomer(1);
    addArchivedInvoice(1);
    backupBoth(kComment);
    const struct {
        int added;
        bool working;
        int customers;
        int restoredFiles;
    } cases[] = {{2, false, 2, 1}, {3, true, 1, 2}};
    for (const auto& c : cases) {
        addCustomer(c.added);
        addArchivedInvoice(c.added);
        presenter.boxes.clear();
        // No backup first.
        presenter.answers = {false, c.working, true};
        window.scripts.append([](BackupDialog& d) { d.start(); });
        RestoreDatabases(LocalRestore);
        EXPECT_EQ(
            questions(),
            (QStringList{
                u"Diese Funktion überschreibt den aktuellen Datenbestand!\rMöchten Sie Ihre aktuellen Daten vorher sichern?"_s,
                u"Arbeitsdaten wiederherstellen?"_s, u"Ablagedaten wiederherstellen?"_s}));
        EXPECT_TRUE(errors().isEmpty()) << errors().join(u'|').toStdString();
        EXPECT_EQ(GetBackupResult(), 0);
        EXPECT_EQ(customers(), c.customers);
        EXPECT_EQ(invoicesInArchive(), 1);
        EXPECT_EQ(window.view, BackupView::Restoring);
        EXPECT_EQ(window.rows.last().value(0), u"Es wurden 1 Dateien wiederhergestellt.");
        EXPECT_EQ(window.rows.size(), c.restoredFiles * 2);
    }
}

TEST_F(BackupEntriesTest, TheFileKindsUseTheirDirectoriesAndComments) {
    const struct {
        std::function<void()> backup;
        QString dir;
        QString ext;
        QString comment;
    } kinds[] = {
        {&BackupFormularLayouts, QrfdDir, u"CCL"_s, u"Sicherung der Formular-Layouts am "_s},
        {&BackupImportExportDefinitionen, ImExDir, u"CCE"_s,
         u"Sicherung der Import/Export-Definitionen am "_s},
        {&BackupMahnbriefVorlagen, WordDir, u"CCM"_s, u"Sicherung der Mahnungbrief-Vorlagen am "_s},
        {&BackupTextbausteine, TextbstDir, u"CCT"_s, u"Sicherung der Textbausteine am "_s},
    };
    for (const auto& k : kinds) {
        QFile file(k.dir + u"inhalt.txt"_s);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Inhalt");
        file.close();
        startWith({});
        k.backup();
        EXPECT_EQ(GetBackupResult(), 0);
        EXPECT_EQ(window.lastArgs.sourceDir, k.dir);
        EXPECT_TRUE(window.lastArgs.sourceDir2.isEmpty());
        EXPECT_EQ(window.lastArgs.comment, k.comment + TodayStr());
        EXPECT_EQ(archivesIn(BackupDir, u"*."_s + k.ext).size(), 1);
    }
    EXPECT_TRUE(questions().isEmpty());
    // The restore of a kind replaces its directory's files.
    QFile::remove(TextbstDir + u"inhalt.txt"_s);
    presenter.answers = {false};
    window.scripts.append([](BackupDialog& d) { d.start(); });
    RestoreTextbausteine();
    EXPECT_EQ(GetBackupResult(), 0);
    EXPECT_TRUE(QFileInfo::exists(TextbstDir + u"inhalt.txt"_s));
}

TEST_F(BackupEntriesTest, AnEditedRecordIsPostedAndItsCursorOpenAgain) {
    addCustomer(1);
    addCustomer(2);
    auto kunden = open(u"Kunden.DB"_s);
    kunden->last();
    kunden->edit();
    kunden->field(u"K_Name1"_s).setValue(u"Geändert"_s);
    BackupDatabases(LocalBackup, kComment);
    EXPECT_EQ(window.opened, 1);
    EXPECT_TRUE(kunden->isOpen());
    EXPECT_FALSE(kunden->isEditing());
    EXPECT_EQ(kunden->field(u"K_Nr"_s).asInteger(), 2);
    auto check = open(u"Kunden.DB"_s);
    ASSERT_TRUE(check->locate({u"K_Nr"_s}, {2}));
    EXPECT_EQ(check->field(u"K_Name1"_s).asString(), u"Geändert");
}

TEST_F(BackupEntriesTest, ARecordThatCannotBePostedKeepsTheDialogClosed) {
    addCustomer(1);
    addCustomer(2);
    auto kunden = open(u"Kunden.DB"_s);
    kunden->last();
    kunden->edit();
    kunden->field(u"K_ID"_s).setValue(1); // the key of the other customer
    SetBackupResult(0);
    BackupDatabases(LocalBackup, kComment);
    EXPECT_EQ(window.opened, 0);
    EXPECT_EQ(GetBackupResult(), 1);
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors().first().contains(u"Kunden.DB")) << errors().first().toStdString();
    EXPECT_TRUE(kunden->isOpen());
}

TEST_F(BackupEntriesTest, AnErrorOfTheWindowIsShownAndLogged) {
    DataSafetyWindowsRegistry().backupDialog = [](const BackupDialogArgs&) {
        throw DbError(u"Fenster kaputt"_s);
    };
    auto kunden = open(u"Kunden.DB"_s);
    BackupDatabases(LocalBackup, kComment);
    EXPECT_EQ(GetBackupResult(), 1);
    EXPECT_EQ(errors(), QStringList{u"Fenster kaputt"_s});
    EXPECT_TRUE(logText().contains(u"Fenster kaputt"));
    EXPECT_TRUE(kunden->isOpen());
}
