#pragma once

namespace gim {

struct Context;
class OperationRegistry;

// Registers the operations of the store and purchasing menu items built so far (the supplier register).
void RegisterStore(OperationRegistry& registry, Context& ctx);

} // namespace gim
