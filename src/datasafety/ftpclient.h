#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

// An FTP client on libcurl: passive data connections (they pass routers and
// firewalls), binary transfers, one control connection kept for a run. Every
// call blocks its caller but runs on a worker thread, so the caller's window
// keeps painting; abort() stops a running call from any thread. The password
// goes to libcurl only as an option: it never appears in a URL, an error
// text or any output.
class FtpClient {
public:
    struct Account {
        QString host; // a name or address, optionally with ":port"
        QString user;
        QString password;
    };
    explicit FtpClient(const Account& account);
    ~FtpClient();
    FtpClient(const FtpClient&) = delete;
    FtpClient& operator=(const FtpClient&) = delete;

    // Connects and logs in.
    bool connect();
    // Changes into dir below the login directory, creating it when asked.
    bool changeDir(const QString& dir, bool create);
    // The lines of "LIST argument" in the current directory; a server that
    // refuses the argument (pyftpdlib answers "LIST *.*" with 550) is asked
    // for a plain LIST.
    bool list(const QString& argument, QStringList& lines);
    // SIZE of a file in the current directory; -1 unless the server answers 213.
    qint64 size(const QString& name);
    bool store(const QString& localFile, const QString& name);
    bool retrieve(const QString& name, const QString& localFile);
    bool remove(const QString& name);
    void close();

    // Stops the running call (its result is then false) and every later one
    // until clearAbort().
    void abort() { m_abort = true; }
    void clearAbort() { m_abort = false; }
    bool aborted() const { return m_abort; }
    bool transferRunning() const { return m_running; }
    // Bytes moved and announced by the running transfer.
    qint64 bytesDone() const { return m_done; }
    qint64 bytesTotal() const { return m_total; }
    // The reason of the last failure, in libcurl's words (no secrets).
    QString lastError() const { return m_error; }

    // Called about every 50 ms on the calling thread while a call runs.
    std::function<void()> onTick;

    struct Request;

private:
    bool perform(Request& request);
    QByteArray url(const QString& name) const;

    struct Handle;
    std::unique_ptr<Handle> m_handle;
    Account m_account;
    QString m_dir;
    QString m_error;
    std::atomic<bool> m_abort{false};
    std::atomic<bool> m_running{false};
    std::atomic<qint64> m_done{0};
    std::atomic<qint64> m_total{0};
};
