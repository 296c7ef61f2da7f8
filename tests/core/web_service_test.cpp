#include "core/web_service.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"
#include "support/web_peer.h"

#include <QFile>
#include <gtest/gtest.h>

namespace gim::test {
namespace {

QByteArray Bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
void Put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

class WebServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(peer.Error().isEmpty()) << peer.Error().toStdString();
        peer.WriteSettings(t.dir.path());
        web.WebRemoteFile = QStringLiteral("PLANTA_OT.txt");
        web.WebLocalFile = t.dir.filePath(QStringLiteral("VeltWeb/PLANTA_OT.txt"));
    }
    WebPeer peer;
    TestContext t;
    WebService& web = WebServiceOf(t.ctx);
};

// The exchange file is fetched as text, then deleted on the server; a second download finds nothing to
// fetch, says so and keeps the earlier copy; a stopped server is no connection.
TEST_F(WebServiceTest, DownloadWebFileFetchesThenDeletesAndReportsEveryFailure)
{
    for (bool passive : {false, true}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        peer.WriteSettings(t.dir.path(), passive);
        Put(peer.Site(QStringLiteral("opciones/archivos/PLANTA_OT.txt")), "1\tW7\r\n2\tW8\r\n");
        t.ui.ExpectMessage(QStringLiteral("Se ha efectuado correctamente la descarga del FICHERO en ") +
                           web.WebLocalFile);
        t.ui.ExpectMessage(
            QStringLiteral("No se ha efectuado la descarga de opciones/archivos/PLANTA_OT.txt"));
        EXPECT_TRUE(DownloadWebFile(t.ctx));
        EXPECT_FALSE(DownloadWebFile(t.ctx));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(Bytes(web.WebLocalFile), QByteArray("1\tW7\r\n2\tW8\r\n"));
        EXPECT_FALSE(QFile::exists(peer.Site(QStringLiteral("opciones/archivos/PLANTA_OT.txt"))));
    }
    const std::string once = "TYPE I | TYPE A | RETR PLANTA_OT.txt | DELE /opciones/archivos/PLANTA_OT.txt | "
                             "TYPE I | TYPE A | RETR PLANTA_OT.txt";
    EXPECT_EQ(peer.Commands().join(" | ").toStdString(), once + " | " + once);
    EXPECT_TRUE(t.ui.StatusTexts().contains(QStringLiteral("Iniciamos la transferencia del archivo ") +
                                            web.WebLocalFile));
    peer.StopFtp();
    t.ui.ExpectMessage(QStringLiteral("No se ha podido efectuar la Conexión a INTERNET"));
    EXPECT_FALSE(DownloadWebFile(t.ctx));
    EXPECT_SCRIPT_DONE(t.ui);
}

// Byte mode ("TYPE L 8") and an upload, each with its progress window; the builder page by HTTP GET.
TEST_F(WebServiceTest, ModesUploadProgressAndBuilderPage)
{
    Put(peer.Site(QStringLiteral("CopiaSeg/PLANTA.rar")), QByteArray("Rar!\x1a\x07\x00\r\n\xff", 10));
    Put(t.dir.filePath(QStringLiteral("PLANTA_MQ.rtf")), "M1\tPrensa\r\n");
    Put(peer.Site(QStringLiteral("opciones/VTfichOT.php")), "hecho");
    ASSERT_TRUE(ConnectWebFtp(t.ctx));
    WebClient(t.ctx).SetMode(TransferMode::Bytes);
    const QString local = t.dir.filePath(QStringLiteral("CopiaSeg/PLANTA.rar"));
    EXPECT_TRUE(ReceiveWebFile(t.ctx, QStringLiteral("CopiaSeg/PLANTA.rar"), local, QStringLiteral("BAJANDO"),
                               local));
    WebClient(t.ctx).SetMode(TransferMode::Ascii);
    EXPECT_TRUE(SendWebFile(t.ctx, t.dir.filePath(QStringLiteral("PLANTA_MQ.rtf")),
                            QStringLiteral("opciones/MQN/PLANTA_MQ.txt"), QStringLiteral("SUBIENDO"),
                            QStringLiteral("MQ")));
    EXPECT_EQ(Bytes(local), QByteArray("Rar!\x1a\x07\x00\r\n\xff", 10));
    EXPECT_EQ(Bytes(peer.Site(QStringLiteral("opciones/MQN/PLANTA_MQ.txt"))), QByteArray("M1\tPrensa\n"));
    EXPECT_EQ(peer.Commands().join(" | ").toStdString(),
              QStringList({"TYPE I", "TYPE L 8", "RETR PLANTA.rar", "TYPE A", "STOR PLANTA_MQ.txt"})
                  .join(" | ")
                  .toStdString());
    EXPECT_EQ(t.ui.Transcript(), QStringList({"PROGRESS [BAJANDO] 0/10", "PROGRESS END 10/10",
                                              "PROGRESS [SUBIENDO] 0/11", "PROGRESS END 11/11"}));
    EXPECT_EQ(t.ui.StatusTexts().last().toStdString(),
              "SE HAN ENVIADO 11 bytes DE UN TOTAL DE 11 A TRANSFERIR EN MQ");

    EXPECT_EQ(RequestWebPage(t.ctx, QStringLiteral("/opciones/VTfichOT.php")).value_or("<failed>"),
              QByteArray("hecho"));
    EXPECT_FALSE(RequestWebPage(t.ctx, QStringLiteral("/opciones/VTfichPD.php")).has_value());
    EXPECT_EQ(peer.Requests(), QStringList({"GET /opciones/VTfichOT.php HTTP/1.1\" 200 -",
                                            "GET /opciones/VTfichPD.php HTTP/1.1\" 404 -"}));
}

} // namespace
} // namespace gim::test
