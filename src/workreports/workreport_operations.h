#pragma once

namespace gim {

class CommandRegistry;
struct Context;
class OperationRegistry;

// Registers the operations of the daily-report file (loading and freeing the lines, the sorting rewrite
// and its split into a year file), the entry and posting of lines, and the conditions under which the
// commands that store lines sort the files they touched.
void RegisterWorkReports(OperationRegistry& registry, Context& ctx);

// Declares the main-menu items of Partes but its file items, Costes and the budgets of Gamas.
void DeclareWorkReportCommands(CommandRegistry& menu);

} // namespace gim
