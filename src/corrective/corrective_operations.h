#pragma once

namespace gim {

class CommandRegistry;
struct Context;
class OperationRegistry;

// Registers the operations of the work-order and repair-budget menu items and the hand-over of the
// work-order listing.
void RegisterCorrective(OperationRegistry& registry, Context& ctx);

// Declares the main-menu items of Averías, Reparaciones and OT/Prspuestos but a budget's materials, and
// Utiles > Entorno > Reinicia Año.
void DeclareCorrectiveCommands(CommandRegistry& menu);

} // namespace gim
