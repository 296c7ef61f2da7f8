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

// What went wrong with the web service, for the program's own message: the library's text is never shown.
enum class WebFailure {
    NoConnection,  // no server answered at that address
    LoginRefused,  // the account or password was refused
    FileMissing,   // the server has no such file
    PageNotFound,  // the web server answered "not found"
    TimeOut,       // the server stopped answering for longer than the time-out
    Cut,           // the connection broke during the transfer
    Cancelled,     // the user pressed the progress window's cancel button
    LocalFile,     // the local file could not be read or written
    DeleteRefused, // the server kept a file it was asked to delete
    Other,
};

// Called while bytes move: the bytes so far and the transfer's total (0 while the server has not said).
using TransferProgress = std::function<void(qint64 done, qint64 total)>;
// Called every few milliseconds while the client waits on the server, so that the windows repaint; false
// ends the wait as cancelled.
using TransferWait = std::function<bool()>;

// The FTP and HTTP client of the web service. One connection at a time, kept open between the
// transfers of a command; remote paths are relative to the account's start folder.
class WebTransfer
{
public:
    virtual ~WebTransfer() = default;

    virtual void SetWait(TransferWait wait) = 0;
    // Logs in (the connection is probed, not assumed); the reason when it cannot.
    virtual tl::expected<void, WebFailure> Connect(const WebAccount& account) = 0;
    virtual bool Connected() const = 0;
    virtual void Disconnect() = 0;
    virtual void SetMode(TransferMode mode) = 0;
    // The local file is replaced only by a complete copy: a failed or cancelled transfer leaves what was
    // there. The total is asked of the server before the bytes move.
    virtual tl::expected<void, WebFailure> Download(const QString& remote, const QString& localPath,
                                                    const TransferProgress& progress) = 0;
    virtual tl::expected<void, WebFailure> Upload(const QString& localPath, const QString& remote,
                                                  const TransferProgress& progress) = 0;
    virtual tl::expected<void, WebFailure> Delete(const QString& remote) = 0;
    // An HTTP GET; the body of a page answered with success.
    virtual tl::expected<QByteArray, WebFailure> Get(const QString& url, int timeoutSeconds) = 0;
};

} // namespace gim
