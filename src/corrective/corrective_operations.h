#pragma once

namespace gim {

struct Context;
class OperationRegistry;

// Registers the operations of the work-order and repair-budget menu items and the hand-over of the
// work-order listing.
void RegisterCorrective(OperationRegistry& registry, Context& ctx);

} // namespace gim
