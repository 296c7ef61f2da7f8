#include "exchange/web_sync.h"

#include "core/backup.h"
#include "core/command_table.h"
#include "core/context.h"
#include "core/drive_paths.h"
#include "core/environment.h"
#include "core/operations.h"
#include "core/web_service.h"
#include "exchange/import_gateway.h"
#include "exchange/import_tables_corrective.h"
#include "platform/handover.h"
#include "platform/report.h"
#include "platform/report_files.h"
#include "records/cp1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace gim {
namespace {

struct SyncKind
{
    EditItem flag;        // its map names the exchange file; the report window loads the file while it is set
    const char* caption;  // of the report window
    const char* question; // whether to load the file into the environment
    bool marksOrders;     // SubCode "W": the imported order numbers start with "W"
    void (*import)(Context&, const std::optional<QString>&);
};

const SyncKind kWorkReports{EditItem::Partes, "Importar Partes VELTRANO WEB",
                            "Cargar Datos de Fichero a Entorno ", true, ImportWorkReports};
const SyncKind kWorkOrders{EditItem::OrdenesT, "Importar Ordenes Trabajo de VELTRANO WEB",
                           "Cargar Datos de Fichero a entorno ", false, ImportWorkOrders};

// The flag and SubCode "W" live only while the command runs, whichever way it ends; SubCode gets back
// what it held.
class SyncScope
{
public:
    SyncScope(State& st, const SyncKind& kind) : m_st(st), m_kind(kind), m_subCode(st.SubCode)
    {
        if (m_kind.marksOrders)
            m_st.SubCode = QStringLiteral("W");
        Flag() = 1;
    }
    ~SyncScope()
    {
        Flag() = 0;
        m_st.SubCode = m_subCode;
    }
    SyncScope(const SyncScope&) = delete;
    SyncScope& operator=(const SyncScope&) = delete;

private:
    std::uint8_t& Flag() { return m_st.PendingEditFlags[PendingEditIndex(m_kind.flag)]; }
    State& m_st;
    const SyncKind& m_kind;
    QString m_subCode;
};

void Synchronise(Context& ctx, const SyncKind& kind)
{
    State& st = ctx.st;
    WebService& web = WebServiceOf(ctx);
    const QString folder = WebExchangeFolder(st.BaseDir);
    QDir().mkpath(folder);
    const HandoverRegistry& handover = ctx.Module<HandoverRegistry>();
    web.WebRemoteFile = st.CurrentEnvironment + handover.Map(kind.flag).exchangeFile;
    web.WebLocalFile = folder + QLatin1Char('/') + web.WebRemoteFile;
    // Only a file this command fetched is loaded: a copy left by an earlier download may be in already.
    const bool fetched = DownloadWebFile(ctx);
    SyncScope scope(st, kind);
    const ExchangeLoad exchange =
        fetched ? LoadExchangeFiles(handover, st.PendingEditFlags, st.CurrentEnvironment, folder)
                : ExchangeLoad{};
    if (!exchange.loaded) {
        ctx.ui.ShowMessage(QString::fromUtf8(kSyncFileMissing) + web.WebLocalFile);
        return;
    }
    const QString& text = exchange.text;
    auto report = std::make_shared<ReportDocument>(QString::fromUtf8(kind.caption));
    SetPlainText(*report, text);
    ctx.ui.ShowReport(report);
    if (!ctx.ui.AskYesNo(QString::fromUtf8(kind.question) + st.CurrentEnvironment + QLatin1Char('?')))
        return; // the file stays for the user to look at
    ImportGateway(ctx).Manual = !ctx.ui.AskYesNo(QStringLiteral("Carga de Fichero Automática ?"));
    kind.import(ctx, text);
    QFile::remove(web.WebLocalFile);
}

} // namespace

void SyncDailyReports(Context& ctx)
{
    Synchronise(ctx, kWorkReports);
}

void SyncWorkOrders(Context& ctx)
{
    Synchronise(ctx, kWorkOrders);
}

void UploadWebFile(Context& ctx)
{
    State& st = ctx.st;
    st.AnswerCode =
        ctx.ui
            .InputBox(QStringLiteral("SUBIR FICHEROS VELTRANO WEB"),
                      QStringLiteral("Máquinas / Personal/ Tipos Mto (M/P/T)"), QStringLiteral("*"))
            .left(2);
    struct Upload
    {
        const char* answer;
        const char* suffix;
        const char* remoteFolder;
    };
    static constexpr Upload kUploads[] = {
        {"M", "_MQ", "opciones/MQN/"}, {"P", "_PR", "opciones/PRS/"}, {"T", "_TM", "opciones/TIPO/"}};
    const Upload* chosen = nullptr;
    for (const Upload& upload : kUploads)
        if (st.AnswerCode == QLatin1String(upload.answer))
            chosen = &upload;
    // Any other answer names no file: nothing is sent, not even the paths of an earlier transfer.
    if (!chosen)
        return;
    WebService& web = WebServiceOf(ctx);
    const QString env = st.CurrentEnvironment;
    web.WebLocalFile = WebExchangeFolder(st.BaseDir) + QLatin1Char('/') + env +
                       QLatin1String(chosen->suffix) + QStringLiteral(".rtf");
    web.WebRemoteFile =
        QLatin1String(chosen->remoteFolder) + env + QLatin1String(chosen->suffix) + QStringLiteral(".txt");
    if (!ConnectWebFtp(ctx)) {
        ctx.ui.ShowMessage(QStringLiteral("No se ha podido efectuar la conexión a INTERNET"));
        return;
    }
    WebTransfer& client = WebClient(ctx);
    client.SetMode(TransferMode::Ascii);
    const auto sent =
        SendWebFile(ctx, web.WebLocalFile, web.WebRemoteFile,
                    QStringLiteral("TRANSFIRIENDO EL FICHERO ") + web.WebLocalFile, web.WebLocalFile);
    client.Disconnect();
    if (!sent) {
        ctx.ui.ShowStatus(sent.error());
        ctx.ui.ShowMessage(QStringLiteral("No se ha efectuado la carga de ") + web.WebRemoteFile);
        return;
    }
    ctx.ui.ShowMessage(QStringLiteral("Se ha efectuado correctamente la carga del fichero ") +
                       web.WebLocalFile);
}

void RestoreWebBackup(Context& ctx)
{
    State& st = ctx.st;
    const QString env = st.CurrentEnvironment;
    const QString folder = BackupFolder(st);
    QStringList names{env + QStringLiteral(".rar")};
    if (FirmNameFitsFileNames(st.FirmName))
        names << st.FirmName.left(5) + QLatin1Char('_') + env.left(2) + QStringLiteral(".rar");
    if (!ConnectWebFtp(ctx)) {
        ctx.ui.ShowMessage(QString::fromUtf8(kNoInternetConnection));
        return;
    }
    QDir().mkpath(folder);
    WebTransfer& client = WebClient(ctx);
    client.SetMode(TransferMode::Bytes);
    bool dataFetched = false;
    for (const QString& name : names) {
        const QString local = folder + QLatin1Char('/') + name;
        const auto fetched = ReceiveWebFile(ctx, QStringLiteral("CopiaSeg/") + name, local,
                                            QStringLiteral("TRANSFIRIENDO EL FICHERO ") + local, local);
        if (!fetched) {
            ctx.ui.ShowStatus(fetched.error());
            ctx.ui.ShowMessage(QStringLiteral("No se ha efectuado la descarga de CopiaSeg/") + name);
        }
        dataFetched = dataFetched || (fetched && name == names.first());
    }
    client.Disconnect();
    // An older backup left in the folder is not restored in place of the one the service holds.
    if (!dataFetched)
        return;
    st.AnswerCode = ctx.ui
                        .InputBox(QStringLiteral("Copia Seguridad de VeltranoWeb"),
                                  QStringLiteral(" Restaurar en el Ordenador S/N"), QStringLiteral("N"))
                        .left(2);
    if (st.AnswerCode == QLatin1String("S"))
        RestoreFromDefaultFolder(ctx);
}

void StartUpdater(Context& ctx)
{
    const QString updater =
        QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(kUpdaterProgram));
    // Without the updater the program would end for nothing: it stays.
    if (!QFileInfo(updater).isFile() || !ctx.shell.StartProgram(updater, {QStringLiteral(" ")})) {
        ctx.ui.ShowMessage(QStringLiteral("No existe el programa de actualización ") + updater);
        return;
    }
    QCoreApplication::quit();
}

namespace {

// The service's address without a closing "/", for the pages and files under it.
QString WebAddress(Context& ctx)
{
    QString address = ReadWebSettings(ctx.st.BaseDir).address;
    while (address.endsWith(QLatin1Char('/')))
        address.chop(1);
    return address;
}

// A web file in the address box; the user opens it with "Ir".
void ShowWebFile(Context& ctx, const char* folder, const char* suffix)
{
    ctx.ui.ShowWebSearch(
        WebAddress(ctx) + QLatin1String(folder) + ctx.st.CurrentEnvironment + QLatin1String(suffix), false);
}

// The page builds the exchange file in the server's "opciones/archivos/": it is requested here, not only
// offered in the browser.
void BuildWebFile(Context& ctx, const char* page, const char* what)
{
    QDir().mkpath(WebExchangeFolder(ctx.st.BaseDir));
    ctx.ui.ShowWebSearch(WebAddress(ctx) + QLatin1String(page), false);
    ctx.ui.ShowMessage(QStringLiteral("ENTRANDO EN VELTRANO WEB\rGENERAR FICHERO DE ") + QLatin1String(what));
    const auto built = RequestWebPage(ctx, QLatin1String(page));
    if (!built) {
        ctx.ui.ShowStatus(built.error());
        ctx.ui.ShowMessage(QString::fromUtf8(kNoInternetConnection));
    }
}

} // namespace

void OpenWebService(Context& ctx)
{
    QDir().mkpath(WebExchangeFolder(ctx.st.BaseDir));
    ctx.ui.ShowWebSearch(WebAddress(ctx), true);
}

void BuildWebWorkOrderFile(Context& ctx)
{
    BuildWebFile(ctx, "/opciones/VTfichOT.php", "OTs");
}

void BuildWebDailyReportFile(Context& ctx)
{
    BuildWebFile(ctx, "/opciones/VTfichPD.php", "PARTES");
}

void RegisterWebSync(OperationRegistry& registry)
{
    registry.Register(Op::OpenWebService, OpenWebService);
    registry.Register(Op::BuildWebWorkOrderFile, BuildWebWorkOrderFile);
    registry.Register(Op::BuildWebDailyReportFile, BuildWebDailyReportFile);
    registry.Register(Op::ShowWebDailyReportFile,
                      [](Context& ctx) { ShowWebFile(ctx, "/opciones/archivos/", "_PD.txt"); });
    registry.Register(Op::ShowWebWorkOrderFile,
                      [](Context& ctx) { ShowWebFile(ctx, "/opciones/archivos/", "_OT.txt"); });
    registry.Register(Op::ShowWebPersonnelFile,
                      [](Context& ctx) { ShowWebFile(ctx, "/opciones/PRS/", "_PR.txt"); });
    registry.Register(Op::ShowWebMachineFile,
                      [](Context& ctx) { ShowWebFile(ctx, "/opciones/MQN/", "_MQ.txt"); });
    registry.Register(Op::ShowWebMaintenanceTypeFile,
                      [](Context& ctx) { ShowWebFile(ctx, "/opciones/TIPO/", "_TM.txt"); });
    registry.Register(Op::SyncDailyReports, SyncDailyReports);
    registry.Register(Op::SyncWorkOrders, SyncWorkOrders);
    registry.Register(Op::UploadWebFile, UploadWebFile);
    registry.Register(Op::RestoreWebBackup, RestoreWebBackup);
    registry.Register(Op::StartUpdater, StartUpdater);
}

void DeclareWebSyncCommands(CommandRegistry& menu)
{
    using enum Op;
    menu.Add(MenuItem::ToolsBackupRestoreWebBackup, "&Utiles > &Copia Seg. > &Restaurar > &VeltWeb", "", "",
             {}, {RestoreWebBackup});
    menu.Add(MenuItem::ToolsWebAccess, "&Utiles > Veltrano &Web > &Acceso VW", "", "", {}, {OpenWebService});
    menu.Add(MenuItem::ToolsWebShowWorkReports, "&Utiles > Veltrano &Web > &Ver Ficheros > &Partes", "", "",
             {}, {ShowWebDailyReportFile});
    menu.Add(MenuItem::ToolsWebShowWorkOrders, "&Utiles > Veltrano &Web > &Ver Ficheros > &Ordenes T", "", "",
             {}, {ShowWebWorkOrderFile});
    menu.Add(MenuItem::ToolsWebShowPersonnel, "&Utiles > Veltrano &Web > &Ver Ficheros > Pe&rsonal", "", "",
             {}, {ShowWebPersonnelFile});
    menu.Add(MenuItem::ToolsWebShowMachines, "&Utiles > Veltrano &Web > &Ver Ficheros > &Máquinas", "", "",
             {}, {ShowWebMachineFile});
    menu.Add(MenuItem::ToolsWebShowMaintenanceTypes, "&Utiles > Veltrano &Web > &Ver Ficheros > &Tipos Mto",
             "", "", {}, {ShowWebMaintenanceTypeFile});
    menu.Add(MenuItem::ToolsWebBuildWorkOrders, "&Utiles > Veltrano &Web > &CrearFicheros > &Ordenes T.", "",
             "", {}, {BuildWebWorkOrderFile});
    menu.Add(MenuItem::ToolsWebBuildWorkReports, "&Utiles > Veltrano &Web > &CrearFicheros > Partes &D", "",
             "", {}, {BuildWebDailyReportFile});
    menu.Add(MenuItem::ToolsWebUpload, "&Utiles > Veltrano &Web > &Subir Ficheros", "", "", {},
             {UploadWebFile});
    menu.Add(MenuItem::ToolsWebSyncWorkOrders, "&Utiles > Veltrano &Web > &Sincronización > &Ordenes T.", "",
             "", {}, {SyncWorkOrders});
    menu.Add(MenuItem::ToolsWebSyncWorkReports, "&Utiles > Veltrano &Web > &Sincronización > &Partes D", "",
             "", {}, {SyncDailyReports});
    menu.Add(MenuItem::ToolsUpdates, "&Utiles > Actuali&zaciones", "", "", {}, {StartUpdater});
}

} // namespace gim
