#pragma once

namespace gim {

struct Context;
class OperationRegistry;

// The breakdown register's operations and its Averías hand-over.
void RegisterBreakdowns(OperationRegistry& registry, Context& ctx);

} // namespace gim
