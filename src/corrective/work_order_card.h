#pragma once

#include "records/work_order_record.h"

namespace gim {

struct Context;

// The work-order card TORDENES for `rec`, by ActionCode ("A" new order, "R" budget, "E" edit, "i" an
// imported order, which is not shown). Sal&var reads the card back into `rec`; &Anular stores it annulled
// (state "A", close date = notice date); &Salir leaves `rec` with no machine ("#"). ContinueFlag tells
// whether `rec` is to be stored. Returns the card's result.
int ShowWorkOrderCard(Context& ctx, TWorkOrderRecord& rec);

} // namespace gim
