#include "core/web_service.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"
#include "support/web_peer.h"

#include <QFile>
#include <gtest/gtest.h>

namespace gim::test {
namespace {

// Byte mode ("TYPE L 8") and an upload, each with its progress window; the builder page by HTTP GET.
// The exchange file is fetched as it is, then deleted on the server; a second download finds nothing,
// says so and does not count the earlier copy as fetched; a stopped server is no connection.
TEST(WebServiceTest, TransfersModesProgressPagesAndFailures)
{
    WebPeer peer;
    ASSERT_TRUE(peer.Error().isEmpty()) << peer.Error().toStdString();
    TestContext t;
    WebService& web = WebServiceOf(t.ctx);
    peer.WriteSettings(t.dir.path());
    const QByteArray archive("Rar!\x1a\x07\x00\r\n\xff", 10);
    peer.Put(QStringLiteral("CopiaSeg/PLANTA.rar"), archive);
    peer.Put(QStringLiteral("opciones/VTfichOT.php"), "hecho");
    QFile upload(t.dir.filePath(QStringLiteral("PLANTA_MQ.rtf")));
    ASSERT_TRUE(upload.open(QIODevice::WriteOnly) && upload.write("M1\tPrensa\r\n") == 11);
    upload.close();
    ASSERT_TRUE(ConnectWebFtp(t.ctx));
    WebClient(t.ctx).SetMode(TransferMode::Bytes);
    const QString local = t.dir.filePath(QStringLiteral("CopiaSeg/PLANTA.rar"));
    EXPECT_TRUE(ReceiveWebFile(t.ctx, QStringLiteral("CopiaSeg/PLANTA.rar"), local, QStringLiteral("BAJANDO"),
                               local));
    WebClient(t.ctx).SetMode(TransferMode::Ascii);
    EXPECT_TRUE(SendWebFile(t.ctx, upload.fileName(), QStringLiteral("opciones/MQN/PLANTA_MQ.txt"),
                            QStringLiteral("SUBIENDO"), QStringLiteral("MQ")));
    EXPECT_EQ(peer.Bytes(local), archive);
    // The server keeps text the way of its own system.
    EXPECT_EQ(peer.Bytes(QStringLiteral("opciones/MQN/PLANTA_MQ.txt")), QByteArray("M1\tPrensa\n"));
    const std::string modes = "TYPE I | TYPE L 8 | RETR PLANTA.rar | TYPE A | STOR PLANTA_MQ.txt";
    EXPECT_EQ(peer.Commands().toStdString(), modes);
    EXPECT_EQ(t.ui.Transcript().join(QStringLiteral(" | ")).toStdString(),
              "PROGRESS [BAJANDO] 0/10 | PROGRESS END 10/10 | PROGRESS [SUBIENDO] 0/11 | PROGRESS END 11/11");
    EXPECT_EQ(t.ui.StatusTexts().last().toStdString(),
              "SE HAN ENVIADO 11 bytes DE UN TOTAL DE 11 A TRANSFERIR EN MQ");

    EXPECT_EQ(RequestWebPage(t.ctx, QStringLiteral("/opciones/VTfichOT.php")).value_or("<failed>"),
              QByteArray("hecho"));
    EXPECT_FALSE(RequestWebPage(t.ctx, QStringLiteral("/opciones/VTfichPD.php")).has_value());
    WebClient(t.ctx).Disconnect();

    web.WebRemoteFile = QStringLiteral("PLANTA_OT.txt");
    web.WebLocalFile = t.dir.filePath(QStringLiteral("VeltWeb/PLANTA_OT.txt"));
    for (bool passive : {false, true}) {
        peer.WriteSettings(t.dir.path(), passive);
        peer.Put(QStringLiteral("opciones/archivos/PLANTA_OT.txt"), "1\tW7\r\n2\tW8\r\n");
        t.ui.ExpectMessage(QStringLiteral("Se ha efectuado correctamente la descarga del FICHERO en ") +
                           web.WebLocalFile);
        t.ui.ExpectMessage(
            QStringLiteral("No se ha efectuado la descarga de opciones/archivos/PLANTA_OT.txt"));
        EXPECT_TRUE(DownloadWebFile(t.ctx));
        EXPECT_FALSE(DownloadWebFile(t.ctx));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(peer.Bytes(web.WebLocalFile), QByteArray("1\tW7\r\n2\tW8\r\n"));
    }
    const std::string once = "TYPE I | TYPE A | RETR PLANTA_OT.txt | DELE /opciones/archivos/PLANTA_OT.txt | "
                             "TYPE I | TYPE A | RETR PLANTA_OT.txt";
    EXPECT_EQ(peer.Commands().toStdString(), modes + " | " + once + " | " + once);
    peer.StopFtp();
    t.ui.ExpectMessage(QStringLiteral("No se ha podido efectuar la Conexión a INTERNET"));
    EXPECT_FALSE(DownloadWebFile(t.ctx));
    EXPECT_SCRIPT_DONE(t.ui);
}

} // namespace
} // namespace gim::test
