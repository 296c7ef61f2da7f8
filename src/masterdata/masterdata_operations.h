#pragma once

namespace gim {

struct Context;
class OperationRegistry;

// Registers the operations and conditions of the machine and reserved-code menu items, and the
// reserved-code check among the start-up steps.
void RegisterMasterdata(OperationRegistry& registry, Context& ctx);

} // namespace gim
