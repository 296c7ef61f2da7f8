#pragma once

namespace gim {

class CommandRegistry;
struct Context;
class OperationRegistry;

// Registers the operations of the Pláning menu items built so far (plan creation, weekly hours, loading
// and unloading machines, annual plan), the Predictivo items that add and edit measurements and alarm
// levels, the Energías items with their Editar hand-over, the firm and agenda-note step of the start-up,
// and the plan's side of the routine commands' hand-over.
void RegisterPreventive(OperationRegistry& registry, Context& ctx);

// Declares the main-menu items of Pláning, Historial MP, Predictivo, Energías and their exports.
void DeclarePreventiveCommands(CommandRegistry& menu);

} // namespace gim
