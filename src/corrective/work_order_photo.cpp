#include "corrective/work_order_photo.h"

#include "core/context.h"
#include "core/picture_import.h"
#include "core/sub_folders.h"
#include "core/web_service.h"
#include "corrective/work_orders.h"

#include <algorithm>

namespace gim {

bool IsSafeWebReference(const QString& refex)
{
    if (refex.isEmpty())
        return false;
    return std::all_of(refex.begin(), refex.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') ||
               u == u'_' || u == u'-';
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
    if (!ConnectWebFtp(ctx) || !folder) {
        ctx.ui.ShowMessage(QStringLiteral("No se ha efectuado la descarga de ") + remoteName +
                           QStringLiteral(" por no existir conexión con la WEB"));
        return;
    }
    WebService& web = WebServiceOf(ctx);
    WebTransfer& client = WebClient(ctx);
    const QString remote = QStringLiteral("opciones/FOTOS/") + remoteName;
    client.SetMode(TransferMode::Image);
    ctx.ui.ShowStatus(QStringLiteral("Iniciamos la transferencia del archivo"));
    web.TransferLog << QStringLiteral("\tIniciamos la transferencia del archivo  ") + localName;
    const auto fetched = ReceiveWebFile(ctx, remote, *folder + QLatin1Char('/') + localName,
                                        QStringLiteral("TRANSFIRIENDO EL FICHERO  ") + localName, localName);
    if (!fetched) {
        client.Disconnect();
        ctx.ui.ShowStatus(fetched.error());
        ctx.ui.ShowMessage(QStringLiteral("No se ha efectuado la descarga de ") + remoteName);
        return;
    }
    order.Description = order.Description.str() + QStringLiteral(" ") + localName;
    ctx.ui.ShowStatus(QStringLiteral("Finalizada la transferencia de archivos"));
    web.TransferLog << QStringLiteral("\tFinalizada la transferencia de archivo  ") + localName;
    const auto deleted = client.Delete(remote);
    client.Disconnect();
    if (!deleted) {
        ctx.ui.ShowStatus(deleted.error());
        ctx.ui.ShowMessage(QStringLiteral("No se ha podido borrar ") + remote);
    }
}

} // namespace gim
