#include "core/web_service.h"
#include "corrective/work_order_photo.h"
#include "corrective_fixture.h"
#include "support/scripted_ui_check.h"
#include "support/web_peer.h"

#include <QFile>

namespace gim::test {
namespace {

class WorkOrderPhotoTest : public CorrectiveTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(peer.Error().isEmpty()) << peer.Error().toStdString();
        peer.WriteSettings(data);
    }
    void PutPhoto(const char* name)
    {
        QFile f(peer.Site(QStringLiteral("opciones/FOTOS/") + QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\xff\xd8JPEG");
    }
    WebPeer peer;
};

// Only a complete download marks the description and deletes the server's photo; an unsafe reference
// names no file; a photo flag other than "SI" fetches nothing; no connection is said.
TEST_F(WorkOrderPhotoTest, DownloadMarksAndDeletesOnlyAfterACompleteTransfer)
{
    struct Case
    {
        const char* flag;
        const char* refex;
        bool onServer;
        bool stopServer;
        const char* message;
        QStringList commands;
    };
    const QString fetched = QStringLiteral("Cambio de filtro #7.jpg");
    const Case cases[] = {
        {"SI",
         "R12",
         true,
         false,
         nullptr,
         {"TYPE I", "RETR PLANTA_R12.JPG", "DELE /opciones/FOTOS/PLANTA_R12.JPG"}},
        {"SI", "R12", false, false, "No se ha efectuado la descarga de PLANTA_R12.JPG", {"TYPE I"}},
        {"SI",
         "../R1",
         true,
         false,
         "No se ha efectuado la descarga de PLANTA_../R1.JPG por ser una referencia no válida",
         {}},
        {"NO", "R12", true, false, nullptr, {}},
        {"SI",
         "R12",
         true,
         true,
         "No se ha efectuado la descarga de PLANTA_R12.JPG por no existir conexión con la WEB",
         {}},
    };
    t.ctx.st.CurrentEnvironment = QStringLiteral("PLANTA");
    const QString local = data + QStringLiteral("/REPARACIONES/PLANTA/#7.jpg");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.flag) + " " + c.refex);
        QFile::remove(local);
        if (c.onServer)
            PutPhoto("PLANTA_R12.JPG");
        if (c.stopServer)
            peer.StopFtp();
        if (c.message)
            t.ui.ExpectMessage(QString::fromUtf8(c.message));
        TWorkOrderRecord& order = WorkOrders(t.ctx).CurrentWorkOrder;
        order = Order(7, "E", "M1", "26/49/1", "8:00", "Cambio de filtro");
        order.PhotoFlag = c.flag;
        order.Refex = c.refex;
        const qsizetype before = peer.Commands().size();
        DownloadWorkOrderPhoto(t.ctx);
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(peer.Commands().mid(before).join(" | ").toStdString(),
                  c.commands.join(" | ").toStdString());
        const bool done = c.commands.size() == 3;
        EXPECT_EQ(order.Description.str(), done ? fetched : QStringLiteral("Cambio de filtro"));
        EXPECT_EQ(QFile::exists(local), done);
        EXPECT_EQ(QFile::exists(peer.Site(QStringLiteral("opciones/FOTOS/PLANTA_R12.JPG"))),
                  c.onServer && !done);
        EXPECT_EQ(t.ctx.st.CurrentSubFolder, QStringLiteral("\\REPARACIONES\\PLANTA\\"));
    }
    EXPECT_EQ(WebServiceOf(t.ctx).TransferLog,
              QStringList({"\tIniciamos la transferencia del archivo  #7.jpg",
                           "\tFinalizada la transferencia de archivo  #7.jpg",
                           "\tIniciamos la transferencia del archivo  #7.jpg"}));
}

// An imported order arriving executed fetches its photo before its record is written.
TEST_F(WorkOrderPhotoTest, TheImportStoresTheMarkedDescription)
{
    TWorkOrderRecord known = Order(1, "P");
    known.Refex = "R12";
    StoreOrders({Order(0, "P"), known});
    PutPhoto("PORTAL_R12.JPG");
    t.ctx.st.ActionCode = QStringLiteral("i");
    t.ctx.st.InteractiveFlag = 0;
    TWorkOrderRecord& in = WorkOrders(t.ctx).WorkOrderInput;
    in = Order(77, "E", "M1", "26/49/1", "8:00", "Cambio de filtro");
    in.Refex = "R12";
    in.PhotoFlag = "SI";
    NewWorkOrder(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Orders()[1].Description.str(), QStringLiteral("Cambio de filtro #1.jpg"));
    EXPECT_TRUE(QFile::exists(data + QStringLiteral("/REPARACIONES/PORTAL/#1.jpg")));
}

} // namespace
} // namespace gim::test
