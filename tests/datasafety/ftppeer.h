#pragma once

#include "support/peers.h"
#include "support/testdirs.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ftptest {

// Whether the FTP peer can run here; under CI it must.
inline bool FtpPeerAvailable() {
    return testsupport::PythonModuleAvailable(QStringLiteral("pyftpdlib"));
}

// pyftpdlib on 127.0.0.1 at a free port over a temporary root, started by the
// test and stopped by its process id.
class FtpPeer {
public:
    struct Options {
        QString user = QStringLiteral("hausmeister");
        QString password = QStringLiteral("Geheim-123");
        int bytesPerSecond = 0; // throttles every data connection
    };
    FtpPeer() : FtpPeer(Options{}) {}
    explicit FtpPeer(const Options& options) : user(options.user), password(options.password) {
        port = testsupport::FreePort();
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(
            QStringLiteral("/usr/bin/python3"),
            {testsupport::sourceDir() + QStringLiteral("/tests/datasafety/ftpserver.py"),
             QString::number(port), m_root.path(), user, password,
             QString::number(options.bytesPerSecond), commandLog()});
        while (m_process.waitForReadyRead(15000))
            if (m_process.readAllStandardOutput().contains("ready")) {
                m_ready = true;
                break;
            }
    }
    ~FtpPeer() { stop(); }
    FtpPeer(const FtpPeer&) = delete;
    FtpPeer& operator=(const FtpPeer&) = delete;

    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        // pyftpdlib answers SIGTERM only after a second: a stopped server
        // is what the tests want anyway.
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    bool ready() const { return m_ready; }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(port); }
    QString root() const { return m_root.path(); }
    QString path(const QString& name) const { return m_root.filePath(name); }
    // Every command line the server received.
    QByteArray commands() const {
        QFile file(commandLog());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString errors() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

    int port = 0;
    QString user;
    QString password;

private:
    QString commandLog() const { return m_logDir.filePath(QStringLiteral("commands.log")); }

    QTemporaryDir m_root;
    QTemporaryDir m_logDir;
    QProcess m_process;
    bool m_ready = false;
};

} // namespace ftptest

// Skips a test without the FTP peer; under CI the peer must be there.
#define REQUIRE_FTP_PEER()                                                                         \
    do {                                                                                           \
        if (!ftptest::FtpPeerAvailable()) {                                                        \
            if (testsupport::runningInCi())                                                        \
                FAIL() << "python3-pyftpdlib fehlt";                                               \
            GTEST_SKIP() << "python3-pyftpdlib fehlt";                                             \
        }                                                                                          \
    } while (false)
