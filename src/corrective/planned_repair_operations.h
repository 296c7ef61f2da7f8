#pragma once

namespace gim {

struct Context;
class OperationRegistry;

// The planned-repair commands, the report window's Repara hand-over and start-up step 9 (this week's
// pending repairs).
void RegisterPlannedRepairs(OperationRegistry& registry, Context& ctx);

} // namespace gim
