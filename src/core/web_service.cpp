#include "core/web_service.h"

#include "core/context.h"
#include "core/curl_web_transfer.h"

#include <QSettings>
#include <algorithm>
#include <climits>

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
    if (!web.transfer)
        web.transfer = std::make_shared<CurlWebTransfer>();
    return *web.transfer;
}

bool ConnectWebFtp(Context& ctx)
{
    WebTransfer& client = WebClient(ctx);
    return client.Connect(ReadWebSettings(ctx.st.BaseDir).ftp).has_value() && client.Connected();
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
    ~TransferProgressView()
    {
        if (m_open)
            m_ctx.ui.EndProgress();
    }
    TransferProgressView(const TransferProgressView&) = delete;
    TransferProgressView& operator=(const TransferProgressView&) = delete;

    void Begin(qint64 total)
    {
        m_open = true;
        m_ctx.ui.BeginProgress(m_caption, Clamped(total));
    }
    void Step(qint64 done, qint64 total)
    {
        // Text transfers may not announce their size: the window opens with the first bytes then.
        if (!m_open && (total > 0 || done > 0))
            Begin(total);
        if (m_open)
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
    bool m_open = false;
};

} // namespace

tl::expected<void, QString> ReceiveWebFile(Context& ctx, const QString& remote, const QString& localPath,
                                           const QString& caption, const QString& shownName)
{
    TransferProgressView view(ctx, caption, QStringLiteral("SE HAN RECIBIDO "), shownName);
    return WebClient(ctx).Download(remote, localPath,
                                   [&](qint64 done, qint64 total) { view.Step(done, total); });
}

tl::expected<void, QString> SendWebFile(Context& ctx, const QString& localPath, const QString& remote,
                                        const QString& caption, const QString& shownName)
{
    TransferProgressView view(ctx, caption, QStringLiteral("SE HAN ENVIADO "), shownName);
    return WebClient(ctx).Upload(localPath, remote,
                                 [&](qint64 done, qint64 total) { view.Step(done, total); });
}

bool DownloadWebFile(Context& ctx)
{
    if (!ConnectWebFtp(ctx)) {
        ctx.ui.ShowMessage(QString::fromUtf8(kNoInternetConnection));
        return false;
    }
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
        ctx.ui.ShowStatus(fetched.error());
        ctx.ui.ShowMessage(QStringLiteral("No se ha efectuado la descarga de ") + remote);
        return false;
    }
    ctx.ui.ShowMessage(QStringLiteral("Se ha efectuado correctamente la descarga del FICHERO en ") +
                       web.WebLocalFile);
    // The file was fetched: taking it off the server keeps a second synchronisation from loading it again.
    const auto deleted = client.Delete(remote);
    client.Disconnect();
    if (!deleted) {
        ctx.ui.ShowStatus(deleted.error());
        ctx.ui.ShowMessage(QStringLiteral("No se ha podido borrar ") + remote);
    }
    return true;
}

tl::expected<QByteArray, QString> RequestWebPage(Context& ctx, const QString& page)
{
    const WebSettings settings = ReadWebSettings(ctx.st.BaseDir);
    if (settings.address.isEmpty())
        return tl::unexpected(QStringLiteral("no web address configured"));
    QString url = settings.address;
    while (url.endsWith(QLatin1Char('/')))
        url.chop(1);
    return WebClient(ctx).Get(url + page, settings.ftp.timeoutSeconds);
}

} // namespace gim
