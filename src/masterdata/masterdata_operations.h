#pragma once

namespace gim {

class CommandRegistry;
struct Context;
class OperationRegistry;

// Registers the operations and conditions of the machine and reserved-code menu items, and the
// reserved-code check among the start-up steps.
void RegisterMasterdata(OperationRegistry& registry, Context& ctx);

// Declares the main-menu items of Máquinas, Procedimientos, Gamas but its budgets, Personal and their
// Utiles items (reserved codes, export of the operations, web files).
void DeclareMasterdataCommands(CommandRegistry& menu);

} // namespace gim
