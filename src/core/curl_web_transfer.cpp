#include "core/curl_web_transfer.h"

#include "records/cp1252.h"

#include <QDir>
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
        path += QUrl::toPercentEncoding(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
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

size_t ReadFromFile(char* data, size_t size, size_t count, void* file)
{
    const qint64 read = static_cast<QFile*>(file)->read(data, static_cast<qint64>(size * count));
    return read < 0 ? CURL_READFUNC_ABORT : static_cast<size_t>(read);
}

} // namespace

// What one perform reports back: the progress callback and the last bytes it saw, so that the
// callback runs only when something moved.
struct CurlWebTransfer::Request
{
    const TransferProgress* progress = nullptr;
    bool upload = false;
    qint64 lastDone = -1;
    qint64 lastTotal = -1;
    SList quote;
    char error[CURL_ERROR_SIZE] = {};
};

namespace {

int OnProgress(void* request, curl_off_t downTotal, curl_off_t downNow, curl_off_t upTotal, curl_off_t upNow)
{
    auto& r = *static_cast<CurlWebTransfer::Request*>(request);
    const qint64 total = r.upload ? upTotal : downTotal;
    const qint64 done = r.upload ? upNow : downNow;
    if (done != r.lastDone || total != r.lastTotal) {
        r.lastDone = done;
        r.lastTotal = total;
        if (r.progress && *r.progress)
            (*r.progress)(done, total);
    }
    return 0;
}

} // namespace

CurlWebTransfer::CurlWebTransfer()
{
    InitCurlOnce();
    m_curl = curl_easy_init();
}

CurlWebTransfer::~CurlWebTransfer()
{
    curl_easy_cleanup(Handle(m_curl));
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

tl::expected<void, QString> CurlWebTransfer::Perform(Request& request)
{
    CURL* h = Handle(m_curl);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, request.error);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &request);
    const CURLcode code = curl_easy_perform(h);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, nullptr);
    if (code == CURLE_OK)
        return {};
    // The error buffer may hold an earlier step's note: the code's own text comes first.
    const QString detail = QString::fromUtf8(request.error).trimmed();
    return tl::unexpected(QString::fromUtf8(curl_easy_strerror(code)) +
                          (detail.isEmpty() ? QString() : QStringLiteral(": ") + detail));
}

tl::expected<void, QString> CurlWebTransfer::Connect(const WebAccount& account)
{
    Disconnect();
    m_account = account;
    if (account.host.isEmpty())
        return tl::unexpected(QStringLiteral("no FTP host configured"));
    Prepare(QString());
    // Log in and stop there: the connection stays open for the transfers.
    curl_easy_setopt(Handle(m_curl), CURLOPT_NOBODY, 1L);
    Request request;
    auto result = Perform(request);
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
    // Closing the handle ends the session (QUIT); the next connection starts from a fresh one.
    curl_easy_cleanup(Handle(m_curl));
    m_curl = curl_easy_init();
    m_connected = false;
}

tl::expected<void, QString> CurlWebTransfer::Download(const QString& remote, const QString& localPath,
                                                      const TransferProgress& progress)
{
    if (!m_connected)
        return tl::unexpected(QStringLiteral("not connected"));
    QDir().mkpath(QFileInfo(localPath).absolutePath());
    QSaveFile file(localPath);
    if (!file.open(QIODevice::WriteOnly))
        return tl::unexpected(file.errorString());
    Prepare(remote);
    CURL* h = Handle(m_curl);
    Request request;
    request.progress = &progress;
    QuoteType(request);
    // Servers refuse SIZE in text mode; the bytes are counted as they come instead.
    if (m_mode == TransferMode::Ascii)
        curl_easy_setopt(h, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteToFile);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &file);
    auto result = Perform(request);
    if (!result) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit())
        return tl::unexpected(file.errorString());
    return {};
}

tl::expected<void, QString> CurlWebTransfer::Upload(const QString& localPath, const QString& remote,
                                                    const TransferProgress& progress)
{
    if (!m_connected)
        return tl::unexpected(QStringLiteral("not connected"));
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly))
        return tl::unexpected(file.errorString());
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
    return Perform(request);
}

tl::expected<void, QString> CurlWebTransfer::Delete(const QString& remote)
{
    if (!m_connected)
        return tl::unexpected(QStringLiteral("not connected"));
    Prepare(QString());
    CURL* h = Handle(m_curl);
    Request request;
    const std::string name = ToCp1252(m_entryPath + remote);
    request.quote.Append("DELE " + QByteArray(name.data(), static_cast<qsizetype>(name.size())));
    curl_easy_setopt(h, CURLOPT_QUOTE, request.quote.list);
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    return Perform(request);
}

tl::expected<QByteArray, QString> CurlWebTransfer::Get(const QString& url, int timeoutSeconds)
{
    // Pages travel on a handle of their own: the FTP session stays as it is.
    InitCurlOnce();
    CURL* h = curl_easy_init();
    if (!h)
        return tl::unexpected(QStringLiteral("no HTTP client"));
    QByteArray body;
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(h, CURLOPT_URL, url.toUtf8().constData());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, static_cast<long>(std::max(1, timeoutSeconds)));
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteToBytes);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &body);
    const CURLcode code = curl_easy_perform(h);
    curl_easy_cleanup(h);
    if (code != CURLE_OK) {
        const QString detail = QString::fromUtf8(error).trimmed();
        return tl::unexpected(detail.isEmpty() ? QString::fromUtf8(curl_easy_strerror(code)) : detail);
    }
    return body;
}

} // namespace gim
