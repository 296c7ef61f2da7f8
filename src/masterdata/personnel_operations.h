#pragma once

namespace gim {

struct Context;
class OperationRegistry;
class PictureCodec;

// Registers the operations of the personnel menu (cards, expedients, hour prices, listings and reports)
// and the personnel load among the start-up steps. `codec` stores the photos chosen on the personnel card; it
// must outlive the context.
void RegisterPersonnel(OperationRegistry& registry, Context& ctx, const PictureCodec& codec);

} // namespace gim
