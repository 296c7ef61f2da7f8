#pragma once

#include "core/web_transfer.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <tl/expected.hpp>

namespace gim {

struct Context;
class ReportDocument;

// The web service's address, account and pages are read from this file in the data folder:
//   [ftp] Host, Port (21), User, Password, Passive (false), TimeoutSeconds (10)
//   [web] Address (the home page; the pages and files lie under it), MakerAddress
inline constexpr const char* kWebSettingsFile = "gimweb.ini";
inline constexpr const char* kWebDefaultPassword = "27-04-1998";

struct WebSettings
{
    WebAccount ftp;
    QString address;
    QString makerAddress;
};
WebSettings ReadWebSettings(const QString& dataDir);

// The program's one FTP client (the libcurl one unless a test put another in `transfer`) and the
// paths of the exchange-file transfer in hand.
struct WebService
{
    std::shared_ptr<WebTransfer> transfer;
    QString WebLocalFile;  // absolute local path
    QString WebRemoteFile; // bare name under "opciones/archivos/" for DownloadWebFile
    // The report window the transfer events write their lines to: the gateway window of the import in
    // hand. Nothing is written when it is gone.
    std::weak_ptr<ReportDocument> LogPane;
};
WebService& WebServiceOf(Context& ctx);
WebTransfer& WebClient(Context& ctx);

inline constexpr const char* kNoInternetConnection = "No se ha podido efectuar la Conexión a INTERNET";

// Sets the account from the settings file and logs in; why not, when the client is not connected.
tl::expected<void, WebFailure> ConnectWebFtp(Context& ctx);

// The program's message for a failure; `what` names the file or page. A lost connection has the
// caller's own words.
QString WebFailureText(Context& ctx, WebFailure failure, const QString& what);

// Fetches "opciones/archivos/" + WebRemoteFile to WebLocalFile as text and deletes it on the server.
// Success only when this call fetched the file and the server no longer holds it; nothing is said of a
// failure, the caller says it once. DeleteRefused: the file was fetched but is still on the server.
tl::expected<void, WebFailure> DownloadWebFile(Context& ctx);

// One transfer on the connected client, shown in the progress window captioned `caption` and in the
// status texts ("SE HAN RECIBIDO n bytes DE UN TOTAL DE m A TRANSFERIR EN " + shownName).
tl::expected<void, WebFailure> ReceiveWebFile(Context& ctx, const QString& remote, const QString& localPath,
                                              const QString& caption, const QString& shownName);
tl::expected<void, WebFailure> SendWebFile(Context& ctx, const QString& localPath, const QString& remote,
                                           const QString& caption, const QString& shownName);

// Requests a page of the service ("/opciones/VTfichOT.php") with an HTTP GET, so that it builds its file.
tl::expected<QByteArray, WebFailure> RequestWebPage(Context& ctx, const QString& page);
// The service's address without a closing "/"; the maker's home page as set, else the program's own.
QString WebServiceAddress(const WebSettings& settings);
QString MakerWebAddress(const WebSettings& settings);

} // namespace gim
