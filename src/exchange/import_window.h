#pragma once

#include "platform/card.h"

namespace gim {

struct Context;
class CommandRegistry;
class OperationRegistry;

// The import window "Importador de Datos": one radio button per table, the Manual box and Cancelar. A
// click selects a table, a double-click (or Enter on the selected one) runs its import.
CardSpec ImportWindowSpec();

// Utiles > Importar: shows the import window and runs the table double-clicked on it. Closed without one,
// no mode code stays set and InteractiveFlag is 1.
void ShowImportWindow(Context& ctx);

void RegisterExchange(OperationRegistry& registry, Context& ctx);
// Declares Utiles > Importar and the web service's items.
void DeclareExchangeCommands(CommandRegistry& menu);

} // namespace gim
