#include "datasafety/ftpclient.h"

#include "datasafety/blockingcall.h"

#include <QBuffer>
#include <QFile>
#include <QUrl>
#include <curl/curl.h>
#include <mutex>

using namespace Qt::StringLiterals;

namespace {

constexpr long kConnectTimeoutS = 30;
constexpr long kCleanupConnectTimeoutS = 5;
constexpr long kResponseTimeoutS = 60;
// A transfer that moves nothing for this long counts as broken.
constexpr long kStallTimeS = 60;
// How soon an abort stops a transfer that waits for the network.
constexpr int kAbortPollMs = 50;

void ensureCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t readFromDevice(char* buffer, size_t size, size_t count, void* device) {
    const qint64 got = static_cast<QIODevice*>(device)->read(buffer, qint64(size * count));
    return got < 0 ? CURL_READFUNC_ABORT : size_t(got);
}

size_t writeToDevice(char* data, size_t size, size_t count, void* device) {
    const qint64 bytes = qint64(size * count);
    if (!device)
        return size_t(bytes);
    return static_cast<QIODevice*>(device)->write(data, bytes) == bytes ? size_t(bytes) : 0;
}

QByteArray encodedPath(const QString& dir) {
    QByteArray path;
    for (const QString& part : dir.split(u'/', Qt::SkipEmptyParts))
        path += QUrl::toPercentEncoding(part) + '/';
    return path;
}

// Curl lists, freed with the request.
struct SList {
    curl_slist* list = nullptr;
    ~SList() { curl_slist_free_all(list); }
    void append(const QByteArray& line) { list = curl_slist_append(list, line.constData()); }
};

} // namespace

// The transfer handle and the multi handle that drives it; the open control
// connection lives in the multi handle's cache between calls.
struct FtpClient::Handle {
    Handle() : easy(curl_easy_init()), multi(curl_multi_init()) {}
    ~Handle() {
        if (easy)
            curl_easy_cleanup(easy);
        if (multi)
            curl_multi_cleanup(multi); // sends QUIT on an open connection
    }
    CURL* easy;
    CURLM* multi;
};

struct FtpClient::Request {
    QByteArray url;
    bool noBody = false;
    bool createDirs = false;
    bool ignoreAbort = false; // clean-up after an aborted transfer
    QByteArray customRequest;
    QByteArray postQuote;
    QIODevice* upload = nullptr;
    qint64 uploadSize = 0;
    QIODevice* sink = nullptr;
    long connectTimeout = kConnectTimeoutS;
    // results
    CURLcode code = CURLE_OK;
    long responseCode = 0;
    curl_off_t contentLength = -1;
};

namespace {

struct ProgressContext {
    std::atomic<bool>* abort;
    bool ignoreAbort;
    std::atomic<qint64>* done;
    std::atomic<qint64>* total;
};

int onProgress(void* data, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal,
               curl_off_t ulnow) {
    auto* context = static_cast<ProgressContext*>(data);
    if (ultotal > 0 || ulnow > 0) {
        *context->done = ulnow;
        if (ultotal > 0)
            *context->total = ultotal;
    } else {
        *context->done = dlnow;
        if (dltotal > 0)
            *context->total = dltotal;
    }
    return (*context->abort && !context->ignoreAbort) ? 1 : 0;
}

// Runs one transfer through the multi handle, looking at the abort flag
// between waits, so that an abort takes effect at once even while the
// transfer waits for the network.
CURLcode drive(CURLM* multi, CURL* easy, const std::atomic<bool>& abort) {
    if (curl_multi_add_handle(multi, easy) != CURLM_OK)
        return CURLE_FAILED_INIT;
    CURLcode code = CURLE_OK;
    int running = 1;
    while (running) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
        if (!running)
            break;
        if (abort) {
            code = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        curl_multi_poll(multi, nullptr, 0, kAbortPollMs, nullptr);
    }
    if (!running) {
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued))
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy)
                code = message->data.result;
    }
    // Removed mid-transfer, the connection is closed, not kept.
    curl_multi_remove_handle(multi, easy);
    return code;
}

} // namespace

FtpClient::FtpClient(const Account& account) : m_account(account) {
    ensureCurl();
    m_handle = std::make_unique<Handle>();
    // A host given as URL is reduced to its name and port.
    for (const QString& scheme : {u"ftp://"_s, u"FTP://"_s})
        if (m_account.host.startsWith(scheme))
            m_account.host = m_account.host.mid(scheme.size());
    while (m_account.host.endsWith(u'/'))
        m_account.host.chop(1);
}

FtpClient::~FtpClient() = default;

QByteArray FtpClient::url(const QString& name) const {
    return "ftp://" + m_account.host.toUtf8() + '/' + encodedPath(m_dir) +
           QUrl::toPercentEncoding(name);
}

bool FtpClient::perform(Request& request) {
    if (m_abort && !request.ignoreAbort) {
        m_error = u"Die Funktion wurde abgebrochen"_s;
        return false;
    }
    if (!m_handle->easy || !m_handle->multi) {
        m_error = u"libcurl steht nicht zur Verfügung"_s;
        return false;
    }
    CURL* c = m_handle->easy;
    curl_easy_reset(c); // keeps the open connection
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray user = m_account.user.toUtf8();
    const QByteArray password = m_account.password.toUtf8();
    ProgressContext progress{&m_abort, request.ignoreAbort, &m_done, &m_total};
    static const std::atomic<bool> never{false};
    const std::atomic<bool>& abortFlag = request.ignoreAbort ? never : m_abort;
    SList postQuote;
    curl_easy_setopt(c, CURLOPT_URL, request.url.constData());
    curl_easy_setopt(c, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, request.connectTimeout);
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, kResponseTimeoutS);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, kStallTimeS);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &progress);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, writeToDevice);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, request.sink);
    if (request.noBody)
        curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
    if (request.createDirs)
        curl_easy_setopt(c, CURLOPT_FTP_CREATE_MISSING_DIRS, long(CURLFTP_CREATE_DIR));
    if (!request.customRequest.isEmpty())
        curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, request.customRequest.constData());
    if (!request.postQuote.isEmpty()) {
        postQuote.append(request.postQuote);
        curl_easy_setopt(c, CURLOPT_POSTQUOTE, postQuote.list);
    }
    if (request.upload) {
        curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(c, CURLOPT_READFUNCTION, readFromDevice);
        curl_easy_setopt(c, CURLOPT_READDATA, request.upload);
        curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, curl_off_t(request.uploadSize));
    }

    m_done = 0;
    m_total = request.upload ? request.uploadSize : 0;
    m_running = true;
    RunKeepingEventsAlive([&] { request.code = drive(m_handle->multi, c, abortFlag); }, onTick);
    m_running = false;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &request.responseCode);
    curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &request.contentLength);
    // Nothing of ours may point into this frame once it is left.
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, nullptr);
    curl_easy_setopt(c, CURLOPT_POSTQUOTE, nullptr);
    if (request.code == CURLE_OK) {
        m_error.clear();
        return true;
    }
    m_error = QString::fromUtf8(errorBuffer[0] ? errorBuffer : curl_easy_strerror(request.code));
    return false;
}

bool FtpClient::connect() {
    Request request;
    request.url = "ftp://" + m_account.host.toUtf8() + '/';
    request.noBody = true;
    if (!perform(request))
        return false;
    m_dir.clear();
    return true;
}

bool FtpClient::changeDir(const QString& dir, bool create) {
    Request request;
    request.url = "ftp://" + m_account.host.toUtf8() + '/' + encodedPath(dir);
    request.noBody = true;
    request.createDirs = create;
    if (!perform(request))
        return false;
    m_dir = dir;
    return true;
}

bool FtpClient::list(const QString& argument, QStringList& lines) {
    lines.clear();
    QBuffer answer;
    answer.open(QIODevice::WriteOnly);
    Request request;
    request.url = url({});
    request.sink = &answer;
    request.customRequest = ("LIST " + argument).toUtf8();
    if (!perform(request)) {
        if (m_abort)
            return false;
        answer.buffer().clear();
        answer.seek(0);
        Request plain;
        plain.url = url({});
        plain.sink = &answer;
        if (!perform(plain))
            return false;
    }
    for (QByteArray line : answer.buffer().split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            lines.append(QString::fromUtf8(line));
    }
    return true;
}

qint64 FtpClient::size(const QString& name) {
    Request request;
    request.url = url(name);
    request.noBody = true;
    if (!perform(request) || request.contentLength < 0)
        return -1;
    return qint64(request.contentLength);
}

bool FtpClient::store(const QString& localFile, const QString& name) {
    QFile file(localFile);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        return false;
    }
    Request request;
    request.url = url(name);
    request.upload = &file;
    request.uploadSize = file.size();
    if (perform(request))
        return true;
    // No half-sent file may stay under an archive's name.
    const QString reason = m_error;
    Request cleanup;
    cleanup.url = url({});
    cleanup.noBody = true;
    cleanup.ignoreAbort = true;
    cleanup.connectTimeout = kCleanupConnectTimeoutS;
    cleanup.postQuote = "DELE " + name.toUtf8();
    perform(cleanup);
    m_error = reason;
    return false;
}

bool FtpClient::retrieve(const QString& name, const QString& localFile) {
    QFile file(localFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_error = file.errorString();
        return false;
    }
    Request request;
    request.url = url(name);
    request.sink = &file;
    const bool ok = perform(request);
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

bool FtpClient::remove(const QString& name) {
    if (name.contains(u'\r') || name.contains(u'\n')) {
        m_error = u"Ungültiger Dateiname"_s;
        return false;
    }
    Request request;
    request.url = url({});
    request.noBody = true;
    request.postQuote = "DELE " + name.toUtf8();
    return perform(request);
}

void FtpClient::close() {
    std::unique_ptr<Handle> old = std::move(m_handle);
    RunKeepingEventsAlive([&] { old.reset(); }, onTick);
    m_handle = std::make_unique<Handle>();
    m_dir.clear();
}
