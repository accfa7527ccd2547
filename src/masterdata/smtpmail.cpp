#include "masterdata/smtpmail.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>
#include <QMimeType>
#include <QUuid>
#include <curl/curl.h>
#include <memory>
#include <vector>

namespace {

struct CurlGlobal {
    CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

void ensureCurl() {
    static CurlGlobal global;
}

bool isAscii(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() > 0x7e || c.unicode() < 0x20)
            return false;
    return true;
}

// RFC 2047: non-ASCII header text as one or more UTF-8 base64 words.
QByteArray headerText(const QString& text) {
    if (isAscii(text))
        return text.toLatin1();
    QByteArray out;
    QString rest = text;
    while (!rest.isEmpty()) {
        // At most 45 bytes of UTF-8 per word keeps each word under 76 characters.
        qsizetype take = rest.size();
        while (rest.left(take).toUtf8().size() > 45)
            --take;
        if (take < rest.size() && rest.at(take - 1).isHighSurrogate())
            --take;
        if (!out.isEmpty())
            out += "\r\n ";
        out += "=?UTF-8?B?" + rest.left(take).toUtf8().toBase64() + "?=";
        rest = rest.mid(take);
    }
    return out;
}

QByteArray angleAddress(const QString& address) {
    return '<' + address.trimmed().toUtf8() + '>';
}

struct Attachment {
    QString name;
    std::unique_ptr<QFile> file;
    qint64 total = 0;
    qint64 done = 0;
    const SmtpCallbacks* callbacks = nullptr;
};

size_t readAttachment(char* buffer, size_t size, size_t count, void* arg) {
    auto* a = static_cast<Attachment*>(arg);
    const qint64 got = a->file->read(buffer, qint64(size * count));
    if (got < 0)
        return CURL_READFUNC_ABORT;
    a->done += got;
    if (a->callbacks->attachmentProgress)
        a->callbacks->attachmentProgress(a->total, a->done, a->name);
    return size_t(got);
}

int seekAttachment(void* arg, curl_off_t offset, int origin) {
    auto* a = static_cast<Attachment*>(arg);
    if (origin != SEEK_SET || !a->file->seek(offset))
        return CURL_SEEKFUNC_CANTSEEK;
    a->done = offset;
    return CURL_SEEKFUNC_OK;
}

struct Progress {
    const SmtpCallbacks* callbacks;
    bool sending = false;
};

int onTransfer(void* arg, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
    auto* p = static_cast<Progress*>(arg);
    if (!p->sending && uploaded > 0) {
        p->sending = true;
        if (p->callbacks->status)
            p->callbacks->status(QStringLiteral("Nachricht senden..."));
    }
    if (p->callbacks->idle)
        p->callbacks->idle();
    return 0;
}

bool isConnectionFailure(CURLcode code) {
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_LOGIN_DENIED:
    case CURLE_AUTH_ERROR:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_USE_SSL_FAILED:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_OPERATION_TIMEDOUT:
        return true;
    default:
        return false;
    }
}

struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

void append(Slist& list, const QByteArray& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.constData());
    if (!grown)
        throw std::bad_alloc();
    list.release();
    list.reset(grown);
}

// Mail wants the zone as a numeric offset; names like "CET" are not allowed.
QByteArray rfc2822Date() {
    const QDateTime now = QDateTime::currentDateTime();
    const int offset = now.offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return QLocale::c().toString(now, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss ")).toLatin1() +
           (offset < 0 ? '-' : '+') + QByteArray::number(minutes / 60).rightJustified(2, '0') +
           QByteArray::number(minutes % 60).rightJustified(2, '0');
}

// Text bodies go out with CR LF line ends; a bare LF would be encoded as a
// character instead of ending the line.
QByteArray crlfBody(const QString& text) {
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return body.replace(u'\n', QStringLiteral("\r\n")).toUtf8();
}

// Whether the server's EHLO answer offered STARTTLS. libcurl hands every
// answer line to the debug callback; nothing of it is written anywhere.
int watchServerLines(CURL*, curl_infotype type, char* data, size_t size, void* arg) {
    if (type != CURLINFO_HEADER_IN)
        return 0;
    for (const QByteArray& line : QByteArray(data, qsizetype(size)).split('\n')) {
        const QByteArray text = line.trimmed().toUpper();
        if (text.size() > 4 && text.startsWith("250") && text.mid(4) == "STARTTLS")
            *static_cast<bool*>(arg) = true;
    }
    return 0;
}

} // namespace

SmtpTransportSettings& SmtpTransport() {
    static SmtpTransportSettings settings;
    return settings;
}

QByteArray MailboxHeader(const QString& name, const QString& address) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return address.trimmed().toUtf8();
    QByteArray display;
    if (isAscii(trimmed)) {
        QString quoted = trimmed;
        quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
        display = '"' + quoted.toLatin1() + '"';
    } else {
        display = headerText(trimmed);
    }
    return display + ' ' + angleAddress(address);
}

SmtpResult SendSmtpMail(const SmtpServer& server, const SmtpMessage& message,
                        const SmtpCallbacks& callbacks) {
    ensureCurl();
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl)
        return {SmtpOutcome::SendFailed, QStringLiteral("libcurl nicht verfügbar")};
    CURL* h = curl.get();

    // Attachments are opened before anything goes out: a missing file is a
    // refused sending, not a half-sent mail.
    std::vector<std::unique_ptr<Attachment>> attachments;
    for (const QString& path : message.attachments) {
        auto a = std::make_unique<Attachment>();
        a->name = QFileInfo(path).fileName();
        a->file = std::make_unique<QFile>(path);
        a->callbacks = &callbacks;
        if (!a->file->open(QIODevice::ReadOnly))
            return {SmtpOutcome::SendFailed,
                    QStringLiteral("Anhang %1 kann nicht gelesen werden").arg(path)};
        a->total = a->file->size();
        attachments.push_back(std::move(a));
    }

    const QByteArray url =
        "smtp://" + server.host.trimmed().toUtf8() + ':' + QByteArray::number(server.port);
    const QByteArray from = angleAddress(message.senderAddress);
    const QByteArray user = server.user.toUtf8();
    const QByteArray password = server.password.toUtf8();
    const QByteArray caFile = QFile::encodeName(server.caFile);
    char errorBuffer[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, 30L);
    // A server that stops answering ends the transfer instead of hanging.
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, 60L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    if (!caFile.isEmpty())
        curl_easy_setopt(h, CURLOPT_CAINFO, caFile.constData());
    if (server.authenticate) {
        curl_easy_setopt(h, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(h, CURLOPT_PASSWORD, password.constData());
        curl_easy_setopt(h, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN");
    }

    Slist recipients;
    append(recipients, from);
    for (const QString& bcc : message.blindCopies)
        append(recipients, angleAddress(bcc));
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, recipients.get());

    Slist headers;
    append(headers, "Date: " + rfc2822Date());
    append(headers, "From: " + MailboxHeader(message.senderName, message.senderAddress));
    append(headers, "To: " + MailboxHeader(message.recipientDisplay, message.senderAddress));
    append(headers, "Subject: " + headerText(message.subject));
    const QString domain = message.senderAddress.section(u'@', 1).trimmed();
    append(headers, "Message-ID: <" +
                        QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + '@' +
                        (domain.isEmpty() ? QByteArray("localhost") : domain.toUtf8()) + '>');
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());

    std::unique_ptr<curl_mime, decltype(&curl_mime_free)> mime(curl_mime_init(h), &curl_mime_free);
    const QByteArray body = crlfBody(message.body);
    curl_mimepart* text = curl_mime_addpart(mime.get());
    curl_mime_data(text, body.constData(), size_t(body.size()));
    curl_mime_type(text, "text/plain; charset=UTF-8");
    curl_mime_encoder(text, "quoted-printable");
    QMimeDatabase types;
    for (const auto& a : attachments) {
        curl_mimepart* part = curl_mime_addpart(mime.get());
        curl_mime_data_cb(part, curl_off_t(a->total), &readAttachment, &seekAttachment, nullptr,
                          a.get());
        const QByteArray fileName = a->name.toUtf8();
        curl_mime_filename(part, fileName.constData());
        const QByteArray type = types.mimeTypeForFile(a->file->fileName()).name().toLatin1();
        curl_mime_type(part, type.isEmpty() ? "application/octet-stream" : type.constData());
        curl_mime_encoder(part, "base64");
    }
    curl_easy_setopt(h, CURLOPT_MIMEPOST, mime.get());

    Progress progress{&callbacks};
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &onTransfer);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &progress);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);

    // TLS is demanded first, so that a server offering STARTTLS and then
    // refusing it never gets the login or the mail in plain text. Only a
    // server that does not offer STARTTLS at all is asked again without.
    bool tlsOffered = false;
    curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, &watchServerLines);
    curl_easy_setopt(h, CURLOPT_DEBUGDATA, &tlsOffered);
    curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(h, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    if (callbacks.status)
        callbacks.status(QStringLiteral("Verbinden..."));
    CURLcode code = curl_easy_perform(h);
    if (!tlsOffered && (code == CURLE_USE_SSL_FAILED || code == CURLE_REMOTE_ACCESS_DENIED)) {
        errorBuffer[0] = '\0';
        curl_easy_setopt(h, CURLOPT_USE_SSL, long(CURLUSESSL_NONE));
        code = curl_easy_perform(h);
    }
    const QString detail =
        code == CURLE_OK
            ? QString()
            : QString::fromUtf8(errorBuffer[0] ? errorBuffer : curl_easy_strerror(code));
    // Once the message was on its way, a failure is one of sending.
    if (code != CURLE_OK && !progress.sending && isConnectionFailure(code))
        return {SmtpOutcome::ConnectFailed, detail};
    if (callbacks.status) {
        callbacks.status(QStringLiteral("Abmelden..."));
        callbacks.status(QStringLiteral("Verbindung beendet."));
    }
    return {code == CURLE_OK ? SmtpOutcome::Sent : SmtpOutcome::SendFailed, detail};
}
