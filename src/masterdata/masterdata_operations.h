#pragma once

namespace gim {

struct Context;
class OperationRegistry;
class PictureCodec;

// Registers the operations and conditions of the machine and reserved-code menu items, and the
// reserved-code check among the start-up steps. `codec` stores the photos chosen on the machine card;
// it must outlive the context.
void RegisterMasterdata(OperationRegistry& registry, Context& ctx, const PictureCodec& codec);

} // namespace gim
