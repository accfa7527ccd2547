#include "archivefixture.h"
#include "core/files/aesfile.h"
#include "core/files/programdirs.h"
#include "datasafety/archiveformat.h"
#include "datasafety/databasesnapshot.h"
#include "datasafety/ftpvault.h"
#include "ftppeer.h"

#include <QElapsedTimer>
#include <functional>

using backuptest::ArchiveTest;
using ftptest::FtpPeer;
using namespace Qt::StringLiterals;

namespace {

const QString kKey = u"Schlüssel-2026"_s;

class RecordingFtpObserver : public FtpObserver {
public:
    void protocol(const QString& line) override { lines << line; }
    void stateLine(const QString& text) override { states << text; }
    void statusText(const QString& text) override { status << text; }
    void progressMaximum(qint64 value) override { maximum = value; }
    void progress(qint64 value) override {
        if (value > 0)
            ++movingTicks;
        if (onProgress)
            onProgress(value);
    }
    QString protocolText() const { return lines.join(u'\n'); }

    QStringList lines;
    QStringList states;
    QStringList status;
    qint64 maximum = -1;
    int movingTicks = 0;
    std::function<void(qint64)> onProgress;
};

class FtpVaultTest : public ArchiveTest {
protected:
    void SetUp() override {
        ArchiveTest::SetUp();
        REQUIRE_FTP_PEER();
        m_savedBackupDir = BackupDir;
        BackupDir = dir(u"backup"_s) + u'/';
    }
    void TearDown() override {
        BackupDir = m_savedBackupDir;
        ArchiveTest::TearDown();
    }
    // Starts the peer and points the settings at it.
    std::unique_ptr<FtpPeer> startPeer(int bytesPerSecond = 0) {
        FtpPeer::Options options;
        options.bytesPerSecond = bytesPerSecond;
        auto peer = std::make_unique<FtpPeer>(options);
        EXPECT_TRUE(peer->ready()) << peer->errors().toStdString();
        settings.ftpHost = peer->host();
        settings.ftpUser = peer->user;
        settings.ftpPassword = peer->password;
        settings.ftpDirectory = u"tresor"_s;
        settings.cipherKey = kKey;
        settings.maxMB = 10;
        return peer;
    }
    // A database archive and its companion of `bytes` incompressible bytes each.
    QString archivePair(qint64 bytes = 2000) {
        QByteArray noise;
        quint32 state = 4711;
        for (qint64 i = 0; i < bytes; ++i) {
            state = state * 1103515245u + 12345u;
            noise.append(char(state >> 24));
        }
        const QString data = dir(u"data"_s);
        const QString ablage = dir(u"ablage"_s);
        writeFile(data, u"Kunden.DB"_s, noise);
        writeFile(ablage, u"Rechkopf.DB"_s, noise.left(bytes / 2));
        QString name;
        QString companion;
        EXPECT_TRUE(NextArchiveName(BackupDir, u"FB"_s, u"CCB"_s, u"CCA"_s, name, companion));
        backuptest::RecordingObserver observer;
        EXPECT_TRUE(
            WriteBackupArchive(u"*.*"_s, data, name, u"Tresor"_s, BackupDir, 240, observer));
        EXPECT_TRUE(
            WriteBackupArchive(u"*.*"_s, ablage, companion, u"Tresor"_s, BackupDir, 240, observer));
        return BackupDir + name;
    }
    // Puts an archive into the vault as an upload would.
    void intoVault(const FtpPeer& peer, const QString& archive, const QString& name,
                   const QString& key = kKey) {
        QDir().mkpath(peer.path(u"tresor"_s));
        ASSERT_TRUE(EncryptFileAes(archive, peer.path(u"tresor/"_s + name), key));
    }
    QByteArray decryptedFromVault(const FtpPeer& peer, const QString& name) {
        const QString plain = root(u"plain.bin"_s);
        QFile::remove(plain);
        EXPECT_TRUE(DecryptFileAes(peer.path(u"tresor/"_s + name), plain, kKey));
        return readBytes(plain);
    }
    QStringList vault(const FtpPeer& peer) {
        return QDir(peer.path(u"tresor"_s)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QStringList infos() const { return presenter.texts(MessagePresenter::Kind::Info); }
    QStringList choices(const FtpVaultTransfer& transfer) const {
        QStringList list;
        for (const FtpRow& row : transfer.rows())
            list << row.choice;
        return list;
    }
    // No temporary file of a transfer is left anywhere (the backups' empty
    // lock file is none).
    void expectNoTemporaryFiles() {
        EXPECT_TRUE(QDir(ProgramDir).entryList({u"Ftptemp*"_s}, QDir::Files).isEmpty());
        QStringList hidden = QDir(BackupDir).entryList({u".*"_s}, QDir::Files | QDir::Hidden);
        hidden.removeAll(BackupWorkLockName());
        EXPECT_TRUE(hidden.isEmpty()) << hidden.join(u' ').toStdString();
    }

    FtpSettingsRecord settings;
    RecordingFtpObserver observer;

private:
    QString m_savedBackupDir;
};

} // namespace

TEST_F(FtpVaultTest, UploadSendsTheArchivePairIntoANewVaultDirectory) {
    auto peer = startPeer();
    const QString archive = archivePair();
    const QString name = QFileInfo(archive).fileName();
    const QString companion = QFileInfo(archive).completeBaseName() + u".CCA"_s;
    FtpVaultTransfer transfer(observer, settings);
    ASSERT_TRUE(transfer.prepareUpload(archive));
    ASSERT_EQ(transfer.rows().size(), 2);
    EXPECT_EQ(transfer.rows()[0].comment, u"240:Tresor");
    EXPECT_EQ(choices(transfer), (QStringList{u"Ja"_s, u"Ja"_s}));

    EXPECT_TRUE(transfer.runUpload());
    EXPECT_EQ(choices(transfer), (QStringList{u"OK"_s, u"OK"_s}));
    EXPECT_EQ(vault(*peer), (QStringList{companion, name}));
    EXPECT_EQ(decryptedFromVault(*peer, name), readBytes(archive));
    EXPECT_EQ(decryptedFromVault(*peer, companion), readBytes(BackupDir + companion));
    EXPECT_NE(readBytes(peer->path(u"tresor/"_s + name)).mid(4, 84), readBytes(archive).left(84));
    EXPECT_TRUE(errors().isEmpty()) << errors().join(u'|').toStdString();
    EXPECT_EQ(infos(), QStringList{u"Datentransfer beendet"_s});
    EXPECT_EQ(observer.lines.mid(0, 4),
              (QStringList{u"FTP-Verbindung aktiv"_s, u"Freier Speicherplatz: 9 MB"_s,
                           u"Transfer zum Ftp-Server beginnt."_s, name + u" (OK)"_s}));
    EXPECT_TRUE(observer.lines.last().startsWith(u"Upload beendet: "_s));
    EXPECT_TRUE(observer.status.contains(u"Verbunden"_s));
    EXPECT_EQ(observer.states.first(), u"Daten werden versendet...");
    expectNoTemporaryFiles();
    // Neither the password nor the key reach the protocol.
    EXPECT_FALSE(observer.protocolText().contains(peer->password));
    EXPECT_FALSE(observer.protocolText().contains(kKey));
    EXPECT_TRUE(peer->commands().contains("MKD tresor"));
    EXPECT_TRUE(peer->commands().contains(QByteArray(QByteArray("STOR ") + name.toLatin1())));
}

TEST_F(FtpVaultTest, UploadWithoutTheCompanionSendsOneRow) {
    auto peer = startPeer();
    const QString archive = archivePair();
    QFile::remove(QFileInfo(archive).path() + u'/' + QFileInfo(archive).completeBaseName() +
                  u".CCA"_s);
    const FtpSettingsRecord saved = FtpSettings;
    FtpSettings = settings;
    EXPECT_TRUE(FtpUploadArchives(archive, observer));
    FtpSettings = saved;
    EXPECT_EQ(vault(*peer), QStringList{QFileInfo(archive).fileName()});
    EXPECT_EQ(observer.lines.count(u"Transfer zum Ftp-Server beginnt."_s), 1);
    EXPECT_EQ(observer.lines.filter(u"(OK)"_s).size(), 1);
}

TEST_F(FtpVaultTest, DownloadRunForARestoreGivesTheFirstArchiveFetched) {
    auto peer = startPeer();
    const QString archive = archivePair();
    intoVault(*peer, archive, u"FB07.12.2026v000.CCB"_s);
    intoVault(*peer, archive, u"FB08.12.2026v001.CCB"_s);
    intoVault(*peer, archive, u"FB08.12.2026v001.CCA"_s);
    const FtpSettingsRecord saved = FtpSettings;
    FtpSettings = settings;
    QString name;
    const auto markNewest = [](FtpVaultTransfer& transfer) -> std::optional<bool> {
        transfer.setChoice(0, true);
        transfer.setChoice(1, true);
        return true;
    };
    EXPECT_TRUE(FtpDownloadArchives(u"CCB"_s, u"CCA"_s, observer, markNewest, name));
    EXPECT_EQ(name, u"FB08.12.2026v001.CCB");
    EXPECT_EQ(vault(*peer), QStringList{u"FB07.12.2026v000.CCB"_s});
    // Declining the list fetches nothing.
    EXPECT_FALSE(FtpDownloadArchives(
        u"CCB"_s, u"CCA"_s, observer, [](FtpVaultTransfer&) { return std::optional<bool>(); },
        name));
    EXPECT_TRUE(name.isEmpty());
    FtpSettings = saved;
    EXPECT_TRUE(QFileInfo::exists(BackupDir + u"FB08.12.2026v001.CCB"_s));
    EXPECT_FALSE(QFileInfo::exists(BackupDir + u"FB07.12.2026v000.CCB"_s));
}

TEST_F(FtpVaultTest, UploadStopsWhenTheVaultIsFull) {
    auto peer = startPeer();
    const QString archive = archivePair(200000);
    // 1 MB allowed, of which the vault's own files already take most.
    settings.maxMB = 1;
    QDir().mkpath(peer->path(u"tresor"_s));
    writeFile(peer->path(u"tresor"_s), u"FB01.12.2026v000.CCT"_s, QByteArray(850000, 'v'));
    FtpVaultTransfer transfer(observer, settings);
    ASSERT_TRUE(transfer.prepareUpload(archive));
    EXPECT_FALSE(transfer.runUpload());
    EXPECT_EQ(errors(), (QStringList{u"Nicht genügend Speicherplatz auf dem Server!"_s,
                                     u"Beim DatenTransfer ist ein Fehler aufgetreten!"_s}));
    EXPECT_EQ(choices(transfer), (QStringList{u"ERR"_s, u"Ja"_s}));
    EXPECT_EQ(vault(*peer), QStringList{u"FB01.12.2026v000.CCT"_s});
    EXPECT_TRUE(observer.lines.contains(u"Freier Speicherplatz: 0 MB"_s));

    // With no space at all even a small archive stays home.
    settings.maxMB = 0;
    QFile::remove(peer->path(u"tresor/FB01.12.2026v000.CCT"_s));
    presenter.boxes.clear();
    FtpVaultTransfer empty(observer, settings);
    ASSERT_TRUE(empty.prepareUpload(archive));
    EXPECT_FALSE(empty.runUpload());
    EXPECT_EQ(errors().first(), u"Nicht genügend Speicherplatz auf dem Server!");
    expectNoTemporaryFiles();
}

TEST_F(FtpVaultTest, AWrongPasswordGivesNoConnection) {
    auto peer = startPeer();
    settings.ftpPassword = u"falsch-geraten"_s;
    const QString archive = archivePair();
    FtpVaultTransfer transfer(observer, settings);
    ASSERT_TRUE(transfer.prepareUpload(archive));
    EXPECT_FALSE(transfer.runUpload());
    EXPECT_EQ(
        errors(),
        (QStringList{
            u"Keine FTP-Verbindung möglich!\rStellen Sie sicher, dass Ihr Internetzugang aktiv\roder auf \"automatisch verbinden\" eingestellt ist!"_s,
            u"Beim DatenTransfer ist ein Fehler aufgetreten!"_s}));
    EXPECT_TRUE(vault(*peer).isEmpty());
    EXPECT_FALSE(observer.protocolText().contains(u"falsch-geraten"_s));
}

TEST_F(FtpVaultTest, ListAndDownloadWithAndWithoutDeletion) {
    auto peer = startPeer();
    const QString archive = archivePair();
    const QByteArray bytes = readBytes(archive);
    intoVault(*peer, archive, u"FB07.12.2026v003.CCB"_s);
    intoVault(*peer, archive, u"FB08.12.2026v000.CCB"_s);
    intoVault(*peer, archive, u"FB08.12.2026v001.CCL"_s);
    writeFile(peer->path(u"tresor"_s), u"index.html"_s, "<html>");
    writeFile(peer->path(u"tresor"_s), u".FB08.12.2026v009.CCB"_s, "versteckt");
    QDir().mkpath(peer->path(u"tresor/FB09.12.2026v000.CCB"_s));
    QDir(BackupDir).removeRecursively();
    QDir().mkpath(BackupDir);

    FtpVaultTransfer transfer(observer, settings);
    ASSERT_EQ(transfer.listDownloads(u"CCB"_s, {}), 2);
    EXPECT_EQ(transfer.rows()[0].name, u"FB08.12.2026v000.CCB");
    EXPECT_EQ(transfer.rows()[0].comment, u"Datenbanken vom 08.12.2026 Version 000");
    EXPECT_EQ(transfer.rows()[0].size,
              QFileInfo(peer->path(u"tresor/FB08.12.2026v000.CCB"_s)).size());
    EXPECT_EQ(transfer.rows()[1].name, u"FB07.12.2026v003.CCB");
    EXPECT_EQ(choices(transfer), (QStringList{u"Nein"_s, u"Nein"_s}));
    EXPECT_EQ(observer.states.last(), u"Bitte Dateien markieren");
    // pyftpdlib refuses "LIST *.*": the plain listing follows.
    EXPECT_TRUE(peer->commands().contains("LIST *.*\n"));
    EXPECT_TRUE(peer->commands().contains("\nLIST\n"));

    EXPECT_FALSE(transfer.runDownload(false));
    EXPECT_EQ(errors(), QStringList{u"Sie haben keine Listeneinträge gewählt!"_s});

    transfer.toggleChoice(1);
    EXPECT_TRUE(transfer.runDownload(false));
    EXPECT_EQ(choices(transfer), (QStringList{u"Nein"_s, u"OK"_s}));
    EXPECT_EQ(readBytes(BackupDir + u"FB07.12.2026v003.CCB"_s), bytes);
    EXPECT_EQ(transfer.firstFetched(), u"FB07.12.2026v003.CCB");
    EXPECT_EQ(vault(*peer).size(), 5);
    EXPECT_EQ(infos(), QStringList{u"Datenaustausch beendet"_s});

    // Again, replacing the local archive, and this time removing the vault copies.
    writeFile(BackupDir, u"FB07.12.2026v003.CCB"_s, "alt");
    FtpVaultTransfer again(observer, settings);
    ASSERT_EQ(again.listDownloads(u"CCB"_s, {}), 2);
    again.setChoice(0, true);
    again.setChoice(1, true);
    EXPECT_TRUE(again.runDownload(true));
    EXPECT_EQ(readBytes(BackupDir + u"FB07.12.2026v003.CCB"_s), bytes);
    EXPECT_EQ(readBytes(BackupDir + u"FB08.12.2026v000.CCB"_s), bytes);
    EXPECT_EQ(again.firstFetched(), u"FB08.12.2026v000.CCB");
    EXPECT_EQ(vault(*peer), (QStringList{u".FB08.12.2026v009.CCB"_s, u"FB08.12.2026v001.CCL"_s,
                                         u"index.html"_s}));
    EXPECT_TRUE(observer.lines.contains(u"FB07.12.2026v003.CCB vom Server gelöscht."_s));
    expectNoTemporaryFiles();
}

TEST_F(FtpVaultTest, AWrongKeyLeavesBothCopiesAsTheyWere) {
    auto peer = startPeer();
    const QString archive = archivePair();
    intoVault(*peer, archive, u"FB08.12.2026v000.CCB"_s, u"anderer Schlüssel"_s);
    const QByteArray vaultBytes = readBytes(peer->path(u"tresor/FB08.12.2026v000.CCB"_s));
    writeFile(BackupDir, u"FB08.12.2026v000.CCB"_s, "lokal");
    // A stale temporary file of an earlier run is no obstacle.
    writeFile(ProgramDir, u"FtptempFB08.12.2026v000.CCB"_s, "alt");

    FtpVaultTransfer transfer(observer, settings);
    ASSERT_EQ(transfer.listDownloads(u"CCB"_s, u"CCA"_s), 1);
    transfer.setChoice(0, true);
    EXPECT_FALSE(transfer.runDownload(true));
    ASSERT_EQ(errors().size(), 2);
    EXPECT_TRUE(errors()[0].startsWith(
        u"Decrypt-Error:Die entschlüsselte Datei ist keine lesbare Sicherungsdatei"_s))
        << errors()[0].toStdString();
    EXPECT_EQ(errors()[1], u"Beim Datenaustausch ist ein Fehler aufgetreten!");
    EXPECT_EQ(choices(transfer), QStringList{u"ERR"_s});
    EXPECT_EQ(readBytes(BackupDir + u"FB08.12.2026v000.CCB"_s), "lokal");
    EXPECT_EQ(readBytes(peer->path(u"tresor/FB08.12.2026v000.CCB"_s)), vaultBytes);
    EXPECT_TRUE(transfer.firstFetched().isEmpty());
    EXPECT_TRUE(observer.lines.contains(u"FB08.12.2026v000.CCB (ERR)"_s));
    expectNoTemporaryFiles();
}

TEST_F(FtpVaultTest, NothingToFetch) {
    auto peer = startPeer();
    QDir().mkpath(peer->path(u"tresor"_s));
    FtpVaultTransfer transfer(observer, settings);
    EXPECT_EQ(transfer.listDownloads(u"CCB"_s, u"CCA"_s), 0);
    EXPECT_EQ(errors(), QStringList{u"Es stehen keine Dateien zum Download bereit!"_s});

    // A vault directory that does not exist is not created by a listing.
    presenter.boxes.clear();
    settings.ftpDirectory = u"fehlt"_s;
    FtpVaultTransfer missing(observer, settings);
    EXPECT_EQ(missing.listDownloads(u"CCB"_s, u"CCA"_s), 0);
    EXPECT_EQ(
        errors(),
        (QStringList{
            u"Listenabruf konnte nicht ausgeführt werden.\rÜberprüfen Sie, ob das eingestellte Zielverzeichnis\rauf Ihrem FTP-Server eingerichtet ist!"_s,
            u"Es stehen keine Dateien zum Download bereit!"_s}));
    EXPECT_FALSE(QFileInfo::exists(peer->path(u"fehlt"_s)));
}

TEST_F(FtpVaultTest, AbortDuringAnUpload) {
    auto peer = startPeer(256 * 1024);
    const QString archive = archivePair(1500000);
    FtpVaultTransfer transfer(observer, settings);
    observer.onProgress = [&](qint64 done) {
        if (done > 0 && !transfer.aborted())
            transfer.abort();
    };
    ASSERT_TRUE(transfer.prepareUpload(archive));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(transfer.runUpload());
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_EQ(errors(), (QStringList{u"Der FTP-Transfer wurde abgebrochen"_s,
                                     u"Beim DatenTransfer ist ein Fehler aufgetreten!"_s}));
    EXPECT_EQ(choices(transfer), (QStringList{u"ERR"_s, u"Ja"_s}));
    EXPECT_TRUE(observer.lines.contains(u"Die Funktion wurde abgebrochen"_s));
    // No half-sent archive stays in the vault.
    EXPECT_TRUE(vault(*peer).isEmpty());
    expectNoTemporaryFiles();
}

TEST_F(FtpVaultTest, AbortDuringADownloadKeepsTheVaultCopy) {
    auto peer = startPeer(256 * 1024);
    const QString archive = archivePair(1500000);
    intoVault(*peer, archive, u"FB08.12.2026v000.CCB"_s);
    QDir(BackupDir).removeRecursively();
    FtpVaultTransfer transfer(observer, settings);
    ASSERT_EQ(transfer.listDownloads(u"CCB"_s, {}), 1);
    transfer.setChoice(0, true);
    observer.onProgress = [&](qint64 done) {
        if (done > 0 && !transfer.aborted())
            transfer.abort();
    };
    EXPECT_FALSE(transfer.runDownload(true));
    EXPECT_EQ(errors().first(), u"Der FTP-Transfer wurde abgebrochen");
    EXPECT_EQ(errors().last(), u"Beim Datenaustausch ist ein Fehler aufgetreten!");
    EXPECT_FALSE(QFileInfo::exists(BackupDir + u"FB08.12.2026v000.CCB"_s));
    EXPECT_EQ(vault(*peer), QStringList{u"FB08.12.2026v000.CCB"_s});
    expectNoTemporaryFiles();
}

TEST_F(FtpVaultTest, TheServerStoppedMidRun) {
    auto peer = startPeer(256 * 1024);
    const QString archive = archivePair(1500000);
    FtpVaultTransfer transfer(observer, settings);
    observer.onProgress = [&](qint64 done) {
        if (done > 0)
            peer->stop();
    };
    ASSERT_TRUE(transfer.prepareUpload(archive));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(transfer.runUpload());
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(choices(transfer), (QStringList{u"ERR"_s, u"Ja"_s}));
    EXPECT_EQ(errors().last(), u"Beim DatenTransfer ist ein Fehler aufgetreten!");
    EXPECT_TRUE(observer.lines.contains(QFileInfo(archive).fileName() + u" (ERR)"_s));
    expectNoTemporaryFiles();
}

TEST_F(FtpVaultTest, CleanUpListsEveryKindAndDeletesTheMarkedOnes) {
    auto peer = startPeer();
    const QString archive = archivePair();
    for (const QString& name : {u"FB08.12.2026v000.CCB"_s, u"FB08.12.2026v000.CCA"_s,
                                u"FB01.12.2026v000.CCT"_s, u"FB03.12.2026v002.CCL"_s})
        intoVault(*peer, archive, name);
    writeFile(peer->path(u"tresor"_s), u"fremd.txt"_s, "x");
    FtpVaultTransfer transfer(observer, settings);
    ASSERT_EQ(transfer.listVault(), 4);
    QStringList names;
    for (const FtpRow& row : transfer.rows())
        names << row.name;
    EXPECT_EQ(names, (QStringList{u"FB01.12.2026v000.CCT"_s, u"FB03.12.2026v002.CCL"_s,
                                  u"FB08.12.2026v000.CCA"_s, u"FB08.12.2026v000.CCB"_s}));
    transfer.toggleChoice(0);
    transfer.toggleChoice(3);
    EXPECT_TRUE(transfer.deleteMarked());
    EXPECT_EQ(choices(transfer), (QStringList{u"OK"_s, u"Nein"_s, u"Nein"_s, u"OK"_s}));
    EXPECT_EQ(vault(*peer),
              (QStringList{u"FB03.12.2026v002.CCL"_s, u"FB08.12.2026v000.CCA"_s, u"fremd.txt"_s}));
    EXPECT_TRUE(observer.lines.contains(u"FB08.12.2026v000.CCB vom Server gelöscht."_s));
}
