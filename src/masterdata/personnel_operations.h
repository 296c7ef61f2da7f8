#pragma once

namespace gim {

struct Context;
class OperationRegistry;

// Registers the operations of the personnel menu (cards, expedients, hour prices, listings and reports)
// and the personnel load among the start-up steps.
void RegisterPersonnel(OperationRegistry& registry, Context& ctx);

} // namespace gim
