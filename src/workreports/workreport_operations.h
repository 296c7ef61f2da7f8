#pragma once

namespace gim {

struct Context;
class OperationRegistry;

// Registers the operations of the daily-report file (loading and freeing the lines, the sorting rewrite
// and its split into a year file) and the condition under which the commands that store lines sort.
void RegisterWorkReports(OperationRegistry& registry, Context& ctx);

} // namespace gim
