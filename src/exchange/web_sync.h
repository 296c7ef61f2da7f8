#pragma once

namespace gim {

class CommandRegistry;
struct Context;
class OperationRegistry;

// The web service's commands of the main window: synchronise the daily reports and the work orders it
// built (fetch, show, import, delete), upload the machine, personnel and maintenance-type files, restore
// the web backup, open its pages and start the updater.
void SyncDailyReports(Context& ctx);
void SyncWorkOrders(Context& ctx);
void UploadWebFile(Context& ctx);
void RestoreWebBackup(Context& ctx);
void StartUpdater(Context& ctx);
void OpenWebService(Context& ctx);
void BuildWebWorkOrderFile(Context& ctx);
void BuildWebDailyReportFile(Context& ctx);

inline constexpr const char* kSyncFileMissing = "Anulada Sincronización por No existir el fichero: ";
inline constexpr const char* kUpdaterProgram = "ActualizaVT.exe";

void RegisterWebSync(OperationRegistry& registry);
// Declares the items of Utiles > Veltrano Web, the restore of the web backup and the updater.
void DeclareWebSyncCommands(CommandRegistry& menu);

} // namespace gim
