#pragma once

#include "platform/card.h"
#include "records/purchase_order_record.h"

namespace gim {

struct Context;

// The purchase card TCompras ("COMPRAS  DE REPUESTOS") as data.
CardSpec PurchaseCardSpec(Context& ctx);

// Shows the card for `rec` when InteractiveFlag is set (otherwise the line counts as saved as it stands).
// Saved: every field read back, PurchaseLineChanged 1, PurchaseLineDeleted 0. Left: both flags 0,
// ContinueFlag 0, Codigo "#". Deleted: Codigo "Z", PurchaseLineDeleted 1. Returns the card's result.
int OpenPurchaseWindow(Context& ctx, TPurchaseOrderRecord& rec);

} // namespace gim
