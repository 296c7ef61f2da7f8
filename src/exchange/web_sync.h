#pragma once

namespace gim {

struct Context;
class OperationRegistry;

// The web service's commands of the main window: synchronise the daily reports and the work orders it
// built (fetch, show, import, delete), upload the machine, personnel and maintenance-type files, restore
// the web backup, open its pages and start the updater.
void Partes4Click(Context& ctx);
void OrdenesTrb1Click(Context& ctx);
void SubirFich1Click(Context& ctx);
void VeltWeb1Click(Context& ctx);
void ActualizarVeltrano1Click(Context& ctx);
void Acceso2Click(Context& ctx);
void OrdenesT2Click(Context& ctx);
void PartesD1Click(Context& ctx);

inline constexpr const char* kSyncFileMissing = "Anulada Sincronización por No existir el fichero: ";
inline constexpr const char* kUpdaterProgram = "ActualizaVT.exe";

void RegisterWebSync(OperationRegistry& registry);

} // namespace gim
