#pragma once

#include "platform/card.h"
#include "records/supplier_record.h"

namespace gim {

struct Context;

// The supplier card TFProve as data: the twelve fields of the record, "Sal&var", "&Salir" and "&Borrar"
// (disabled while adding, ActionCode "1").
CardSpec SupplierCardSpec(const Context& ctx);

// Shows the card for `rec`. Saved: AnswerCode "M" and the twelve fields read back, each cut to its
// field. Left: Codigo "#", AnswerCode "N". Deleted: Codigo "Z", AnswerCode "B". Returns the card's
// result.
int ShowSupplierForm(Context& ctx, TSupplierRecord& rec);

} // namespace gim
