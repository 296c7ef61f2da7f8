#pragma once

namespace gim {

struct Context;
class OperationRegistry;

// Registers the operations and conditions of the Procedimientos and Gamas menu items (and of Utiles >
// Exportar > Gamas), and the report window's Editar > Gamas and Editar > Procedimientos hand-overs in
// the context's HandoverRegistry.
void RegisterRoutinesAndProcedures(OperationRegistry& registry, Context& ctx);

} // namespace gim
