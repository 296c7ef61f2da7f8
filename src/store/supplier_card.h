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
// result. A code another supplier of the file has keeps the card open ("CODIGO :<code> REPETIDO ANULADA
// ALTA"), but for `filedUnder`, the code of the supplier being edited.
int ShowSupplierForm(Context& ctx, TSupplierRecord& rec, const ShortString<10>* filedUnder = nullptr);

} // namespace gim
