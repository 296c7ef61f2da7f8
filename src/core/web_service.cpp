#include "core/web_service.h"

#include "core/context.h"
#include "core/curl_web_transfer.h"
#include "core/data_file.h"
#include "core/dispatch.h"

#include <QSettings>
#include <algorithm>
#include <climits>
#include <optional>

namespace gim {

WebSettings ReadWebSettings(const QString& dataDir)
{
    QSettings file(ResolveDataPath(dataDir, QString::fromLatin1(kWebSettingsFile)), QSettings::IniFormat);
    WebSettings s;
    s.ftp.host = file.value(QStringLiteral("ftp/Host")).toString();
    s.ftp.port = file.value(QStringLiteral("ftp/Port"), 21).toInt();
    s.ftp.user = file.value(QStringLiteral("ftp/User")).toString();
    s.ftp.password =
        file.value(QStringLiteral("ftp/Password"), QString::fromLatin1(kWebDefaultPassword)).toString();
    s.ftp.passive = file.value(QStringLiteral("ftp/Passive"), false).toBool();
    s.ftp.timeoutSeconds = file.value(QStringLiteral("ftp/TimeoutSeconds"), 10).toInt();
    s.address = file.value(QStringLiteral("web/Address")).toString();
    s.makerAddress = file.value(QStringLiteral("web/MakerAddress")).toString();
    return s;
}

WebService& WebServiceOf(Context& ctx)
{
    return ctx.Module<WebService>();
}

WebTransfer& WebClient(Context& ctx)
{
    WebService& web = WebServiceOf(ctx);
    if (!web.transfer) {
        web.transfer = std::make_shared<CurlWebTransfer>();
        // The windows repaint while the server is awaited, and the progress window can end the wait.
        web.transfer->SetWait([&ui = ctx.ui] { return !ui.ProgressCancelled(); });
    }
    return *web.transfer;
}

tl::expected<void, WebFailure> ConnectWebFtp(Context& ctx)
{
    WebTransfer& client = WebClient(ctx);
    auto connected = client.Connect(ReadWebSettings(ctx.st.BaseDir).ftp);
    if (connected && !client.Connected())
        return tl::unexpected(WebFailure::NoConnection);
    return connected;
}

QString WebFailureText(Context& ctx, WebFailure failure, const QString& what)
{
    switch (failure) {
    case WebFailure::NoConnection:
        return QString::fromUtf8(kNoInternetConnection);
    case WebFailure::LoginRefused:
        return QStringLiteral("El servidor WEB no ha aceptado el usuario o la contraseña");
    case WebFailure::FileMissing:
        return QStringLiteral("No existe el fichero ") + what + QStringLiteral(" en el servidor WEB");
    case WebFailure::PageNotFound:
        return QStringLiteral("No existe la página ") + what + QStringLiteral(" en el servidor WEB");
    case WebFailure::TimeOut:
        return QStringLiteral(
                   "El servidor WEB no responde desde hace %1 segundos: anulada la transferencia de ")
                   .arg(std::max(1, ReadWebSettings(ctx.st.BaseDir).ftp.timeoutSeconds)) +
               what;
    case WebFailure::Cut:
        return QStringLiteral("Se ha cortado la conexión con el servidor WEB durante la transferencia de ") +
               what;
    case WebFailure::Cancelled:
        return QStringLiteral("Anulada por el usuario la transferencia de ") + what;
    case WebFailure::LocalFile:
        return QStringLiteral("No se ha podido leer o escribir en el ordenador el fichero de ") + what;
    case WebFailure::DeleteRefused:
        return QStringLiteral("No se ha podido borrar ") + what;
    case WebFailure::Other:
        break;
    }
    return QStringLiteral("No se ha efectuado la transferencia de ") + what;
}

QString WebServiceAddress(const WebSettings& settings)
{
    QString address = settings.address;
    while (address.endsWith(QLatin1Char('/')))
        address.chop(1);
    return address;
}

QString MakerWebAddress(const WebSettings& settings)
{
    return settings.makerAddress.isEmpty() ? QString::fromLatin1(kMakerWebAddress) : settings.makerAddress;
}

namespace {

// The progress window opens once the total is known and follows the bytes; the status bar counts them.
class TransferProgressView
{
public:
    TransferProgressView(Context& ctx, QString caption, QString verb, QString shownName)
        : m_ctx(ctx), m_caption(std::move(caption)), m_verb(std::move(verb)), m_shown(std::move(shownName))
    {
    }
    TransferProgressView(const TransferProgressView&) = delete;
    TransferProgressView& operator=(const TransferProgressView&) = delete;

    void Begin(qint64 total) { m_progress.emplace(m_ctx, m_caption, Clamped(total)); }
    void Step(qint64 done, qint64 total)
    {
        // Text transfers may not announce their size: the window opens with the first bytes then.
        if (!m_progress && (total > 0 || done > 0))
            Begin(total);
        if (m_progress)
            m_ctx.ui.SetProgress(Clamped(done));
        if (done > 0)
            m_ctx.ui.ShowStatus(m_verb + QString::number(done) + QStringLiteral(" bytes DE UN TOTAL DE ") +
                                QString::number(total) + QStringLiteral(" A TRANSFERIR EN ") + m_shown);
    }

private:
    static int Clamped(qint64 n) { return static_cast<int>(std::clamp<qint64>(n, 0, INT_MAX)); }

    Context& m_ctx;
    QString m_caption;
    QString m_verb;
    QString m_shown;
    std::optional<ProgressScope> m_progress;
};

} // namespace

tl::expected<void, WebFailure> ReceiveWebFile(Context& ctx, const QString& remote, const QString& localPath,
                                              const QString& caption, const QString& shownName)
{
    // The local file is the record layer's to fail, as every file the program writes.
    if (CheckFileFault(ctx, FileOp::Create, localPath) != 0)
        return tl::unexpected(WebFailure::LocalFile);
    TransferProgressView view(ctx, caption, QStringLiteral("SE HAN RECIBIDO "), shownName);
    return WebClient(ctx).Download(remote, localPath,
                                   [&](qint64 done, qint64 total) { view.Step(done, total); });
}

tl::expected<void, WebFailure> SendWebFile(Context& ctx, const QString& localPath, const QString& remote,
                                           const QString& caption, const QString& shownName)
{
    if (CheckFileFault(ctx, FileOp::Open, localPath) != 0)
        return tl::unexpected(WebFailure::LocalFile);
    TransferProgressView view(ctx, caption, QStringLiteral("SE HAN ENVIADO "), shownName);
    return WebClient(ctx).Upload(localPath, remote,
                                 [&](qint64 done, qint64 total) { view.Step(done, total); });
}

tl::expected<void, WebFailure> DownloadWebFile(Context& ctx)
{
    if (auto connected = ConnectWebFtp(ctx); !connected)
        return connected;
    WebService& web = WebServiceOf(ctx);
    WebTransfer& client = WebClient(ctx);
    const QString remote = QStringLiteral("opciones/archivos/") + web.WebRemoteFile;
    client.SetMode(TransferMode::Ascii);
    ctx.ui.ShowStatus(QStringLiteral("Iniciamos la transferencia del archivo ") + web.WebLocalFile);
    const auto fetched =
        ReceiveWebFile(ctx, remote, web.WebLocalFile,
                       QStringLiteral("TRANSFIRIENDO EL FICHERO ") + web.WebLocalFile, web.WebLocalFile);
    if (!fetched) {
        client.Disconnect();
        return fetched;
    }
    ctx.ui.ShowMessage(QStringLiteral("Se ha efectuado correctamente la descarga del FICHERO en ") +
                       web.WebLocalFile);
    // Taking the file off the server keeps a second synchronisation from loading it again.
    const auto deleted = client.Delete(remote);
    client.Disconnect();
    if (!deleted)
        return tl::unexpected(WebFailure::DeleteRefused);
    return {};
}

tl::expected<QByteArray, WebFailure> RequestWebPage(Context& ctx, const QString& page)
{
    const WebSettings settings = ReadWebSettings(ctx.st.BaseDir);
    if (settings.address.isEmpty())
        return tl::unexpected(WebFailure::NoConnection);
    return WebClient(ctx).Get(WebServiceAddress(settings) + page, settings.ftp.timeoutSeconds);
}

} // namespace gim
