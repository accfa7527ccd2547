#include "datasafety/ftpvault.h"

#include "core/files/aesfile.h"
#include "core/files/filehelpers.h"
#include "core/files/programdirs.h"
#include "core/messages/messages.h"
#include "core/values/datetext.h"
#include "datasafety/archiveformat.h"
#include "datasafety/archivenames.h"
#include "datasafety/databasesnapshot.h"
#include "datasafety/ftpclient.h"
#include "datasafety/ftplistline.h"
#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kBytesPerMB = 1000000;
constexpr qint64 kMiB = 1048576;

const QString kYes = u"Ja"_s;
const QString kNo = u"Nein"_s;
const QString kOk = u"OK"_s;
const QString kErr = u"ERR"_s;

QString directoryHint() {
    return u"\rÜberprüfen Sie, ob das eingestellte Zielverzeichnis\rauf Ihrem FTP-Server eingerichtet ist!"_s;
}

QString freeSpaceLine(qint64 free) {
    return u"Freier Speicherplatz: "_s + QString::number(free / kMiB) + u" MB"_s;
}

QString stamp() {
    return TodayStr() + u" um "_s + NowTimeStr() + u" Uhr"_s;
}

// Replaces `to` by `from` in one step (both in one directory).
bool replaceFile(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(from).toStdString(),
                            QFile::encodeName(to).toStdString(), error);
    return !error;
}

void removeIfThere(const QString& file) {
    if (QFileInfo::exists(file))
        DeleteFileForced(file);
}

} // namespace

QString FtpTempFileName(const QString& archiveName) {
    return ProgramDir + u"Ftptemp"_s + archiveName;
}

FtpVaultTransfer::FtpVaultTransfer(FtpObserver& observer, const FtpSettingsRecord& settings)
    : m_observer(observer), m_settings(settings),
      m_client(std::make_unique<FtpClient>(
          FtpClient::Account{settings.ftpHost, settings.ftpUser, settings.ftpPassword})) {
    m_client->onTick = [this] { m_observer.progress(m_client->bytesDone()); };
}

FtpVaultTransfer::~FtpVaultTransfer() = default;

void FtpVaultTransfer::setChoice(int row, bool yes) {
    if (row >= 0 && row < m_rows.size())
        setRowChoice(row, yes ? kYes : kNo);
}

void FtpVaultTransfer::toggleChoice(int row) {
    if (row >= 0 && row < m_rows.size())
        setRowChoice(row, m_rows.at(row).choice == kNo ? kYes : kNo);
}

bool FtpVaultTransfer::anyMarked() const {
    if (std::any_of(m_rows.begin(), m_rows.end(), [](const FtpRow& r) { return r.choice == kYes; }))
        return true;
    ShowError(u"Sie haben keine Listeneinträge gewählt!"_s);
    return false;
}

void FtpVaultTransfer::setRowChoice(int row, const QString& choice) {
    m_rows[row].choice = choice;
    m_observer.rowChanged(row);
}

void FtpVaultTransfer::abort() {
    const bool running = m_client->transferRunning();
    m_client->abort();
    if (running) {
        ShowError(u"Der FTP-Transfer wurde abgebrochen"_s);
        m_observer.protocol(u"Der FTP-Transfer wurde abgebrochen"_s);
    }
    m_observer.protocol(u"Die Funktion wurde abgebrochen"_s);
    m_observer.protocol(u"Beendet: "_s + stamp());
}

bool FtpVaultTransfer::aborted() const {
    return m_client->aborted();
}

bool FtpVaultTransfer::connect() {
    if (m_connected)
        return true;
    m_observer.statusText(u"Verbinde mit FTP-Server. Einen Moment bitte..."_s);
    if (!m_client->connect()) {
        m_observer.statusText({});
        if (!aborted())
            ShowError(
                u"Keine FTP-Verbindung möglich!\rStellen Sie sicher, dass Ihr Internetzugang aktiv\roder auf \"automatisch verbinden\" eingestellt ist!"_s);
        return false;
    }
    m_connected = true;
    m_observer.statusText(u"Verbunden"_s);
    m_observer.protocol(u"FTP-Verbindung aktiv"_s);
    return true;
}

bool FtpVaultTransfer::enterVault(bool create, bool listing) {
    const QString dir = m_settings.ftpDirectory.trimmed();
    if (dir.isEmpty() || m_client->changeDir(dir, false) ||
        (create && !aborted() && m_client->changeDir(dir, true)))
        return true;
    const QString what = listing ? u"Listenabruf"_s : u"Transfer"_s;
    if (!aborted())
        ShowError(what + u" konnte nicht ausgeführt werden."_s + directoryHint());
    m_observer.protocol(what + u" konnte nicht ausgeführt werden."_s);
    return false;
}

void FtpVaultTransfer::closeConnection() {
    m_client->close();
    m_connected = false;
}

void FtpVaultTransfer::finishRun(const QString& protocolHead, bool ok, const QString& done,
                                 const QString& failed) {
    m_observer.stateLine({});
    m_observer.progress(0);
    m_observer.protocol(protocolHead + stamp());
    if (ok)
        ShowInfo(done);
    else
        ShowError(failed);
}

qint64 FtpVaultTransfer::freeSpace() {
    qint64 used = 0;
    QStringList lines;
    if (m_client->list(u"*.*"_s, lines)) {
        for (const QString& line : lines) {
            const TFTPListItem item = ParseFtpListLine(line);
            if (item.kind == u'-' && !item.name.isEmpty())
                used += m_client->size(item.name);
        }
    }
    return qint64(m_settings.maxMB) * kBytesPerMB - used;
}

bool FtpVaultTransfer::prepareUpload(const QString& archivePath) {
    m_rows.clear();
    const QFileInfo info(archivePath);
    m_uploadDir = info.absolutePath();
    const auto addRow = [this](const QString& path) {
        QFile file(path);
        TheaderRec record;
        if (!file.open(QIODevice::ReadOnly) || !ReadArchiveInfo(file, record))
            return false;
        m_rows.append({QFileInfo(path).fileName(), record.fileName, kYes, file.size()});
        return true;
    };
    if (!addRow(archivePath)) {
        ShowError(CannotOpenMessage(archivePath));
        m_observer.rowsChanged();
        return false;
    }
    if (archivePath.contains(u"CCB"_s))
        addRow(m_uploadDir + u'/' + info.completeBaseName() + u".CCA"_s);
    m_observer.rowsChanged();
    return true;
}

bool FtpVaultTransfer::uploadRow(int row, qint64& free) {
    const QString name = m_rows.at(row).name;
    m_observer.selectRow(row);
    setRowChoice(row, u"senden.."_s);
    const QString local = m_uploadDir + u'/' + name;
    const qint64 size = QFileInfo(local).size();
    if (size >= free) {
        ShowError(u"Nicht genügend Speicherplatz auf dem Server!"_s);
        m_observer.protocol(u"Nicht genügend Speicherplatz auf dem Server!"_s);
        setRowChoice(row, kErr);
        return false;
    }
    const QString temp = FtpTempFileName(name);
    removeIfThere(temp);
    QString error;
    try {
        EncryptFileAes(local, temp, m_settings.cipherKey);
        m_observer.progressMaximum(QFileInfo(temp).size());
        if (!m_client->store(temp, name))
            error = m_client->lastError();
    } catch (const DbError& e) {
        error = e.message();
        if (!aborted())
            ShowError(error);
    }
    removeIfThere(temp);
    if (!error.isEmpty()) {
        m_observer.protocol(name + u" (ERR)"_s);
        if (!aborted())
            m_observer.protocol(error);
        setRowChoice(row, kErr);
        return false;
    }
    m_observer.protocol(name + u" (OK)"_s);
    setRowChoice(row, kOk);
    free -= size;
    m_observer.protocol(freeSpaceLine(free));
    return true;
}

bool FtpVaultTransfer::runUpload() {
    m_client->clearAbort();
    m_observer.stateLine(u"Daten werden versendet..."_s);
    bool ok = false;
    if (connect() && enterVault(true, false)) {
        qint64 free = freeSpace();
        m_observer.protocol(freeSpaceLine(free));
        m_observer.protocol(u"Transfer zum Ftp-Server beginnt."_s);
        ok = true;
        for (int row = 0; row < m_rows.size() && ok && !aborted(); ++row)
            if (m_rows.at(row).choice == kYes)
                ok = uploadRow(row, free);
    }
    closeConnection();
    ok = ok && !aborted();
    finishRun(u"Upload beendet: "_s, ok, u"Datentransfer beendet"_s,
              u"Beim DatenTransfer ist ein Fehler aufgetreten!"_s);
    return ok;
}

int FtpVaultTransfer::listInto(const QString& ext, const QString& ext2) {
    m_rows.clear();
    m_observer.rowsChanged();
    if (!connect())
        return 0;
    m_observer.protocol(u"Liste der bereitstehenden Daten wird abgerufen"_s);
    if (!enterVault(false, true))
        return 0;
    QStringList lines;
    if (!m_client->list(u"*.*"_s, lines)) {
        if (!aborted())
            ShowError(u"Listenabruf konnte nicht ausgeführt werden."_s + directoryHint());
        m_observer.protocol(u"Listenabruf konnte nicht ausgeführt werden."_s);
        return 0;
    }
    const bool everyKind = ext.isEmpty();
    for (const QString& line : lines) {
        if (aborted())
            break;
        const TFTPListItem item = ParseFtpListLine(line);
        if (item.kind == u'?' || item.kind == u'D' || item.name.startsWith(u'.'))
            continue;
        // Only names of the archive form: they become local file names.
        if (!IsBackupArchiveName(item.name) ||
            (!everyKind && !MatchesBackupKind(item.name, ext, ext2)))
            continue;
        m_rows.append({item.name, DescribeBackupFile(item.name), kNo, item.size});
    }
    const bool newestFirst = !everyKind;
    // Servers list in no fixed order: the full name settles equal keys.
    std::sort(m_rows.begin(), m_rows.end(), [newestFirst](const FtpRow& a, const FtpRow& b) {
        const QString ka = BackupRowKey(a.name) + a.name;
        const QString kb = BackupRowKey(b.name) + b.name;
        return newestFirst ? ka > kb : ka < kb;
    });
    m_observer.protocol(u"Listenabruf beendet."_s);
    m_observer.rowsChanged();
    return aborted() ? 0 : int(m_rows.size());
}

int FtpVaultTransfer::listDownloads(const QString& ext, const QString& ext2) {
    m_client->clearAbort();
    m_firstFetched.clear();
    m_observer.stateLine(u"Datenliste wird abgerufen..."_s);
    const int count = listInto(ext, ext2.isEmpty() ? u"###"_s : ext2);
    closeConnection();
    if (count == 0) {
        m_observer.stateLine({});
        ShowError(u"Es stehen keine Dateien zum Download bereit!"_s);
        return 0;
    }
    m_observer.stateLine(u"Bitte Dateien markieren"_s);
    return count;
}

bool FtpVaultTransfer::downloadRow(int row, bool deleteAfterDownload, bool& deletedAll) {
    const FtpRow entry = m_rows.at(row);
    m_observer.selectRow(row);
    setRowChoice(row, u"empf..."_s);
    m_observer.progressMaximum(entry.size);
    const QString temp = FtpTempFileName(entry.name);
    const QString local = QDir(BackupDir).filePath(entry.name);
    // The archive is checked under a working name before it replaces one of ours.
    const QString plain = QDir(BackupDir).filePath(u"."_s + entry.name + u".neu"_s);
    removeIfThere(temp);
    QString error;
    // The working name is no leftover for another workstation's backup.
    const BackupWorkHold hold(BackupDir);
    if (!QDir().mkpath(BackupDir) || !m_client->retrieve(entry.name, temp)) {
        error = m_client->lastError();
    } else {
        try {
            DecryptFileAes(temp, plain, m_settings.cipherKey);
            if (const QString damage = CheckArchiveFile(plain); !damage.isEmpty())
                error = u"Die entschlüsselte Datei ist keine lesbare Sicherungsdatei "_s +
                        u"(falscher Chiffrierschlüssel?)\r"_s + damage;
            else if (!replaceFile(plain, local))
                error = u"Datei "_s + local + u" kann nicht erzeugt werden!"_s;
        } catch (const DbError& e) {
            error = e.message();
        }
    }
    removeIfThere(temp);
    removeIfThere(plain);
    if (!error.isEmpty()) {
        if (!aborted())
            ShowError(u"Decrypt-Error:"_s + error);
        m_observer.protocol(entry.name + u" (ERR)"_s);
        setRowChoice(row, kErr);
        return false;
    }
    m_observer.protocol(entry.name + u" (OK)"_s);
    setRowChoice(row, kOk);
    if (m_firstFetched.isEmpty())
        m_firstFetched = entry.name;
    if (deleteAfterDownload) {
        if (m_client->remove(entry.name)) {
            m_observer.protocol(entry.name + u" vom Server gelöscht."_s);
        } else {
            m_observer.protocol(entry.name + u" konnte nicht vom Server gelöscht werden."_s);
            deletedAll = false;
        }
    }
    return true;
}

bool FtpVaultTransfer::runDownload(bool deleteAfterDownload) {
    if (!anyMarked())
        return false;
    m_client->clearAbort();
    m_observer.stateLine(u"Daten werden heruntergeladen..."_s);
    bool ok = false;
    bool deletedAll = true;
    if (connect() && enterVault(false, false)) {
        m_observer.protocol(u"Transfer vom Ftp-Server beginnt."_s);
        ok = true;
        for (int row = 0; row < m_rows.size() && ok && !aborted(); ++row)
            if (m_rows.at(row).choice == kYes)
                ok = downloadRow(row, deleteAfterDownload, deletedAll);
    }
    closeConnection();
    ok = ok && deletedAll && !aborted();
    finishRun(u"Download beendet: "_s, ok, u"Datenaustausch beendet"_s,
              u"Beim Datenaustausch ist ein Fehler aufgetreten!"_s);
    return ok;
}

int FtpVaultTransfer::listVault() {
    m_client->clearAbort();
    m_observer.stateLine(u"Datenliste wird abgerufen..."_s);
    const int count = listInto({}, {});
    closeConnection();
    m_observer.stateLine(count > 0 ? u"Bitte Dateien markieren"_s : QString());
    if (count == 0 && !aborted())
        ShowInfo(u"Es wurden keine Sicherungsdateien gefunden"_s);
    return count;
}

bool FtpVaultTransfer::deleteMarked() {
    if (!anyMarked())
        return false;
    m_client->clearAbort();
    m_observer.stateLine(u"Daten werden gelöscht..."_s);
    bool ok = false;
    if (connect() && enterVault(false, true)) {
        ok = true;
        for (int row = 0; row < m_rows.size() && ok && !aborted(); ++row) {
            if (m_rows.at(row).choice != kYes)
                continue;
            const QString name = m_rows.at(row).name;
            m_observer.selectRow(row);
            ok = m_client->remove(name);
            setRowChoice(row, ok ? kOk : kErr);
            m_observer.protocol(ok ? name + u" vom Server gelöscht."_s : name + u" (ERR)"_s);
        }
    }
    closeConnection();
    ok = ok && !aborted();
    finishRun(u"Aufräumen beendet: "_s, ok, u"Der Tresor wurde aufgeräumt"_s,
              u"Beim Aufräumen des Tresors ist ein Fehler aufgetreten!"_s);
    return ok;
}

bool FtpUploadArchives(const QString& archivePath, FtpObserver& observer) {
    FtpVaultTransfer transfer(observer);
    return transfer.prepareUpload(archivePath) && transfer.runUpload();
}

bool FtpDownloadArchives(const QString& ext, const QString& ext2, FtpObserver& observer,
                         const FtpDownloadChoice& choose, QString& name) {
    name.clear();
    FtpVaultTransfer transfer(observer);
    if (transfer.listDownloads(ext, ext2) == 0)
        return false;
    const std::optional<bool> deleteAfterDownload = choose(transfer);
    if (!deleteAfterDownload)
        return false;
    transfer.runDownload(*deleteAfterDownload);
    name = transfer.firstFetched();
    return !name.isEmpty();
}
