#pragma once

namespace gim {

struct Context;

// Every supplier of the supplier list, in code order, with its telephone, fax, contact and mail, and
// their number at the foot.
void ListSuppliers(Context& ctx);

} // namespace gim
