#pragma once

#include "datasafety/ftpsettings.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class FtpClient;

// Where a vault run reports: the transfer window shows it, tests record it.
class FtpObserver {
public:
    virtual ~FtpObserver() = default;
    virtual void rowsChanged() {}   // rows were added, removed or reordered
    virtual void rowChanged(int) {} // the "Wahl" text of a row changed
    virtual void selectRow(int) {}
    virtual void protocol(const QString&) {}
    virtual void stateLine(const QString&) {}
    virtual void statusText(const QString&) {}
    virtual void progressMaximum(qint64) {}
    virtual void progress(qint64) {}
};

// A row of the transfer window: "Dateiname", "Kommentar", "Wahl".
struct FtpRow {
    QString name;
    QString comment;
    QString choice;  // "Ja", "Nein", "senden..", "empf...", "OK", "ERR"
    qint64 size = 0; // as listed (downloads)
};

// The FTP vault: archives encrypted with the settings' key, in the vault
// directory of the user's FTP account. One object serves one window: an
// upload, a download (list, then fetch the marked rows) or a clean-up (list
// every kind, then delete the marked rows). Blocking calls run on a worker
// thread, so the window keeps painting; abort() may be called from it at
// any time.
class FtpVaultTransfer {
public:
    explicit FtpVaultTransfer(FtpObserver& observer,
                              const FtpSettingsRecord& settings = FtpSettings);
    ~FtpVaultTransfer();
    FtpVaultTransfer(const FtpVaultTransfer&) = delete;
    FtpVaultTransfer& operator=(const FtpVaultTransfer&) = delete;

    // Upload: a row for the archive and, for a database archive, one for its
    // ".CCA" companion when that exists. False when the archive cannot be read.
    bool prepareUpload(const QString& archivePath);
    // Sends every row marked "Ja". True when all were sent.
    bool runUpload();

    // Download: the archives of the kind(s) in the vault, newest first.
    int listDownloads(const QString& ext, const QString& ext2);
    // Fetches the rows marked "Ja" into BackupDir, replacing archives there,
    // and deletes them in the vault when asked. True when all were fetched.
    bool runDownload(bool deleteAfterDownload);
    // The first archive fetched, empty when none.
    QString firstFetched() const { return m_firstFetched; }

    // Clean-up: every archive in the vault, oldest first; deletes the marked ones.
    int listVault();
    bool deleteMarked();

    const QList<FtpRow>& rows() const { return m_rows; }
    void setChoice(int row, bool yes);
    // A click on a row: "Nein" becomes "Ja", anything else "Nein".
    void toggleChoice(int row);

    // The user's "Abbruch": stops the running transfer and the run.
    void abort();
    bool aborted() const;

    // Bytes the vault may still take (connected): MaxMB million bytes less
    // the SIZE of every file listed.
    qint64 freeSpace();

private:
    bool connect();
    bool enterVault(bool create, bool listing);
    void closeConnection();
    int listInto(const QString& ext, const QString& ext2);
    bool uploadRow(int row, qint64& free);
    bool downloadRow(int row, bool deleteAfterDownload, bool& deletedAll);
    void setRowChoice(int row, const QString& choice);
    // Says so when no row is marked.
    bool anyMarked() const;
    void finishRun(const QString& protocolHead, bool ok, const QString& done,
                   const QString& failed);
    QString tempFile(const QString& name) const;
    QString localDir() const;

    FtpObserver& m_observer;
    FtpSettingsRecord m_settings;
    std::unique_ptr<FtpClient> m_client;
    bool m_connected = false;
    QList<FtpRow> m_rows;
    QString m_uploadDir;
    QString m_firstFetched;
};

// The two runs as a window drives them, for callers without one.
// Sends the archive (and its ".CCA" companion); true when all was sent.
bool FtpUploadArchives(const QString& archivePath, FtpObserver& observer);
// Lists the vault's archives of the kind(s); `choose` marks rows (as the
// user would) and gives whether the fetched files are to be deleted in the
// vault, or nothing to cancel. True when at least one archive was fetched;
// `name` is then the first one.
using FtpDownloadChoice = std::function<std::optional<bool>(FtpVaultTransfer&)>;
bool FtpDownloadArchives(const QString& ext, const QString& ext2, FtpObserver& observer,
                         const FtpDownloadChoice& choose, QString& name);

// The temporary file of a transfer: program directory + "Ftptemp" + name.
QString FtpTempFileName(const QString& archiveName);
