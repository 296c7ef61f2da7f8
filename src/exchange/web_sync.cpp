#include "exchange/web_sync.h"

#include "core/backup.h"
#include "core/command_table.h"
#include "core/context.h"
#include "core/drive_paths.h"
#include "core/environment.h"
#include "core/operations.h"
#include "core/record_file.h"
#include "core/web_service.h"
#include "exchange/import_gateway.h"
#include "exchange/import_tables_corrective.h"
#include "platform/handover.h"
#include "platform/report.h"
#include "platform/report_files.h"
#include "records/cp1252.h"

#include <QCoreApplication>
#include <QDir>
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
        EndPending();
        m_st.SubCode = m_subCode;
    }
    // The report window loads the exchange file only when it opens with the flag set: every window
    // opened later (the gateway's among them) shows its own text.
    void EndPending() { Flag() = 0; }
    SyncScope(const SyncScope&) = delete;
    SyncScope& operator=(const SyncScope&) = delete;

private:
    std::uint8_t& Flag() { return m_st.PendingEditFlags[PendingEditIndex(m_kind.flag)]; }
    State& m_st;
    const SyncKind& m_kind;
    QString m_subCode;
};

// A fetched file still on the server would be fetched and loaded again by the next synchronisation: it
// is loaded now by no one and kept under a name of its own (".1.noborrado", ".2.noborrado", ...).
QString KeepAside(const Context& ctx, const QString& path)
{
    for (int n = 1;; ++n) {
        const QString aside = path + QStringLiteral(".%1.noborrado").arg(n);
        if (!QFileInfo::exists(aside))
            return RenameFileAt(ctx, path, aside) == 0 ? aside : path;
    }
}

// One message for a download that gave nothing to load.
void SayWhyNotSynchronised(Context& ctx, WebFailure failure, const QString& remote)
{
    const WebService& web = WebServiceOf(ctx);
    QString text;
    if (failure == WebFailure::DeleteRefused) {
        text = QStringLiteral("No se ha podido borrar ") + remote +
               QStringLiteral(" del servidor WEB: para no cargar sus datos dos veces no se cargan ahora.") +
               QStringLiteral(" El fichero recibido queda en ") + KeepAside(ctx, web.WebLocalFile);
    } else if (failure == WebFailure::FileMissing && !QFileInfo::exists(web.WebLocalFile)) {
        text = QString::fromUtf8(kSyncFileMissing) + web.WebLocalFile;
    } else {
        text = WebFailureText(ctx, failure, remote);
    }
    ctx.ui.ShowMessage(text);
}

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
    if (const auto fetched = DownloadWebFile(ctx); !fetched) {
        SayWhyNotSynchronised(ctx, fetched.error(), QStringLiteral("opciones/archivos/") + web.WebRemoteFile);
        return;
    }
    SyncScope scope(st, kind);
    const ExchangeLoad exchange =
        LoadExchangeFiles(handover, st.PendingEditFlags, st.CurrentEnvironment, folder);
    if (!exchange.loaded) {
        ctx.ui.ShowMessage(QString::fromUtf8(kSyncFileMissing) + web.WebLocalFile);
        return;
    }
    const QString& text = exchange.text;
    auto report = std::make_shared<ReportDocument>(QString::fromUtf8(kind.caption));
    SetPlainText(*report, text);
    ctx.ui.ShowReport(report);
    scope.EndPending();
    if (!ctx.ui.AskYesNo(QString::fromUtf8(kind.question) + st.CurrentEnvironment + QLatin1Char('?')))
        return; // the file stays for the user to look at
    ImportGateway(ctx).Manual = !ctx.ui.AskYesNo(QStringLiteral("Carga de Fichero Automática ?"));
    kind.import(ctx, text);
    // The report window put the text on the clipboard for the gateway, which empties it once read.
    ctx.ui.SetClipboardText(QString());
    RemoveFileAt(ctx, web.WebLocalFile);
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
    if (const auto connected = ConnectWebFtp(ctx); !connected) {
        ctx.ui.ShowMessage(connected.error() == WebFailure::NoConnection
                               ? QStringLiteral("No se ha podido efectuar la conexión a INTERNET")
                               : WebFailureText(ctx, connected.error(), web.WebRemoteFile));
        return;
    }
    WebTransfer& client = WebClient(ctx);
    client.SetMode(TransferMode::Ascii);
    const auto sent =
        SendWebFile(ctx, web.WebLocalFile, web.WebRemoteFile,
                    QStringLiteral("TRANSFIRIENDO EL FICHERO ") + web.WebLocalFile, web.WebLocalFile);
    client.Disconnect();
    if (!sent) {
        ctx.ui.ShowMessage(WebFailureText(ctx, sent.error(), web.WebRemoteFile));
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
    // Each archive comes under a scratch name: the local backup stays as it is until a restore from the
    // downloaded archives is made.
    const QString scratch = folder + QStringLiteral("/.descarga");
    QDir().mkpath(scratch);
    WebTransfer& client = WebClient(ctx);
    client.SetMode(TransferMode::Bytes);
    QStringList locals;
    QStringList fetchedArchives;
    for (const QString& name : names) {
        const QString local = folder + QLatin1Char('/') + name;
        const QString download = scratch + QLatin1Char('/') + name;
        RemoveFileAt(ctx, download);
        const auto fetched = ReceiveWebFile(ctx, QStringLiteral("CopiaSeg/") + name, download,
                                            QStringLiteral("TRANSFIRIENDO EL FICHERO ") + local, local);
        if (!fetched) {
            ctx.ui.ShowMessage(QStringLiteral("No se ha efectuado la descarga de CopiaSeg/") + name);
            continue;
        }
        locals << local;
        fetchedArchives << download;
    }
    client.Disconnect();
    // Only what this command fetched is restored, never an older archive left in the folder.
    bool restored = false;
    if (!fetchedArchives.isEmpty()) {
        st.AnswerCode = ctx.ui
                            .InputBox(QStringLiteral("Copia Seguridad de VeltranoWeb"),
                                      QStringLiteral(" Restaurar en el Ordenador S/N"), QStringLiteral("N"))
                            .left(2);
        restored = st.AnswerCode == QLatin1String("S") && RestoreBackup(ctx, fetchedArchives);
    }
    // Restored: the downloaded archives are the local backup now. Otherwise they go.
    for (qsizetype i = 0; i < fetchedArchives.size(); ++i) {
        if (!restored || RenameFileAt(ctx, fetchedArchives[i], locals[i]) != 0)
            RemoveFileAt(ctx, fetchedArchives[i]);
    }
    QDir().rmdir(scratch);
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

QString WebAddress(Context& ctx)
{
    return WebServiceAddress(ReadWebSettings(ctx.st.BaseDir));
}

// The browser starts at the maker's page with the web file in the address box; the user opens it with "Ir".
void ShowWebFile(Context& ctx, const char* folder, const char* suffix)
{
    const WebSettings settings = ReadWebSettings(ctx.st.BaseDir);
    ctx.ui.ShowWebSearch(WebServiceAddress(settings) + QLatin1String(folder) + ctx.st.CurrentEnvironment +
                             QLatin1String(suffix),
                         false, MakerWebAddress(settings));
}

// The page builds the exchange file in the server's "opciones/archivos/": it is requested here, not only
// offered in the browser.
void BuildWebFile(Context& ctx, const char* page, const char* what)
{
    QDir().mkpath(WebExchangeFolder(ctx.st.BaseDir));
    ctx.ui.ShowWebSearch(WebAddress(ctx) + QLatin1String(page), false);
    ctx.ui.ShowMessage(QStringLiteral("ENTRANDO EN VELTRANO WEB\rGENERAR FICHERO DE ") + QLatin1String(what));
    const auto built = RequestWebPage(ctx, QLatin1String(page));
    if (!built)
        ctx.ui.ShowMessage(WebFailureText(ctx, built.error(), WebAddress(ctx) + QLatin1String(page)));
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
