#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// One plain-text mail with attachments through SMTP (libcurl): STARTTLS
// whenever the server offers it, AUTH LOGIN when asked for.

struct SmtpServer {
    QString host;
    int port = 25;
    bool authenticate = false;
    QString user;
    QString password;
    QString caFile; // certificates to trust besides the system's (tests)
};

struct SmtpMessage {
    QString senderName;
    QString senderAddress;
    QString recipientDisplay; // the visible recipient's name; empty: the bare address
    QString subject;
    QString body;
    QStringList blindCopies; // bare addresses; they never appear in a header
    QStringList attachments; // file paths
};

enum class SmtpOutcome { Sent, ConnectFailed, SendFailed };

struct SmtpResult {
    SmtpOutcome outcome = SmtpOutcome::SendFailed;
    QString detail; // the transport's own words, for the log
};

struct SmtpCallbacks {
    // Bytes of one attachment read for sending so far, of its total.
    std::function<void(qint64 total, qint64 done, const QString& name)> attachmentProgress;
    std::function<void(const QString& status)> status;
    // Called while the transfer waits, so that windows keep painting.
    std::function<void()> idle;
};

// Port and trusted certificates that tests set; the program uses port 25.
struct SmtpTransportSettings {
    int port = 25;
    QString caFile;
};
SmtpTransportSettings& SmtpTransport();

SmtpResult SendSmtpMail(const SmtpServer& server, const SmtpMessage& message,
                        const SmtpCallbacks& callbacks = {});

// The header text of a display name and address: "Name" <a@b.de>, encoded
// as RFC 2047 words when the name is not plain ASCII.
QByteArray MailboxHeader(const QString& name, const QString& address);
