#include "core/curl_web_transfer.h"

#include "records/cp1252.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QUrl>
#include <curl/curl.h>
#include <mutex>

namespace gim {

namespace {

CURL* Handle(void* curl)
{
    return static_cast<CURL*>(curl);
}

void InitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Remote names are the server's Windows-1252 names, each folder and file escaped on its own.
QByteArray EncodedPath(const QString& remote)
{
    QByteArray path;
    const QStringList names = remote.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (int i = 0; i < names.size(); ++i) {
        if (i > 0)
            path += '/';
        const std::string bytes = ToCp1252(names[i]);
        // QUrl's encoder would read the bytes as UTF-8 first: the byte array's own keeps them as they are.
        path += QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).toPercentEncoding();
    }
    return path;
}

struct SList
{
    curl_slist* list = nullptr;
    ~SList() { curl_slist_free_all(list); }
    void Append(const QByteArray& line) { list = curl_slist_append(list, line.constData()); }
};

size_t WriteToFile(char* data, size_t size, size_t count, void* file)
{
    const qint64 bytes = static_cast<qint64>(size * count);
    return static_cast<QSaveFile*>(file)->write(data, bytes) == bytes ? size * count : 0;
}

size_t WriteToBytes(char* data, size_t size, size_t count, void* bytes)
{
    static_cast<QByteArray*>(bytes)->append(data, static_cast<qsizetype>(size * count));
    return size * count;
}

size_t Discard(char*, size_t size, size_t count, void*)
{
    return size * count;
}

size_t ReadFromFile(char* data, size_t size, size_t count, void* file)
{
    const qint64 read = static_cast<QFile*>(file)->read(data, static_cast<qint64>(size * count));
    return read < 0 ? CURL_READFUNC_ABORT : static_cast<size_t>(read);
}

} // namespace

// What one perform reports back: the progress callback and the bytes libcurl last counted, so that the
// callback runs only when something moved.
struct CurlWebTransfer::Request
{
    const TransferProgress* progress = nullptr;
    bool upload = false;
    qint64 knownTotal = 0; // asked of the server before a text transfer, which libcurl does not size
    qint64 done = 0;
    qint64 total = 0;
    qint64 reportedDone = -1;
    qint64 reportedTotal = -1;
    bool deleting = false;
    int timeoutSeconds = 0; // the account's unless set
    SList quote;

    void Report()
    {
        if (done == reportedDone && total == reportedTotal)
            return;
        reportedDone = done;
        reportedTotal = total;
        if (progress && *progress)
            (*progress)(done, total);
    }
};

namespace {

int OnProgress(void* request, curl_off_t downTotal, curl_off_t downNow, curl_off_t upTotal, curl_off_t upNow)
{
    auto& r = *static_cast<CurlWebTransfer::Request*>(request);
    r.total = r.upload ? upTotal : (downTotal > 0 ? downTotal : r.knownTotal);
    r.done = r.upload ? upNow : downNow;
    return 0;
}

CURLM* Multi(void* multi)
{
    return static_cast<CURLM*>(multi);
}

WebFailure FailureOf(CURLcode code, CURL* h, bool deleting)
{
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
        return WebFailure::NoConnection;
    case CURLE_LOGIN_DENIED:
        return WebFailure::LoginRefused;
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_FTP_COULDNT_RETR_FILE:
    case CURLE_REMOTE_ACCESS_DENIED:
        return WebFailure::FileMissing;
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_FTP_ACCEPT_TIMEOUT:
        return WebFailure::TimeOut;
    case CURLE_ABORTED_BY_CALLBACK:
        return WebFailure::Cancelled;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY:
        return WebFailure::Cut;
    case CURLE_WRITE_ERROR:
    case CURLE_READ_ERROR:
        return WebFailure::LocalFile;
    case CURLE_QUOTE_ERROR:
        return deleting ? WebFailure::DeleteRefused : WebFailure::Other;
    case CURLE_HTTP_RETURNED_ERROR: {
        long status = 0;
        curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
        return status == 404 || status == 410 ? WebFailure::PageNotFound : WebFailure::Other;
    }
    default:
        return WebFailure::Other;
    }
}

} // namespace

CurlWebTransfer::CurlWebTransfer()
{
    InitCurlOnce();
    m_curl = curl_easy_init();
    m_multi = curl_multi_init();
}

CurlWebTransfer::~CurlWebTransfer()
{
    curl_easy_cleanup(Handle(m_curl));
    curl_multi_cleanup(Multi(m_multi));
}

void CurlWebTransfer::Prepare(const QString& remote)
{
    CURL* h = Handle(m_curl);
    curl_easy_reset(h);
    const QByteArray url = "ftp://" + QUrl::toAce(m_account.host) + ':' + QByteArray::number(m_account.port) +
                           '/' + EncodedPath(remote);
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_USERNAME, m_account.user.toUtf8().constData());
    curl_easy_setopt(h, CURLOPT_PASSWORD, m_account.password.toUtf8().constData());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    const long timeout = std::max(1, m_account.timeoutSeconds);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, timeout);
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout);
    curl_easy_setopt(h, CURLOPT_ACCEPTTIMEOUT_MS, timeout * 1000L);
    // A transfer that stalls for the time-out is given up, however long a whole file takes.
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, timeout);
    if (!m_account.passive)
        curl_easy_setopt(h, CURLOPT_FTPPORT, "-");
    // What a request without a body answers (the size, say) is read through getinfo, not written out.
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, Discard);
}

// libcurl itself only knows "TYPE I", and in text mode it would turn line ends into the local system's;
// the files here are Windows text already, so they travel as they are and the type is sent by hand.
void CurlWebTransfer::QuoteType(Request& request)
{
    const char* type = m_mode == TransferMode::Ascii   ? "TYPE A"
                       : m_mode == TransferMode::Bytes ? "TYPE L 8"
                                                       : nullptr;
    if (!type && m_typeSent)
        type = "TYPE I"; // libcurl believes the session is still in image mode
    m_typeSent = type && m_mode != TransferMode::Image;
    if (type)
        request.quote.Append(type);
    curl_easy_setopt(Handle(m_curl), CURLOPT_PREQUOTE, request.quote.list);
}

// The transfer runs in steps of at most 50 ms; between them the wait handler repaints and may cancel.
tl::expected<void, WebFailure> CurlWebTransfer::Perform(void* easy, Request& request)
{
    CURL* h = Handle(easy);
    CURLM* multi = Multi(m_multi);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &request);
    if (curl_multi_add_handle(multi, h) != CURLM_OK)
        return tl::unexpected(WebFailure::Other);
    // libcurl's own low-speed check averages over several seconds: a stall is timed here, from the last
    // byte that moved, so that it ends after the time-out the settings give.
    const qint64 stallLimit =
        1000LL * std::max(1, request.timeoutSeconds ? request.timeoutSeconds : m_account.timeoutSeconds);
    QElapsedTimer sinceMove;
    sinceMove.start();
    qint64 lastDone = 0;
    int running = 1;
    CURLcode ended = CURLE_OK;
    while (running > 0) {
        if (curl_multi_perform(multi, &running) != CURLM_OK)
            break;
        request.Report();
        if (request.done != lastDone)
            lastDone = request.done, sinceMove.restart();
        if (running > 0 && m_wait && !m_wait())
            ended = CURLE_ABORTED_BY_CALLBACK;
        else if (running > 0 && sinceMove.elapsed() > stallLimit)
            ended = CURLE_OPERATION_TIMEDOUT;
        if (ended != CURLE_OK)
            break;
        if (running > 0)
            curl_multi_poll(multi, nullptr, 0, 50, nullptr);
    }
    CURLcode code = ended != CURLE_OK ? ended : CURLE_FAILED_INIT;
    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &queued))
        if (ended == CURLE_OK && msg->msg == CURLMSG_DONE && msg->easy_handle == h)
            code = msg->data.result;
    // Taken out in the middle of a transfer, the handle drops its connection: a new login follows.
    curl_multi_remove_handle(multi, h);
    if (ended != CURLE_OK && easy == m_curl)
        m_connected = false;
    if (code == CURLE_OK) {
        // libcurl need not report the last bytes of a transfer before it ends: the counts are read here.
        curl_off_t done = 0;
        curl_easy_getinfo(h, request.upload ? CURLINFO_SIZE_UPLOAD_T : CURLINFO_SIZE_DOWNLOAD_T, &done);
        request.done = std::max<qint64>(request.done, done);
        request.total = std::max<qint64>(request.total, request.knownTotal);
        request.Report();
        return {};
    }
    return tl::unexpected(FailureOf(code, h, request.deleting));
}

tl::expected<void, WebFailure> CurlWebTransfer::Connect(const WebAccount& account)
{
    Disconnect();
    m_account = account;
    if (account.host.isEmpty())
        return tl::unexpected(WebFailure::NoConnection);
    Prepare(QString());
    // Log in and stop there: the connection stays open for the transfers.
    curl_easy_setopt(Handle(m_curl), CURLOPT_NOBODY, 1L);
    Request request;
    auto result = Perform(m_curl, request);
    m_connected = result.has_value();
    m_typeSent = false;
    // Commands outside a transfer are sent wherever the last transfer left the session: they name their
    // file from the start folder.
    const char* entry = nullptr;
    curl_easy_getinfo(Handle(m_curl), CURLINFO_FTP_ENTRY_PATH, &entry);
    m_entryPath = entry ? QString::fromUtf8(entry) : QString();
    if (!m_entryPath.isEmpty() && !m_entryPath.endsWith(QLatin1Char('/')))
        m_entryPath += QLatin1Char('/');
    return result;
}

void CurlWebTransfer::Disconnect()
{
    // Closing the handles ends the session (QUIT); the next connection starts from a fresh one.
    curl_easy_cleanup(Handle(m_curl));
    curl_multi_cleanup(Multi(m_multi));
    m_curl = curl_easy_init();
    m_multi = curl_multi_init();
    m_connected = false;
}

// Servers refuse SIZE in text mode: the size is asked in image mode before the text transfer. 0 when the
// server does not say; a failure only when the session could not go on.
tl::expected<qint64, WebFailure> CurlWebTransfer::RemoteSize(const QString& remote)
{
    Prepare(remote);
    CURL* h = Handle(m_curl);
    Request request;
    if (m_typeSent)
        request.quote.Append("TYPE I");
    m_typeSent = false;
    curl_easy_setopt(h, CURLOPT_QUOTE, request.quote.list);
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    const auto asked = Perform(m_curl, request);
    if (!asked && asked.error() != WebFailure::FileMissing && asked.error() != WebFailure::Other)
        return tl::unexpected(asked.error());
    curl_off_t size = -1;
    if (asked)
        curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
    return std::max<qint64>(size, 0);
}

tl::expected<void, WebFailure> CurlWebTransfer::Download(const QString& remote, const QString& localPath,
                                                         const TransferProgress& progress)
{
    if (!m_connected)
        return tl::unexpected(WebFailure::NoConnection);
    QDir().mkpath(QFileInfo(localPath).absolutePath());
    QSaveFile file(localPath);
    if (!file.open(QIODevice::WriteOnly))
        return tl::unexpected(WebFailure::LocalFile);
    const auto knownTotal =
        m_mode == TransferMode::Ascii ? RemoteSize(remote) : tl::expected<qint64, WebFailure>(0);
    if (!knownTotal)
        return tl::unexpected(knownTotal.error());
    Prepare(remote);
    CURL* h = Handle(m_curl);
    Request request;
    request.progress = &progress;
    request.knownTotal = *knownTotal;
    QuoteType(request);
    // libcurl would ask the size again, after the text type: it was asked already.
    if (m_mode == TransferMode::Ascii)
        curl_easy_setopt(h, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteToFile);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &file);
    auto result = Perform(m_curl, request);
    if (!result) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit())
        return tl::unexpected(WebFailure::LocalFile);
    return {};
}

tl::expected<void, WebFailure> CurlWebTransfer::Upload(const QString& localPath, const QString& remote,
                                                       const TransferProgress& progress)
{
    if (!m_connected)
        return tl::unexpected(WebFailure::NoConnection);
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly))
        return tl::unexpected(WebFailure::LocalFile);
    Prepare(remote);
    CURL* h = Handle(m_curl);
    Request request;
    request.progress = &progress;
    request.upload = true;
    QuoteType(request);
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, ReadFromFile);
    curl_easy_setopt(h, CURLOPT_READDATA, &file);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(file.size()));
    return Perform(m_curl, request);
}

tl::expected<void, WebFailure> CurlWebTransfer::Delete(const QString& remote)
{
    if (!m_connected)
        return tl::unexpected(WebFailure::NoConnection);
    Prepare(QString());
    CURL* h = Handle(m_curl);
    Request request;
    request.deleting = true;
    const std::string name = ToCp1252(m_entryPath + remote);
    request.quote.Append("DELE " + QByteArray(name.data(), static_cast<qsizetype>(name.size())));
    curl_easy_setopt(h, CURLOPT_QUOTE, request.quote.list);
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    return Perform(m_curl, request);
}

tl::expected<QByteArray, WebFailure> CurlWebTransfer::Get(const QString& url, int timeoutSeconds)
{
    // Pages travel on a handle of their own: the FTP session stays as it is.
    CURL* h = curl_easy_init();
    if (!h)
        return tl::unexpected(WebFailure::Other);
    QByteArray body;
    const long timeout = std::max(1, timeoutSeconds);
    curl_easy_setopt(h, CURLOPT_URL, url.toUtf8().constData());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, timeout);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, timeout);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteToBytes);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &body);
    Request request;
    request.timeoutSeconds = static_cast<int>(timeout);
    const auto result = Perform(h, request);
    curl_easy_cleanup(h);
    if (!result)
        return tl::unexpected(result.error());
    return body;
}

} // namespace gim
