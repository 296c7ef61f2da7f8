#pragma once

#include "records/planned_repair_record.h"

namespace gim {

struct Context;

// The card TRepsem on `rec` as ActionCode asks: "L" a report filter ("&Buscar"), "A" the notices filter
// (not shown), "1" a pending repair, "2" a notice, "3" / "4" / "B" the edit of a listed record (its
// "Si&guiente" button reads "&Borrar" and deletes). The week is shown as st.WorkWeek / st.WorkYear and,
// whatever the button, stored absolute in `rec`; modes "1", "2", "3" and "" hold it at PlanWeeks at most.
// Shown only when InteractiveFlag is set. Returns the card's result (Save when it was not shown); &Salir
// leaves code "#". Saved, the machine must be in the register unless the card is a `filter` (a search:
// "*" is any machine) or ActionCode "L".
int ShowPlannedRepairCard(Context& ctx, TPlannedRepairRecord& rec, bool filter = false);

} // namespace gim
