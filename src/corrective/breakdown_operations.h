#pragma once

namespace gim {

struct Context;
class OperationRegistry;
class PictureCodec;

// The breakdown register's operations and its Averías hand-over. `codec` stores the photos chosen on the
// card; it must outlive the context.
void RegisterBreakdowns(OperationRegistry& registry, Context& ctx, const PictureCodec& codec);

} // namespace gim
