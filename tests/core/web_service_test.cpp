#include "core/web_service.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"
#include "support/web_peer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
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
        EXPECT_TRUE(DownloadWebFile(t.ctx));
        EXPECT_EQ(DownloadWebFile(t.ctx).error(), WebFailure::FileMissing);
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(peer.Bytes(web.WebLocalFile), QByteArray("1\tW7\r\n2\tW8\r\n"));
        EXPECT_TRUE(t.ui.StatusTexts().contains(
            "SE HAN RECIBIDO 12 bytes DE UN TOTAL DE 12 A TRANSFERIR EN " + web.WebLocalFile));
    }
    const std::string once = "TYPE I | TYPE A | RETR PLANTA_OT.txt | DELE /opciones/archivos/PLANTA_OT.txt | "
                             "TYPE I | TYPE A | RETR PLANTA_OT.txt";
    EXPECT_EQ(peer.Commands().toStdString(), modes + " | " + once + " | " + once);
    peer.StopFtp();
    EXPECT_EQ(DownloadWebFile(t.ctx).error(), WebFailure::NoConnection);
}

// Each failure in the program's words. A server frozen mid-transfer (stallMs) is left after the time-out (3
// s) or at the cancel button, the windows repainting every 100 ms meanwhile, the local file as it was.
TEST(WebServiceTest, EachFailureSaysWhatFailedAndAStalledTransferEnds)
{
    WebPeer peer;
    ASSERT_TRUE(peer.Error().isEmpty()) << peer.Error().toStdString();
    TestContext t;
    peer.WriteSettings(t.dir.path());
    peer.Put(QStringLiteral("CopiaSeg/BIG.rar"), QByteArray(1 << 21, 'x'));
    const QString local = t.dir.filePath(QStringLiteral("BIG.rar"));
    QFile old(local);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("antes") == 5 && old.flush());
    QElapsedTimer frozen;
    int waits = 0;
    const auto fetch = [&](const char* remote, int stallMs) {
        frozen.invalidate();
        t.ui.CancelProgressWhen([&, stallMs] {
            if (stallMs < 0 && t.ui.ProgressPosition() > 0)
                peer.StopFtp(); // the server dies mid-file
            if (stallMs > 0 && !frozen.isValid() && t.ui.ProgressPosition() > 0)
                peer.FreezeFtp(true), frozen.start(), waits = t.ui.ProgressWaits();
            return stallMs < 3000 && frozen.isValid() && frozen.elapsed() > stallMs;
        });
        WebClient(t.ctx).SetMode(TransferMode::Image);
        const auto got = ConnectWebFtp(t.ctx).and_then(
            [&] { return ReceiveWebFile(t.ctx, QLatin1String(remote), local, QStringLiteral("B"), local); });
        peer.FreezeFtp(false);
        EXPECT_EQ(frozen.isValid(), stallMs > 0) << remote;
        EXPECT_GE(t.ui.ProgressWaits() - waits, frozen.isValid() ? frozen.elapsed() / 100 : 0);
        EXPECT_LT(std::abs(frozen.isValid() ? frozen.elapsed() - stallMs : 0), 1500) << remote;
        EXPECT_EQ(peer.Bytes(local), "antes");
        return got ? WebFailure::Other : got.error();
    };
    QSettings(t.dir.filePath(QStringLiteral("gimweb.ini")), QSettings::IniFormat)
        .setValue(QStringLiteral("ftp/Password"), QStringLiteral("otra"));
    const WebFailure login = ConnectWebFtp(t.ctx).error();
    peer.WriteSettings(t.dir.path());
    const std::pair<WebFailure, const char*> cases[] = {
        {login, "El servidor WEB no ha aceptado el usuario o la contraseña"},
        {fetch("CopiaSeg/NO.rar", 0), "No existe el fichero F en el servidor WEB"},
        {RequestWebPage(t.ctx, QStringLiteral("/no.php")).error(),
         "No existe la página F en el servidor WEB"},
        {fetch("CopiaSeg/BIG.rar", 3000),
         "El servidor WEB no responde desde hace 3 segundos: anulada la transferencia de F"},
        {fetch("CopiaSeg/BIG.rar", 700), "Anulada por el usuario la transferencia de F"},
        {fetch("CopiaSeg/BIG.rar", -1),
         "Se ha cortado la conexión con el servidor WEB durante la transferencia de F"},
        {ConnectWebFtp(t.ctx).error(), "No se ha podido efectuar la Conexión a INTERNET"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WebFailureText(t.ctx, c.first, QStringLiteral("F")).toStdString(), c.second);
}

} // namespace
} // namespace gim::test
