#include "corrective/work_order_photo.h"

#include "core/context.h"
#include "core/picture_import.h"
#include "core/sub_folders.h"
#include "core/web_service.h"
#include "corrective/work_orders.h"
#include "platform/report.h"
#include "records/cp1252.h"

#include <algorithm>

namespace gim {

bool IsSafeWebReference(const QString& refex)
{
    if (refex.isEmpty())
        return false;
    // Letters of the server's Windows-1252 names ("AÑO1") are welcome; nothing that could reach another
    // folder or that the name's code page cannot hold.
    return std::all_of(refex.begin(), refex.end(), [](QChar c) {
        return (c.isLetterOrNumber() && ToCp1252Char(c) != '?') || c == u'_' || c == u'-';
    });
}

void DownloadWorkOrderPhoto(Context& ctx)
{
    State& st = ctx.st;
    TWorkOrderRecord& order = WorkOrders(ctx).CurrentWorkOrder;
    st.CurrentSubFolder = PhotoSubFolder(PhotoOwner::WorkOrder, st.CurrentEnvironment);
    // The order was taken from the imported row, so its flag is the row's.
    if (!(order.PhotoFlag == "SI"))
        return;
    const QString refex = order.Refex.str();
    const QString remoteName = st.CurrentEnvironment + QLatin1Char('_') + refex + QStringLiteral(".JPG");
    const QString localName =
        QStringLiteral("#") + QString::number(order.Number.get()) + QStringLiteral(".jpg");
    // Imported text names the remote file: a reference that could reach another folder is refused.
    if (!IsSafeWebReference(refex)) {
        ctx.ui.ShowMessage(QStringLiteral("No se ha efectuado la descarga de ") + remoteName +
                           QStringLiteral(" por ser una referencia no válida"));
        return;
    }
    const std::optional<QString> folder = MakeSubFolder(st.BaseDir, st.CurrentSubFolder);
    const auto connected = folder ? ConnectWebFtp(ctx) : tl::unexpected(WebFailure::LocalFile);
    if (!connected) {
        ctx.ui.ShowMessage(connected.error() == WebFailure::NoConnection
                               ? QStringLiteral("No se ha efectuado la descarga de ") + remoteName +
                                     QStringLiteral(" por no existir conexión con la WEB")
                               : WebFailureText(ctx, connected.error(), remoteName));
        return;
    }
    WebService& web = WebServiceOf(ctx);
    WebTransfer& client = WebClient(ctx);
    const QString remote = QStringLiteral("opciones/FOTOS/") + remoteName;
    // The lines go to the report window of the import in hand, as the transfer goes on.
    const auto log = [&web](const QString& line) {
        if (const auto pane = web.LogPane.lock())
            pane->AddLine(line);
    };
    client.SetMode(TransferMode::Image);
    ctx.ui.ShowStatus(QStringLiteral("Iniciamos la transferencia del archivo"));
    log(QStringLiteral("\tIniciamos la transferencia del archivo  ") + localName);
    const auto fetched = ReceiveWebFile(ctx, remote, *folder + QLatin1Char('/') + localName,
                                        QStringLiteral("TRANSFIRIENDO EL FICHERO  ") + localName, localName);
    if (!fetched) {
        client.Disconnect();
        ctx.ui.ShowMessage(WebFailureText(ctx, fetched.error(), remoteName));
        return;
    }
    order.Description = order.Description.str() + QStringLiteral(" ") + localName;
    ctx.ui.ShowStatus(QStringLiteral("Finalizada la transferencia de archivos"));
    log(QStringLiteral("\tFinalizada la transferencia de archivo  ") + localName);
    const auto deleted = client.Delete(remote);
    client.Disconnect();
    if (!deleted)
        ctx.ui.ShowMessage(WebFailureText(ctx, deleted.error(), remote));
}

} // namespace gim
