#include "core/backup.h"
#include "core/web_service.h"
#include "exchange/web_sync.h"
#include "masterdata/masterdata_fixture.h"
#include "masterdata/personnel.h"
#include "masterdata/web_files.h"
#include "records/work_report_record.h"
#include "support/web_peer.h"
#include <QCoreApplication>
#include <QSettings>

namespace gim {
namespace {

// Environment PORTAL of firm FABRICA on the web peer; machine PRENSA and operator 0042.
class WebSyncTest : public test::MasterdataTest
{
protected:
    WebSyncTest()
    {
        RegisterFeatures(t.ctx);
        BuildFirmFileNames(t.ctx);
        StoreMachines({Machine("PRENSA")});
        TPersonnelRecord person{};
        person.Matricula = "0042";
        StoreRecords(t.ctx, t.ctx.st.PersonnelFileName, std::vector{person});
        LoadPersonnel(t.ctx);
        peer.WriteSettings(data);
    }
    void SetUp() override { ASSERT_TRUE(peer.Error().isEmpty()) << peer.Error().toStdString(); }
    QString Local(const char* name) const { return root + "/COPIASEG/VELTWEB/" + name; }

    test::WebPeer peer;
};

// "W" marks imported daily reports only; the gateway echoes each line; remote, then local copy deleted; "No"
// keeps the file, loaded once; a failure said once; a file the server keeps is set aside, never loaded.
TEST_F(WebSyncTest, SynchronisationFetchesShowsImportsAndDeletes)
{
    State& st = t.ctx.st;
    const QString fetched = "Se ha efectuado correctamente la descarga del FICHERO en ";
    const QString pd = Local("PORTAL_PD.txt"), ot = Local("PORTAL_OT.txt");
    const QString missing = "Anulada Sincronización por No existir el fichero: ";
    const QByteArray lines = "x\t0042\tPRENSA\t07/12/2026\tC\tM\t45\t15\tOT12\r\n"
                             "x\t0042\tZZZ\t07/12/2026\tC\tM\t45\t15\tOT13\r\n";
    peer.Put("opciones/archivos/PORTAL_PD.txt", lines);
    peer.Put("opciones/archivos/PORTAL_OT.txt", "x\tABC\tP\r\n");
    t.ui.ExpectMessage(fetched + pd).ExpectReport("Importar Partes VELTRANO WEB");
    t.ui.ExpectYesNo("Cargar Datos de Fichero a Entorno PORTAL?", true)
        .ExpectYesNo("Carga de Fichero Automática ?", true);
    t.ui.ExpectReport("Pasarela Imformes Veltrano");
    SyncDailyReports(t.ctx);
    EXPECT_EQ(t.ui.Reports().back()->Text().toStdString(),
              QByteArray(lines).replace("\r", "").toStdString() +
                  " \n * x\t0042\tPRENSA\t07/12/2026\tC\tM\t45\t15\tOT12\n"
                  "   x\t0042\tZZZ\t07/12/2026\tC\tM\t45\t15\tOT13  MÁQUINA INEXISTENTE\n\n\tFINALIZADA LA "
                  "SINCRONIZACIÓN DE "
                  "PARTES DIARIOS");
    st.SubCode = "O";
    t.ui.ExpectMessage(fetched + ot).ExpectReport("Importar Ordenes Trabajo de VELTRANO WEB");
    t.ui.ExpectYesNo("Cargar Datos de Fichero a entorno PORTAL?", false);
    t.ui.ExpectMessage("No existe el fichero opciones/archivos/PORTAL_OT.txt en el servidor WEB");
    SyncWorkOrders(t.ctx);
    SyncWorkOrders(t.ctx);
    peer.Put("opciones/archivos/PORTAL_PD.txt", lines);
    peer.Put("opciones/archivos/PORTAL_PD.txt.nodele", "");
    for (const char* aside : {".1.noborrado", ".2.noborrado"})
        t.ui.ExpectMessage(fetched + pd)
            .ExpectMessage("No se ha podido borrar opciones/archivos/PORTAL_PD.txt del servidor WEB: para no "
                           "cargar sus datos dos veces no se cargan ahora. El fichero recibido queda en " +
                           pd + aside);
    SyncDailyReports(t.ctx);
    SyncDailyReports(t.ctx);
    t.ui.ExpectMessage(missing + pd);
    QFile::remove(peer.Site("opciones/archivos/PORTAL_PD.txt"));
    SyncDailyReports(t.ctx);
    peer.StopFtp();
    t.ui.ExpectMessage("No se ha podido efectuar la Conexión a INTERNET");
    SyncDailyReports(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    const auto reports = LoadRecords<TWorkReportRecord>(t.ctx, st.FileName(DataFile::WorkReport), false);
    EXPECT_EQ(reports.size() == 1 ? reports[0].Orden.str() : QString(), "WOT12");
    EXPECT_EQ(st.SubCode, "O");
    EXPECT_EQ(peer.Bytes(pd + ".2.noborrado"), lines);
    EXPECT_EQ(peer.Bytes(ot), "x\tABC\tP\r\n");
    const QString pdOnce = "TYPE I | TYPE A | RETR PORTAL_PD.txt | DELE /opciones/archivos/PORTAL_PD.txt | ";
    EXPECT_EQ(peer.Commands(), pdOnce + QString(pdOnce).replace("PD", "OT") +
                                   "TYPE I | TYPE A | RETR PORTAL_OT.txt | " + pdOnce + pdOnce +
                                   "TYPE I | TYPE A | RETR PORTAL_PD.txt");
}

// A synchronisation's local file goes through the record layer's fault seam: a download that cannot write
// it says so; a received file that cannot be set aside stays where it came.
TEST_F(WebSyncTest, TheLocalFileFailsThroughTheFaultSeam)
{
    const QString pd = Local("PORTAL_PD.txt");
    FileOp failing = FileOp::Create;
    FileFaults faults;
    faults.inject = [&](FileOp op, const QString& path) { return op == failing && path == pd ? EIO : 0; };
    t.ctx.faults = &faults;
    peer.Put("opciones/archivos/PORTAL_PD.txt", "x\r\n");
    t.ui.ExpectMessage(
        "No se ha podido leer o escribir en el ordenador el fichero de opciones/archivos/PORTAL_PD.txt");
    SyncDailyReports(t.ctx);
    failing = FileOp::Rename;
    peer.Put("opciones/archivos/PORTAL_PD.txt.nodele", "");
    t.ui.ExpectMessage("Se ha efectuado correctamente la descarga del FICHERO en " + pd)
        .ExpectMessage("No se ha podido borrar opciones/archivos/PORTAL_PD.txt del servidor WEB: para no "
                       "cargar sus datos dos veces no se cargan ahora. El fichero recibido queda en " +
                       pd);
    SyncDailyReports(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(peer.Bytes(pd), "x\r\n");
    t.ctx.faults = nullptr;
}

// Only M, P or T upload (17 bytes of CR LF Windows-1252 leave); pages, builder GETs, byte-mode backup,
// updater.
TEST_F(WebSyncTest, UploadPagesBackupAndUpdater)
{
    const QString site = "WEBSEARCH '" + ReadWebSettings(data).address, local = Local("PORTAL_MQ.rtf");
    QSettings(data + "/gimweb.ini", QSettings::IniFormat)
        .setValue("web/MakerAddress", "http://fabricante.es/");
    peer.Put("opciones/VTfichOT.php", "hecho");
    const QByteArray saved("PORTAL\x00\xff\r\n", 10);
    QFile f(t.dir.filePath("PORTAL"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(saved) == 10 && f.flush());
    ASSERT_TRUE(WriteArchive(t.ctx, f.fileName() + ".rar", {f.fileName()}));
    for (const char* name : {"CopiaSeg/PORTAL.rar", "CopiaSeg/FABRI_PO.rar"})
        peer.Put(name, peer.Bytes(f.fileName() + ".rar"));
    t.ui.ExpectMessage("Se ha generado correctamente el FICHERO en C:\\CopiaSeg\\VeltWeb\\PORTAL_MQ.rtf");
    ASSERT_TRUE(WriteWebUploadFile(t.ctx, "PORTAL_MQ.rtf", {"PRENSA\tPrensa ñ"}));
    for (const char* answer : {"*", "X", "M"})
        t.ui.ExpectInput("SUBIR FICHEROS VELTRANO WEB", "Máquinas / Personal/ Tipos Mto (M/P/T)", answer);
    t.ui.ExpectMessage("Se ha efectuado correctamente la carga del fichero " + local);
    t.ui.ExpectMessage("ENTRANDO EN VELTRANO WEB\rGENERAR FICHERO DE OTs");
    t.ui.ExpectMessage("ENTRANDO EN VELTRANO WEB\rGENERAR FICHERO DE PARTES");
    t.ui.ExpectMessage("No existe la página " + ReadWebSettings(data).address +
                       "/opciones/VTfichPD.php en el servidor WEB");
    t.ui.ExpectInput("Copia Seguridad de VeltranoWeb", " Restaurar en el Ordenador S/N", "S");
    t.ui.ExpectInput("Restauación Informes", "Desea Restaurar Informes Adjuntos S/N", "N");
    t.ui.ExpectMessage("No existe el programa de actualización " + QCoreApplication::applicationDirPath() +
                       "/ActualizaVT.exe");
    for (Op op : {Op::UploadWebFile, Op::UploadWebFile, Op::UploadWebFile, Op::OpenWebService,
                  Op::ShowWebDailyReportFile, Op::ShowWebWorkOrderFile, Op::ShowWebPersonnelFile,
                  Op::ShowWebMachineFile, Op::ShowWebMaintenanceTypeFile, Op::BuildWebWorkOrderFile,
                  Op::BuildWebDailyReportFile, Op::RestoreWebBackup, Op::StartUpdater})
        registry.Run(t.ctx, op);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(peer.Commands().toStdString(), "TYPE I | TYPE A | STOR PORTAL_MQ.txt | TYPE I | TYPE L 8 | "
                                             "RETR PORTAL.rar | TYPE L 8 | RETR FABRI_PO.rar");
    EXPECT_EQ(peer.Bytes(data + "/PORTAL"), saved);
    EXPECT_TRUE(t.ui.StatusTexts().join(' ').contains("SE HAN ENVIADO 17 bytes DE UN TOTAL DE 17 A"));
    EXPECT_EQ(peer.Bytes("opciones/MQN/PORTAL_MQ.txt"), "PRENSA\tPrensa \xf1\n");
    const QString maker = " DESDE 'http://fabricante.es/'"; // the file views start at the maker's page
    EXPECT_EQ(t.ui.Transcript().filter(maker).size(), 5);
    EXPECT_EQ(t.ui.Transcript().filter("WEBSEARCH").join(" ").remove(site).remove(maker).toStdString(),
              "' Ir /opciones/archivos/PORTAL_PD.txt' /opciones/archivos/PORTAL_OT.txt' "
              "/opciones/PRS/PORTAL_PR.txt' "
              "/opciones/MQN/PORTAL_MQ.txt' /opciones/TIPO/PORTAL_TM.txt' /opciones/VTfichOT.php' "
              "/opciones/VTfichPD.php'");
}

// The web backup comes under scratch names: "N" leaves the local archives byte for byte; "S" restores
// only what was fetched, which then is the local backup.
TEST_F(WebSyncTest, TheWebBackupReplacesTheLocalOneOnlyWhenRestored)
{
    const QString copies = root + "/COPIASEG",
                  missing = "No se ha efectuado la descarga de CopiaSeg/FABRI_PO.rar";
    QFile f(t.dir.filePath("PORTAL"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("NUEVO") == 5 && f.flush());
    ASSERT_TRUE(WriteArchive(t.ctx, f.fileName() + ".rar", {f.fileName()}));
    peer.Put("CopiaSeg/PORTAL.rar", peer.Bytes(f.fileName() + ".rar"));
    for (const char* name : {"/PORTAL.rar", "/FABRI_PO.rar"}) {
        QFile local(copies + name);
        ASSERT_TRUE(QDir().mkpath(copies) && local.open(QIODevice::WriteOnly) && local.write("LOCAL") == 5);
    }
    for (const char* answer : {"N", "S"})
        t.ui.ExpectMessage(missing).ExpectInput("Copia Seguridad de VeltranoWeb",
                                                " Restaurar en el Ordenador S/N", answer);
    t.ui.ExpectInput("Restauación Informes", "Desea Restaurar Informes Adjuntos S/N", "N");
    for (const char* after : {"LOCAL LOCAL", "LOCAL"}) {
        registry.Run(t.ctx, Op::RestoreWebBackup);
        EXPECT_EQ(QDir(copies).entryList(QDir::Files | QDir::Hidden | QDir::AllDirs | QDir::NoDotAndDotDot),
                  (QStringList{"FABRI_PO.rar", "PORTAL.rar"}));
        EXPECT_EQ(peer.Bytes(copies + "/FABRI_PO.rar") + ' ' + peer.Bytes(copies + "/PORTAL.rar"),
                  QByteArray(after) +
                      (QByteArray(after) == "LOCAL" ? ' ' + peer.Bytes(f.fileName() + ".rar") : ""));
    }
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(peer.Bytes(data + "/PORTAL"), "NUEVO");
}

} // namespace
} // namespace gim
