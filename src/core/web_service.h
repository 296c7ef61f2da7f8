#pragma once

#include "core/web_transfer.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <tl/expected.hpp>

namespace gim {

struct Context;

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
    QString WebLocalFile;    // absolute local path
    QString WebRemoteFile;   // bare name under "opciones/archivos/" for DownloadWebFile
    QStringList TransferLog; // the lines that mark the start and end of each photo transfer
};
WebService& WebServiceOf(Context& ctx);
WebTransfer& WebClient(Context& ctx);

inline constexpr const char* kNoInternetConnection = "No se ha podido efectuar la Conexión a INTERNET";

// Sets the account from the settings file and logs in; whether the client is connected.
bool ConnectWebFtp(Context& ctx);

// Fetches "opciones/archivos/" + WebRemoteFile to WebLocalFile as text and deletes it on the server.
// True only when this call fetched the file: a failure is reported, and a local file left from an
// earlier download is not taken for a new one.
bool DownloadWebFile(Context& ctx);

// One transfer on the connected client, shown in the progress window captioned `caption` and in the
// status texts ("SE HAN RECIBIDO n bytes DE UN TOTAL DE m A TRANSFERIR EN " + shownName).
tl::expected<void, QString> ReceiveWebFile(Context& ctx, const QString& remote, const QString& localPath,
                                           const QString& caption, const QString& shownName);
tl::expected<void, QString> SendWebFile(Context& ctx, const QString& localPath, const QString& remote,
                                        const QString& caption, const QString& shownName);

// Requests a page of the service ("/opciones/VTfichOT.php") with an HTTP GET, so that it builds its file.
tl::expected<QByteArray, QString> RequestWebPage(Context& ctx, const QString& page);

} // namespace gim
