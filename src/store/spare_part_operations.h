#pragma once

namespace gim {

struct Context;
class OperationRegistry;

// Registers the operations of the spare-part menu items built so far: the list's load and free, the
// new-part cards and the sorted rewrite of the part file.
void RegisterSpareParts(OperationRegistry& registry, Context& ctx);

} // namespace gim
