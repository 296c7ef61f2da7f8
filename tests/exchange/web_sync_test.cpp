#include "core/backup.h"
#include "core/drive_paths.h"
#include "core/web_service.h"
#include "exchange/import_gateway.h"
#include "exchange/web_sync.h"
#include "masterdata/masterdata_fixture.h"
#include "masterdata/personnel.h"
#include "masterdata/web_files.h"
#include "records/work_report_record.h"
#include "support/web_peer.h"

#include <QCoreApplication>

namespace gim {
namespace {

// Environment PORTAL of firm FABRICA on the web peer; machine PRENSA and operator 0042 for the imports.
class WebSyncTest : public test::MasterdataTest
{
protected:
    WebSyncTest()
    {
        RegisterFeatures(t.ctx);
        State& st = t.ctx.st;
        BuildFirmFileNames(t.ctx);
        st.FirstYear = 24;
        st.LastYear = 28;
        st.PlanWeeks = 5 * 52;
        StoreMachines({Machine("PRENSA")});
        TPersonnelRecord person{};
        person.Matricula = "0042";
        StoreRecords(t.ctx, st.PersonnelFileName, std::vector{person});
        LoadPersonnel(t.ctx);
        peer.WriteSettings(data);
    }
    QString Local(const char* name) const { return WebExchangeFolder(data) + QLatin1Char('/') + name; }
    void ExpectFetched(const char* name)
    {
        t.ui.ExpectMessage(QStringLiteral("Se ha efectuado correctamente la descarga del FICHERO en ") +
                           Local(name));
    }

    test::WebPeer peer;
};

// The daily reports come in marked "W", the server's copy goes when fetched and the local one once
// imported; the work orders leave SubCode alone, and "No" keeps the file; a second run finds no file, and a
// stopped server is no connection.
TEST_F(WebSyncTest, SynchronisationFetchesShowsImportsAndDeletes)
{
    ASSERT_TRUE(peer.Error().isEmpty()) << peer.Error().toStdString();
    State& st = t.ctx.st;
    const QString missing = QStringLiteral("Anulada Sincronización por No existir el fichero: ");
    peer.Put(QStringLiteral("opciones/archivos/PORTAL_PD.txt"),
             "x\t0042\tPRENSA\t07/12/2026\tC\tM\t45\t15\tOT12\t\tEngrase\r\n");
    ExpectFetched("PORTAL_PD.txt");
    t.ui.ExpectReport(QStringLiteral("Importar Partes VELTRANO WEB"));
    t.ui.ExpectYesNo(QStringLiteral("Cargar Datos de Fichero a Entorno PORTAL?"), true);
    t.ui.ExpectYesNo(QStringLiteral("Carga de Fichero Automática ?"), true);
    t.ui.ExpectReport(QStringLiteral("Pasarela Imformes Veltrano"));
    Partes4Click(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    const auto reports = LoadRecords<TWorkReportRecord>(t.ctx, st.FileName(DataFile::WorkReport), false);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Orden.str(), QStringLiteral("WOT12"));
    EXPECT_EQ(t.ui.Reports()[0]->Text().left(14), QStringLiteral("x\t0042\tPRENSA\t"));
    EXPECT_FALSE(QFile::exists(Local("PORTAL_PD.txt")));
    EXPECT_FALSE(QFile::exists(peer.Site(QStringLiteral("opciones/archivos/PORTAL_PD.txt"))));
    EXPECT_TRUE(st.SubCode.isEmpty());
    EXPECT_EQ(st.PendingEditFlags[0], 0);

    st.SubCode = QStringLiteral("O");
    peer.Put(QStringLiteral("opciones/archivos/PORTAL_OT.txt"), "x\tABC\tP\r\n");
    ExpectFetched("PORTAL_OT.txt");
    t.ui.ExpectReport(QStringLiteral("Importar Ordenes Trabajo de VELTRANO WEB"));
    t.ui.ExpectYesNo(QStringLiteral("Cargar Datos de Fichero a entorno PORTAL?"), false);
    OrdenesTrb1Click(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(peer.Bytes(Local("PORTAL_OT.txt")), QByteArray("x\tABC\tP\r\n"));
    EXPECT_EQ(st.SubCode, QStringLiteral("O"));

    // The file kept by "No" is not loaded again once the server holds none.
    t.ui.ExpectMessage(QStringLiteral("No se ha efectuado la descarga de opciones/archivos/PORTAL_OT.txt"));
    t.ui.ExpectMessage(missing + Local("PORTAL_OT.txt"));
    OrdenesTrb1Click(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(
        peer.Commands().toStdString(),
        "TYPE I | TYPE A | RETR PORTAL_PD.txt | DELE /opciones/archivos/PORTAL_PD.txt | TYPE I | TYPE A | "
        "RETR PORTAL_OT.txt | DELE /opciones/archivos/PORTAL_OT.txt | TYPE I | TYPE A | RETR PORTAL_OT.txt");
    peer.StopFtp();
    t.ui.ExpectMessage(QStringLiteral("No se ha podido efectuar la Conexión a INTERNET"));
    t.ui.ExpectMessage(missing + Local("PORTAL_PD.txt"));
    Partes4Click(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
}

// "*" and any answer but M, P or T send nothing, not even the last transfer's file; "M" sends the
// Windows-1252 CR LF text of the machine file.
TEST_F(WebSyncTest, UploadSendsOnlyTheChosenFile)
{
    ASSERT_TRUE(peer.Error().isEmpty()) << peer.Error().toStdString();
    t.ui.ExpectMessage(
        QStringLiteral("Se ha generado correctamente el FICHERO en C:\\CopiaSeg\\VeltWeb\\PORTAL_MQ.rtf"));
    ASSERT_TRUE(
        WriteWebUploadFile(t.ctx, QStringLiteral("PORTAL_MQ.rtf"), {QStringLiteral("PRENSA\tPrensa ñ")}));
    const QString local = Local("PORTAL_MQ.rtf");
    for (const char* answer : {"*", "X", "M"}) {
        t.ui.ExpectInput(QStringLiteral("SUBIR FICHEROS VELTRANO WEB"),
                         QStringLiteral("Máquinas / Personal/ Tipos Mto (M/P/T)"),
                         QString::fromLatin1(answer));
        if (*answer == 'M')
            t.ui.ExpectMessage(QStringLiteral("Se ha efectuado correctamente la carga del fichero ") + local);
        SubirFich1Click(t.ctx);
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(peer.Commands().toStdString(),
                  *answer == 'M' ? "TYPE I | TYPE A | STOR PORTAL_MQ.txt" : "");
    }
    EXPECT_EQ(peer.Bytes(local), QByteArray("PRENSA\tPrensa \xf1\r\n"));
    EXPECT_EQ(t.ui.StatusTexts().last().toStdString(),
              "SE HAN ENVIADO 17 bytes DE UN TOTAL DE 17 A TRANSFERIR EN " + local.toStdString());
    EXPECT_EQ(peer.Bytes(QStringLiteral("opciones/MQN/PORTAL_MQ.txt")), QByteArray("PRENSA\tPrensa \xf1\n"));
}

// The web backup comes in byte mode and is restored on "S"; the updater missing, the program stays.
TEST_F(WebSyncTest, WebBackupIsFetchedInBytesAndRestored)
{
    ASSERT_TRUE(peer.Error().isEmpty()) << peer.Error().toStdString();
    const QByteArray kTail("\x00\xff\r\n", 4);
    const QString saved = t.dir.filePath(QStringLiteral("saved"));
    QDir().mkpath(saved);
    for (const char* name : {"PORTAL", "FABRI_PO"}) {
        const QString file = saved + QStringLiteral("/%1.DAT").arg(QLatin1String(name));
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(QByteArray(name) + kTail) > 0);
        f.close();
        const QString archive = saved + QStringLiteral("/%1.rar").arg(QLatin1String(name));
        ASSERT_TRUE(WriteArchive(archive, {file}));
        peer.Put(QStringLiteral("CopiaSeg/%1.rar").arg(QLatin1String(name)), peer.Bytes(archive));
    }
    t.ui.ExpectInput(QStringLiteral("Copia Seguridad de VeltranoWeb"),
                     QStringLiteral(" Restaurar en el Ordenador S/N"), QStringLiteral("S"));
    t.ui.ExpectInput(QStringLiteral("Restauación Informes"),
                     QStringLiteral("Desea Restaurar Informes Adjuntos S/N"), QStringLiteral("N"));
    t.ui.ExpectMessage(
        QStringLiteral("No existe el programa de actualización ") +
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ActualizaVT.exe")));
    VeltWeb1Click(t.ctx);
    ActualizarVeltrano1Click(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(peer.Commands().toStdString(),
              "TYPE I | TYPE L 8 | RETR PORTAL.rar | TYPE L 8 | RETR FABRI_PO.rar");
    EXPECT_EQ(peer.Bytes(data + QStringLiteral("/PORTAL.DAT")), QByteArray("PORTAL") + kTail);
    EXPECT_EQ(peer.Bytes(data + QStringLiteral("/FABRI_PO.DAT")), QByteArray("FABRI_PO") + kTail);
}

// The pages open in the browser window: the home page at once, the files for "Ir"; a builder page is
// also requested, so that the service builds its file, and a failed request is said.
TEST_F(WebSyncTest, PagesOpenInTheBrowserWindowAndBuilderPagesAreRequested)
{
    ASSERT_TRUE(peer.Error().isEmpty()) << peer.Error().toStdString();
    peer.Put(QStringLiteral("opciones/VTfichOT.php"), "hecho");
    const QString site = QStringLiteral("WEBSEARCH '") + ReadWebSettings(data).address;
    const std::vector<std::pair<Op, QString>> cases = {
        {Op::Acceso2Click, site + QStringLiteral("' Ir")},
        {Op::Partes5Click, site + QStringLiteral("/opciones/archivos/PORTAL_PD.txt'")},
        {Op::OrdenesT1Click, site + QStringLiteral("/opciones/archivos/PORTAL_OT.txt'")},
        {Op::Personal2Click, site + QStringLiteral("/opciones/PRS/PORTAL_PR.txt'")},
        {Op::Mquinas2Click, site + QStringLiteral("/opciones/MQN/PORTAL_MQ.txt'")},
        {Op::TiposMto2Click, site + QStringLiteral("/opciones/TIPO/PORTAL_TM.txt'")},
        {Op::OrdenesT2Click, site + QStringLiteral("/opciones/VTfichOT.php'")},
        {Op::PartesD1Click, site + QStringLiteral("/opciones/VTfichPD.php'")},
    };
    t.ui.ExpectMessage(QStringLiteral("ENTRANDO EN VELTRANO WEB\rGENERAR FICHERO DE OTs"));
    t.ui.ExpectMessage(QStringLiteral("ENTRANDO EN VELTRANO WEB\rGENERAR FICHERO DE PARTES"));
    t.ui.ExpectMessage(QStringLiteral("No se ha podido efectuar la Conexión a INTERNET"));
    for (const auto& [op, shown] : cases) {
        registry.Run(t.ctx, op);
        EXPECT_TRUE(t.ui.Transcript().contains(shown)) << shown.toStdString();
    }
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(QFileInfo(Local("")).isDir());
}

} // namespace
} // namespace gim
