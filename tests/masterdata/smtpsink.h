#pragma once

#include "support/peers.h"
#include "support/testdirs.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mailtest {

using testsupport::FreePort;

// Whether the SMTP peer can run here; under CI it must.
inline bool SmtpPeerAvailable() {
    return testsupport::PythonModuleAvailable(QStringLiteral("aiosmtpd"));
}

// A received message as the sink stored it.
struct ReceivedMail {
    QJsonObject meta;
    QByteArray raw;
    QString body;
    QDir dir;
    QByteArray attachment(const QString& name) const {
        QFile f(dir.filePath(QStringLiteral("att-") + name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList recipients() const {
        QStringList list;
        for (const auto& v : meta.value(QStringLiteral("to")).toArray())
            list << v.toString();
        return list;
    }
};

// The SMTP peer on loopback, started by the test and stopped with it.
class SmtpSink {
public:
    struct Options {
        QString user;
        QString password;
        bool tls = false;
        bool refuseTls = false; // offers STARTTLS, answers it with 454
    };
    SmtpSink() : SmtpSink(Options{}) {}
    explicit SmtpSink(const Options& options) {
        port = FreePort();
        QStringList args{scriptPath(), QString::number(port), m_out.path(), options.user,
                         options.password};
        if (options.tls) {
            makeCertificate();
            args << certFile << keyFile;
            if (options.refuseTls)
                args << QStringLiteral("refusetls");
        }
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(QStringLiteral("/usr/bin/python3"), args);
        while (m_process.waitForReadyRead(15000))
            if (m_process.readAllStandardOutput().contains("ready")) {
                m_ready = true;
                break;
            }
    }
    ~SmtpSink() {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    bool ready() const { return m_ready; }
    QString errors() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }
    int count() const {
        return int(QDir(m_out.path()).entryList({QStringLiteral("mail*")}, QDir::Dirs).size());
    }
    ReceivedMail mail(int n) const {
        ReceivedMail m;
        m.dir = QDir(m_out.filePath(QStringLiteral("mail%1").arg(n)));
        QFile meta(m.dir.filePath(QStringLiteral("meta.json")));
        if (meta.open(QIODevice::ReadOnly))
            m.meta = QJsonDocument::fromJson(meta.readAll()).object();
        QFile raw(m.dir.filePath(QStringLiteral("raw.eml")));
        if (raw.open(QIODevice::ReadOnly))
            m.raw = raw.readAll();
        QFile body(m.dir.filePath(QStringLiteral("body.txt")));
        if (body.open(QIODevice::ReadOnly))
            m.body = QString::fromUtf8(body.readAll());
        return m;
    }

    int port = 0;
    QString keyFile;
    QString certFile; // the sink's certificate, trusted by the sender in TLS tests

private:
    static QString scriptPath() {
        return testsupport::sourceDir() + QStringLiteral("/tests/support/smtpsink.py");
    }
    void makeCertificate() {
        certFile = m_keys.filePath(QStringLiteral("cert.pem"));
        keyFile = m_keys.filePath(QStringLiteral("key.pem"));
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                       QStringLiteral("rsa:2048"), QStringLiteral("-nodes"),
                       QStringLiteral("-keyout"), keyFile, QStringLiteral("-out"), certFile,
                       QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                       QStringLiteral("subjectAltName=IP:127.0.0.1")});
        openssl.waitForFinished(30000);
    }

    QTemporaryDir m_keys;
    QTemporaryDir m_out;
    QProcess m_process;
    bool m_ready = false;
};

} // namespace mailtest

// Skips a test without the SMTP peer; under CI the peer must be there.
#define REQUIRE_SMTP_PEER()                                                                        \
    do {                                                                                           \
        if (!mailtest::SmtpPeerAvailable()) {                                                      \
            if (qEnvironmentVariable("CI") == QStringLiteral("true"))                              \
                FAIL() << "python3-aiosmtpd fehlt";                                                \
            GTEST_SKIP() << "python3-aiosmtpd fehlt";                                              \
        }                                                                                          \
    } while (false)
