#pragma once

namespace gim {

class CommandRegistry;
struct Context;
class OperationRegistry;

// Registers the operations of the store and purchasing menu items built so far (the supplier register).
void RegisterStore(OperationRegistry& registry, Context& ctx);

// Declares the main-menu items of Repuestos, Compras, Proveedores and the materials of a repair budget.
void DeclareStoreCommands(CommandRegistry& menu);

} // namespace gim
