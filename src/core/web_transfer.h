#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <tl/expected.hpp>

namespace gim {

// How the next FTP transfers travel: "TYPE A" (text), "TYPE I" (image) or "TYPE L 8" (bytes).
enum class TransferMode { Ascii, Image, Bytes };

// Where and as whom the FTP client logs in. Active mode unless `passive`; `timeoutSeconds` bounds the
// connection and any stall of a transfer.
struct WebAccount
{
    QString host;
    int port = 21;
    QString user;
    QString password;
    bool passive = false;
    int timeoutSeconds = 10;
};

// Called while bytes move: the bytes so far and the transfer's total (0 while the server has not said).
using TransferProgress = std::function<void(qint64 done, qint64 total)>;

// The FTP and HTTP client of the web service. One connection at a time, kept open between the
// transfers of a command; remote paths are relative to the account's start folder.
class WebTransfer
{
public:
    virtual ~WebTransfer() = default;

    // Logs in (the connection is probed, not assumed); the reason when it cannot.
    virtual tl::expected<void, QString> Connect(const WebAccount& account) = 0;
    virtual bool Connected() const = 0;
    virtual void Disconnect() = 0;
    virtual void SetMode(TransferMode mode) = 0;
    // The local file is replaced only by a complete copy: a failed transfer leaves what was there.
    virtual tl::expected<void, QString> Download(const QString& remote, const QString& localPath,
                                                 const TransferProgress& progress) = 0;
    virtual tl::expected<void, QString> Upload(const QString& localPath, const QString& remote,
                                               const TransferProgress& progress) = 0;
    virtual tl::expected<void, QString> Delete(const QString& remote) = 0;
    // An HTTP GET; the body of a page answered with success.
    virtual tl::expected<QByteArray, QString> Get(const QString& url, int timeoutSeconds) = 0;
};

} // namespace gim
