#pragma once

namespace gim {

class CommandRegistry;
struct Context;
class OperationRegistry;
class PictureCodec;

// Registers the operations of the store and purchasing menu items built so far (the supplier register).
// `codec` stores the pictures chosen on the store's cards; it must outlive the context.
void RegisterStore(OperationRegistry& registry, Context& ctx, const PictureCodec& codec);

// Declares the main-menu items of Repuestos, Compras, Proveedores and the materials of a repair budget.
void DeclareStoreCommands(CommandRegistry& menu);

} // namespace gim
