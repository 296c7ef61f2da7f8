#include "core/web_service.h"
#include "corrective/work_order_photo.h"
#include "corrective_fixture.h"
#include "platform/report.h"
#include "support/scripted_ui_check.h"
#include "support/web_peer.h"

#include <QFile>

namespace gim::test {
namespace {

using WorkOrderPhotoTest = CorrectiveTest;

// Only a complete download marks the description and deletes the server's photo ("AÑO1" too); an unsafe
// reference names no file; a flag other than "SI" fetches nothing; failures said; lines to the import's
// window.
TEST_F(WorkOrderPhotoTest, DownloadMarksAndDeletesOnlyAfterACompleteTransfer)
{
    WebPeer peer;
    ASSERT_TRUE(peer.Error().isEmpty()) << peer.Error().toStdString();
    peer.WriteSettings(data);
    struct Case
    {
        const char *flag, *refex;
        bool onServer;
        const char *message, *commands;
    };
    const Case cases[] = {
        {"SI", "R12", true, "", "TYPE I | RETR PLANTA_R12.JPG | DELE /opciones/FOTOS/PLANTA_R12.JPG"},
        {"SI", "R12", false, "No existe el fichero PLANTA_R12.JPG en el servidor WEB", "TYPE I"},
        {"SI", "AÑO1", true, "", "TYPE I | RETR PLANTA_AÑO1.JPG | DELE /opciones/FOTOS/PLANTA_AÑO1.JPG"},
        {"SI", "../R1", true,
         "No se ha efectuado la descarga de PLANTA_../R1.JPG por ser una referencia no válida", ""},
        {"NO", "R12", true, "", ""},
        {"SI", "R12", true,
         "No se ha efectuado la descarga de PLANTA_R12.JPG por no existir conexión con la WEB", ""},
    };
    t.ctx.st.CurrentEnvironment = QStringLiteral("PLANTA");
    const QString local = data + QStringLiteral("/REPARACIONES/PLANTA/#7.jpg");
    auto pane = std::make_shared<ReportDocument>();
    WebServiceOf(t.ctx).LogPane = pane;
    for (const Case& c : cases) {
        const QString remote =
            "opciones/FOTOS/PLANTA_" + QString::fromUtf8(*c.refex == '.' ? "R12" : c.refex) + ".JPG";
        SCOPED_TRACE(std::string(c.flag) + " " + c.refex);
        QFile::remove(local);
        if (c.onServer)
            peer.Put(remote, "\xff\xd8JPEG");
        if (&c == &cases[5])
            peer.StopFtp();
        if (*c.message)
            t.ui.ExpectMessage(QString::fromUtf8(c.message));
        TWorkOrderRecord& order = WorkOrders(t.ctx).CurrentWorkOrder;
        order = Order(7, "E", "M1", "26/49/1", "8:00", "Cambio de filtro");
        order.PhotoFlag = c.flag;
        order.Refex = QString::fromUtf8(c.refex);
        const QString before = peer.Commands();
        DownloadWorkOrderPhoto(t.ctx);
        EXPECT_SCRIPT_DONE(t.ui);
        const QString sep = before.isEmpty() || !*c.commands ? QString() : QStringLiteral(" | ");
        EXPECT_EQ(peer.Commands(), before + sep + QString::fromUtf8(c.commands));
        const bool done = c.onServer && !*c.message && *c.commands;
        EXPECT_EQ(order.Description.str().toStdString(),
                  done ? "Cambio de filtro #7.jpg" : "Cambio de filtro");
        EXPECT_EQ(peer.Bytes(local), done ? QByteArray("\xff\xd8JPEG") : QByteArray("<missing>"));
        EXPECT_EQ(peer.Bytes(remote) != "<missing>", c.onServer && !done);
        EXPECT_EQ(t.ctx.st.CurrentSubFolder, QStringLiteral("\\REPARACIONES\\PLANTA\\"));
    }
    EXPECT_EQ(
        pane->Text().toStdString(),
        "\tIniciamos la transferencia del archivo  #7.jpg\n\tFinalizada la transferencia de archivo  #7.jpg\n"
        "\tIniciamos la transferencia del archivo  #7.jpg\n"
        "\tIniciamos la transferencia del archivo  #7.jpg\n\tFinalizada la transferencia de archivo  #7.jpg");
}

} // namespace
} // namespace gim::test
